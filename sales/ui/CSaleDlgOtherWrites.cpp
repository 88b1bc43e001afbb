// The writes of the sales dialog beyond the ordinary top-up: each entry picks
// its descriptor (KvSaleWriteMembers) and runs the one write engine.

#include "CSaleDlg.h"

#include "KvMessage.h"
#include "KvSaleWriteMembers.h"

namespace {

// The variant of a write by kWh or by money, when it has no remote one.
bool NoRemoteVariant(SalePayment& payment)
{
    payment = CSaleWriteEngine::ChosenPayment();
    if (payment != SalePayment::Remote)
        return true;
    PromptBox(QStringLiteral("远程付款不支持改写电量！"));
    return false;
}

using WriteEntry = void (CSaleDlg::*)();

// The variant of a write, in the order of the ordinary top-up: remote when
// bRemote is "是", else by kWh when BuyUnit is "度", else by money.
void RunVariant(CSaleDlg& dialog, WriteEntry remote, WriteEntry energy, WriteEntry money)
{
    switch (CSaleWriteEngine::ChosenPayment()) {
    case SalePayment::Remote:
        (dialog.*remote)();
        break;
    case SalePayment::Energy:
        (dialog.*energy)();
        break;
    default:
        (dialog.*money)();
        break;
    }
}

} // namespace

// ---------------------------------------------------------------- return-card refund

void CSaleDlg::ReturnCardRefund()
{
    RunWrite(ReturnCardRefundWrite(m_strRefundMode, m_strRefundMeterNo, m_nCardState));
}

// ---------------------------------------------------------------- infrared

void CSaleDlg::WriteModifyTopUp()
{
    SalePayment payment;
    if (!NoRemoteVariant(payment))
        return;
    if (payment == SalePayment::Energy)
        WriteModifyTopUpByEnergy();
    else
        WriteModifyTopUpByMoney();
}

void CSaleDlg::WriteModifyTopUpByEnergy()
{
    RunWrite(ModifyTopUpWrite(SalePayment::Energy));
}

void CSaleDlg::WriteModifyTopUpByMoney()
{
    RunWrite(ModifyTopUpWrite(SalePayment::Money));
}

void CSaleDlg::WriteReissueTopUp()
{
    RunVariant(*this, &CSaleDlg::WriteReissueTopUpRemote, &CSaleDlg::WriteReissueTopUpByEnergy,
               &CSaleDlg::WriteReissueTopUpByMoney);
}

void CSaleDlg::WriteReissueTopUpRemote()
{
    RunWrite(ReissueTopUpWrite(SalePayment::Remote));
}

void CSaleDlg::WriteReissueTopUpByEnergy()
{
    RunWrite(ReissueTopUpWrite(SalePayment::Energy));
}

void CSaleDlg::WriteReissueTopUpByMoney()
{
    RunWrite(ReissueTopUpWrite(SalePayment::Money));
}

void CSaleDlg::WriteReissueRestore()
{
    RunWrite(ReissueRestoreWrite());
}

void CSaleDlg::WriteContinuedUse()
{
    RunVariant(*this, &CSaleDlg::WriteContinuedUseRemote, &CSaleDlg::WriteContinuedUseByEnergy,
               &CSaleDlg::WriteContinuedUseByMoney);
}

void CSaleDlg::WriteContinuedUseRemote()
{
    RunWrite(ContinuedUseWrite(SalePayment::Remote));
}

void CSaleDlg::WriteContinuedUseByEnergy()
{
    RunWrite(ContinuedUseWrite(SalePayment::Energy));
}

void CSaleDlg::WriteContinuedUseByMoney()
{
    RunWrite(ContinuedUseWrite(SalePayment::Money));
}

// ---------------------------------------------------------------- IC

void CSaleDlg::WriteIcCard()
{
    switch (m_nCardState) {
    case 102:
    case 104:
        RunVariant(*this, &CSaleDlg::WriteIcTopUpRemote, &CSaleDlg::WriteIcTopUpByEnergy,
                   &CSaleDlg::WriteIcTopUpByMoney);
        break;
    case 103:
        WriteIcModifyTopUp();
        break;
    case 106:
        WriteIcReissueTopUp();
        break;
    case 156:
        WriteIcReissueRestore();
        break;
    default:
        break; // a card that starts no write
    }
}

void CSaleDlg::WriteIcTopUpRemote()
{
    RunWrite(IcTopUpWrite(SalePayment::Remote));
}

void CSaleDlg::WriteIcTopUpByEnergy()
{
    RunWrite(IcTopUpWrite(SalePayment::Energy));
}

void CSaleDlg::WriteIcTopUpByMoney()
{
    RunWrite(IcTopUpWrite(SalePayment::Money));
}

void CSaleDlg::WriteIcModifyTopUp()
{
    SalePayment payment;
    if (!NoRemoteVariant(payment))
        return;
    if (payment == SalePayment::Energy)
        WriteIcModifyTopUpByEnergy();
    else
        WriteIcModifyTopUpByMoney();
}

void CSaleDlg::WriteIcModifyTopUpByEnergy()
{
    RunWrite(IcModifyTopUpWrite(SalePayment::Energy));
}

void CSaleDlg::WriteIcModifyTopUpByMoney()
{
    RunWrite(IcModifyTopUpWrite(SalePayment::Money));
}

void CSaleDlg::WriteIcReissueTopUp()
{
    RunVariant(*this, &CSaleDlg::WriteIcReissueTopUpRemote, &CSaleDlg::WriteIcReissueTopUpByEnergy,
               &CSaleDlg::WriteIcReissueTopUpByMoney);
}

void CSaleDlg::WriteIcReissueTopUpRemote()
{
    RunWrite(IcReissueTopUpWrite(SalePayment::Remote));
}

void CSaleDlg::WriteIcReissueTopUpByEnergy()
{
    RunWrite(IcReissueTopUpWrite(SalePayment::Energy));
}

void CSaleDlg::WriteIcReissueTopUpByMoney()
{
    RunWrite(IcReissueTopUpWrite(SalePayment::Money));
}

void CSaleDlg::WriteIcReissueRestore()
{
    RunWrite(IcReissueRestoreWrite());
}

#pragma once

// A stand-in for the sales dialog behind the write engine: the archive of one
// user and meter in a fresh database, the card as the card list would show it,
// scripted purchase inputs and payments, and a record of what the engine asked.
// The card commands go to the card tool stand-ins in the program folder.

#include "CCliBalance.h"
#include "CCliPre.h"
#include "CClient.h"
#include "CKvException.h"
#include "CPreLastWrt.h"
#include "CSaleWriteEngine.h"
#include "CWrtPrice.h"
#include "CWrtRecord.h"
#include "KvFreshDatabase.h"

#include <QStringList>
#include <cmath>
#include <functional>

class SaleWriteTestHost : public ISaleWriteHost
{
public:
    // Loads the meter, its user, the card image, the balance and the history
    // as the card read leaves them.
    void Load(const QString& clientNo, const QString& meterNo)
    {
        m_history.Clear();
        m_meters.Clear();
        m_clients.Clear();
        m_meter = m_meters.FindCurrentByMeterNo(meterNo);
        m_client = m_clients.FindByClientNo(clientNo);
        lastWrt = CPreLastWrt();
        balance = CCliBalance();
        if (m_meter)
            m_meter->GetPreLastWrt(lastWrt);
        if (m_client)
            m_client->GetBalance(balance);
        FillWriteHistory();
        calls.clear();
    }
    // Whether Load found both the meter and its user.
    bool Loaded() const { return m_meter && m_client; }

    QObject* WriteParent() override { return nullptr; }
    SaleCard ReadSaleCard() const override { return card; }
    int TotalMultiplier() const override { return totalMul; }
    double LineLossPercent() const override { return lineLossPercent; }
    void GetHistoryTotals(int& bought, int& free) const override
    {
        bought = 0;
        free = 0;
        for (const CKvObject* object : m_history.GetObList()) {
            bought += static_cast<const CWrtRecord*>(object)->GetBuyValue();
            free += static_cast<const CWrtRecord*>(object)->GetFreeValue();
        }
    }
    CCliPre& SaleMeter() override { return *m_meter; }
    CClient& SaleClient() override { return *m_client; }
    CCliBalance& SaleBalance() override { return balance; }
    CPreLastWrt& SaleLastWrt() override { return lastWrt; }
    CWrtRecordList& SaleHistory() override { return m_history; }
    double WeightedPrice() const override { return price; }
    int CardPort() const override { return 1; }
    int RemotePayIndex() const override { return 7; }

    void SumFeeLists(double& subCharges, double& feeCharges) const override
    {
        subCharges = this->subCharges;
        feeCharges = this->feeCharges;
    }
    // Every input fills `units` written units (of the multiplier) with the
    // subsidy and transformer loss set here; `money` is what a money or remote
    // input enters.
    int InputPurchaseByEnergy(PurchaseFigures& f, int purpose) override
    {
        calls << QStringLiteral("input by energy %1").arg(purpose);
        return Fill(f, units * f.totalMul);
    }
    int InputPurchaseByMoney(PurchaseFigures& f) override
    {
        calls << QStringLiteral("input by money");
        return Fill(f, money);
    }
    int InputPurchaseRemote(PurchaseFigures& f) override
    {
        calls << QStringLiteral("input remote");
        return Fill(f, money);
    }
    void BuildWrtPrices(std::vector<CWrtPrice>& shares) override
    {
        CWrtPrice share;
        share.SetPriceIndex(1);
        share.SetPricePercent(100);
        shares.assign(1, share);
    }
    // The payments: exactly what is due, or the money entered with the change
    // handed back.
    void TakePaymentByEnergy(double due, double& change, double& paid, const QString& mode) override
    {
        NotePayment(QStringLiteral("pay by energy %1 %2").arg(due, 0, 'f', 2).arg(mode));
        paid = payAsShown ? QString::asprintf("%0.2f", std::fabs(due)).toDouble() : std::fabs(due);
        change = 0;
    }
    void TakePaymentByMoney(double due, double& change, double money) override
    {
        NotePayment(QStringLiteral("pay by money %1 %2").arg(due, 0, 'f', 2).arg(money, 0, 'f', 2));
        (void)change;
    }
    void ConfirmRemotePayment(double& due, double& change, double paid) override
    {
        NotePayment(QStringLiteral("confirm remote %1 %2").arg(due, 0, 'f', 2).arg(paid, 0, 'f', 2));
        (void)change;
    }
    void LinkFeesToSale(const CWrtRecord& sale) override
    {
        if (failLinking)
            throw CKvException(QStringLiteral("更新收费记录发生错误！"));
        calls << QStringLiteral("link fees %1").arg(sale.GetWrtIndex());
    }
    void ShowBalance(double shown) override { calls << QStringLiteral("balance %1").arg(shown, 0, 'f', 2); }
    void PrintReceipt(CWrtRecord&, CClientPay&) override { calls << QStringLiteral("receipt"); }
    void FillWriteHistory() override
    {
        m_history.Clear();
        if (m_meter && m_client)
            m_history.LoadMeterHistory(m_client->GetClientNo(), m_meter->GetMeterNo());
        calls << QStringLiteral("history");
    }

    SaleCard card;
    int totalMul = 1;
    double lineLossPercent = 0;
    double price = 0.5;
    double subCharges = 0;
    double feeCharges = 0;
    int units = 80;
    int subsidy = 0;
    double transLoss = 0;
    double money = 50;
    bool cancelInput = false;
    bool failLinking = false; // the fee links of the confirmation fail
    bool payAsShown = false;  // a payment by kWh pays the due as the dialog shows it, in cents
    CCliBalance balance;
    CPreLastWrt lastWrt;
    QStringList calls;
    // The newest sale row's state when the payment was asked for (after the confirmation).
    QString stateAtPayment;
    // Run when a payment is asked for, before it is answered: where another
    // counter's payment to the same household lands.
    std::function<void()> atPayment;
    const CFreshDatabase* fresh = nullptr;

private:
    int Fill(PurchaseFigures& f, double entered)
    {
        if (cancelInput)
            return 0;
        f.writtenUnits = units;
        f.totalEnergy = units * f.totalMul;
        f.subsidy = subsidy;
        f.entered = entered;
        f.transLoss = transLoss;
        return 1;
    }
    void NotePayment(const QString& call)
    {
        calls << call;
        if (fresh)
            stateAtPayment = fresh->Value(QStringLiteral("select State from WrtRecord order by WrtIndex desc limit 1"));
        if (atPayment)
            atPayment();
    }

    CCliPreList m_meters;
    CClientList m_clients;
    CCliPre* m_meter = nullptr;
    CClient* m_client = nullptr;
    CWrtRecordList m_history;
};

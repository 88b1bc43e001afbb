#include "KvCounterSale.h"

#include "CAdoConnection.h"
#include "CKvException.h"
#include "KvSaleReceipt.h"
#include "KvSql.h"
#include "SysGlobals.h"

namespace {

const QString kPaid = QStringLiteral("收讫");

int counterKey(int station, int user)
{
    return station * 1000000 + user;
}

} // namespace

void AddCounterSaleCodes(CAdoConnection& db)
{
    const QString none;
    db.Execute(QStringLiteral("insert into PreModel (ModelId, Model, Spec, InnerMul, DevType, CardType, Phase, MaxLimit, "
                              "MinLimit, BaseValue, State, SortIndex, bCt, bPt) values ('S1', 'DDSY', '5(20)A', 1, "
                              "'预付费电表', '红外遥控卡', '单相', 20, 5, 1.5, '正常', 1, '否', '否')"),
               none);
    db.Execute(QStringLiteral("insert into Price (PriceNo, PriceName, PriceType, State) values ('S1', '居民电价', "
                              "'预付费电价', '正常')"),
               none);
    db.Execute(QStringLiteral("insert into PriceVer (PriceIndex, PriceNo, Price, BeginDate, EndDate, OperatorNo, "
                              "ModiTime) values (1, 'S1', 0.5, CDate('2000-01-01'), CDate('2050-12-31'), 'qz', "
                              "CDate('2020-01-01'))"),
               none);
}

void AddCounterOperator(CAdoConnection& db, const QString& operatorNo, int station)
{
    db.Execute(KvFormatSql("insert into Operator (OperatorNo, OperatorName, OperatorPw, StationNo) "
                           "values ('%s', '%s', '', '%s')",
                           operatorNo, QStringLiteral("收费员") + operatorNo, QString::asprintf("%02d", station)),
               QString());
}

QString CounterClientNo(int station, int user)
{
    return QString::asprintf("%02d%06d", station, user);
}

QString CounterMeterNo(int station, int user)
{
    return QStringLiteral("M") + CounterClientNo(station, user);
}

void AddCounterUsers(CAdoConnection& db, int station, int users)
{
    CAdoTransaction transaction(db);
    for (int user = 1; user <= users; ++user) {
        const int key = counterKey(station, user);
        const QString client = CounterClientNo(station, user);
        const QString meter = CounterMeterNo(station, user);
        db.Execute(KvFormatSql("insert into Client (ClientIndex, ClientNo, BlockNo, BuildingNo, LayerNo, RoomNo, Cell, "
                               "DepartmentNo, ClientName, ClientId, Addr, Tel, MemberNum, State, Descrip, OperatorNo, "
                               "BeginDate, EndDate, ModiTime) values (%d, '%s', '00', '00', '1', '101', '1', '00', "
                               "'%s', '', '', '', 3, '正常', '', 'qz', CDate('2020-01-01'), CDate('2050-12-31'), "
                               "CDate('2020-01-01'))",
                               key, client, QStringLiteral("住户") + client),
                   QString());
        db.Execute(KvFormatSql("insert into CliPre (CliPreIndex, ClientNo, MeterNo, ModelId, Ct, Pt, PrePayRate, "
                               "TTWaste, TLWaste, MeterLevel, SuperNo, LimitValue, AlarmShold, CloseShold, Pulses, "
                               "OutState, Descrip, State, OperatorNo, BeginDate, EndDate, ModiTime) values (%d, '%s', "
                               "'%s', 'S1', 1, 1, 0, 0, 0, '', '', '800', 30, 20, 0, '常闭', '', '正常', 'qz', "
                               "CDate('2020-01-01'), CDate('2050-12-31'), CDate('2020-01-01'))",
                               key, client, meter),
                   QString());
        db.Execute(KvFormatSql("insert into PrePrice (PrePriceIndex, CliPreIndex, PriceX, PriceNo, PricePercent) "
                               "values (%d, %d, 0, 'S1', 100)",
                               key, key),
                   QString());
        db.Execute(KvFormatSql("insert into PreLastWrt (MeterNo, VNo, WrtIndex, WrtNum, WrtValue, LimitValue, "
                               "AlarmShold, CloseShold, AccuBuy, AccuUse, AccuRemain, OpMode, WrtTime) values ('%s', "
                               "'', 0, 1, 50, '800', 30, 20, 50, 0, 50, '正常充值', CDate('2026-01-01 08:00:00'))",
                               meter),
                   QString());
        db.Execute(KvFormatSql("insert into CliBalance (ClientNo, PayIndex, WrtNum, TotFee, RealPay, PayMode, "
                               "ThisBalance, LastBalance, InvoiceNo) values ('%s', 0, 1, 0, 0, '现金', 0, 0, '')",
                               client),
                   QString());
    }
    transaction.Commit();
}

bool OpenCounterConnections(QString& failure)
{
    try {
        GetLocalDatabase()->Open(0, GetLocalConnectString());
        if (!GetMainDatabase()->IsOpen())
            GetMainDatabase()->Open(1, GetServerConnectString());
        return true;
    } catch (const CKvException& e) {
        failure = e.text();
        return false;
    }
}

bool CCounterSaleHost::LoadSale(const QString& clientNo, const QString& meterNo)
{
    Load(clientNo, meterNo);
    if (!Loaded())
        return false;
    card = SaleCard();
    card.meterNo = meterNo;
    card.count = lastWrt.GetWrtNum();
    card.lastAmount = lastWrt.GetWrtValue();
    card.use = lastWrt.GetAccuUse();
    card.purchase = lastWrt.GetAccuBuy();
    card.remaining = lastWrt.GetAccuRemain();
    card.archiveLimit = SaleMeter().GetLimitValue();
    soldIndex = 0;
    soldState.clear();
    receiptNo.clear();
    return true;
}

void CCounterSaleHost::TakePaymentByEnergy(double due, double& change, double& paid, const QString& mode)
{
    if (beforePayment)
        beforePayment();
    SaleWriteTestHost::TakePaymentByEnergy(due, change, paid, mode);
}

void CCounterSaleHost::PrintReceipt(CWrtRecord& sale, CClientPay& pay)
{
    if (beforeReceipt)
        beforeReceipt();
    soldIndex = sale.GetWrtIndex();
    soldState = sale.GetStateWord();
    receiptNo = NumberSaleReceipt(pay, balance);
    calls << QStringLiteral("receipt");
}

void CCounterSaleHost::LinkFeesToSale(const CWrtRecord& sale)
{
    if (insideConfirmation)
        insideConfirmation();
    SaleWriteTestHost::LinkFeesToSale(sale);
}

CounterSaleResult SellCounterTopUp(CCounterSaleHost& host, const QString& clientNo, const QString& meterNo,
                                   bool writeCard)
{
    CounterSaleResult result;
    try {
        if (!host.LoadSale(clientNo, meterNo)) {
            result.failure = QStringLiteral("no current meter %1 of user %2").arg(meterNo, clientNo);
            return result;
        }
        SaleWriteDescriptor descriptor = CSaleWriteEngine::TopUp(SalePayment::Energy);
        if (!writeCard) {
            descriptor.writesCard = false;
            descriptor.cardWrite = nullptr;
        }
        CSaleWriteEngine engine(host);
        engine.Run(descriptor);
        result.wrtIndex = host.soldIndex;
        result.receiptNo = host.receiptNo;
        if (host.soldState != kPaid || host.receiptNo.isEmpty())
            result.failure = QStringLiteral("the sale stopped before its receipt: %1").arg(host.calls.join(u','));
    } catch (const CKvException& e) {
        result.failure = e.text();
    }
    return result;
}

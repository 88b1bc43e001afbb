// One round trip per wide sale record: a distinct value in every column, each
// read back by its name from the stored row and from the loaded record, so that
// two columns swapped in a long insert, update or load fail here.

#include "CAdoConnection.h"
#include "CCliBalance.h"
#include "CClientPay.h"
#include "CManualFee.h"
#include "CPreLastWrt.h"
#include "CSubRead.h"
#include "CWrtRecord.h"
#include "KvFreshDatabase.h"
#include "KvSql.h"

#include <gtest/gtest.h>

namespace {

using Columns = QMap<QString, QString>;

const QDateTime kFirst(QDate(2026, 1, 2), QTime(3, 4, 5));
const QDateTime kSecond(QDate(2025, 6, 7), QTime(8, 9, 10));

// The card figures a sale and a meter's card image share (the image copies
// them from the confirmed sale).
template <class Record> Columns CardFigures(const Record& r)
{
    return {{"MeterNo", r.GetMeterNo()},
            {"WrtIndex", FieldText(r.GetWrtIndex())},
            {"WrtNum", FieldText(r.GetWrtNum())},
            {"WrtValue", FieldText(r.GetWrtValue())},
            {"LimitValue", r.GetLimitValue()},
            {"AlarmShold", FieldText(r.GetAlarmShold())},
            {"CloseShold", FieldText(r.GetCloseShold())},
            {"AccuBuy", FieldText(r.GetAccuBuy())},
            {"AccuUse", FieldText(r.GetAccuUse())},
            {"AccuRemain", FieldText(r.GetAccuRemain())},
            {"OpMode", r.GetOpMode()},
            {"WrtTime", FieldText(r.GetWrtTime())}};
}

// Distinct card figures, told apart from another record's by `base`.
template <class Record> void SetCardFigures(Record& r, int base, const QString& opMode, const QDateTime& time)
{
    r.SetWrtIndex(base + 2);
    r.SetWrtNum(base + 3);
    r.SetWrtValue(base + 4);
    r.SetLimitValue(QString::number(base + 5));
    r.SetAlarmShold(base + 6);
    r.SetCloseShold(base + 7);
    r.SetAccuBuy(base + 8);
    r.SetAccuUse(base + 9.25);
    r.SetAccuRemain(base + 10.5);
    r.SetOpMode(opMode);
    r.SetWrtTime(time);
}

Columns Fields(const CWrtRecord& r)
{
    Columns columns = CardFigures(r);
    columns.insert({{"CliPreIndex", FieldText(r.GetCliPreIndex())},
                    {"TotalMul", FieldText(r.GetTotalMul())},
                    {"BuyValue", FieldText(r.GetBuyValue())},
                    {"FreeValue", FieldText(r.GetFreeValue())},
                    {"LWaste", FieldText(r.GetLWaste())},
                    {"TWaste", FieldText(r.GetTWaste())},
                    {"Price", FieldText(r.GetPrice())},
                    {"Fee", FieldText(r.GetFee())},
                    {"PrePay", FieldText(r.GetPrePay())},
                    {"SubFee", FieldText(r.GetSubFee())},
                    {"FixFee", FieldText(r.GetFixFee())},
                    {"State", r.GetStateWord()},
                    {"OperatorNo", r.GetOperatorNo()}});
    return columns;
}

Columns Fields(const CClientPay& r)
{
    return {{"PayIndex", FieldText(r.GetPayIndex())},
            {"WrtIndex", FieldText(r.GetWrtIndex())},
            {"WrtNum", FieldText(r.GetWrtNum())},
            {"TotFee", FieldText(r.GetTotFee())},
            {"RealPay", FieldText(r.GetRealPay())},
            {"PayMode", r.GetPayMode()},
            {"ThisBalance", FieldText(r.GetThisBalance())},
            {"LastBalance", FieldText(r.GetLastBalance())},
            {"InvoiceNo", r.GetInvoiceNo()},
            {"State", r.GetStateWord()}};
}

Columns Fields(const CCliBalance& r)
{
    return {{"ClientNo", r.GetClientNo()},
            {"PayIndex", FieldText(r.GetPayIndex())},
            {"WrtNum", FieldText(r.GetWrtNum())},
            {"TotFee", FieldText(r.GetTotFee())},
            {"RealPay", FieldText(r.GetRealPay())},
            {"PayMode", r.GetPayMode()},
            {"ThisBalance", FieldText(r.GetThisBalance())},
            {"LastBalance", FieldText(r.GetLastBalance())},
            {"InvoiceNo", r.GetInvoiceNo()}};
}

Columns Fields(const CPreLastWrt& r)
{
    Columns columns = CardFigures(r);
    columns.insert("VNo", r.GetVNo());
    return columns;
}

Columns Fields(const CManualFee& r)
{
    return {{"ManualIndex", FieldText(r.GetManualIndex())},
            {"MeterNo", r.GetMeterNo()},
            {"WrtNum", FieldText(r.GetWrtNum())},
            {"WrtIndex", FieldText(r.GetWrtIndex())},
            {"ClientName", r.GetClientName()},
            {"Department", r.GetDepartment()},
            {"ClientNo", r.GetClientNo()},
            {"YearMonth", r.GetYearMonth()},
            {"SubRead", FieldText(r.GetSubRead())},
            {"ElecRead", FieldText(r.GetElecRead())},
            {"SubFee", FieldText(r.GetSubFee())},
            {"ElecFee", FieldText(r.GetElecFee())},
            {"TenementArea", FieldText(r.GetTenementArea())},
            {"Fee", FieldText(r.GetFee())},
            {"TotalFee", FieldText(r.GetTotalFee())},
            {"TeneFee", FieldText(r.GetTeneFee())},
            {"State", r.GetStateWord()},
            {"WrtTime", FieldText(r.GetWrtTime())},
            {"OperatorName", r.GetOperatorName()}};
}

Columns Fields(const CSubRead& r)
{
    return {{"ReadIndex", FieldText(r.GetReadIndex())},
            {"SubNo", r.GetSubNo()},
            {"CliSubIndex", FieldText(r.GetCliSubIndex())},
            {"WrtIndex", FieldText(r.GetWrtIndex())},
            {"WrtNum", FieldText(r.GetWrtNum())},
            {"LastRead", FieldText(r.GetLastRead())},
            {"ThisRead", FieldText(r.GetThisRead())},
            {"ThisPulses", FieldText(r.GetThisPulses())},
            {"LastPulses", FieldText(r.GetLastPulses())},
            {"RealUse", FieldText(r.GetRealUse())},
            {"StealFlag", FieldText(r.GetStealFlag())},
            {"ReadTime", FieldText(r.GetReadTime())},
            {"FreeValue", FieldText(r.GetFreeValue())},
            {"BuyValue", FieldText(r.GetBuyValue())},
            {"PriceIndex", FieldText(r.GetPriceIndex())},
            {"Price", FieldText(r.GetPrice())},
            {"Fee", FieldText(r.GetFee())}};
}

// A payment whose fields all differ, from each other and from those of
// another `base`.
void FillPayment(CClientPay& pay, int base)
{
    pay.SetWrtIndex(100000002 + base);
    pay.SetWrtNum(base + 3);
    pay.SetTotFee(base + 4.25);
    pay.SetRealPay(base + 5.5);
    pay.SetPayMode(base ? QStringLiteral("转账") : QStringLiteral("支票"));
    pay.SetThisBalance(base + 6.75);
    pay.SetLastBalance(base + 7.125);
    pay.SetInvoiceNo(QStringLiteral("I%1").arg(base + 8));
    pay.SetState(QStringLiteral("S%1").arg(base + 9));
}

// Writes a loaded or stored record's changed fields back (its update).
void SaveChanged(CKvPersistance& record)
{
    record.SetState(CKvPersistance::StateChanged);
    record.Save();
}

using PinnedColumnsTest = FreshDatabaseTest;

} // namespace

TEST_F(PinnedColumnsTest, Sale)
{
    CWrtRecord sale;
    sale.SetMeterNo("M0000001");
    SetCardFigures(sale, 100, "开户", kFirst); // its key is drawn on saving
    sale.SetCliPreIndex(2);
    sale.SetTotalMul(8);
    sale.SetBuyValue(9);
    sale.SetFreeValue(10);
    sale.SetLWaste(14.75);
    sale.SetTWaste(15.125);
    sale.SetPrice(16.375);
    sale.SetFee(17.625);
    sale.SetPrePay(18.875);
    sale.SetSubFee(19.0625);
    sale.SetFixFee(20.1875);
    sale.SetState("待写");
    sale.SetOperatorNo("op21");
    sale.Save();

    const Columns expected = Fields(sale);
    EXPECT_EQ(expected.value("WrtIndex").size(), 9) << "a key was drawn";
    EXPECT_EQ(fresh.Row(KvFormatSql("select * from WrtRecord where WrtIndex = %d", sale.GetWrtIndex())), expected);
    CWrtRecordList list;
    ASSERT_NE(list.LoadByWrtIndex(sale.GetWrtIndex()), nullptr);
    EXPECT_EQ(Fields(*list.At(0)), expected);
}

TEST_F(PinnedColumnsTest, PaymentInsertedAndUpdated)
{
    CClientPay pay;
    FillPayment(pay, 0);
    pay.Save();
    CClientPayList list;
    ASSERT_NE(list.LoadByWrtIndex(100000002), nullptr);
    EXPECT_EQ(fresh.Row("select * from ClientPay"), Fields(pay));
    EXPECT_EQ(Fields(*list.At(0)), Fields(pay));

    // The update rewrites every column but the key with new distinct values.
    FillPayment(pay, 10);
    SaveChanged(pay);
    EXPECT_EQ(fresh.Row("select * from ClientPay"), Fields(pay));
}

TEST_F(PinnedColumnsTest, BalanceInsertedAndUpdatedFromAPayment)
{
    CCliBalance balance;
    balance.SetClientNo("U1");
    balance.SetPayIndex(2);
    balance.SetWrtNum(3);
    balance.SetTotFee(4.25);
    balance.SetRealPay(5.5);
    balance.SetPayMode("支票");
    balance.SetThisBalance(6.75);
    balance.SetLastBalance(7.125);
    balance.SetInvoiceNo("I8");
    balance.Save();
    CCliBalanceList list;
    ASSERT_NE(list.LoadByClientNo("U1"), nullptr);
    EXPECT_EQ(fresh.Row("select * from CliBalance where ClientNo = 'U1'"), Fields(balance));
    EXPECT_EQ(Fields(*list.At(0)), Fields(balance));

    CClientPay pay;
    pay.SetPayIndex(12);
    FillPayment(pay, 10);
    balance.SetFromClientPay(pay);
    EXPECT_EQ(fresh.Row("select * from CliBalance where ClientNo = 'U1'"), Fields(balance));
    EXPECT_EQ(balance.GetInvoiceNo(), "I18");
}

TEST_F(PinnedColumnsTest, CardImageInsertedAndUpdatedFromASale)
{
    CPreLastWrt image;
    image.SetMeterNo("M0000001");
    SetCardFigures(image, 0, "开户", kFirst);
    image.Save();
    CPreLastWrtList list;
    ASSERT_NE(list.LoadByMeterNo("M0000001"), nullptr);
    EXPECT_EQ(fresh.Row("select * from PreLastWrt"), Fields(image));
    EXPECT_EQ(Fields(*list.At(0)), Fields(image));

    CWrtRecord sale;
    SetCardFigures(sale, 10, "补卡补值", kSecond);
    image.UpdateFromWrtRecord(sale);
    EXPECT_EQ(image.GetWrtIndex(), 12);
    EXPECT_EQ(fresh.Row("select * from PreLastWrt"), Fields(image));
}

TEST_F(PinnedColumnsTest, ManualFeeLoadedAndUpdated)
{
    db().Execute("insert into ManualFee values(1, 'M2', 3, 4, '名5', 'D6', 'U7', '2026-08', 9.25, 10.5, 11.75, "
                 "12.125, 13.375, 14.625, 15.875, 16.0625, '未收费', '2025-06-07 08:09:10', 'op19')",
                 QString());
    CManualFeeList list;
    list.Load("select * from ManualFee");
    ASSERT_EQ(list.GetCount(), 1);
    CManualFee& fee = *list.At(0);
    // The load leaves the collection time and operator to the coming sale.
    fee.SetWrtTime(kSecond);
    fee.SetOperatorName("op19");
    EXPECT_EQ(Fields(fee), fresh.Row("select * from ManualFee"));

    fee.SetMeterNo("M12");
    fee.SetWrtNum(13);
    fee.SetWrtIndex(14);
    fee.SetClientName("名15");
    fee.SetDepartment("D16");
    fee.SetClientNo("U17");
    fee.SetYearMonth("2026-09");
    fee.SetSubRead(19.25);
    fee.SetElecRead(20.5);
    fee.SetSubFee(21.75);
    fee.SetElecFee(22.125);
    fee.SetTenementArea(23.375);
    fee.SetFee(24.625);
    fee.SetTotalFee(25.875);
    fee.SetTeneFee(26.0625);
    fee.SetState("已收费");
    fee.SetWrtTime(kFirst);
    fee.SetOperatorName("op29");
    SaveChanged(fee);
    EXPECT_EQ(fresh.Row("select * from ManualFee"), Fields(fee));
}

TEST_F(PinnedColumnsTest, SubMeterReading)
{
    CSubRead read;
    read.SetSubNo("S2");
    read.SetCliSubIndex(3);
    read.SetWrtNum(5);
    read.SetLastRead(6.25);
    read.SetThisRead(7.5);
    read.SetThisPulses(8);
    read.SetLastPulses(9);
    read.SetRealUse(10.75);
    read.SetStealFlag(11);
    read.SetReadTime(QDateTime(kSecond.date(), QTime(0, 0)));
    read.SetFreeValue(13.125);
    read.SetBuyValue(14.375);
    read.SetPriceIndex(15);
    read.SetPrice(16.625);
    read.SetFee(17.875);
    read.Save();
    read.SetWrtIndex(100000004);
    CSubReadList list;
    list.Load("select * from SubRead");
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(fresh.Row("select * from SubRead"), Fields(read));
    EXPECT_EQ(Fields(*list.At(0)), Fields(read));
}

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

Columns Fields(const CWrtRecord& r)
{
    return {{"WrtIndex", FieldText(r.GetWrtIndex())},
            {"MeterNo", r.GetMeterNo()},
            {"CliPreIndex", FieldText(r.GetCliPreIndex())},
            {"WrtValue", FieldText(r.GetWrtValue())},
            {"LimitValue", r.GetLimitValue()},
            {"AlarmShold", FieldText(r.GetAlarmShold())},
            {"CloseShold", FieldText(r.GetCloseShold())},
            {"WrtNum", FieldText(r.GetWrtNum())},
            {"TotalMul", FieldText(r.GetTotalMul())},
            {"BuyValue", FieldText(r.GetBuyValue())},
            {"FreeValue", FieldText(r.GetFreeValue())},
            {"AccuBuy", FieldText(r.GetAccuBuy())},
            {"AccuUse", FieldText(r.GetAccuUse())},
            {"AccuRemain", FieldText(r.GetAccuRemain())},
            {"LWaste", FieldText(r.GetLWaste())},
            {"TWaste", FieldText(r.GetTWaste())},
            {"Price", FieldText(r.GetPrice())},
            {"Fee", FieldText(r.GetFee())},
            {"PrePay", FieldText(r.GetPrePay())},
            {"SubFee", FieldText(r.GetSubFee())},
            {"FixFee", FieldText(r.GetFixFee())},
            {"OpMode", r.GetOpMode()},
            {"State", r.GetStateWord()},
            {"OperatorNo", r.GetOperatorNo()},
            {"WrtTime", FieldText(r.GetWrtTime())}};
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
    return {{"MeterNo", r.GetMeterNo()},
            {"VNo", r.GetVNo()},
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

using PinnedColumnsTest = FreshDatabaseTest;

} // namespace

TEST_F(PinnedColumnsTest, Sale)
{
    CWrtRecord sale;
    sale.SetMeterNo("M0000001");
    sale.SetCliPreIndex(2);
    sale.SetWrtValue(3);
    sale.SetLimitValue("4");
    sale.SetAlarmShold(5);
    sale.SetCloseShold(6);
    sale.SetWrtNum(7);
    sale.SetTotalMul(8);
    sale.SetBuyValue(9);
    sale.SetFreeValue(10);
    sale.SetAccuBuy(11);
    sale.SetAccuUse(12.25);
    sale.SetAccuRemain(13.5);
    sale.SetLWaste(14.75);
    sale.SetTWaste(15.125);
    sale.SetPrice(16.375);
    sale.SetFee(17.625);
    sale.SetPrePay(18.875);
    sale.SetSubFee(19.0625);
    sale.SetFixFee(20.1875);
    sale.SetOpMode("开户");
    sale.SetState("待写");
    sale.SetOperatorNo("op21");
    sale.SetWrtTime(kFirst);
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
    pay.SetWrtIndex(100000002);
    pay.SetWrtNum(3);
    pay.SetTotFee(4.25);
    pay.SetRealPay(5.5);
    pay.SetPayMode("支票");
    pay.SetThisBalance(6.75);
    pay.SetLastBalance(7.125);
    pay.SetInvoiceNo("I8");
    pay.SetState("S9");
    pay.Save();
    CClientPayList list;
    ASSERT_NE(list.LoadByWrtIndex(100000002), nullptr);
    EXPECT_EQ(fresh.Row("select * from ClientPay"), Fields(pay));
    EXPECT_EQ(Fields(*list.At(0)), Fields(pay));

    // The update rewrites every column but the key with new distinct values.
    pay.SetWrtIndex(100000012);
    pay.SetWrtNum(13);
    pay.SetTotFee(14.25);
    pay.SetRealPay(15.5);
    pay.SetPayMode("转账");
    pay.SetThisBalance(16.75);
    pay.SetLastBalance(17.125);
    pay.SetInvoiceNo("I18");
    pay.SetState("S19");
    pay.SetState(CKvPersistance::StateChanged);
    pay.Save();
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
    pay.SetWrtNum(13);
    pay.SetTotFee(14.25);
    pay.SetRealPay(15.5);
    pay.SetPayMode("转账");
    pay.SetThisBalance(16.75);
    pay.SetLastBalance(17.125);
    pay.SetInvoiceNo("I18");
    balance.SetFromClientPay(pay);
    EXPECT_EQ(fresh.Row("select * from CliBalance where ClientNo = 'U1'"), Fields(balance));
    EXPECT_EQ(balance.GetInvoiceNo(), "I18");
}

TEST_F(PinnedColumnsTest, CardImageInsertedAndUpdatedFromASale)
{
    CPreLastWrt image;
    image.SetMeterNo("M0000001");
    image.SetWrtIndex(2);
    image.SetWrtNum(3);
    image.SetWrtValue(4);
    image.SetLimitValue("5");
    image.SetAlarmShold(6);
    image.SetCloseShold(7);
    image.SetAccuBuy(8);
    image.SetAccuUse(9.25);
    image.SetAccuRemain(10.5);
    image.SetOpMode("开户");
    image.SetWrtTime(kFirst);
    image.Save();
    CPreLastWrtList list;
    ASSERT_NE(list.LoadByMeterNo("M0000001"), nullptr);
    EXPECT_EQ(fresh.Row("select * from PreLastWrt"), Fields(image));
    EXPECT_EQ(Fields(*list.At(0)), Fields(image));

    CWrtRecord sale;
    sale.SetWrtIndex(12);
    sale.SetWrtNum(13);
    sale.SetWrtValue(14);
    sale.SetLimitValue("15");
    sale.SetAlarmShold(16);
    sale.SetCloseShold(17);
    sale.SetAccuBuy(18);
    sale.SetAccuUse(19.25);
    sale.SetAccuRemain(20.5);
    sale.SetOpMode("补卡补值");
    sale.SetWrtTime(kSecond);
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
    fee.SetState(CKvPersistance::StateChanged);
    fee.Save();
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

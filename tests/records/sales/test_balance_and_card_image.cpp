#include "CAdoConnection.h"
#include "CCliBalance.h"
#include "CClientPay.h"
#include "CPreLastWrt.h"
#include "CWrtRecord.h"
#include "KvFreshDatabase.h"
#include "SalesTestHelpers.h"
#include "SysGlobals.h"

#include <gtest/gtest.h>

namespace {

CClientPay MakePayment(int payIndex, double balance)
{
    CClientPay pay;
    pay.SetPayIndex(payIndex);
    pay.SetWrtIndex(100000001);
    pay.SetWrtNum(4);
    pay.SetTotFee(50.5);
    pay.SetRealPay(60);
    pay.SetPayMode("支票");
    pay.SetThisBalance(balance);
    pay.SetLastBalance(0.5);
    pay.SetInvoiceNo("00000007");
    return pay;
}

CWrtRecord* MakeSale(CWrtRecord& sale, const QString& opMode)
{
    sale.SetWrtIndex(100000009);
    sale.SetWrtNum(5);
    sale.SetWrtValue(200);
    sale.SetLimitValue("600");
    sale.SetAlarmShold(25);
    sale.SetCloseShold(15);
    sale.SetAccuBuy(1200);
    sale.SetAccuUse(950.5);
    sale.SetAccuRemain(249.5);
    sale.SetOpMode(opMode);
    sale.SetWrtTime(QDateTime(QDate(2026, 12, 9), QTime(8, 15, 0)));
    return &sale;
}

} // namespace

using BalanceTest = FreshDatabaseTest;
using CardImageTest = FreshDatabaseTest;

TEST_F(BalanceTest, DefaultsEmptyKeyAndMissingRow)
{
    CCliBalance balance;
    EXPECT_EQ(balance.GetPayMode(), "现金");
    EXPECT_EQ(
        std::make_tuple(balance.GetClientNo(), balance.GetPayIndex(), balance.GetWrtNum(), balance.GetInvoiceNo()),
        std::make_tuple(QString(), -1, 0, QString()));
    EXPECT_EQ(balance.GetThisBalance() + balance.GetLastBalance() + balance.GetTotFee() + balance.GetRealPay(), 0.0);
    EXPECT_EQ(balance.GetState(), CKvPersistance::StateNew);

    EXPECT_EQ(ThrownText([&] { balance.Save(); }), "向数据库增加用户余额发生错误！");
    EXPECT_EQ(fresh.Count("select * from CliBalance"), 0);

    CCliBalanceList list;
    EXPECT_EQ(list.LoadByClientNo("C001"), nullptr);

    balance.SetClientNo("C001");
    balance.Save();
    const CCliBalance* loaded = list.LoadByClientNo("c001"); // codes compare without regard to case
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetPayMode(), "现金");

    // A copy is inert: saving it writes nothing.
    CCliBalance copy;
    copy = *loaded;
    EXPECT_EQ(copy.GetClientNo(), "C001");
    EXPECT_EQ(copy.GetState(), CKvPersistance::StateInert);
    copy.SetThisBalance(99);
    copy.Save();
    EXPECT_EQ(fresh.Value("select ThisBalance from CliBalance"), "0");

    CCliBalanceList::DeleteByClientNo("C001");
    EXPECT_EQ(fresh.Count("select * from CliBalance"), 0);
}

TEST_F(BalanceTest, APaymentUpdatesTheUsersRowOrInsertsIt)
{
    for (bool rowExists : {true, false}) {
        db().Execute("delete from CliBalance", QString());
        if (rowExists) {
            CCliBalance first;
            first.SetClientNo("C001");
            first.Save();
        }
        CCliBalance balance;
        balance.SetClientNo("C001");
        balance.SetFromClientPay(MakePayment(100000003, 1234567.89));
        EXPECT_EQ(balance.GetState(), CKvPersistance::StateStored);

        CCliBalanceList list;
        const CCliBalance* row = list.LoadByClientNo("C001");
        ASSERT_NE(row, nullptr) << rowExists;
        EXPECT_EQ(fresh.Count("select * from CliBalance"), 1);
        EXPECT_EQ(std::make_tuple(row->GetPayIndex(), row->GetWrtNum(), row->GetPayMode(), row->GetInvoiceNo()),
                  std::make_tuple(100000003, 4, QString("支票"), QString("00000007")));
        EXPECT_DOUBLE_EQ(row->GetThisBalance(), 1234567.89);
        EXPECT_DOUBLE_EQ(row->GetLastBalance(), 0.5);
        EXPECT_DOUBLE_EQ(row->GetTotFee(), 50.5);
        EXPECT_DOUBLE_EQ(row->GetRealPay(), 60);
    }
}

TEST_F(BalanceTest, TheInsertedRowBelongsToTheCallersTransaction)
{
    {
        CAdoTransaction payment(db());
        CCliBalance balance;
        balance.SetClientNo("C001");
        balance.SetFromClientPay(MakePayment(100000003, 10));
        EXPECT_EQ(fresh.Count("select * from CliBalance"), 1);
    } // rolled back
    EXPECT_EQ(fresh.Count("select * from CliBalance"), 0);

    // A record that was never given its user names no row: it writes nothing
    // and does not fail the caller's payment.
    CCliBalance unnamed;
    EXPECT_EQ(ThrownText([&] { unnamed.SetFromClientPay(MakePayment(100000003, 10)); }), "");
    EXPECT_EQ(unnamed.GetPayIndex(), 100000003);
    EXPECT_EQ(fresh.Count("select * from CliBalance"), 0);
}

TEST(CPreLastWrt, VNoIsNineAndTheLastSevenCharacters)
{
    struct Case
    {
        QString meterNo, vNo;
    } cases[] = {
        {"ABCDEFGH", "9BCDEFGH"}, {"XYZ", "9XYZ"}, {"1234567", "91234567"}, {"0012345678", "92345678"}, {"", "9"}};
    for (const Case& c : cases) {
        CPreLastWrt image;
        image.SetMeterNo(c.meterNo);
        EXPECT_EQ(image.GetVNo(), c.vNo) << c.meterNo.toStdString();
    }
}

TEST_F(CardImageTest, InsertWritesTheVNoOfTheMeterNumberAndLoadsBack)
{
    CPreLastWrt image;
    EXPECT_EQ(std::make_tuple(image.GetWrtIndex(), image.GetWrtNum(), image.GetAlarmShold(), image.GetOpMode()),
              std::make_tuple(-1, -1, 0, QString()));
    EXPECT_EQ(image.GetWrtTime(), GetServerTime());
    EXPECT_EQ(ThrownText([&] { image.Save(); }), "向数据库增加最近写卡数据时发生错误！");

    image.SetMeterNo("ABCDEFGH");
    image.SetVNo(QString()); // as if never set: the insert computes it
    image.Save();
    EXPECT_EQ(fresh.Value("select VNo from PreLastWrt"), "9BCDEFGH");
    EXPECT_TRUE(CPreLastWrtList::ExistsMeterNo("ABCDEFGH"));
    EXPECT_FALSE(CPreLastWrtList::ExistsMeterNo("ABCDEFGX"));
    EXPECT_EQ(CPreLastWrtList::FindMeterNoByVNo("9BCDEFGH"), "ABCDEFGH");
    EXPECT_EQ(CPreLastWrtList::FindMeterNoByVNo("9XXXXXXX"), "");

    CPreLastWrtList list;
    EXPECT_EQ(list.LoadByMeterNo("NOSUCH"), nullptr);
    const CPreLastWrt* loaded = list.LoadByMeterNo("ABCDEFGH");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetWrtTime(), GetServerTime());
    EXPECT_EQ(loaded->GetWrtNum(), -1);

    CPreLastWrtList::DeleteByMeterNo("ABCDEFGH");
    EXPECT_FALSE(CPreLastWrtList::ExistsMeterNo("ABCDEFGH"));
}

TEST_F(CardImageTest, AConfirmedWriteUpdatesTheImageOrInsertsIt)
{
    for (bool rowExists : {true, false}) {
        db().Execute("delete from PreLastWrt", QString());
        CPreLastWrt image;
        image.SetMeterNo("12345678");
        if (rowExists) {
            image.Save();
            // The update never rewrites the card number.
            db().Execute("update PreLastWrt set VNo = 'kept'", QString());
        }
        CWrtRecord sale;
        image.UpdateFromWrtRecord(*MakeSale(sale, "补卡补值"));

        CPreLastWrtList list;
        const CPreLastWrt* row = list.LoadByMeterNo("12345678");
        ASSERT_NE(row, nullptr) << rowExists;
        EXPECT_EQ(row->GetVNo(), rowExists ? "kept" : "92345678");
        EXPECT_EQ(std::make_tuple(row->GetWrtIndex(), row->GetWrtNum(), row->GetWrtValue(), row->GetLimitValue(),
                                  row->GetAlarmShold(), row->GetCloseShold(), row->GetAccuBuy(), row->GetOpMode()),
                  std::make_tuple(100000009, 5, 200, QString("600"), 25, 15, 1200, QString("补卡补值")));
        EXPECT_DOUBLE_EQ(row->GetAccuUse(), 950.5);
        EXPECT_DOUBLE_EQ(row->GetAccuRemain(), 249.5);
        EXPECT_EQ(row->GetWrtTime(), QDateTime(QDate(2026, 12, 9), QTime(8, 15, 0)));
    }

    // Inside the confirming transaction, a rollback takes the inserted image too.
    db().Execute("delete from PreLastWrt", QString());
    {
        CAdoTransaction confirm(db());
        CPreLastWrt image;
        image.SetMeterNo("12345678");
        CWrtRecord sale;
        image.UpdateFromWrtRecord(*MakeSale(sale, "正常充值"));
    }
    EXPECT_EQ(fresh.Count("select * from PreLastWrt"), 0);

    // A default image, as the loads hand out for a meter without an image row,
    // takes the sale's meter and inserts that meter's row.
    CPreLastWrt fresh0;
    CWrtRecord sale;
    MakeSale(sale, "正常充值")->SetMeterNo("87654321");
    fresh0.UpdateFromWrtRecord(sale);
    EXPECT_EQ(fresh0.GetMeterNo(), "87654321");
    EXPECT_EQ(fresh.Value("select VNo || ' ' || OpMode from PreLastWrt where MeterNo = '87654321'"),
              "97654321 正常充值");
    db().Execute("delete from PreLastWrt", QString());

    // A failing statement keeps the copied figures in the record and passes
    // the failure on with its text.
    db().Execute("create trigger NoImage before insert on PreLastWrt begin select raise(abort, 'no'); end", QString());
    CPreLastWrt failing;
    failing.SetMeterNo("12345678");
    EXPECT_EQ(ThrownText([&] { failing.UpdateFromWrtRecord(*MakeSale(sale, "补卡补值")); }),
              "向数据库增加最近写卡数据时发生错误！");
    EXPECT_EQ(failing.GetWrtIndex(), 100000009);
}

TEST(CPreLastWrt, ACopyTakesEveryFieldAndIsInert)
{
    CPreLastWrt image;
    image.SetMeterNo("12345678");
    image.SetAccuUse(3.5);
    image.SetOpMode("返卡退费");
    CPreLastWrt copy;
    copy = image;
    EXPECT_EQ(std::make_tuple(copy.GetMeterNo(), copy.GetVNo(), copy.GetAccuUse(), copy.GetOpMode()),
              std::make_tuple(QString("12345678"), QString("92345678"), 3.5, QString("返卡退费")));
    EXPECT_EQ(copy.GetState(), CKvPersistance::StateInert);
}

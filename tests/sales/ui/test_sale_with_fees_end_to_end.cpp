// A cashier's sale with fees, from the card in the reader to the rows on file:
// the fees gathered by the sales dialog are written with the sale by the
// engine, paid, receipted, and never charged again by the next sale.

#include "../../framework/report/ui/KvPrintTestUtil.h"
#include "../FeeTestHelpers.h"
#include "CPrintPreviewDlg.h"
#include "CReceiptDocument.h"
#include "CSysPara.h"
#include "KvModalScript.h"
#include "SaleDialogTest.h"

namespace {

const QString kMeter = QStringLiteral("00001234");

// User C001 (two persons, balance 12.50) with meter 00001234, write 1 of 50
// on file; a water sub-meter at position 1 priced by W1 (2.0), two unpaid
// months of the quota fee Q1 (卫生费), a manual fee of 7.50 and, in the fee
// library, a manual item and an other fee waiting.
class SaleWithFeesTest : public SaleDialogTest
{
protected:
    void SetUp() override
    {
        SaleDialogTest::SetUp();
        GetCurrentOperator()->SetRights(QVector<int>{110, 111, 117});
        AddOperator(QStringLiteral("01"), QStringLiteral("张三"));
        AddClient(QStringLiteral("C001"), QStringLiteral("李四"));
        exec("update Client set MemberNum = 2");
        exec(QStringLiteral("insert into PreModel values('M1', 'DDSY', '5(20)A', 1, '预付费电表', '红外遥控卡', "
                            "'单相', 20, 5, 1.5, '正常', 1, '否', '否')"));
        exec(KvFormatSql("insert into CliPre values(1, 'C001', '%s', 'M1', 1, 1, 0, 0, 2, '', '', '800', 30, 20, "
                         "0, '常闭', '', '正常', '01', '2020-01-01', '2050-12-31', '2020-01-01')",
                         kMeter));
        exec(QStringLiteral("insert into PrePrice values(1, 1, 0, 'P1', 100)"));
        AddImage(kMeter, 1, 50, 150);
        AddSale(100000001, 1, kMeter, 1, 50, 26);
        AddBalance(QStringLiteral("C001"), 12.5, 3);
        exec(QStringLiteral("update SysPara set WrtIndex = 10, WrtPriceIndex = 10, PayIndex = 10, InvoiceNo = 123, "
                            "InvoiceNum = 1"));
        AddTypedPrice(db(), 50, QStringLiteral("W1"), QStringLiteral("水费"), QStringLiteral("附表价"), 2.0);
        AddTypedPrice(db(), 60, QStringLiteral("Q1"), QStringLiteral("卫生费"), QStringLiteral("定额收费价"), 1.0);
        exec("insert into CliFix(CliFixIndex, ClientNo, PriceNo, Units, BeginDate, EndDate) "
             "values(1, 'C001', 'Q1', 1, '2020-01-01', '2050-12-31')");
        exec("insert into FixFee values(1, 1, 202610, -1, -1, 60, 1, 1, '2026-10-01', '2026-10-31', 31, 12, 12, "
             "'2026-12-01', '正常')");
        exec("insert into FixFee values(2, 1, 202611, -1, -1, 60, 1, 1, '2026-11-01', '2026-11-30', 30, 13, 13, "
             "'2026-12-01', '正常')");
        exec(KvFormatSql("insert into ManualFee(ManualIndex, MeterNo, WrtNum, WrtIndex, ClientName, Department, "
                         "ClientNo, YearMonth, SubRead, ElecRead, SubFee, ElecFee, TenementArea, Fee, TotalFee, "
                         "TeneFee, State) values(1, '%s', 0, -1, '李四', '00', 'C001', '2026-11', 0, 0, 0, 0, 0, "
                         "0, 7.5, 0, '未收费')",
                         kMeter));
        SubMeterRow sub{1, kMeter, QStringLiteral("1"), QStringLiteral("S1")};
        sub.wrtNum = 1;
        sub.readDate = QStringLiteral("2026-11-30");
        AddSubMeterRow(db(), sub);
        GetMainSysPara()->SetCompRateWater(0.5);
        GetMainSysPara()->SetProgFlag(QStringLiteral("否"));
        GetMainSysPara()->SetTellFlag(QStringLiteral("否"));
        CopyFeeLibrary(fresh.AppDir());
        WriteFeeFixture(fresh.AppDir(), {"ManItem|C001|N1|10|20|10|2026-12-01|0|10|电费|0.5|5",
                                         "OtherItem|C001|垃圾费|2026-11-01|2026-11-30|30|0.1|30|3"});
    }

    // The main reading card of the meter with position 1 read today.
    void PutReadingCard(int pulses)
    {
        CSimReadingCard card;
        card.meterNo = kMeter;
        card.SetReading(0, QStringLiteral("2026-12-10"), pulses, 0);
        sim.SetReadingCards(1, {});
        sim.AddReadingCard(1, card);
    }

    static CModalScript::Action ClosePreview(CReceiptValues* seen)
    {
        return [seen](QWidget* widget) {
            auto* preview = static_cast<CPrintPreviewDlg*>(widget);
            auto* receipt = dynamic_cast<CReceiptDocument*>(preview->GetPrintJob());
            ASSERT_NE(receipt, nullptr);
            *seen = receipt->Values();
            CModalScript::Click(widget, 1001);
        };
    }
    QString Value(const QString& sql) { return fresh.Value(sql); }
    int Count(const QString& sql) { return fresh.Count(sql); }
};

} // namespace

TEST_F(SaleWithFeesTest, FeesGatheredAtTheCardArePaidWithTheSaleAndNotChargedAgain)
{
    PutReadingCard(450);
    PutCard(QStringLiteral("04"), kMeter, 1, 50, 100, 150, 50);
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    {
        CDialogScript script;
        script.Then([](QWidget* d) { CModalScript::Type(d, 1190, QStringLiteral("0.5")); CModalScript::Click(d, 1000); })
            .Then([](QWidget* d) { CModalScript::Click(d, 1000); });
        Read(dialog);
        EXPECT_TRUE(script.Exhausted());
        EXPECT_EQ(script.Seen(), (QStringList{"dlg178 输入补助量", "dlg217 定额收费项目"}));
    }
    ASSERT_EQ(dialog.m_nCardState, 4);
    ASSERT_TRUE(Button(dialog, 1132)->isEnabled());
    EXPECT_EQ(Rows(dialog, 1170).size(), 2) << Rows(dialog, 1170).join(u'\n').toStdString();
    EXPECT_EQ(Rows(dialog, 1106).size(), 4) << Rows(dialog, 1106).join(u'\n').toStdString();

    sink.Clear();
    CReceiptValues receipt;
    {
        CDialogScript script;
        script.Confirm({{1029, QStringLiteral("100")}}).Confirm().Then(ClosePreview(&receipt));
        MouseClick(Button(dialog, 1132));
        EXPECT_TRUE(script.Exhausted());
        EXPECT_EQ(script.Seen().mid(0, 2), (QStringList{"dlg224 输入申购量", "dlg173 输入交款额"}));
    }
    ASSERT_FALSE(sink.Texts().isEmpty());
    // 52.00 of power, 2.00 + 5.00 of sub-meter and manual item, 12 + 13 + 3 +
    // 7.50 of quota, other and manual fees, less the balance of 12.50.
    EXPECT_TRUE(sink.Texts().at(0).contains(QStringLiteral("应缴附表计费：7.00元"))) << sink.Texts().at(0).toStdString();
    EXPECT_TRUE(sink.Texts().at(0).contains(QStringLiteral("应缴定额收费：35.50元"))) << sink.Texts().at(0).toStdString();
    EXPECT_TRUE(sink.Texts().at(0).contains(QStringLiteral("本次应收款为：82.00元"))) << sink.Texts().at(0).toStdString();
    EXPECT_TRUE(sink.Texts().contains(QStringLiteral("写卡成功！"))) << sink.Texts().join(u'\n').toStdString();

    const QString sale = QStringLiteral("100000010");
    EXPECT_EQ(Value("select WrtNum || ',' || WrtValue || ',' || printf('%.2f', Fee) || ',' || printf('%.2f', "
                    "FixFee) || ',' || State from WrtRecord where WrtIndex = 100000010"),
              QStringLiteral("2,100,52.00,35.50,收讫"));
    EXPECT_EQ(Value("select group_concat(WrtIndex || '/' || WrtNum, ' ') from (select * from FixFee order by FeeIndex)"),
              sale + "/2 " + sale + "/2");
    EXPECT_EQ(Value("select WrtIndex || '/' || WrtNum from OtherItem"), sale + "/2");
    EXPECT_EQ(Value("select WrtIndex || '/' || WrtNum from ManItem"), sale + "/2");
    EXPECT_EQ(Value("select WrtIndex || '/' || WrtNum || '/' || printf('%.2f', Fee) from SubRead"),
              sale + "/2/2.00");
    EXPECT_EQ(Value("select WrtIndex || '/' || WrtNum || '/' || State from ManualFee"), sale + "/2/已收费");
    EXPECT_EQ(Value("select WrtNum from CliSub"), QStringLiteral("2"));
    EXPECT_EQ(Value("select WrtIndex || ',' || WrtNum || ',' || printf('%.2f', TotFee) || ',' || printf('%.2f', "
                    "RealPay) || ',' || printf('%.2f', ThisBalance) || ',' || printf('%.2f', LastBalance) || ',' || "
                    "InvoiceNo from ClientPay where WrtIndex = 100000010"),
              QStringLiteral("100000010,2,94.50,82.00,0.00,12.50,00000123"));
    EXPECT_EQ(Value("select PayIndex || ',' || printf('%.2f', ThisBalance) || ',' || printf('%.2f', LastBalance) "
                    "from CliBalance where ClientNo = 'C001'"),
              QStringLiteral("100000010,0.00,12.50"));

    // The receipt: the two quota months in one row, then the other fee.
    ASSERT_EQ(receipt.GetReceiptCount(), 1);
    EXPECT_EQ(receipt.Common(0, 26), QStringLiteral("7.50"));
    EXPECT_EQ(receipt.Common(0, 27), QStringLiteral("94.50"));
    QStringList fees;
    for (int r = 0; r < 4 && !receipt.Fee(0, r, 0).isEmpty(); ++r)
        fees << receipt.Fee(0, r, 0) + "|" + receipt.Fee(0, r, 3) + "|" + receipt.Fee(0, r, 6) + "|" +
                    receipt.Fee(0, r, 7) + "|" + receipt.Fee(0, r, 8);
    EXPECT_EQ(fees, (QStringList{"卫生费|25.00|2026-10-01|2026-11-30|61", "垃圾费|3.00|2026-11-01|2026-11-30|30"}));

    // The next sale on the same card: the sub-meter is read anew (nothing
    // used), no quota month is left to ask for, nothing is charged again.
    PutReadingCard(450);
    PutCard(QStringLiteral("04"), kMeter, 2, 100, 100, 250, 150);
    {
        CDialogScript script;
        script.Then([](QWidget* d) { CModalScript::Click(d, 1000); });
        Read(dialog);
        EXPECT_TRUE(script.Exhausted());
        EXPECT_EQ(script.Seen(), QStringList{"dlg178 输入补助量"}) << script.Seen().join(u',').toStdString();
    }
    ASSERT_TRUE(Button(dialog, 1132)->isEnabled());
    EXPECT_EQ(Rows(dialog, 1106), QStringList{});
    sink.Clear();
    {
        CDialogScript script;
        script.Confirm({{1029, QStringLiteral("100")}}).Confirm().Then(ClosePreview(&receipt));
        MouseClick(Button(dialog, 1132));
        EXPECT_TRUE(script.Exhausted());
    }
    ASSERT_FALSE(sink.Texts().isEmpty());
    EXPECT_TRUE(sink.Texts().at(0).contains(QStringLiteral("应缴定额收费：0.00元"))) << sink.Texts().at(0).toStdString();
    EXPECT_TRUE(sink.Texts().at(0).contains(QStringLiteral("本次应收款为：52.00元"))) << sink.Texts().at(0).toStdString();
    EXPECT_EQ(Value("select WrtNum || ',' || printf('%.2f', FixFee) || ',' || State from WrtRecord where WrtIndex = "
                    "100000011"),
              QStringLiteral("3,0.00,收讫"));
    EXPECT_EQ(Count("select * from FixFee where WrtIndex = 100000010"), 2);
    EXPECT_EQ(Count("select * from OtherItem"), 1);
    EXPECT_EQ(Count("select * from ManItem"), 1);
    EXPECT_EQ(Value("select WrtIndex || '/' || State from ManualFee"), sale + "/已收费");
    EXPECT_EQ(Count("select * from SubRead where Fee > 0"), 1);
    EXPECT_TRUE(receipt.Fee(0, 0, 0).isEmpty());
}

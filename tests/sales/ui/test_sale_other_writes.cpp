// The write button beyond the ordinary top-up, through the dialog against the
// card tool stand-ins: the return-card refund and the continued use after it,
// and the IC dispatch under the remote-payment switch.

#include "CSysPara.h"
#include "SaleDialogTest.h"

#include <QDialog>

namespace {

const QString kMeter = QStringLiteral("00001234");

// A user with balance 0 and one meter (line loss 2 %) whose paid sale, write 1
// of 50 at 0.52, is its card image: 150 bought.
class SaleOtherWritesTest : public SaleDialogTest
{
protected:
    void SetUp() override
    {
        SaleDialogTest::SetUp();
        AddOperator(QStringLiteral("01"), QStringLiteral("张三"));
        AddClient(QStringLiteral("C001"), QStringLiteral("李四"));
        exec(QStringLiteral("insert into CliPre values(1, 'C001', '00001234', 'M1', 1, 1, 0, 0, 2, '', '', '800', 30, "
                            "20, 0, '常闭', '', '正常', '01', '2020-01-01', '2050-12-31', '2020-01-01')"));
        exec(QStringLiteral("insert into PrePrice values(1, 1, 0, 'P1', 100)"));
        AddImage(kMeter, 1, 50, 150);
        AddSale(100000001, 1, kMeter, 1, 50, 26);
        AddBalance(QStringLiteral("C001"), 0, 0);
        exec(QStringLiteral("update SysPara set WrtIndex = 10, WrtPriceIndex = 10, PayIndex = 10"));
        GetMainSysPara()->SetPrintFlag(QStringLiteral("否"));
    }
    void TearDown() override
    {
        GetMainSysPara()->SetRemoteFlag(QStringLiteral("否"));
        SaleDialogTest::TearDown();
    }
    void Model(const QString& cardType)
    {
        exec(QStringLiteral("insert into PreModel values('M1', 'DDSY', '5(20)A', 1, '预付费电表', '%1', '单相', 20, 5, "
                            "1.5, '正常', 1, '否', '否')")
                 .arg(cardType));
    }
    QString Row(const QString& columns, int wrtIndex)
    {
        return fresh.Value(QStringLiteral("select %1 from WrtRecord where WrtIndex = %2").arg(columns).arg(wrtIndex));
    }
};

} // namespace

// A refund-marked card is bought back as 校园退费 and the dialog closes; the
// next sale of the meter is a continued use with op 13.
TEST_F(SaleOtherWritesTest, ACampusRefundIsPaidOutAndTheNextSaleContinuesUse)
{
    Model(QStringLiteral("红外遥控卡"));
    PutCard(QStringLiteral("13"), kMeter, 1, 50, 100, 150, 50);
    {
        CSaleDlg refund(nullptr, QStringLiteral("返卡退费"));
        refund.m_strRefundMeterNo = kMeter;
        Open(refund);
        Read(refund);
        ASSERT_EQ(refund.m_nCardState, 13);
        EXPECT_EQ(refund.m_strRefundMode, QStringLiteral("校园退费"));
        ASSERT_TRUE(Button(refund, 1132)->isEnabled());

        CDialogScript script;
        script.Confirm().Confirm();
        sink.Clear();
        MouseClick(Button(refund, 1132));
        EXPECT_TRUE(script.Exhausted());
        EXPECT_EQ(script.Seen(), (QStringList{"dlg224 输入应退变损", "dlg173 输入退款额"}));
        // 50 left, all bought; line loss 1.0 refunded; at 0.52: 26.52 paid out.
        ASSERT_FALSE(sink.Texts().isEmpty());
        EXPECT_TRUE(sink.Texts().first().startsWith(QStringLiteral("剩余电量为：50 度")));
        EXPECT_TRUE(sink.Texts().first().endsWith(QStringLiteral("本次应退款为：26.52元\n\n继续吗？")));
        EXPECT_EQ(
            Row("WrtNum || ',' || WrtValue || ',' || printf('%.2f', Fee) || ',' || OpMode || ',' || State", 100000010),
            QStringLiteral("1,-50,-26.52,校园退费,收讫"));
        EXPECT_EQ(fresh.Value("select printf('%.2f', TotFee) || ',' || printf('%.2f', RealPay) || ',' || "
                              "printf('%.2f', ThisBalance) from ClientPay where WrtIndex = 100000010"),
                  QStringLiteral("-26.52,-26.52,0.00"));
        EXPECT_TRUE(sim.Log().filter(QStringLiteral("Tarlisk [")).filter(QStringLiteral(" => ")).size() == 1)
            << "only the read";
        EXPECT_EQ(refund.result(), QDialog::Accepted);
        EXPECT_FALSE(refund.isVisible());
    }

    CSaleDlg sale(nullptr, QStringLiteral("售电服务"));
    Open(sale);
    Read(sale);
    ASSERT_EQ(sale.m_nCardState, 13);
    CDialogScript script;
    script.Confirm({{1029, QStringLiteral("40")}}).Confirm();
    sink.Clear();
    MouseClick(Button(sale, 1132));
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(Row("WrtNum || ',' || WrtValue || ',' || AccuBuy || ',' || AccuUse || ',' || AccuRemain || ',' || "
                  "OpMode || ',' || State",
                  100000011),
              QStringLiteral("2,40,40,0.0,40.0,续用充值,收讫"));
    EXPECT_TRUE(sim.Log().last().contains(QStringLiteral(" 13 00001234 0040 200A 030 20 => ")))
        << sim.Log().last().toStdString();
    EXPECT_EQ(sim.Card(1).code, QStringLiteral("03"));
    EXPECT_EQ(sim.Card(1).count, 2);
}

// The refund of a card of another meter stores nothing, and the dialog closes.
TEST_F(SaleOtherWritesTest, ARefundOfAnotherMetersCardClosesTheDialog)
{
    Model(QStringLiteral("红外遥控卡"));
    PutCard(QStringLiteral("13"), kMeter, 1, 50, 100, 150, 50);
    CSaleDlg refund(nullptr, QStringLiteral("返卡退费"));
    refund.m_strRefundMeterNo = QStringLiteral("00005678");
    Open(refund);
    Read(refund);
    sink.Clear();
    MouseClick(Button(refund, 1132));
    EXPECT_EQ(sink.Texts(), QStringList{"最近读过的卡号与用户卡号不符！"});
    EXPECT_EQ(fresh.Count("select * from WrtRecord"), 1);
    EXPECT_EQ(refund.result(), QDialog::Accepted);
}

// With the remote switch on, an IC top-up card not yet used is refused, while a
// used replacement card goes to its remote variant (here without the payment
// library, which names itself).
TEST_F(SaleOtherWritesTest, WithRemotePaymentAnUnusedIcCardIsRefusedAndAReplacementCardPaysRemotely)
{
    Model(QStringLiteral("IC钥匙卡"));
    GetMainSysPara()->SetRemoteFlag(QStringLiteral("是"));
    struct Case
    {
        const char* code;
        int state;
        const char* text;
    };
    for (const Case& c :
         {Case{"03", 103, "远程付款不支持改写电量！"}, Case{"06", 106, "无法调用Raskell.dll的GetPay！"}}) {
        SCOPED_TRACE(c.state);
        PutCard(QString::fromUtf8(c.code), kMeter, 1, 50, 100, 150, 50, 2);
        CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
        Open(dialog, QStringLiteral("IC钥匙卡"));
        Read(dialog);
        ASSERT_EQ(dialog.m_nCardState, c.state);
        sink.Clear();
        MouseClick(Button(dialog, 1132));
        EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.text)});
        EXPECT_EQ(fresh.Count("select * from WrtRecord"), 1);
        EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
    }
}

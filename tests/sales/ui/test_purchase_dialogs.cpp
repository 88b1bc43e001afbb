// The purchase input (224) and the payment dialog (173): which fields the
// operator may change, and what the purchase input refuses.

#include "CCardWriteDlg.h"
#include "CPaymentDlg.h"
#include "CPurchaseInputDlg.h"
#include "CSysPara.h"
#include "KvModalScript.h"
#include "SaleDialogTest.h"

#include <QLineEdit>

namespace {

bool ReadOnly(QWidget& dialog, int id)
{
    auto* edit = dialog.findChild<QLineEdit*>(CKvDialog::ControlName(id));
    EXPECT_NE(edit, nullptr) << id;
    return edit && edit->isReadOnly();
}

} // namespace

TEST_F(SaleDialogTest, ThePurchaseInputLocksWhatTheOperatorMayNotChange)
{
    const struct
    {
        const char* caption;
        bool subsidyRight;
        const char* transLossFlag;
        bool purchaseLocked, subsidyLocked, lossLocked;
    } cases[] = {
        {"输入申购量", true, "是", false, false, false},
        {"输入申购量", false, "否", false, true, true},
        {"输入应退变损", true, "是", true, true, false},
    };
    for (const auto& c : cases) {
        GetCurrentOperator()->SetRights(c.subsidyRight ? QVector<int>{110} : QVector<int>{});
        GetMainSysPara()->SetTransLossFlag(QString::fromUtf8(c.transLossFlag));
        CPurchaseInputDlg dialog(nullptr, QString::fromUtf8(c.caption));
        dialog.EnsureInitialised();
        EXPECT_EQ(ReadOnly(dialog, 1029), c.purchaseLocked) << c.caption;
        EXPECT_EQ(ReadOnly(dialog, 1019), c.subsidyLocked) << c.caption;
        EXPECT_EQ(ReadOnly(dialog, 1036), c.lossLocked) << c.caption;
    }
}

TEST_F(SaleDialogTest, ThePurchaseInputRequiresEveryFigure)
{
    const struct
    {
        const char* loss;
        const char* purchase;
        const char* subsidy;
        const char* message; // empty: accepted
    } cases[] = {
        {"", "1", "0", "请输入变损！"},
        {".5", "1", "0", "请输入变损！"},
        {"-1", "1", "0", "请输入变损！"},
        {"0", ".5", "0", "请输入申购量！"},
        {"0", "", "0", "请输入申购量！"},
        {"0", "-10", "0", "请输入申购量！"},
        {"0", "1", "", "请输入补助量！"},
        {"0.5", "1", "0", ""},
        // A subsidy beyond its range or not wholly a number is refused by name, never stored as 0.
        {"0", "1", "2147483648", "补助量应为0到99999999之间的整数！"},
        {"0", "1", "１２", "补助量应为0到99999999之间的整数！"},
        {"0", "1", "99999999", ""},
    };
    for (const auto& c : cases) {
        CPurchaseInputDlg dialog(nullptr, QStringLiteral("输入申购量"));
        dialog.EnsureInitialised();
        sink.Clear();
        CModalScript::Type(&dialog, 1036, QString::fromUtf8(c.loss));
        CModalScript::Type(&dialog, 1029, QString::fromUtf8(c.purchase));
        CModalScript::Type(&dialog, 1019, QString::fromUtf8(c.subsidy));
        CModalScript::Click(&dialog, 1000);
        const QString message = QString::fromUtf8(c.message);
        EXPECT_EQ(sink.Texts(), message.isEmpty() ? QStringList() : QStringList{message}) << c.loss << c.purchase;
        EXPECT_EQ(dialog.result() == QDialog::Accepted, message.isEmpty()) << c.loss << c.purchase;
    }
}

TEST_F(SaleDialogTest, ThePaidAmountIsLockedWhereItCannotDiffer)
{
    const struct
    {
        const char* buyUnit;
        const char* caption;
        const char* label1;
        const char* mode;
        bool locked;
    } cases[] = {
        {"度", "输入交款额", "应付款：", "", false},        {"元", "输入交款额", "应付款：", "", true},
        {"元", "输入退款额", "应退款：", "", true},         {"度", "输入退款额", "应退款：", "", true},
        {"度", "输入交款额", "应付款：", "返卡退费", true},
    };
    for (const auto& c : cases) {
        GetMainSysPara()->SetBuyUnit(QString::fromUtf8(c.buyUnit));
        CPaymentDlg dialog(nullptr, QString::fromUtf8(c.caption));
        dialog.m_strLabel1 = QString::fromUtf8(c.label1);
        dialog.m_strMode = QString::fromUtf8(c.mode);
        dialog.EnsureInitialised();
        EXPECT_EQ(ReadOnly(dialog, 1164), c.locked) << c.buyUnit << c.caption << c.mode;
        EXPECT_TRUE(ReadOnly(dialog, 1163));
    }
}

// A refund of a kWh write: the sales dialog pays back exactly the refund, the
// card dialog at most that, the difference being change. A refused amount
// brings the dialog back; the second time it is confirmed as preset.
TEST_F(SaleDialogTest, TheCardDialogPaysBackAtMostTheRefund)
{
    GetMainSysPara()->SetChangeFlag(QStringLiteral("否"));
    const struct
    {
        bool cardDialog;
        const char* paid;
        const char* message; // empty: accepted at once
        double change;
    } cases[] = {
        {false, "9", "退款额应等于应退款额！", 0},
        {true, "9", "应找零: 1.00元", 1},
        {true, "10.5", "输入金额不应大于应退金额！", 0},
        {true, "10", "", 0},
    };
    for (const auto& c : cases) {
        CSaleDlg sale(nullptr, QStringLiteral("售电服务"));
        CCardWriteDlg card(nullptr, QStringLiteral("电表开户"));
        sink.Clear();
        CDialogScript script;
        script.Confirm({{1164, QString::fromUtf8(c.paid)}});
        const QString message = QString::fromUtf8(c.message);
        const bool refused = message.startsWith(QStringLiteral("输入")) || message.startsWith(QStringLiteral("退款"));
        if (refused)
            script.Confirm();
        double change = -1;
        double paid = 0;
        if (c.cardDialog)
            card.TakePaymentByEnergy(-10, change, paid, QString());
        else
            sale.TakePaymentByEnergy(-10, change, paid, QString());
        EXPECT_TRUE(script.Exhausted()) << c.cardDialog << c.paid;
        EXPECT_EQ(sink.Texts(), message.isEmpty() ? QStringList() : QStringList{message}) << c.cardDialog << c.paid;
        EXPECT_NEAR(change, c.change, 1e-9) << c.cardDialog << c.paid;
        EXPECT_NEAR(paid, refused ? 10 : QString::fromUtf8(c.paid).toDouble(), 1e-9) << c.cardDialog << c.paid;
    }
}

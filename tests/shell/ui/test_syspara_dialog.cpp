#include "CAdoConnection.h"
#include "CKvComboBox.h"
#include "CReceiptValues.h"
#include "CSysPara.h"
#include "CSysParaDlg.h"
#include "KvFreshDatabase.h"
#include "KvModalScript.h"
#include "SysGlobals.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

class SysParaDialogTest : public FreshDatabaseTest
{
protected:
    SysParaDialogTest() { dialog.EnsureInitialised(); }

    template <class T> T* control(int id)
    {
        T* found = dialog.findChild<T*>(QStringLiteral("c%1").arg(id));
        EXPECT_NE(found, nullptr) << id;
        return found;
    }
    QCheckBox* check(int id) { return control<QCheckBox>(id); }
    QString text(int id) { return control<QLineEdit>(id)->text(); }
    QString para(const char* column)
    {
        return fresh.Value(QStringLiteral("select %1 from SysPara").arg(QString::fromLatin1(column)));
    }
    // Sets a check box as the operator does: by clicking it when it differs.
    void setCheck(int id, bool on)
    {
        if (check(id)->isChecked() != on)
            check(id)->click();
    }

    CSysParaDlg dialog;
};

// A fresh dialog over parameters changed behind the first one's back.
class SysParaOpeningTest : public FreshDatabaseTest
{
protected:
    SysParaOpeningTest()
    {
        db().Execute(QStringLiteral("update SysPara set bLW = '否', LWaste = 3.5, CompRateWater = 0.35, "
                                    "BuyUnit = 'kWh', bProg = '是'"),
                     QString());
    }
};

} // namespace

TEST_F(SysParaDialogTest, EveryValueMakesTheRoundTrip)
{
    // What a fresh installation shows.
    EXPECT_EQ(text(1202), QStringLiteral("XXX"));
    EXPECT_EQ(control<CKvComboBox>(1063)->currentText(), QStringLiteral("度"));
    EXPECT_EQ(text(1065), QStringLiteral("1"));
    EXPECT_TRUE(check(1069)->isChecked());
    EXPECT_FALSE(check(1068)->isChecked());

    CModalScript::Type(&dialog, 1202, QStringLiteral("新单位"));
    CModalScript::Type(&dialog, 1037, QStringLiteral("0.125"));
    CModalScript::Type(&dialog, 1198, QStringLiteral("6"));
    control<CKvComboBox>(1063)->setCurrentIndex(0); // 元
    control<CKvComboBox>(1064)->setCurrentIndex(1); // 手工录入
    CModalScript::Type(&dialog, 1065, QStringLiteral("3"));
    control<CKvComboBox>(1300)->setCurrentIndex(1); // 支票
    for (int id : {1299, 1068, 1036, 1078, 1025, 1026, 1105, 1129})
        setCheck(id, true);
    setCheck(1069, false);
    CModalScript::Type(&dialog, 1097, QStringLiteral("2.5"));
    CModalScript::Click(&dialog, 1000);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);

    const std::pair<const char*, const char*> stored[] = {
        {"ClientName", "新单位"},
        {"CompRateWater", "0.125"},
        {"MemNum", "6"},
        {"BuyUnit", "元"},
        {"InvoiceNoMode", "手工录入"},
        {"InvoiceNum", "3"},
        {"bPayMode", "是"},
        {"PayMode", "支票"},
        {"bChange", "是"},
        {"bPrint", "否"},
        {"bProg", "是"},
        {"bCompWrt", "是"},
        {"bLW", "是"},
        {"LWaste", "2.5"},
        {"bTW", "是"},
        {"bAutoSetFix", "是"},
    };
    for (const auto& [column, value] : stored)
        EXPECT_EQ(para(column), QString::fromUtf8(value)) << column;
    EXPECT_EQ(GetMainSysPara()->GetRemoteFlag(), QStringLiteral("是"));
    EXPECT_EQ(GetMainSysPara()->GetTellFlag(), QStringLiteral("否"));
    EXPECT_EQ(GetMainSysPara()->GetBuyUnit(), QStringLiteral("元")) << "later readers see the new value";

    CSysParaDlg again;
    again.EnsureInitialised();
    EXPECT_EQ(again.findChild<QLineEdit*>(QStringLiteral("c1037"))->text(), QStringLiteral("0.125000"));
    EXPECT_EQ(again.findChild<QLineEdit*>(QStringLiteral("c1097"))->text(), QStringLiteral("2.50"));
    EXPECT_EQ(again.findChild<CKvComboBox*>(QStringLiteral("c1300"))->currentText(), QStringLiteral("支票"));
    EXPECT_TRUE(again.findChild<QPushButton*>(QStringLiteral("c1130"))->isEnabled());
}

// With 计线损 unticked the default line loss is fixed: whatever is typed or
// pasted into its grey field, OK stores 0.
TEST_F(SysParaDialogTest, AnUntickedLineLossStoresZeroWhateverIsTypedIntoIt)
{
    setCheck(1025, true);
    CModalScript::Type(&dialog, 1097, QStringLiteral("2.5"));
    setCheck(1025, false);
    auto* lWaste = control<QLineEdit>(1097);
    ASSERT_TRUE(lWaste->isReadOnly());
    lWaste->selectAll();
    QTest::keyClicks(lWaste, QStringLiteral("5"));
    QApplication::clipboard()->setText(QStringLiteral("5"));
    QTest::keyClick(lWaste, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(lWaste->text(), QStringLiteral("0.0"));
    CModalScript::Click(&dialog, 1000);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(para("bLW"), QStringLiteral("否"));
    EXPECT_EQ(para("LWaste"), QStringLiteral("0"));
}

TEST_F(SysParaDialogTest, TextsThatAreNoNumbersAreStoredAsZero)
{
    setCheck(1025, true);
    for (int id : {1037, 1198, 1065, 1097})
        CModalScript::Type(&dialog, id, QStringLiteral("x7"));
    CModalScript::Click(&dialog, 1000);
    for (const char* column : {"CompRateWater", "MemNum", "InvoiceNum", "LWaste"})
        EXPECT_EQ(para(column), QStringLiteral("0")) << column;
}

TEST_F(SysParaDialogTest, ANumberBeyondItsRangeIsRefusedByNameAndNothingIsWritten)
{
    setCheck(1025, true);
    const struct
    {
        int id;
        const char* text;
        const char* refusal;
    } cases[] = {
        {1198, "2147483647", "每宿舍默认人数应为0到999之间的整数！"},
        {1097, "99999999999", "默认线损应为0到100之间的数，最多10位小数！"},
        {1097, "-5", "默认线损应为0到100之间的数，最多10位小数！"},
        {1037, "1000", "每人每天补助水量应为0到999之间的数，最多10位小数！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        for (int id : {1037, 1198, 1097})
            CModalScript::Type(&dialog, id, QStringLiteral("1"));
        CModalScript::Type(&dialog, c.id, QString::fromUtf8(c.text));
        sink.Clear();
        CModalScript::Click(&dialog, 1000);
        EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.refusal)});
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_NE(para("MemNum"), QStringLiteral("1"));
    }
    // The widest values that fit are stored as typed.
    CModalScript::Type(&dialog, 1037, QStringLiteral("999"));
    CModalScript::Type(&dialog, 1198, QStringLiteral("999"));
    CModalScript::Type(&dialog, 1097, QStringLiteral("100"));
    sink.Clear();
    CModalScript::Click(&dialog, 1000);
    EXPECT_TRUE(sink.Texts().isEmpty());
    EXPECT_EQ(para("MemNum"), QStringLiteral("999"));
    EXPECT_EQ(para("LWaste"), QStringLiteral("100"));
}

// Each receipt is printed the stored count of times: a count outside 1 to 9
// is refused before anything is written; an empty one is stored 0, and every
// receipt is still printed once.
TEST_F(SysParaDialogTest, AReceiptCountOutsideOneToNineIsRefused)
{
    const struct
    {
        const char* typed;
        const char* stored; // null: refused, the stored 1 kept
    } cases[] = {{"99999999999", nullptr},
                 {"10", nullptr},
                 {"0", nullptr},
                 {"99999999999999999999", nullptr},
                 {"09", "9"},
                 {"9", "9"},
                 {"1", "1"},
                 {"", "0"}};
    for (const auto& c : cases) {
        CSysParaDlg dlg;
        dlg.EnsureInitialised();
        dlg.show();
        QLineEdit* edit = dlg.findChild<QLineEdit*>(QStringLiteral("c1065"));
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QString::fromLatin1(c.typed));
        sink.Clear();
        CModalScript::Click(&dlg, 1000);
        if (c.stored) {
            EXPECT_TRUE(sink.Texts().isEmpty()) << c.typed;
            EXPECT_EQ(para("InvoiceNum"), QString::fromLatin1(c.stored)) << c.typed;
            db().Execute(QStringLiteral("update SysPara set InvoiceNum = 1"), QString());
            GetMainSysPara()->ForgetCache();
        } else {
            EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("票据联数应为1到9！")}) << c.typed;
            EXPECT_NE(dlg.result(), QDialog::Accepted) << c.typed;
            EXPECT_EQ(para("InvoiceNum"), QStringLiteral("1")) << c.typed;
        }
    }
    EXPECT_EQ(CReceiptValues::CopiesPerReceipt(2147483647), 9);
    EXPECT_EQ(CReceiptValues::CopiesPerReceipt(0), 1);
    EXPECT_EQ(CReceiptValues::CopiesPerReceipt(-3), 1);
    EXPECT_EQ(CReceiptValues::CopiesPerReceipt(2), 2);
}

TEST_F(SysParaOpeningTest, OpeningAppliesTheRulesAndAnUnknownUnitIsStoredEmpty)
{
    CSysParaDlg dialog;
    dialog.EnsureInitialised();
    auto* loss = dialog.findChild<QLineEdit*>(QStringLiteral("c1097"));
    EXPECT_EQ(loss->text(), QStringLiteral("0.0"));
    EXPECT_TRUE(loss->isReadOnly());
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("c1037"))->text(), QStringLiteral("0.350000"));
    EXPECT_EQ(dialog.findChild<CKvComboBox*>(QStringLiteral("c1063"))->currentIndex(), -1);

    auto* remote = dialog.findChild<QCheckBox*>(QStringLiteral("c1129"));
    auto* remoteButton = dialog.findChild<QPushButton*>(QStringLiteral("c1130"));
    EXPECT_FALSE(remoteButton->isEnabled());
    remote->click();
    EXPECT_TRUE(remoteButton->isEnabled());
    remote->click();
    EXPECT_FALSE(remoteButton->isEnabled());

    // 住户报数 and 采用编程器上传抄表数据 exclude each other.
    auto* tell = dialog.findChild<QCheckBox*>(QStringLiteral("c1150"));
    auto* prog = dialog.findChild<QCheckBox*>(QStringLiteral("c1036"));
    ASSERT_TRUE(prog->isChecked());
    tell->click();
    EXPECT_TRUE(tell->isChecked());
    EXPECT_FALSE(prog->isChecked());
    prog->click();
    EXPECT_TRUE(prog->isChecked());
    EXPECT_FALSE(tell->isChecked());

    // Line loss on: the edit opens; off again: it shows 0.0.
    auto* lineLoss = dialog.findChild<QCheckBox*>(QStringLiteral("c1025"));
    lineLoss->click();
    EXPECT_FALSE(loss->isReadOnly());
    lineLoss->click();
    EXPECT_EQ(loss->text(), QStringLiteral("0.0"));

    CModalScript::Click(&dialog, 1000);
    EXPECT_EQ(fresh.Value(QStringLiteral("select LWaste from SysPara")), QStringLiteral("0"));
    EXPECT_EQ(fresh.Value(QStringLiteral("select BuyUnit from SysPara")), QString());
}

TEST_F(SysParaDialogTest, EscapeWritesNothing)
{
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    CModalScript::Type(&dialog, 1202, QStringLiteral("changed"));
    check(1129)->click();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(para("ClientName"), QStringLiteral("XXX"));
    EXPECT_EQ(GetMainSysPara()->GetRemoteFlag(), QStringLiteral("否"));
}

TEST_F(SysParaDialogTest, AFailedSaveChangesNothingAndForgetsWhatItCached)
{
    EXPECT_EQ(GetMainSysPara()->GetChangeFlag(), QStringLiteral("否")); // now cached
    // The eleventh value of the save cannot be written.
    db().Execute(QStringLiteral("create trigger kv_refuse before update of bCompWrt on SysPara "
                                "begin select raise(abort, 'refused'); end"),
                 QString());
    setCheck(1068, true);
    setCheck(1078, true);
    setCheck(1129, true);
    CModalScript::Type(&dialog, 1202, QStringLiteral("half"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(control<QPushButton>(1000), Qt::LeftButton);

    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(sink.Messages().size(), 1u) << "the failure is shown";
    EXPECT_EQ(para("bChange"), QStringLiteral("否"));
    EXPECT_EQ(para("ClientName"), QStringLiteral("XXX"));
    EXPECT_EQ(GetMainSysPara()->GetChangeFlag(), QStringLiteral("否"));
    EXPECT_EQ(GetMainSysPara()->GetClientName(), QStringLiteral("XXX"));
    EXPECT_EQ(GetMainSysPara()->GetRemoteFlag(), QStringLiteral("否"));
    EXPECT_EQ(db().GetTransDepth(), 0);
}

TEST_F(SysParaDialogTest, RemoteSettingGoesThroughTheOutsideLibraryWithinItsBuffers)
{
    const QString library = fresh.AppDir() + QStringLiteral("/libRaskell.so");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLMER_BUILD_APP_DIR "/libRaskell.so"), library));
    const QString ini = fresh.AppDir() + QStringLiteral("/Raskell.ini");
    {
        QSettings stored(ini, QSettings::IniFormat);
        stored.setValue(QStringLiteral("Remote/Address"), QStringLiteral("192.168.100.200.longer.than.the.buffer"));
        stored.setValue(QStringLiteral("Remote/Port"), QStringLiteral("7000"));
    }
    setCheck(1129, true);

    struct Case
    {
        const char* name;
        CModalScript::Action answer;
        const char* address;
        const char* port;
    };
    const Case cases[] = {
        {"closed without OK keeps what was read",
         [](QWidget* remote) {
             EXPECT_EQ(remote->objectName(), QStringLiteral("dlg209"));
             EXPECT_EQ(remote->windowTitle(), QStringLiteral("设置远程收费机"));
             EXPECT_EQ(remote->findChild<QLineEdit*>(QStringLiteral("c1168"))->text(),
                       QStringLiteral("192.168.100.200.lon"));
             EXPECT_EQ(remote->findChild<QLineEdit*>(QStringLiteral("c1169"))->text(), QStringLiteral("7000"));
             remote->close();
         },
         "192.168.100.200.lon", "7000"},
        {"OK stores the typed texts",
         [](QWidget* remote) {
             CModalScript::Type(remote, 1168, QStringLiteral("10.1.2.3"));
             CModalScript::Type(remote, 1169, QStringLiteral("8080"));
             CModalScript::Click(remote, 1000);
         },
         "10.1.2.3", "8080"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CModalScript script;
        script.Then(c.answer);
        CModalScript::Click(&dialog, 1130);
        EXPECT_TRUE(script.Exhausted());
        QSettings stored(ini, QSettings::IniFormat);
        EXPECT_EQ(stored.value(QStringLiteral("Remote/Address")).toString(), QString::fromUtf8(c.address));
        EXPECT_EQ(stored.value(QStringLiteral("Remote/Port")).toString(), QString::fromUtf8(c.port));
    }
    EXPECT_TRUE(sink.Texts().isEmpty());
}

// The default line loss is shown with 2 decimals; saving other settings keeps
// its stored value whole, and a value typed anew is stored as typed.
TEST(SysParaUntouchedNumbers, ARoundedTextLeftAsShownKeepsTheStoredValue)
{
    CFreshDatabase fresh;
    fresh.Db().Execute(QStringLiteral("update SysPara set bLW = '是', LWaste = 0.123457, CompRateWater = 0.35"),
                       QString());
    const auto save = [&](const std::function<void(CSysParaDlg&)>& change) {
        CSysParaDlg dialog;
        dialog.EnsureInitialised();
        change(dialog);
        CModalScript::Click(&dialog, 1000);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        return fresh.Value(QStringLiteral("select LWaste || ' ' || CompRateWater from SysPara"));
    };
    EXPECT_EQ(save([](CSysParaDlg& dialog) {
                  EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("c1097"))->text(), QStringLiteral("0.12"));
                  CModalScript::Type(&dialog, 1202, QStringLiteral("新单位"));
              }),
              QStringLiteral("0.123457 0.35"));
    EXPECT_EQ(save([](CSysParaDlg& dialog) {
                  CModalScript::Type(&dialog, 1097, QStringLiteral("0.125"));
                  CModalScript::Type(&dialog, 1037, QStringLiteral("0.5"));
              }),
              QStringLiteral("0.125 0.5"));
}

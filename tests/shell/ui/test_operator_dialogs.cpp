#include "CAdoConnection.h"
#include "CCheckTreeCtrl.h"
#include "CKvExtList2.h"
#include "COperatorEditDlg.h"
#include "COperatorList.h"
#include "COperatorListDlg.h"
#include "KvFreshDatabase.h"
#include "KvModalScript.h"
#include "KvPassword.h"
#include "KvRights.h"
#include "SysGlobals.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidgetItem>
#include <gtest/gtest.h>

namespace {

const QList<int> kHidden = {501, 506, 507, 512, 513, 514, 515, 516, 517, 518};

QList<int> treeIds(CCheckTreeCtrl* tree)
{
    QList<int> ids;
    QTreeWidgetItem* root = tree->topLevelItem(0);
    for (int h = 0; h < root->childCount(); ++h)
        for (int e = 0; e < root->child(h)->childCount(); ++e)
            ids << root->child(h)->child(e)->data(0, Qt::UserRole).toInt();
    return ids;
}

bool networkEdition()
{
    return GetEdition() == QStringLiteral("网络版");
}

// The network edition's editor asks for the operator's workstation: a new
// operator gets the first one, chosen from the keyboard.
void chooseFirstStationIfNone(QWidget* dialog)
{
    auto* box = dialog->findChild<QComboBox*>(QStringLiteral("c1040"));
    ASSERT_NE(box, nullptr);
    if (networkEdition() && box->currentIndex() < 0) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
    }
}

CModalScript::Action editOperator(const QString& code, const QString& name)
{
    return [code, name](QWidget* dialog) {
        CModalScript::Type(dialog, 1031, code);
        CModalScript::Type(dialog, 1032, name);
        chooseFirstStationIfNone(dialog);
        CModalScript::Click(dialog, 1020);
    };
}

class OperatorDialogTest : public FreshDatabaseTest
{
protected:
    OperatorDialogTest()
    {
        // Workstation 01, the built-in administrator's, exists in the network
        // edition's list of workstations.
        if (networkEdition())
            db().Execute(QStringLiteral("insert into Station(StationNo, StationName) values('01', '总站')"), QString());
    }

    void addOperator(const char* code, const QVector<int>& rights = {})
    {
        COperatorList list;
        list.Add(QString::fromUtf8(code), QString::fromUtf8(code), QStringLiteral("01"), rights);
    }
    // The row of an operator in the management list.
    int rowOf(COperatorListDlg& dialog, const QString& code)
    {
        for (int row = 0; row < dialog.GetList()->GetItemCount(); ++row)
            if (dialog.GetList()->GetItemText(row, 0) == code)
                return row;
        return -1;
    }
    CModalScript script;
};

} // namespace

TEST_F(OperatorDialogTest, EditorChecksCodeThenName)
{
    struct Case
    {
        const char* code;
        const char* name;
        const char* message; // "" = accepted
    };
    const Case cases[] = {
        {"", "张三", "操作员代码不应为空或前后有空格！"},
        {"   ", "张三", "操作员代码不应为空或前后有空格！"},
        {"abcdefghijk", "张三", "操作员代码长度不应超过10个英文字符或5个汉字！"},
        {"一二三四五六", "张三", "操作员代码长度不应超过10个英文字符或5个汉字！"},
        {"c1", " ", "操作员姓名不应为空或前后有空格！"},
        {"c1", "一二三四五六七八九十a", "操作员名称长度不应超过20个英文字符或10个汉字！"},
        {"abcdefghij", "一二三四五六七八九十", ""},
        {" 一二三四五 ", "张三", ""},
        // The code reaches the entry programs: GBK must hold it.
        {"c😀", "张三", "操作员代码含有无法使用的字符“😀”，只能输入汉字、字母、数字和常用符号！"},
        {"c1", "张ẞ", "操作员姓名含有无法使用的字符“ẞ”，只能输入汉字、字母、数字和常用符号！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        sink.Clear();
        COperatorEditDlg dialog(nullptr, QStringLiteral("增加操作员"));
        dialog.EnsureInitialised();
        editOperator(QString::fromUtf8(c.code), QString::fromUtf8(c.name))(&dialog);
        if (*c.message) {
            EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.message)});
            EXPECT_NE(dialog.result(), QDialog::Accepted);
        } else {
            EXPECT_TRUE(sink.Texts().isEmpty());
            ASSERT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(dialog.m_operatorNo, QString::fromUtf8(c.code).trimmed());
            EXPECT_EQ(dialog.m_stationNo, QStringLiteral("01"));
        }
    }
}

TEST_F(OperatorDialogTest, ANewOperatorIsTypedFromItsCodeOn)
{
    COperatorEditDlg dialog(nullptr, QStringLiteral("增加操作员"));
    ASSERT_TRUE(ShowActive(&dialog));
    QStringList visited;
    for (int i = 0; i < 3; ++i) {
        visited << QApplication::focusWidget()->objectName();
        PressKey(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // 操作员代码, 操作员姓名, then the workstation (only of use in the network edition).
    EXPECT_EQ(visited, QStringList({"c1031", "c1032", "c1040"}));
}

TEST_F(OperatorDialogTest, TreeOffersEveryRightButTheAdministratorsAndCollectsTheTickedOnes)
{
    COperatorEditDlg dialog(nullptr, QStringLiteral("修改操作员"));
    dialog.m_operatorNo = QStringLiteral("c1");
    dialog.m_operatorName = QStringLiteral("c1");
    const int granted[] = {103, 101, 501};
    dialog.SetRights(granted, 3);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    CCheckTreeCtrl* tree = dialog.GetTree();

    QList<int> expected;
    for (const KvRightEntry* e = GetRightTable(); e->id != 0; ++e)
        if (!IsRightGroupHeader(e->id) && !kHidden.contains(e->id))
            expected << e->id;
    EXPECT_EQ(treeIds(tree), expected);
    EXPECT_FALSE(dialog.findChild<QLineEdit*>(QStringLiteral("c1031"))->isEnabled());

    // Preset rights are ticked and their group shows partly ticked.
    EXPECT_EQ(tree->GetCheckState(dialog.FindRightItem(101)), 2);
    EXPECT_EQ(tree->GetCheckState(dialog.FindRightItem(103)), 2);
    EXPECT_EQ(tree->GetCheckState(dialog.FindRightItem(102)), 1);
    EXPECT_EQ(tree->GetCheckState(dialog.FindRightItem(101)->parent()), 3);

    // The operator ticks 价目维护 and unticks 售电服务 with the mouse.
    for (int id : {401, 101}) {
        QTreeWidgetItem* item = dialog.FindRightItem(id);
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->StateIconRect(item).center());
    }
    chooseFirstStationIfNone(&dialog);
    CModalScript::Click(&dialog, 1020);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    int ids[COperator::MaxRights];
    int count = 0;
    dialog.GetRights(ids, count);
    EXPECT_EQ(QList<int>(ids, ids + count), (QList<int>{103, 401})) << "tree order; 501 cannot be kept";
}

TEST_F(OperatorDialogTest, ViewChangesNothingAndTheBuiltInOperatorsKeepTheirRights)
{
    {
        COperatorEditDlg dialog(nullptr, QStringLiteral("查看操作员权限"));
        dialog.m_operatorNo = QStringLiteral("c1");
        dialog.EnsureInitialised();
        for (int id : {1031, 1032, 1040})
            EXPECT_FALSE(dialog.findChild<QWidget*>(QStringLiteral("c%1").arg(id))->isEnabled()) << id;
        EXPECT_TRUE(dialog.GetTree()->IsLocked());
        CModalScript::Click(&dialog, 1020);
        EXPECT_NE(dialog.result(), QDialog::Accepted) << "only 返回 closes the view";
    }
    for (const char* code : {"qz", "vx", "c1"}) {
        COperatorEditDlg dialog(nullptr, QStringLiteral("修改操作员"));
        dialog.m_operatorNo = QString::fromUtf8(code);
        dialog.EnsureInitialised();
        EXPECT_EQ(dialog.GetTree()->IsLocked() != 0, QByteArray(code) != "c1") << code;
    }
}

TEST_F(OperatorDialogTest, AddingStoresTheOperatorWithTheDefaultPasswordAndRefusesATakenCode)
{
    COperatorListDlg dialog;
    dialog.EnsureInitialised();
    ASSERT_EQ(dialog.GetList()->GetItemCount(), 1);
    EXPECT_EQ(dialog.GetList()->GetItemText(0, 0), QStringLiteral("qz"));

    script.Then(editOperator(QStringLiteral("qz"), QStringLiteral("收银一"))).Then([](QWidget* editor) {
        EXPECT_EQ(editor->findChild<QLineEdit*>(QStringLiteral("c1031"))->text(), QStringLiteral("qz"));
        EXPECT_EQ(editor->findChild<QLineEdit*>(QStringLiteral("c1032"))->text(), QStringLiteral("收银一"));
        editOperator(QStringLiteral("c1"), QStringLiteral("收银一"))(editor);
    });
    CModalScript::Click(&dialog, 1024);

    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("操作员代码重复！")});
    EXPECT_EQ(rowOf(dialog, QStringLiteral("c1")), 1);
    EXPECT_EQ(dialog.GetList()->GetItemText(1, 1), QStringLiteral("收银一"));
    EXPECT_TRUE(KvVerifyPassword(fresh.Value(QStringLiteral("select OperatorPw from Operator where OperatorNo = 'c1'")),
                                 COperatorList::DefaultPassword()));
    EXPECT_EQ(fresh.Value(QStringLiteral("select StationNo from Operator where OperatorNo = 'c1'")),
              QStringLiteral("01"));
}

TEST_F(OperatorDialogTest, ModifyStoresNameAndRightsExceptForTheBuiltInOperators)
{
    addOperator("c1", {101});
    COperatorListDlg dialog;
    dialog.EnsureInitialised();

    for (const char* code : {"c1", "qz"}) {
        SCOPED_TRACE(code);
        dialog.GetList()->SelectRow(rowOf(dialog, QString::fromUtf8(code)));
        script.Then([](QWidget* editor) {
            auto* edit = static_cast<COperatorEditDlg*>(editor);
            edit->GetTree()->OnClickItem(edit->FindRightItem(102));
            CModalScript::Type(editor, 1032, QStringLiteral("改名"));
            CModalScript::Click(editor, 1020);
        });
        CModalScript::Click(&dialog, 1025);
        EXPECT_TRUE(script.Exhausted());
    }
    EXPECT_EQ(fresh.Value(QStringLiteral("select OperatorName from Operator where OperatorNo = 'c1'")),
              QStringLiteral("改名"));
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from Permission where OperatorNo = 'c1'")), 2);
    EXPECT_EQ(fresh.Value(QStringLiteral("select OperatorName from Operator where OperatorNo = 'qz'")),
              QStringLiteral("qz"));
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from Permission where OperatorNo = 'qz'")), 15);
    EXPECT_TRUE(sink.Texts().isEmpty());

    // Nothing selected.
    dialog.GetList()->clearSelection();
    CModalScript::Click(&dialog, 1025);
    CModalScript::Click(&dialog, 1038);
    EXPECT_EQ(sink.Texts(), (QStringList{"请选择操作员！", "没有选定操作员！"}));
}

TEST_F(OperatorDialogTest, DeleteIsRefusedWhileRowsCarryTheCode)
{
    struct Case
    {
        const char* name;
        const char* code;
        const char* row; // a row that carries vx, or ""
        int answer;
        const char* message;
        bool deleted;
    };
    const Case cases[] = {
        {"the administrator", "qz", "", IDYES, "不能删除系统操作员！", false},
        {"a sale", "vx", "insert into WrtRecord(WrtIndex, OperatorNo) values(100000001, 'vx')", IDYES,
         "已有该操作员的写卡记录，不能删除该操作员！", false},
        {"a meter version", "vx", "insert into CliPre(CliPreIndex, OperatorNo) values(1, 'vx')", IDYES,
         "已有该操作员创建的用户电表，不能删除该操作员！", false},
        {"a user version", "vx", "insert into Client(ClientIndex, OperatorNo) values(1, 'vx')", IDYES,
         "已有该操作员创建的用户，不能删除该操作员！", false},
        {"a price version", "vx", "insert into PriceVer(PriceIndex, OperatorNo) values(1, 'vx')", IDYES,
         "已有该操作员的价格，不能删除该操作员！", false},
        {"no answer yes", "vx", "", IDNO, "请确认是否删除该操作员？", false},
        {"free of rows", "vx", "", IDYES, "请确认是否删除该操作员？", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* table : {"WrtRecord", "CliPre", "Client", "PriceVer", "Permission"})
            db().Execute(QStringLiteral("delete from %1 where OperatorNo = 'vx'").arg(table), QString());
        db().Execute(QStringLiteral("delete from Operator where OperatorNo = 'vx'"), QString());
        addOperator("vx", {101});
        if (*c.row)
            db().Execute(QString::fromUtf8(c.row), QString());
        sink.Clear();

        COperatorListDlg dialog;
        dialog.EnsureInitialised();
        dialog.GetList()->SelectRow(rowOf(dialog, QString::fromUtf8(c.code)));
        sink.QueueAnswer(c.answer);
        CModalScript::Click(&dialog, 1026);

        EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(fresh.Count(QStringLiteral("select * from Operator where OperatorNo = 'vx'")), c.deleted ? 0 : 1);
        EXPECT_EQ(fresh.Count(QStringLiteral("select * from Permission where OperatorNo = 'vx'")), c.deleted ? 0 : 1);
        EXPECT_EQ(rowOf(dialog, QStringLiteral("vx")) < 0, c.deleted);
        EXPECT_EQ(fresh.Count(QStringLiteral("select * from Operator where OperatorNo = 'qz'")), 1);
    }
}

TEST_F(OperatorDialogTest, TheNetworkEditionsEditorOffersTheWorkstationsAndStoresTheChosenOne)
{
    if (!networkEdition())
        GTEST_SKIP() << "the stand-alone edition stores workstation 01 without asking";
    db().Execute(QStringLiteral("insert into Station(StationNo, StationName) values('02', '东门')"), QString());

    COperatorListDlg dialog;
    dialog.EnsureInitialised();
    script.Then([this](QWidget* editor) {
        auto* box = editor->findChild<QComboBox*>(QStringLiteral("c1040"));
        ASSERT_NE(box, nullptr);
        ASSERT_EQ(box->count(), 2);
        EXPECT_EQ(box->itemText(1), QStringLiteral("东门"));
        EXPECT_EQ(box->currentIndex(), -1) << "a new operator has no workstation yet";
        CModalScript::Type(editor, 1031, QStringLiteral("c2"));
        CModalScript::Type(editor, 1032, QStringLiteral("收银二"));
        CModalScript::Click(editor, 1020);
        EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("请选择工作站！")});
        EXPECT_TRUE(editor->isVisible()) << "the editor stays open";
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Down);
        ASSERT_EQ(box->currentText(), QStringLiteral("东门"));
        CModalScript::Click(editor, 1020);
    });
    CModalScript::Click(&dialog, 1024);

    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(fresh.Value(QStringLiteral("select StationNo from Operator where OperatorNo = 'c2'")),
              QStringLiteral("02"));

    // Modifying shows the stored workstation chosen.
    script.Then([](QWidget* editor) {
        EXPECT_EQ(editor->findChild<QComboBox*>(QStringLiteral("c1040"))->currentText(), QStringLiteral("东门"));
        CModalScript::Click(editor, 1001);
    });
    dialog.GetList()->SelectRow(rowOf(dialog, QStringLiteral("c2")));
    CModalScript::Click(&dialog, 1025);
    EXPECT_TRUE(script.Exhausted());
}

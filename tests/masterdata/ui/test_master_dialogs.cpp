#include "CBlockEditDlg.h"
#include "CBlockListDlg.h"
#include "CBuildingEditDlg.h"
#include "CBuildingListDlg.h"
#include "CDepartmentEditDlg.h"
#include "CDepartmentListDlg.h"
#include "CMainFrame.h"
#include "KvMainCommands.h"
#include "KvMasterDataCommands.h"
#include "KvMasterDialogTest.h"

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>

namespace {

const QString kTenChinese = QStringLiteral("一二三四五六七八九十");

TEST_F(MasterDialogTest, DistrictsAreAddedChangedAndDeletedWithTheirRefusals)
{
    exec(QStringLiteral("insert into Block values('01', '东苑')"));
    CBlockListDlg dlg(nullptr, QStringLiteral("小区管理"));
    ShowActive(&dlg);
    CKvExtList2* list = dlg.GetListCtrl();
    ASSERT_EQ(list->objectName(), QStringLiteral("c1050"));
    EXPECT_EQ(ListRows(list), QStringList{QStringLiteral("01|东苑")}) << "the reserved row is hidden";
    EXPECT_EQ(list->horizontalHeaderItem(1)->text(), QStringLiteral("小区名称"));
    EXPECT_EQ(Control<QPushButton>(&dlg, 1001)->text(), QStringLiteral("关闭(&C)"));

    DeselectRow(list, 0); // the focused list selected its first row
    ClickButton(&dlg, 1025);
    ClickButton(&dlg, 1026);
    EXPECT_EQ(sink.Texts(), (QStringList{QStringLiteral("请选择小区！"), QStringLiteral("请选择小区！")}));
    sink.Clear();

    // Blanks around a typed code are dropped.
    CModalScript script;
    script.Then([](QWidget* edit) {
        EXPECT_EQ(edit->windowTitle(), QStringLiteral("增加小区"));
        SaveCodeAndName(1048, QStringLiteral(" 02 "), 1049, QStringLiteral("西苑"))(edit);
    });
    ClickButton(&dlg, 1024);
    EXPECT_EQ(ListRows(list), (QStringList{QStringLiteral("01|东苑"), QStringLiteral("02|西苑")}));

    // A code that exists: the dialog opens again with what was typed.
    script.Then(SaveCodeAndName(1048, QStringLiteral("01"), 1049, QStringLiteral("重名")));
    script.Then([](QWidget* edit) {
        EXPECT_EQ(Control<QLineEdit>(edit, 1048)->text(), QStringLiteral("01"));
        EXPECT_EQ(Control<QLineEdit>(edit, 1049)->text(), QStringLiteral("重名"));
        ClickButton(edit, 1021);
    });
    ClickButton(&dlg, 1024);
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("小区代码重复！")});
    EXPECT_EQ(count(QStringLiteral("select * from Block")), 3);

    // Modify: the code is fixed, the name is written.
    ClickRow(list, 0);
    script.Then([](QWidget* edit) {
        EXPECT_EQ(edit->windowTitle(), QStringLiteral("修改小区"));
        EXPECT_FALSE(Control<QLineEdit>(edit, 1048)->isEnabled());
        EXPECT_EQ(edit->focusWidget(), Control<QLineEdit>(edit, 1049));
        SaveCodeAndName(1048, QStringLiteral("01"), 1049, QStringLiteral("东苑新区"))(edit);
    });
    ClickButton(&dlg, 1025);
    EXPECT_EQ(fresh.Value(QStringLiteral("select BlockName from Block where BlockNo = '01'")),
              QStringLiteral("东苑新区"));

    // A district with buildings stays; No keeps a district; Yes deletes it.
    exec(QStringLiteral("insert into Building values('01', '01', '一幢')"));
    sink.Clear();
    ClickRow(list, 0);
    ClickButton(&dlg, 1026);
    ASSERT_EQ(sink.Messages().size(), 2u);
    EXPECT_EQ(sink.Messages()[0].caption, QStringLiteral("请选择"));
    EXPECT_EQ(sink.Messages()[0].text, QStringLiteral("请确认是否删除该小区？"));
    EXPECT_EQ(sink.Messages()[1].text, QStringLiteral("该小区已建有楼幢档案，不能删除！"));
    ClickRow(list, 1);
    sink.QueueAnswer(IDNO);
    ClickButton(&dlg, 1026);
    EXPECT_EQ(count(QStringLiteral("select * from Block where BlockNo = '02'")), 1);
    ClickRow(list, 1);
    sink.QueueAnswer(IDYES);
    ClickButton(&dlg, 1026);
    EXPECT_EQ(count(QStringLiteral("select * from Block where BlockNo = '02'")), 0);
    EXPECT_EQ(ListRows(list), QStringList{QStringLiteral("01|东苑新区")});
    EXPECT_TRUE(script.Exhausted());
}

TEST_F(MasterDialogTest, AFailedWriteIsShownAndTheListShowsWhatIsStored)
{
    exec(QStringLiteral("insert into Block values('01', '东苑')"));
    CBlockListDlg dlg(nullptr, QStringLiteral("小区管理"));
    ShowActive(&dlg);
    exec(QStringLiteral("delete from Block where BlockNo = '01'"));

    CModalScript script;
    script.Then(SaveCodeAndName(1048, QStringLiteral("01"), 1049, QStringLiteral("新名")));
    ClickRow(dlg.GetListCtrl(), 0);
    ClickButton(&dlg, 1025);
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("向数据库更新小区时发生错误！")});
    EXPECT_TRUE(ListRows(dlg.GetListCtrl()).isEmpty());
    EXPECT_TRUE(dlg.isVisible());
}

// The checks of the district and department edit dialogs, in their order.
TEST_F(MasterDialogTest, EditDialogsRefuseCodesAndNamesInOrder)
{
    struct Case
    {
        const char* caption;
        const char* code;
        QString name;
        const char* refusal; // "" = saved
        int focus;
    };
    const Case cases[] = {
        {"增加小区", "", "东苑", "请输入小区代码！", 1048},
        {"增加小区", "1", "东苑", "小区代码长度应为2！", 1048},
        {"增加小区", "123", "东苑", "小区代码长度应为2！", 1048},
        {"增加小区", "00", "东苑", "小区代码不应为00！", 1048},
        {"增加小区", "01", "  ", "请输入小区名称！", 1049},
        {"增加小区", "01", kTenChinese + "一", "小区名称长度不应大于20！", 1049},
        {"增加小区", " 01 ", kTenChinese, "", 0},
        {"增加部门", "一二三四五6", "财务", "部门代码长度不应大于10！", 1022},
        {"增加部门", "00", "财务", "部门代码不应为00！", 1022},
        {"增加部门", "", "财务", "请输入部门代码！", 1022},
        {"增加部门", "一二三四五", kTenChinese + "一", "部门名称长度不应大于20！", 1023},
        {"增加部门", "A'1", kTenChinese, "", 0},
    };
    for (const Case& c : cases) {
        const QString caption = QString::fromUtf8(c.caption);
        std::unique_ptr<CCodeNameEditDlg> dlg;
        if (caption == QStringLiteral("增加小区"))
            dlg = std::make_unique<CBlockEditDlg>(nullptr, caption);
        else
            dlg = std::make_unique<CDepartmentEditDlg>(nullptr, caption);
        const bool block = caption == QStringLiteral("增加小区");
        const int codeId = block ? 1048 : 1022;
        ShowActive(dlg.get());
        EXPECT_EQ(dlg->focusWidget(), Control<QLineEdit>(dlg.get(), codeId)) << "add mode starts at the code";
        Control<QLineEdit>(dlg.get(), codeId)->setText(QString::fromUtf8(c.code));
        Control<QLineEdit>(dlg.get(), block ? 1049 : 1023)->setText(c.name);
        sink.Clear();
        ClickButton(dlg.get(), 1020);
        const QString refusal = QString::fromUtf8(c.refusal);
        if (refusal.isEmpty()) {
            EXPECT_TRUE(sink.Texts().isEmpty()) << c.code;
            EXPECT_EQ(dlg->result(), QDialog::Accepted) << c.code;
            EXPECT_EQ(dlg->m_strCode, QString::fromUtf8(c.code).trimmed());
            EXPECT_EQ(dlg->m_strName, c.name);
        } else {
            EXPECT_EQ(sink.Texts(), QStringList{refusal}) << c.code;
            EXPECT_TRUE(dlg->isVisible()) << c.code;
            EXPECT_EQ(dlg->focusWidget(), Control<QWidget>(dlg.get(), c.focus)) << c.code;
            EXPECT_EQ(sink.Messages()[0].caption, QStringLiteral("提示"));
        }
    }
}

TEST_F(MasterDialogTest, BuildingsNameTheirDistrictAndTheSameCodeMayStandInAnother)
{
    // Without a real district nothing can be chosen.
    {
        CBuildingEditDlg edit(nullptr, QStringLiteral("增加楼幢"));
        ShowActive(&edit);
        EXPECT_EQ(Control<QComboBox>(&edit, 1003)->count(), 0);
        CModalScript::Type(&edit, 1055, QStringLiteral("01"));
        CModalScript::Type(&edit, 1058, QStringLiteral("一幢"));
        ClickButton(&edit, 1020);
        EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("请选择小区！")});
        EXPECT_EQ(edit.focusWidget(), Control<QWidget>(&edit, 1003));
        sink.Clear();
    }

    exec(QStringLiteral("insert into Block values('01', '东苑')"));
    exec(QStringLiteral("insert into Block values('02', '西苑')"));
    CBuildingListDlg dlg(nullptr, QStringLiteral("楼幢管理"));
    ShowActive(&dlg);
    EXPECT_EQ(Control<QPushButton>(&dlg, 1001)->text(), QStringLiteral("返回(&R)"));

    CModalScript script;
    script.Then([](QWidget* edit) {
        EXPECT_EQ(ComboItems(Control<QComboBox>(edit, 1003)), (QStringList{"东苑", "西苑"}));
        ChooseItem(Control<QComboBox>(edit, 1003), 1);
        SaveCodeAndName(1055, QStringLiteral("01"), 1058, QStringLiteral("西一幢"))(edit);
    });
    ClickButton(&dlg, 1024);
    script.Then(SaveCodeAndName(1055, QStringLiteral("01"), 1058, QStringLiteral("东一幢")));
    ClickButton(&dlg, 1024);
    EXPECT_EQ(ListRows(dlg.GetListCtrl()), (QStringList{"西苑|01|西一幢", "东苑|01|东一幢"}));

    // The pair exists: refused, and the dialog comes back on the district chosen.
    script.Then([](QWidget* edit) {
        ChooseItem(Control<QComboBox>(edit, 1003), 1);
        SaveCodeAndName(1055, QStringLiteral("01"), 1058, QStringLiteral("重复"))(edit);
    });
    script.Then([](QWidget* edit) {
        EXPECT_EQ(Control<QComboBox>(edit, 1003)->currentText(), QStringLiteral("西苑"));
        EXPECT_EQ(Control<QLineEdit>(edit, 1058)->text(), QStringLiteral("重复"));
        ClickButton(edit, 1021);
    });
    ClickButton(&dlg, 1024);
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("楼幢编号重复！")});
    EXPECT_EQ(count(QStringLiteral("select * from Building")), 3);

    // Modify: neither the district nor the code changes.
    ClickRow(dlg.GetListCtrl(), 1);
    script.Then([](QWidget* edit) {
        EXPECT_FALSE(Control<QComboBox>(edit, 1003)->isEnabled());
        EXPECT_FALSE(Control<QLineEdit>(edit, 1055)->isEnabled());
        EXPECT_EQ(Control<QComboBox>(edit, 1003)->currentText(), QStringLiteral("东苑"));
        SaveCodeAndName(1055, QStringLiteral("01"), 1058, QStringLiteral("东一号楼"))(edit);
    });
    ClickButton(&dlg, 1025);
    EXPECT_EQ(fresh.Value(QStringLiteral("select BuildingName from Building where BlockNo = '01'")),
              QStringLiteral("东一号楼"));

    sink.Clear();
    ClickRow(dlg.GetListCtrl(), 0);
    ClickButton(&dlg, 1026);
    EXPECT_EQ(sink.Texts().value(0), QStringLiteral("请确认是否删除该楼幢？"));
    EXPECT_EQ(ListRows(dlg.GetListCtrl()), QStringList{"东苑|01|东一号楼"});
    EXPECT_TRUE(script.Exhausted());
}

TEST_F(MasterDialogTest, DepartmentsAreAddedWithAQuotedCodeAndDeleted)
{
    CDepartmentListDlg dlg(nullptr, QStringLiteral("部门管理"));
    ShowActive(&dlg);
    EXPECT_EQ(Control<QPushButton>(&dlg, 1024)->text(), QStringLiteral("增加部门(&A)"));
    EXPECT_EQ(dlg.GetListCtrl()->GetItemCount(), 0) << "the reserved row is hidden";

    CModalScript script;
    script.Then(SaveCodeAndName(1022, QStringLiteral("A'1"), 1023, QStringLiteral("财'务")));
    ClickButton(&dlg, 1024);
    script.Then(SaveCodeAndName(1022, QStringLiteral("A'1"), 1023, QStringLiteral("又一个")));
    script.Then([](QWidget* edit) { ClickButton(edit, 1021); });
    ClickButton(&dlg, 1024);
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("部门代码重复！")});
    EXPECT_EQ(ListRows(dlg.GetListCtrl()), QStringList{"A'1|财'务"});

    ClickRow(dlg.GetListCtrl(), 0);
    ClickButton(&dlg, 1026);
    EXPECT_EQ(count(QStringLiteral("select * from Department")), 1);
    EXPECT_TRUE(script.Exhausted());
}

// Rows that users name, even only in a closed version, are not deleted; the
// users are asked before the buildings.
TEST_F(MasterDialogTest, RowsThatUsersNameAreNotDeleted)
{
    exec(QStringLiteral("insert into Block values('01', '东苑')"));
    exec(QStringLiteral("insert into Building values('01', '01', '一幢')"));
    exec(QStringLiteral("insert into Department values('D1', '财务')"));
    exec(QStringLiteral("insert into Client(ClientIndex, ClientNo, BlockNo, BuildingNo, DepartmentNo, EndDate) "
                        "values(1, 'U1', '01', '01', 'D1', '2026-11-30')"));
    struct Case
    {
        std::function<std::unique_ptr<CMasterListDlg>()> open;
        const char* refusal;
        const char* table;
    };
    const Case cases[] = {
        {[] { return std::make_unique<CBlockListDlg>(nullptr, QStringLiteral("小区管理")); },
         "该小区已建有用户档案，不能删除！", "Block"},
        {[] { return std::make_unique<CBuildingListDlg>(nullptr, QStringLiteral("楼幢管理")); },
         "该楼幢已建有用户档案，不能删除！", "Building"},
        {[] { return std::make_unique<CDepartmentListDlg>(nullptr, QStringLiteral("部门管理")); },
         "该部门已建有用户档案，不能删除！", "Department"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CMasterListDlg> dlg = c.open();
        ShowActive(dlg.get());
        sink.Clear();
        ClickRow(dlg->GetListCtrl(), 0);
        ClickButton(dlg.get(), 1026);
        EXPECT_EQ(sink.Texts().value(1), QString::fromUtf8(c.refusal)) << c.table;
        EXPECT_EQ(count(QStringLiteral("select * from %1").arg(QString::fromLatin1(c.table))), 2) << c.table;
    }
}

TEST_F(MasterDialogTest, EachMenuCommandOpensItsManagementDialog)
{
    CMainFrame frame;
    InstallMasterDataCommands(frame);
    struct Case
    {
        int id;
        const char* dialog;
        const char* caption;
    };
    for (const Case& c : {Case{ID_BLOCKS, "dlg149", "小区管理"}, Case{ID_BUILDINGS, "dlg151", "楼幢管理"},
                          Case{ID_DEPARTMENTS, "dlg133", "部门管理"}}) {
        CModalScript script;
        QString title;
        QWidget* parent = &frame;
        script.Then([&](QWidget* dialog) {
            title = dialog->windowTitle();
            parent = dialog->parentWidget();
            ClickButton(dialog, 1001);
        });
        frame.RunCommand(c.id);
        EXPECT_EQ(script.Seen(), QStringList{QString::fromLatin1(c.dialog)});
        EXPECT_EQ(title, QString::fromUtf8(c.caption));
        EXPECT_EQ(parent, nullptr);
    }
    EXPECT_TRUE(sink.Texts().isEmpty());
}

// The whole management dialog with the keyboard alone: Tab into the list
// selects the row the focus stands on, Tab on to 修改 and Enter edits that
// row, Tab on to the closing button and Enter closes.
TEST_F(MasterDialogTest, TheManagementDialogsWorkWithTheKeyboardAlone)
{
    exec(QStringLiteral("insert into Block values('01', '东苑')"));
    exec(QStringLiteral("insert into Block values('02', '西苑')"));
    exec(QStringLiteral("insert into Building values('01', '01', '一幢')"));
    exec(QStringLiteral("insert into Department values('D1', '财务')"));
    struct Case
    {
        std::function<std::unique_ptr<CMasterListDlg>()> open;
        const char* modifyCaption;
    };
    const Case cases[] = {
        {[] { return std::make_unique<CBlockListDlg>(nullptr, QStringLiteral("小区管理")); }, "修改小区"},
        {[] { return std::make_unique<CBuildingListDlg>(nullptr, QStringLiteral("楼幢管理")); }, "修改楼幢"},
        {[] { return std::make_unique<CDepartmentListDlg>(nullptr, QStringLiteral("部门管理")); }, "修改部门"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.modifyCaption);
        std::unique_ptr<CMasterListDlg> dlg = c.open();
        ASSERT_TRUE(ShowActive(dlg.get()));
        CKvExtList2* list = dlg->GetListCtrl();
        ASSERT_TRUE(list->hasFocus()) << "the list is the first control";
        EXPECT_EQ(list->GetSelectedRow(), 0);
        const QString firstRow = ListRows(list).value(0);

        const auto tabTo = [&](int id) {
            for (int i = 0; i < 6 && QApplication::focusWidget() != Control<QWidget>(dlg.get(), id); ++i)
                PressKey(QApplication::focusWidget(), Qt::Key_Tab);
            return QApplication::focusWidget() == Control<QWidget>(dlg.get(), id);
        };
        CModalScript script;
        QString caption;
        script.Then([&](QWidget* edit) {
            caption = edit->windowTitle();
            ClickButton(edit, 1021);
        });
        ASSERT_TRUE(tabTo(1025));
        PressKey(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_TRUE(script.Exhausted());
        EXPECT_EQ(caption, QString::fromUtf8(c.modifyCaption));
        EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(' ').toStdString();
        EXPECT_EQ(ListRows(list).value(0), firstRow);

        ASSERT_TRUE(ShowActive(dlg.get())); // back from the edit dialog
        ASSERT_TRUE(tabTo(1001));
        PressKey(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(dlg->isVisible());
    }
}

} // namespace

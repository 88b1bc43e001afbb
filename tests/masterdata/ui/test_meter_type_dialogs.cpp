#include "../../framework/ui/KvShownTextCheck.h"
#include "CAdoConnection.h"
#include "CMainFrame.h"
#include "COperator.h"
#include "CPreModel.h"
#include "CPreModelEditDlg.h"
#include "CPreModelListDlg.h"
#include "CPreModelOrderDlg.h"
#include "CurrentOperator.h"
#include "DialogDriving.h"
#include "KvFreshDatabase.h"
#include "KvMainCommands.h"
#include "KvMasterDataCommands.h"
#include "KvMessage.h"
#include "KvModalScript.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

class MeterTypeDialogTest : public FreshDatabaseTest
{
protected:
    // A closed, historical meter row that names the type.
    void AddClosedMeterOf(const QString& modelId)
    {
        db().Execute(QStringLiteral("insert into CliPre(CliPreIndex, ClientNo, MeterNo, ModelId, BeginDate, EndDate) "
                                    "values(1, '0001', '00000001', '%1', '2026-01-01', '2026-06-30')")
                         .arg(modelId),
                     QString());
    }
    QString Positions()
    {
        return fresh.Value("select group_concat(ModelId || '=' || SortIndex, ' ') from "
                           "(select * from PreModel order by ModelId)");
    }
};

// An add dialog filled with a valid new type.
std::unique_ptr<CPreModelEditDlg> ValidAddDialog()
{
    auto dialog = std::make_unique<CPreModelEditDlg>(nullptr, QStringLiteral("增加表型"));
    dialog->SetFrom(CPreModel());
    dialog->show();
    Enter(dialog.get(), 1138, "T1");
    Enter(dialog.get(), 1024, "单相表");
    Enter(dialog.get(), 1026, "5(30)A");
    ChooseItem(dialog.get(), 1238, "预付费电表");
    ChooseItem(dialog.get(), 1153, "红外遥控卡");
    ChooseItem(dialog.get(), 1241, "单相二线");
    return dialog;
}

} // namespace

// A field of digits refuses a paste or input-method text holding anything
// else whole, saying so by the field's name; digits go in.
TEST_F(MeterTypeDialogTest, ADigitsFieldRefusesAnyOtherPastedCharacterWhole)
{
    auto dialog = ValidAddDialog();
    const QString refusal = QStringLiteral("内部倍率只能输入数字0-9！");
    using Insert = std::function<void(QLineEdit*, const QString&)>;
    const Insert paste = [](QLineEdit* e, const QString& text) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    };
    const Insert inputMethod = [](QLineEdit* e, const QString& text) {
        QInputMethodEvent committed;
        committed.setCommitString(text);
        QApplication::sendEvent(e, &committed);
    };
    const struct
    {
        const char* inserted;
        const char* text;
        bool refused;
    } cases[] = {
        {"１２", "3", true}, {"1,5", "3", true}, {"1.5", "3", true},  {"-5", "3", true},
        {"1e3", "3", true},  {" 12", "3", true}, {"12\n", "3", true}, {"12", "312", false},
    };
    for (const auto& [how, insert] : {std::pair{"paste", paste}, std::pair{"input method", inputMethod}}) {
        for (const auto& c : cases) {
            auto* multiplier = Control<QLineEdit>(dialog.get(), 1025);
            Retype(multiplier, "3");
            sink.Clear();
            insert(multiplier, QString::fromUtf8(c.inserted));
            EXPECT_EQ(multiplier->text(), QString::fromUtf8(c.text)) << how << " " << c.inserted;
            EXPECT_EQ(sink.Texts(), c.refused ? QStringList{refusal} : QStringList()) << how << " " << c.inserted;
        }
    }
    EXPECT_FALSE(Control<QLineEdit>(dialog.get(), 1025)->acceptDrops());
}

TEST_F(MeterTypeDialogTest, EditChecksRunInOrderWithTheirTexts)
{
    using Entry = std::function<void(QWidget*)>;
    const struct
    {
        const char* what;
        Entry enter;
        QString message; // empty: accepted
        int focus;
    } cases[] = {
        {"a valid entry", [](QWidget*) {}, "", 0},
        {"code and model empty: the code first",
         [](QWidget* d) {
             Enter(d, 1138, "");
             Enter(d, 1024, "");
         },
         "请输入型别", 1138},
        {"model empty", [](QWidget* d) { Enter(d, 1024, ""); }, "请输入表型", 1024},
        {"spec empty", [](QWidget* d) { Enter(d, 1026, ""); }, "请输入规格", 1026},
        {"multiplier empty", [](QWidget* d) { Enter(d, 1025, ""); }, "请输入内部内部倍率", 1025},
        {"base current empty", [](QWidget* d) { Enter(d, 1031, ""); }, "请输入基本电流", 1031},
        {"maximum empty", [](QWidget* d) { Enter(d, 1027, ""); }, "请输入最大限电值", 1027},
        {"minimum empty", [](QWidget* d) { Enter(d, 1028, ""); }, "请输入最小限电值", 1028},
        {"no device kind", [](QWidget* d) { ChooseItem(d, 1238, ""); }, "请选择设备类型", 1238},
        {"no card kind", [](QWidget* d) { ChooseItem(d, 1153, ""); }, "请选择通讯方式", 1153},
        {"no wiring", [](QWidget* d) { ChooseItem(d, 1241, ""); }, "请选择相线", 1241},
        {"a blank is typed as it stands", [](QWidget* d) { Enter(d, 1026, " "); }, "", 0},
        {"minimum above maximum is not checked", [](QWidget* d) { Enter(d, 1028, "99"); }, "", 0},
        {"multiplier 0", [](QWidget* d) { Enter(d, 1025, "0"); }, "内部倍率应大于0！", 1025},
        {"base current 0.0", [](QWidget* d) { Enter(d, 1031, "0.0"); }, "基本电流应大于0！", 1031},
        {"base current not a number", [](QWidget* d) { Enter(d, 1031, "x"); }, "基本电流应大于0！", 1031},
        // A number is stored as it reads: not wholly a number, or beyond its range, it is refused by name.
        {"multiplier beyond int", [](QWidget* d) { Enter(d, 1025, "99999999999"); }, "内部倍率应为1到9999之间的整数！",
         1025},
        {"base current 5abc", [](QWidget* d) { Enter(d, 1031, "5abc"); },
         "基本电流应为大于0且不超过999的数，最多1位小数！", 1031},
        {"base current 0.0000001", [](QWidget* d) { Enter(d, 1031, "0.0000001"); },
         "基本电流应为大于0且不超过999的数，最多1位小数！", 1031},
        {"maximum 99999999999", [](QWidget* d) { Enter(d, 1027, "99999999999"); },
         "最大限电流应为0到999之间的数，最多1位小数！", 1027},
        {"minimum abc", [](QWidget* d) { Enter(d, 1028, "abc"); }, "最小限电流应为0到999之间的数，最多1位小数！", 1028},
        {"currents shown with one decimal", [](QWidget* d) { Enter(d, 1027, "60.0"); }, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto dialog = ValidAddDialog();
        c.enter(dialog.get());
        sink.Clear();
        Click(dialog.get(), 1000);
        EXPECT_EQ(sink.Texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_EQ(dialog->isVisible(), !c.message.isEmpty());
        if (c.focus) {
            EXPECT_EQ(dialog->focusWidget(), Control<QWidget>(dialog.get(), c.focus));
        }
    }
}

TEST_F(MeterTypeDialogTest, EditShowsTheTypeAndReturnsWhatWasChosen)
{
    CPreModel model;
    model.SetModelId("T7");
    model.SetDevType("预付费控制器");
    model.SetCardType("IC片卡");
    model.SetPhase("三相五线"); // no such item: nothing chosen
    model.SetbPt("是");
    CPreModelEditDlg dialog(nullptr, QStringLiteral("修改表型"));
    dialog.SetFrom(model);
    ASSERT_TRUE(ShowActive(&dialog));

    EXPECT_TRUE(Control<QLineEdit>(&dialog, 1138)->isReadOnly());
    EXPECT_EQ(dialog.focusWidget(), Control<QWidget>(&dialog, 1024));
    EXPECT_EQ(Control<QComboBox>(&dialog, 1238)->currentText(), "预付费控制器");
    EXPECT_EQ(Control<QComboBox>(&dialog, 1153)->currentText(), "IC片卡");
    EXPECT_EQ(Control<QComboBox>(&dialog, 1241)->currentIndex(), -1);
    EXPECT_FALSE(Control<QCheckBox>(&dialog, 1070)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(&dialog, 1071)->isChecked());
    EXPECT_EQ(Control<QLineEdit>(&dialog, 1031)->text(), "1.0");

    Enter(&dialog, 1024, "控制器");
    Enter(&dialog, 1026, "3x5A");
    Enter(&dialog, 1025, "2x0"); // digits only
    // Digits only are typed, but the shown "30.0" can be edited by deleting.
    auto* maximum = Control<QLineEdit>(&dialog, 1027);
    maximum->end(false);
    PressKey(maximum, Qt::Key_Backspace);
    PressKey(maximum, Qt::Key_Backspace);
    EXPECT_EQ(maximum->text(), "30");
    Enter(&dialog, 1027, "6.5");
    Enter(&dialog, 1031, "1.5");
    ChooseItem(&dialog, 1241, "三相三线");
    MouseClick(Control<QCheckBox>(&dialog, 1070));
    MouseClick(Control<QCheckBox>(&dialog, 1071));
    Click(&dialog, 1000);
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << sink.Texts().join(' ').toStdString();

    dialog.CopyTo(model);
    EXPECT_EQ(QStringList({model.GetModelId(), model.GetModel(), model.GetSpec(), QString::number(model.GetInnerMul()),
                           model.GetPhase(), QString::number(model.GetMaxLimit()),
                           QString::number(model.GetBaseValue()), model.GetbCt(), model.GetbPt()}),
              QStringList({"T7", "控制器", "3x5A", "20", "三相三线", "65", "1.5", "是", "否"}));
}

// The list of meter types shows every shipped type's texts whole.
TEST_F(MeterTypeDialogTest, ListShowsTheShippedTypesWhole)
{
    CPreModelListDlg dialog(nullptr, QStringLiteral("维护表型"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    CKvExtList2* list = dialog.GetList();
    EXPECT_TRUE(ColumnTexts(list, 1).contains(QStringLiteral("QM3三相红外预付费电表")));
    EXPECT_EQ(CutListTexts(*list), QStringList());
}

// A code that exists is refused and the dialog comes back with everything as
// typed; modifying and deleting work on the selected type.
TEST_F(MeterTypeDialogTest, ListAddsModifiesAndDeletesTypes)
{
    CPreModelListDlg dialog(nullptr, QStringLiteral("维护表型"));
    dialog.show();
    CKvExtList2* list = dialog.GetList();
    EXPECT_EQ(ColumnTexts(list, 0), QStringList({"QM-K1", "QM-K3", "QM-H1", "QM-H3"}));
    EXPECT_EQ(list->GetItemText(3, 3), "1");
    EXPECT_EQ(list->GetItemText(3, 4), "红外遥控卡");
    EXPECT_EQ(list->GetItemText(3, 5), "预付费电表");
    EXPECT_EQ(list->GetItemText(3, 7), "10.0");

    QStringList reopened;
    CModalScript script;
    script
        .Then([](QWidget* edit) {
            EXPECT_EQ(edit->windowTitle(), "增加表型");
            EXPECT_EQ(Control<QLineEdit>(edit, 1025)->text(), "1");
            EXPECT_EQ(Control<QLineEdit>(edit, 1027)->text(), "30.0");
            Enter(edit, 1138, "qm-h1");
            Enter(edit, 1024, "新表");
            Enter(edit, 1026, "10A");
            ChooseItem(edit, 1238, "预付费电表");
            ChooseItem(edit, 1153, "IC钥匙卡");
            ChooseItem(edit, 1241, "单相二线");
            Click(edit, 1000);
        })
        .Then([&reopened](QWidget* edit) {
            for (int id : {1138, 1024, 1026})
                reopened << Control<QLineEdit>(edit, id)->text();
            reopened << Control<QComboBox>(edit, 1153)->currentText();
            Enter(edit, 1138, "T1");
            Click(edit, 1000);
        });
    Click(&dialog, 1024);
    EXPECT_EQ(sink.Texts(), QStringList({"型别重复！"}));
    EXPECT_EQ(reopened, QStringList({"qm-h1", "新表", "10A", "IC钥匙卡"}));
    EXPECT_EQ(fresh.Value("select Model || ':' || Spec || ':' || CardType || ':' || SortIndex from PreModel "
                          "where ModelId = 'T1'"),
              "新表:10A:IC钥匙卡:10000");
    EXPECT_EQ(ColumnTexts(list, 0), QStringList({"QM-K1", "QM-K3", "T1", "QM-H1", "QM-H3"}));

    // Modify and delete without a selection.
    list->clearSelection();
    list->setCurrentCell(-1, -1);
    sink.Clear();
    Click(&dialog, 1025);
    Click(&dialog, 1026);
    EXPECT_EQ(sink.Texts(), QStringList({"请选择表型！", "请选择表型！"}));

    list->SelectRow(2);
    script.Then([](QWidget* edit) {
        EXPECT_EQ(edit->windowTitle(), "修改表型");
        Enter(edit, 1026, "20A");
        Click(edit, 1000);
    });
    Click(&dialog, 1025);
    EXPECT_EQ(fresh.Value("select Spec from PreModel where ModelId = 'T1'"), "20A");
    EXPECT_EQ(list->GetItemText(2, 2), "20A");

    // Delete: a type a closed meter row names is refused; No keeps it; Yes deletes.
    AddClosedMeterOf("QM-H1");
    sink.Clear();
    list->SelectRow(3);
    Click(&dialog, 1026);
    EXPECT_EQ(sink.Texts(), QStringList({"已有用户配有该型表，不能删除！"}));
    list->SelectRow(2);
    sink.QueueAnswer(IDNO);
    Click(&dialog, 1026);
    EXPECT_EQ(fresh.Count("select * from PreModel where ModelId = 'T1'"), 1);
    list->SelectRow(2);
    sink.QueueAnswer(IDYES);
    Click(&dialog, 1026);
    EXPECT_EQ(sink.Texts().mid(1), QStringList({"确实要删除该表型吗？", "确实要删除该表型吗？"}));
    EXPECT_EQ(fresh.Count("select * from PreModel where ModelId = 'T1'"), 0);
    EXPECT_EQ(ColumnTexts(list, 0), QStringList({"QM-K1", "QM-K3", "QM-H1", "QM-H3"}));
    EXPECT_TRUE(script.Exhausted());
}

TEST_F(MeterTypeDialogTest, OrderOffersWithdrawsAndMovesTypes)
{
    AddClosedMeterOf("QM-H1");
    CPreModelOrderDlg dialog(nullptr, QStringLiteral("表型排序"));
    dialog.show();
    CKvExtList2* left = dialog.GetLeftList();
    CKvExtList2* right = dialog.GetRightList();
    EXPECT_EQ(ColumnTexts(left, 0), QStringList({"QM-K1", "QM-K3", "QM-H1", "QM-H3"}));
    EXPECT_EQ(ColumnTexts(left, 1), QStringList({"单相二线", "三相四线", "单相二线", "三相四线"}));
    EXPECT_EQ(right->GetItemCount(), 0);

    left->SelectRow(2);
    Click(&dialog, 1016);
    EXPECT_EQ(ColumnTexts(right, 0), QStringList({"QM-H1"}));
    EXPECT_EQ(right->GetSelectedRow(), 0);
    EXPECT_EQ(left->GetSelectedRow(), 2) << "the row that took its place";
    Click(&dialog, 1016); // QM-H3, now the last row
    EXPECT_EQ(left->GetSelectedRow(), 1);
    Click(&dialog, 1016); // QM-K3
    EXPECT_EQ(ColumnTexts(right, 0), QStringList({"QM-H1", "QM-H3", "QM-K3"}));
    EXPECT_EQ(ColumnTexts(left, 0), QStringList({"QM-K1"}));

    right->SelectRow(1);
    Click(&dialog, 1017);
    EXPECT_EQ(ColumnTexts(right, 0), QStringList({"QM-H3", "QM-H1", "QM-K3"}));
    EXPECT_EQ(right->GetSelectedRow(), 0);
    Click(&dialog, 1017); // the first row stays where it is
    EXPECT_EQ(ColumnTexts(right, 0), QStringList({"QM-H3", "QM-H1", "QM-K3"}));
    right->SelectRow(1);
    Click(&dialog, 1018);
    Click(&dialog, 1018); // the last row stays where it is
    EXPECT_EQ(ColumnTexts(right, 0), QStringList({"QM-H3", "QM-K3", "QM-H1"}));
    EXPECT_EQ(right->GetSelectedRow(), 2);

    // A type a closed meter row names stays offered.
    Click(&dialog, 1015);
    EXPECT_EQ(sink.Texts(), QStringList({"已建有该表型的档案，不能左移！"}));
    EXPECT_EQ(right->GetItemCount(), 3);
    right->SelectRow(1);
    Click(&dialog, 1015);
    EXPECT_EQ(ColumnTexts(left, 0), QStringList({"QM-K1", "QM-K3"}));
    EXPECT_EQ(left->GetSelectedRow(), 1);
    EXPECT_EQ(right->GetSelectedRow(), 1);

    EXPECT_EQ(Positions(), "QM-H1=10000 QM-H3=10000 QM-K1=10000 QM-K3=10000") << "nothing before OK";
    Click(&dialog, 1000);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Positions(), "QM-H1=1 QM-H3=0 QM-K1=10000 QM-K3=10000");
    CPreModelList offered;
    offered.LoadOffered();
    EXPECT_EQ(offered.GetCount(), 2);
    EXPECT_EQ(offered.At(0)->GetModelId(), "QM-H3");
}

TEST_F(MeterTypeDialogTest, OrderWithEveryTypeOnTheLeftOffersNone)
{
    db().Execute("update PreModel set SortIndex = 0 where ModelId = 'QM-K1'", QString());
    CPreModelOrderDlg dialog(nullptr, QStringLiteral("表型排序"));
    dialog.show();
    EXPECT_EQ(ColumnTexts(dialog.GetRightList(), 0), QStringList({"QM-K1"}));
    dialog.GetRightList()->SelectRow(0);
    Click(&dialog, 1015);
    Click(&dialog, 1000);
    EXPECT_EQ(Positions(), "QM-H1=10000 QM-H3=10000 QM-K1=10000 QM-K3=10000");
}

TEST_F(MeterTypeDialogTest, CommandsOpenTheTypeListAndTheOrder)
{
    CMainFrame frame;
    GetCurrentOperator()->SetRights(QVector<int>{500, 513, 516});
    frame.BuildRightsList();
    InstallMasterDataCommands(frame);
    const struct
    {
        int command;
        const char* dialog;
        const char* caption;
        int close;
    } cases[] = {{ID_METER_TYPES, "dlg218", "维护表型", 1050}, {ID_METER_TYPE_ORDER, "dlg145", "表型排序", 1021}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_TRUE(frame.GetCommandAction(c.command)->isEnabled());
        CModalScript script;
        QString caption;
        bool parentless = false;
        script.Then([&, close = c.close](QWidget* dialog) {
            caption = dialog->windowTitle();
            parentless = dialog->parentWidget() == nullptr;
            CModalScript::Click(dialog, close);
        });
        frame.GetCommandAction(c.command)->trigger();
        EXPECT_EQ(script.Seen(), QStringList({c.dialog}));
        EXPECT_EQ(caption, c.caption);
        EXPECT_TRUE(parentless);
    }
    EXPECT_TRUE(sink.Texts().isEmpty());
}

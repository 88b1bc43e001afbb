#include "../../framework/ui/KvUiTestUtil.h"
#include "CAdoConnection.h"
#include "CKvExtList2.h"
#include "CMainFrame.h"
#include "COperator.h"
#include "CPriceEditDlg.h"
#include "CPriceType.h"
#include "CPriceTypeDlg.h"
#include "CPriceVer.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "KvMainCommands.h"
#include "KvMasterDataCommands.h"
#include "KvModalScript.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>

namespace {

QDate Date(const char* text)
{
    return QDate::fromString(QString::fromUtf8(text), Qt::ISODate);
}

template <class T> T* Control(QWidget* dialog, int id)
{
    T* control = dialog->findChild<T*>(QStringLiteral("c%1").arg(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

// Replaces an edit's text as the operator does: select all, then type.
void Retype(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    PressKey(edit, Qt::Key_Backspace);
    TypeText(edit, text);
}

void Click(QWidget* dialog, int id)
{
    MouseClick(Control<QPushButton>(dialog, id));
}

void ChooseItem(QWidget* dialog, int id, const QString& text)
{
    auto* combo = Control<QComboBox>(dialog, id);
    const int index = combo->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    combo->setCurrentIndex(index);
}

// Clicks a cell of a list, which opens its editor, and types into that editor.
void TypeInCell(CKvExtList2* list, int row, int column, const QString& text)
{
    list->SelectRow(row);
    MouseClick(list->viewport(), list->visualItemRect(list->item(row, column)).center());
    QWidget* editor = list->VisibleEditor();
    ASSERT_NE(editor, nullptr);
    Retype(static_cast<QLineEdit*>(editor), text);
}

class PriceDialogTest : public FreshDatabaseTest
{
protected:
    PriceDialogTest() { GetCurrentOperator()->SetOperatorNo("op01"); }
};

// An add dialog shown with a valid entry: a prepaid price from today.
std::unique_ptr<CPriceEditDlg> ValidAddDialog()
{
    auto dialog = std::make_unique<CPriceEditDlg>(nullptr, QStringLiteral("增加价目"));
    dialog->show();
    Retype(Control<QLineEdit>(dialog.get(), 1065), QStringLiteral("P1"));
    Retype(Control<QLineEdit>(dialog.get(), 1066), QStringLiteral("居民电价"));
    Retype(Control<QLineEdit>(dialog.get(), 1000), QStringLiteral("0.5"));
    return dialog;
}

void AddTier(QWidget* dialog, const QString& floor, const QString& price)
{
    Click(dialog, 1024);
    auto* list = Control<CKvExtList2>(dialog, 1070);
    const int row = list->GetItemCount() - 1;
    TypeInCell(list, row, 0, floor);
    TypeInCell(list, row, 1, price);
}

void Enter(QWidget* dialog, int id, const QString& text)
{
    Retype(Control<QLineEdit>(dialog, id), text);
}

void SetStart(QWidget* dialog, const char* day)
{
    Control<QDateEdit>(dialog, 1069)->setDate(Date(day));
}

} // namespace

TEST_F(PriceDialogTest, EditChecksRunInOrderWithTheirTexts)
{
    using Entry = std::function<void(QWidget*)>;
    struct Case
    {
        const char* what;
        Entry enter;
        QString message; // empty: accepted
    } cases[] = {
        {"a valid entry", [](QWidget*) {}, ""},
        {"code blank", [](QWidget* d) { Enter(d, 1065, "  "); }, "价目代码不应为空或前后有空格！"},
        {"code and name blank: the code first",
         [](QWidget* d) {
             Enter(d, 1065, "");
             Enter(d, 1066, "");
         },
         "价目代码不应为空或前后有空格！"},
        {"code of 11 bytes", [](QWidget* d) { Enter(d, 1065, "12345678901"); },
         "价目代码长度不应超过10个英文字符或5个汉字！"},
        {"code of six Chinese characters", [](QWidget* d) { Enter(d, 1065, "一二三四五六"); },
         "价目代码长度不应超过10个英文字符或5个汉字！"},
        {"name blank", [](QWidget* d) { Enter(d, 1066, " "); }, "价目名称不应为空或前后有空格！"},
        {"name of 22 bytes", [](QWidget* d) { Enter(d, 1066, "一二三四五六七八九十一"); },
         "价目名称长度不应超过20个英文字符或10个汉字！"},
        {"unit blank", [](QWidget* d) { Enter(d, 1068, ""); }, "计价单位不应为空或前后有空格！"},
        {"unit of 12 bytes", [](QWidget* d) { Enter(d, 1068, "千瓦时千瓦时"); },
         "计价单位长度不应超过10个英文字符或5个汉字！"},
        {"prepaid from yesterday", [](QWidget* d) { SetStart(d, "2026-12-09"); },
         "预付价格的起始日期不应早于当前日期！"},
        {"prepaid from today", [](QWidget* d) { SetStart(d, "2026-12-10"); }, ""},
        {"postpaid from the 15th of next month",
         [](QWidget* d) {
             ChooseItem(d, 1067, "一卡抄水价");
             SetStart(d, "2027-01-15");
         },
         "后付价格的起始日期应当为本月或之后某月的1日"},
        {"postpaid from the 1st of this month",
         [](QWidget* d) {
             ChooseItem(d, 1067, "一卡抄水价");
             SetStart(d, "2026-12-01");
         },
         ""},
        {"quota from last month",
         [](QWidget* d) {
             ChooseItem(d, 1067, "定额收费价");
             Enter(d, 1068, "月");
             SetStart(d, "2026-11-01");
         },
         "定额收费价的起始日期应当为本月或之后某月的1日"},
        {"no base price", [](QWidget* d) { Enter(d, 1000, ""); }, "请输入基本价格！"},
        {"floors 100, 100",
         [](QWidget* d) {
             AddTier(d, "100", "0.6");
             AddTier(d, "100", "0.7");
         },
         "阶梯底值应大于0且逐行递增！"},
        {"floor 0.5 counts as 0", [](QWidget* d) { AddTier(d, "0.5", "0.6"); }, "阶梯底值应大于0且逐行递增！"},
        {"floor missing", [](QWidget* d) { AddTier(d, "", "0.6"); }, "请输入阶梯底值！"},
        {"tier price missing", [](QWidget* d) { AddTier(d, "100", ""); }, "请输入阶梯价！"},
        // A price, floor or tier price is checked as the value stored, or refused by its name.
        {"base price -0.52", [](QWidget* d) { Enter(d, 1000, "-0.52"); },
         "基本价格应为大于0且不超过99999的数，最多6位小数！"},
        {"base price .", [](QWidget* d) { Enter(d, 1000, "."); }, "基本价格应为大于0且不超过99999的数，最多6位小数！"},
        {"floors 1e3, 500",
         [](QWidget* d) {
             AddTier(d, "1e3", "0.6");
             AddTier(d, "500", "0.7");
         },
         "阶梯底值应为大于0且不超过99999999的数，最多10位小数！"},
        {"floor 1e309, beyond any number", [](QWidget* d) { AddTier(d, "1e309", "0.6"); },
         "阶梯底值应为大于0且不超过99999999的数，最多10位小数！"},
        {"floors 100, -1e309",
         [](QWidget* d) {
             AddTier(d, "100", "0.6");
             AddTier(d, "-1e309", "0.7");
         },
         "阶梯底值应为大于0且不超过99999999的数，最多10位小数！"},
        {"tier price -0.6", [](QWidget* d) { AddTier(d, "100", "-0.6"); },
         "阶梯价应为大于0且不超过99999的数，最多10位小数！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto dialog = ValidAddDialog();
        c.enter(dialog.get());
        sink.Clear();
        Click(dialog.get(), 1020);
        EXPECT_EQ(sink.Texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_EQ(dialog->isVisible(), !c.message.isEmpty());
    }
}

TEST_F(PriceDialogTest, AcceptedEntryFillsTheMembers)
{
    auto dialog = ValidAddDialog();
    Enter(dialog.get(), 1065, " P2 ");
    AddTier(dialog.get(), "100", "0.6");
    AddTier(dialog.get(), "250.5", "0.75");
    // A tier inserted above the selected second row.
    auto* list = Control<CKvExtList2>(dialog.get(), 1070);
    list->SelectRow(1);
    Click(dialog.get(), 1003);
    EXPECT_EQ(list->GetItemText(1, 0), "");
    TypeInCell(list, 1, 0, "200");
    TypeInCell(list, 1, 1, "0.7");
    Click(dialog.get(), 1020);

    ASSERT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(QStringList({dialog->m_strPriceNo, dialog->m_strPriceName, dialog->m_strPriceType,
                           dialog->m_strPriceCycle, dialog->m_strBalMode, dialog->m_strUnit, dialog->m_strPrice}),
              QStringList({"P2", "居民电价", "预付费电价", "无", "预付", "度", "0.5"}));
    EXPECT_EQ(dialog->m_BeginDate, ParseDate("2026-12-10"));
    ASSERT_EQ(dialog->m_nTierCount, 3);
    QStringList tiers;
    for (int i = 0; i < 3; ++i)
        tiers << QStringLiteral("%1:%2=%3")
                     .arg(dialog->m_Tiers[i].GetRankX())
                     .arg(dialog->m_Tiers[i].GetThreshold())
                     .arg(dialog->m_Tiers[i].GetRankPrice());
    EXPECT_EQ(tiers, QStringList({"0:100=0.6", "1:200=0.7", "2:250.5=0.75"}));
}

TEST_F(PriceDialogTest, EnterAfterATiersPriceEndsTheCellAndTheEntryGoesOn)
{
    auto dialog = ValidAddDialog();
    ASSERT_TRUE(ShowActive(dialog.get()));
    auto* list = Control<CKvExtList2>(dialog.get(), 1070);
    for (const auto& [floor, price] : {std::pair{"100", "0.6"}, std::pair{"200", "0.7"}}) {
        Click(dialog.get(), 1024); // the new tier's floor cell opens
        QWidget* editor = list->VisibleEditor();
        ASSERT_NE(editor, nullptr);
        Retype(static_cast<QLineEdit*>(editor), QString::fromLatin1(floor));
        PressKey(editor, Qt::Key_Right);
        editor = list->VisibleEditor();
        ASSERT_NE(editor, nullptr);
        TypeText(editor, QString::fromLatin1(price));
        PressKey(editor, Qt::Key_Return);
        ASSERT_TRUE(dialog->isVisible()) << "Enter in a cell saved the price";
        EXPECT_EQ(list->VisibleEditor(), nullptr);
        EXPECT_TRUE(list->hasFocus());
    }
    EXPECT_EQ(QStringList({list->GetItemText(0, 1), list->GetItemText(1, 1)}), QStringList({"0.6", "0.7"}));
    // Outside a cell, Enter saves with every tier.
    Control<QLineEdit>(dialog.get(), 1066)->setFocus(Qt::TabFocusReason);
    PressKey(Control<QLineEdit>(dialog.get(), 1066), Qt::Key_Return);
    ASSERT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->m_nTierCount, 2);
}

// The cashier's way: a price with two tiers typed by keyboard alone. Tab
// leaves the start date for the price, a new tier's floor is typed over its
// "0", Tab goes from a floor to its price and from the last cell on.
TEST_F(PriceDialogTest, APriceWithTwoTiersByKeyboardAlone)
{
    auto dialog = std::make_unique<CPriceEditDlg>(nullptr, QStringLiteral("增加价目"));
    ASSERT_TRUE(ShowActive(dialog.get()));
    const auto type = [](const QString& text) { TypeText(QApplication::focusWidget(), text); };
    const auto tab = [] { PressKey(QApplication::focusWidget(), Qt::Key_Tab); };
    // A button's Alt+letter presses it as a click shown briefly: it lands a moment later.
    const auto alt = [](char letter, const std::function<bool()>& done) {
        PressKey(QApplication::focusWidget(), Qt::Key_A + (letter - 'A'), QString(), Qt::AltModifier);
        for (int i = 0; i < 200 && !done(); ++i)
            QTest::qWait(5);
    };
    type("P1");
    tab();
    type("居民电价");
    tab(); // the type
    tab(); // the unit
    tab(); // the start date (the cycle and the collection are fixed)
    ASSERT_EQ(QApplication::focusWidget(), Control<QDateEdit>(dialog.get(), 1069));
    tab();
    type("0.5");
    auto* list = Control<CKvExtList2>(dialog.get(), 1070);
    for (const auto& [floor, price] : {std::pair{"200", "0.6"}, std::pair{"400", "0.7"}}) {
        const int rows = list->GetItemCount();
        alt('A', [&] { return list->GetItemCount() > rows; });
        type(floor);
        tab();
        ASSERT_EQ(list->GetCurrentColumn(), 1) << "Tab went from the floor to its price";
        type(price);
    }
    tab(); // from the last cell out of the list
    EXPECT_EQ(QApplication::focusWidget(), Control<QPushButton>(dialog.get(), 1024));
    alt('S', [&] { return !dialog->isVisible(); });

    ASSERT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(QStringList({dialog->m_strPriceNo, dialog->m_strPriceName, dialog->m_strPrice}),
              QStringList({"P1", "居民电价", "0.5"}));
    EXPECT_EQ(dialog->m_BeginDate, ParseDate("2026-12-10"));
    ASSERT_EQ(dialog->m_nTierCount, 2);
    QStringList tiers;
    for (int i = 0; i < 2; ++i)
        tiers << QStringLiteral("%1=%2").arg(dialog->m_Tiers[i].GetThreshold()).arg(dialog->m_Tiers[i].GetRankPrice());
    EXPECT_EQ(tiers, QStringList({"200=0.6", "400=0.7"}));
}

TEST_F(PriceDialogTest, TypeChoiceSetsUnitCycleAndCollectionMode)
{
    CPriceType garden;
    garden.SetPriceType("绿化费");
    garden.Save();
    auto dialog = ValidAddDialog();
    auto* unit = Control<QLineEdit>(dialog.get(), 1068);
    auto* cycle = Control<QComboBox>(dialog.get(), 1001);
    auto* mode = Control<QComboBox>(dialog.get(), 1005);
    QStringList types;
    for (int i = 0; i < Control<QComboBox>(dialog.get(), 1067)->count(); ++i)
        types << Control<QComboBox>(dialog.get(), 1067)->itemText(i);
    EXPECT_EQ(types, QStringList({"预付费电价", "一卡抄水价", "一卡抄气价", "定额收费价", "绿化费"}));

    struct Case
    {
        const char* type;
        const char* unit;
        bool cycleEnabled;
        const char* mode;
        bool modeEnabled;
    } cases[] = {
        {"一卡抄水价", "吨", false, "后付", true},  {"一卡抄气价", "立方", false, "后付", true},
        {"预付费电价", "度", false, "预付", false}, {"绿化费", "", false, "后付", true},
        {"定额收费价", "", true, "后付", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        ChooseItem(dialog.get(), 1067, c.type);
        EXPECT_EQ(unit->text(), c.unit);
        EXPECT_EQ(cycle->currentText(), "无");
        EXPECT_EQ(cycle->isEnabled(), c.cycleEnabled);
        EXPECT_EQ(mode->currentText(), c.mode);
        EXPECT_EQ(mode->isEnabled(), c.modeEnabled);
    }
}

// A price whose type was renamed since it was written still shows its type
// and can be changed; the code, type, cycle and mode stay fixed.
TEST_F(PriceDialogTest, ModifyKeepsTheCodeAndOffersARenamedType)
{
    auto version = std::make_unique<CPriceVer>();
    std::vector<CRankPrice> tiers(2);
    tiers[0].SetRankX(0);
    tiers[0].SetThreshold(100);
    tiers[0].SetRankPrice(0.6);
    tiers[1].SetRankX(1);
    tiers[1].SetThreshold(200);
    tiers[1].SetRankPrice(0.75);
    version->SetTiers(tiers.data(), 2);

    CPriceEditDlg dialog(nullptr, QStringLiteral("修改价目"));
    dialog.m_strPriceNo = "G1";
    dialog.m_strPriceName = "绿化";
    dialog.m_strPriceType = "旧绿化费"; // no such type any more
    dialog.m_strPriceCycle = "一月";
    dialog.m_strBalMode = "后付";
    dialog.m_strUnit = "户";
    dialog.m_strPrice = "10.000000";
    dialog.m_BeginDate = ParseDate("2027-01-01");
    dialog.LoadTiers(version->GetTiers());
    dialog.show();

    auto* type = Control<QComboBox>(&dialog, 1067);
    EXPECT_EQ(type->currentText(), "旧绿化费");
    EXPECT_EQ(Control<QComboBox>(&dialog, 1001)->currentText(), "一月");
    EXPECT_EQ(Control<QComboBox>(&dialog, 1005)->currentText(), "后付");
    for (int id : {1065, 1067, 1001, 1005})
        EXPECT_FALSE(Control<QWidget>(&dialog, id)->isEnabled()) << id;
    for (int id : {1066, 1068, 1069, 1000, 1070, 1024})
        EXPECT_TRUE(Control<QWidget>(&dialog, id)->isEnabled()) << id;
    auto* list = Control<CKvExtList2>(&dialog, 1070);
    EXPECT_EQ(list->GetItemText(1, 0), "200.0");
    EXPECT_EQ(list->GetItemText(1, 1), "0.7500");

    Enter(&dialog, 1000, "12");
    Click(&dialog, 1020);
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(' ').toStdString();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_strPriceType, "旧绿化费");
    EXPECT_EQ(dialog.m_strPrice, "12");
    EXPECT_EQ(dialog.m_nTierCount, 2);
}

TEST_F(PriceDialogTest, ViewModeEditsNothing)
{
    CPriceEditDlg dialog(nullptr, QStringLiteral("查看价目"));
    dialog.m_strPriceType = "预付";
    dialog.show();
    EXPECT_EQ(Control<QComboBox>(&dialog, 1067)->currentText(), "预付费电价"); // the first that begins so
    for (int id : {1065, 1066, 1067, 1068, 1001, 1005, 1069, 1000, 1070, 1024, 1003, 1026})
        EXPECT_FALSE(Control<QWidget>(&dialog, id)->isEnabled()) << id;
}

TEST_F(PriceDialogTest, AtMostTwentyTiers)
{
    auto dialog = ValidAddDialog();
    auto* list = Control<CKvExtList2>(dialog.get(), 1070);
    for (int i = 0; i < 20; ++i)
        Click(dialog.get(), 1024);
    EXPECT_TRUE(sink.Texts().isEmpty());
    Click(dialog.get(), 1024);
    Click(dialog.get(), 1003);
    EXPECT_EQ(sink.Texts(), QStringList({"阶梯太多！", "阶梯太多！"}));
    EXPECT_EQ(list->GetItemCount(), 20);

    // Deleting needs a row; the row below takes the place of a deleted one.
    list->clearSelection();
    sink.Clear();
    Click(dialog.get(), 1026);
    EXPECT_EQ(sink.Texts(), QStringList({"请选中行！"}));
    list->SelectRow(19);
    Click(dialog.get(), 1026);
    EXPECT_EQ(list->GetItemCount(), 19);
    EXPECT_EQ(list->GetCurrentRow(), 18);

    CPriceVer version;
    std::vector<CRankPrice> many(21);
    version.SetTiers(many.data(), 21);
    CPriceEditDlg other(nullptr, QStringLiteral("修改价目"));
    EXPECT_EQ(ThrownText([&] { other.LoadTiers(version.GetTiers()); }), "阶梯太多！");
}

TEST_F(PriceDialogTest, PriceTypesAreKeptInTheTypeDialog)
{
    CPriceTypeDlg dialog(nullptr, QStringLiteral("价目类型管理"));
    dialog.show();
    CKvExtList2* list = dialog.GetList();

    // Two new rows; a built-in name is not stored.
    Click(&dialog, 1024);
    TypeInCell(list, 0, 0, "绿化费");
    TypeInCell(list, 0, 1, "绿化费收费表");
    Click(&dialog, 1024);
    TypeInCell(list, 1, 0, "预付费电价");
    Click(&dialog, 1020);
    EXPECT_EQ(sink.Texts(), QStringList({"预付费电价、一卡抄水价、一卡抄气价和定额收费价已内置，无须管理！"}));
    EXPECT_EQ(fresh.Value("select group_concat(PriceType || '/' || ReportTitle) from PriceType"),
              "绿化费/绿化费收费表");
    ASSERT_EQ(list->GetItemCount(), 1);

    // A changed heading alone is not written; a rename writes both.
    TypeInCell(list, 0, 1, "新表头");
    Click(&dialog, 1020);
    EXPECT_EQ(fresh.Value("select ReportTitle from PriceType"), "绿化费收费表");
    TypeInCell(list, 0, 0, "保洁费");
    TypeInCell(list, 0, 1, "保洁费收费表");
    Click(&dialog, 1020);
    EXPECT_EQ(fresh.Value("select group_concat(PriceType || '/' || ReportTitle) from PriceType"),
              "保洁费/保洁费收费表");

    // A type that a price uses is not deleted, and its edited name returns.
    db().Execute("insert into Price(PriceNo, PriceName, PriceType) values('G1', '保洁', '保洁费')", QString());
    TypeInCell(list, 0, 0, "改名中");
    sink.Clear();
    Click(&dialog, 1026);
    EXPECT_EQ(sink.Texts(), QStringList({"已有价目采用该类型！不能删除！"}));
    EXPECT_EQ(list->GetItemText(0, 0), "保洁费");

    // Unused: asked first; No keeps it, Yes deletes it.
    db().Execute("delete from Price", QString());
    sink.Clear();
    sink.QueueAnswer(IDNO);
    list->SelectRow(0);
    Click(&dialog, 1026);
    EXPECT_EQ(sink.Texts(), QStringList({"确实要删除该价目类型吗？"}));
    EXPECT_EQ(fresh.Count("select * from PriceType"), 1);
    list->SelectRow(0);
    Click(&dialog, 1026);
    EXPECT_EQ(fresh.Count("select * from PriceType"), 0);
    EXPECT_EQ(list->GetItemCount(), 0);

    // Nothing selected; an unsaved row just goes away.
    sink.Clear();
    Click(&dialog, 1026);
    EXPECT_EQ(sink.Texts(), QStringList({"请选择价目类型"}));
    Click(&dialog, 1024);
    Click(&dialog, 1026);
    EXPECT_EQ(list->GetItemCount(), 0);
}

// A save that fails half-way writes nothing and forgets nothing: the table and
// the dialog's records stay as stored, and saving again writes every change.
TEST_F(PriceDialogTest, AFailedTypeSaveLeavesTheRecordsAsStored)
{
    db().Execute("insert into PriceType(PriceType, ReportTitle) values('绿化费', '绿化费收费表')", QString());
    CPriceTypeDlg dialog(nullptr, QStringLiteral("价目类型管理"));
    dialog.show();
    CKvExtList2* list = dialog.GetList();
    Click(&dialog, 1024);
    TypeInCell(list, 1, 0, "保洁费");
    TypeInCell(list, 0, 0, "园林费");
    TypeInCell(list, 0, 1, "园林费收费表");

    db().Execute("create trigger NoRename before update on PriceType begin select raise(abort, 'refused'); end",
                 QString());
    sink.Clear();
    Click(&dialog, 1020);
    EXPECT_EQ(fresh.Value("select group_concat(PriceType || '/' || ReportTitle) from PriceType"),
              "绿化费/绿化费收费表");
    EXPECT_EQ(QStringList({list->GetItemText(0, 0), list->GetItemText(1, 0)}), QStringList({"园林费", "保洁费"}))
        << "what was typed stays";

    db().Execute("drop trigger NoRename", QString());
    sink.Clear();
    Click(&dialog, 1020);
    EXPECT_EQ(sink.Texts(), QStringList({"预付费电价、一卡抄水价、一卡抄气价和定额收费价已内置，无须管理！"}));
    EXPECT_EQ(fresh.Value("select group_concat(PriceType || '/' || ReportTitle, ',') from "
                          "(select * from PriceType order by PriceType)"),
              "保洁费/,园林费/园林费收费表");
}

TEST_F(PriceDialogTest, PriceTypesCommandOpensTheTypeDialog)
{
    CMainFrame frame;
    GetCurrentOperator()->SetRights(QVector<int>{500, 517});
    frame.BuildRightsList();
    EXPECT_TRUE(frame.GetCommandAction(ID_PRICE_TYPES)->isEnabled());

    // A bare frame keeps no handler: nothing opens.
    frame.GetCommandAction(ID_PRICE_TYPES)->trigger();

    InstallMasterDataCommands(frame);
    CModalScript script;
    QString caption;
    script.Then([&caption](QWidget* dialog) {
        caption = dialog->windowTitle();
        CModalScript::Click(dialog, 1001);
    });
    frame.GetCommandAction(ID_PRICE_TYPES)->trigger();
    EXPECT_EQ(script.Seen(), QStringList({"dlg181"}));
    EXPECT_EQ(caption, "价目类型管理");
    EXPECT_TRUE(sink.Texts().isEmpty());
}

#include "CKvDialog.h"
#include "CKvExtList.h"
#include "CKvExtList2.h"
#include "CKvExtList4.h"
#include "CKvObject.h"
#include "CNumEdit.h"
#include "KvClock.h"
#include "KvShownTextCheck.h"
#include "KvUiTestUtil.h"

#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string_view>

namespace {

struct Change
{
    int row;
    int column;
    QString previous;
    QString now;
    bool operator==(const Change&) const = default;
};

void PrintTo(const Change& c, std::ostream* os)
{
    *os << "(" << c.row << "," << c.column << ", \"" << c.previous.toStdString() << "\" -> \"" << c.now.toStdString()
        << "\")";
}

// A window holding a list of three rows and four columns: 名称 (text),
// 数量 (number), 状态 (combo 常开|常闭), 备注 (not editable); and an edit
// before and a spare edit after it, to move the focus to.
template <class List> class ListWindow
{
public:
    ListWindow()
    {
        auto* layout = new QVBoxLayout(&m_window);
        m_list = new List;
        m_list->setObjectName(QStringLiteral("c1013"));
        m_before = new QLineEdit;
        m_spare = new QLineEdit;
        layout->addWidget(m_before);
        layout->addWidget(m_list);
        layout->addWidget(m_spare);
        m_window.resize(520, 300);
        int column = 0;
        for (const char* heading : {"名称", "数量", "状态", "备注"})
            m_list->InsertColumn(column++, QString::fromUtf8(heading), 110);
        m_list->SetRowHeight(20);
        m_list->AllocColumnInfo();
        m_list->SetColumnEditor(0, KV_EDIT_TEXT);
        m_list->SetColumnEditor(1, KV_EDIT_NUMBER);
        m_list->SetColumnEditor(2, KV_EDIT_COMBO, QStringLiteral("常开|常闭"));
        m_list->SetColumnEditor(3, KV_EDIT_NONE);
        for (int row = 0; row < 3; ++row) {
            m_objects.push_back(std::make_unique<CKvObject>());
            m_list->InsertRow(row, QStringLiteral("表%1").arg(row), m_objects.back().get());
            m_list->SetItemText(row, 1, QStringLiteral("%1.5").arg(row));
            m_list->SetItemText(row, 2, QStringLiteral("常闭"));
            m_list->SetItemText(row, 3, QStringLiteral("备注"));
        }
        ShowActive(&m_window);
    }

    void Click(int row, int column)
    {
        MouseClick(m_list->viewport(), m_list->visualItemRect(m_list->item(row, column)).center());
    }

    QWidget m_window;
    List* m_list;
    QLineEdit* m_before;
    QLineEdit* m_spare;
    std::vector<std::unique_ptr<CKvObject>> m_objects;
};

// Every change the list reports, with the cell's text after it.
void RecordChanges(CKvExtList2* list, std::vector<Change>& changes)
{
    list->SetChangeCallback([&changes](int row, int column, const QString& previous, CKvExtList2* l) {
        changes.push_back({row, column, previous, l->GetItemText(row, column)});
    });
}

template <class T> T* Editor(QWidget* list, const char* name)
{
    return list->findChild<T*>(QString::fromLatin1(name));
}

TEST(KvExtList2, EachColumnOpensItsOwnEditorOverTheCell)
{
    ListWindow<CKvExtList2> w;
    CKvExtList2* list = w.m_list;

    w.Click(1, 0);
    auto* text = Editor<QLineEdit>(list, "c723");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isVisible());
    EXPECT_TRUE(text->hasFocus());
    EXPECT_EQ(text->text(), QStringLiteral("表1"));
    EXPECT_EQ(text->geometry(), list->visualItemRect(list->item(1, 0)));
    EXPECT_EQ(list->GetSelectedRow(), 1);

    w.Click(1, 1);
    auto* number = Editor<CNumEdit>(list, "c724");
    ASSERT_NE(number, nullptr);
    EXPECT_TRUE(number->isVisible());
    EXPECT_FALSE(text->isVisible());
    EXPECT_EQ(number->GetDecimals(), 10);
    EXPECT_EQ(number->text(), QStringLiteral("1.5"));

    w.Click(2, 2);
    auto* combo = Editor<QComboBox>(list, "c725");
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isVisible());
    EXPECT_FALSE(number->isVisible());
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("常开"));
    EXPECT_EQ(combo->currentText(), QStringLiteral("常闭"));
    EXPECT_EQ(list->GetSelectedRow(), 2);

    // Not editable: nothing opens and the open editor goes.
    w.Click(0, 3);
    EXPECT_EQ(list->VisibleEditor(), nullptr);
    EXPECT_EQ(list->GetRowObject(2), w.m_objects[2].get());
}

// A text cell keeps one line as a one-line field does: a pasted control
// character (a NUL, a line feed) never reaches the cell.
TEST(KvExtList2, ATextCellLeavesOutPastedControlCharacters)
{
    using namespace std::string_view_literals;
    ListWindow<CKvExtList2> w;
    for (const auto& [pasted, kept] :
         {std::pair{u"A\0B"sv, u"AB"sv}, std::pair{u"一\n二\t"sv, u"一二"sv}, std::pair{u"\x1b[0m"sv, u"[0m"sv}}) {
        w.Click(1, 0);
        auto* text = Editor<QLineEdit>(w.m_list, "c723");
        ASSERT_NE(text, nullptr);
        text->selectAll();
        QApplication::clipboard()->setText(QStringView(pasted).toString());
        PressKey(text, Qt::Key_V, QString(), Qt::ControlModifier);
        EXPECT_EQ(w.m_list->GetItemText(1, 0), QStringView(kept));
    }
}

TEST(KvExtList2, ComboItemsSplitOnTheBar)
{
    QComboBox combo;
    struct Case
    {
        const char* items;
        QStringList choices;
    };
    for (const Case& c : {Case{"常开|常闭", {"常开", "常闭"}}, Case{"常开|常闭|", {"常开", "常闭", ""}}, Case{"", {""}},
                          Case{"|a", {"", "a"}}}) {
        CKvExtListBase::FillCombo(&combo, QString::fromUtf8(c.items));
        QStringList shown;
        for (int i = 0; i < combo.count(); ++i)
            shown << combo.itemText(i);
        EXPECT_EQ(shown, c.choices) << c.items;
    }
}

TEST(KvExtList2, EveryChangeIsReportedWithThePreviousText)
{
    ListWindow<CKvExtList2> w;
    CKvExtList2* list = w.m_list;
    std::vector<Change> changes;
    RecordChanges(list, changes);

    w.Click(0, 0); // opening fills the editor: no change
    EXPECT_TRUE(changes.empty());
    auto* text = Editor<QLineEdit>(list, "c723");
    PressKey(text, Qt::Key_End); // after the text, which opens selected
    TypeText(text, QStringLiteral("ab"));
    EXPECT_EQ(changes, (std::vector<Change>{{0, 0, "表0", "表0a"}, {0, 0, "表0a", "表0ab"}}));

    changes.clear();
    w.Click(2, 1);
    auto* number = Editor<CNumEdit>(list, "c724");
    number->setCursorPosition(0);
    TypeChar(number, u'-'); // negation at the start is a change too
    EXPECT_EQ(changes, (std::vector<Change>{{2, 1, "2.5", "-2.5000000000"}}));

    changes.clear();
    w.Click(1, 2);
    auto* combo = Editor<QComboBox>(list, "c725");
    PressKey(combo, Qt::Key_Home); // keys other than the arrows work in the editor
    EXPECT_EQ(changes, (std::vector<Change>{{1, 2, "常闭", "常开"}}));
    EXPECT_EQ(list->GetItemText(1, 2), QStringLiteral("常开"));
}

TEST(KvExtList2, BeforeEditMayChangeTheEditorOfOneCell)
{
    ListWindow<CKvExtList2> w;
    CKvExtList2* list = w.m_list;
    list->SetBeforeEditCallback([](int row, int column, CKvColumnInfo& info, CKvExtList2*) {
        if (row == 1 && column == 0) {
            info.m_kind = KV_EDIT_COMBO;
            info.m_items = QStringLiteral("表1|表9");
        }
    });
    w.Click(1, 0);
    auto* combo = Editor<QComboBox>(list, "c725");
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isVisible());
    EXPECT_EQ(combo->currentText(), QStringLiteral("表1"));
    w.Click(0, 0);
    EXPECT_EQ(list->VisibleEditor(), Editor<QLineEdit>(list, "c723"));
    EXPECT_EQ(list->GetColumnInfo()[0].m_kind, KV_EDIT_TEXT);
}

TEST(KvExtList2, ArrowKeysWrapWithinTheRowOrColumn)
{
    ListWindow<CKvExtList2> w;
    CKvExtList2* list = w.m_list;
    list->SetColumnEditor(3, KV_EDIT_TEXT);
    struct Case
    {
        int row, column, key;
        Qt::KeyboardModifiers modifiers;
        int toRow, toColumn;
    };
    for (const Case& c :
         {Case{0, 3, Qt::Key_Right, Qt::NoModifier, 0, 0}, Case{0, 0, Qt::Key_Left, Qt::NoModifier, 0, 3},
          Case{2, 1, Qt::Key_Down, Qt::NoModifier, 0, 1}, Case{0, 2, Qt::Key_Up, Qt::NoModifier, 2, 2},
          Case{1, 1, Qt::Key_Right, Qt::NoModifier, 1, 2}, Case{1, 0, Qt::Key_Right, Qt::ControlModifier, 1, 0}}) {
        list->BeginEdit(c.row, c.column);
        QWidget* editor = list->VisibleEditor();
        ASSERT_NE(editor, nullptr);
        PressKey(editor, c.key, QString(), c.modifiers);
        EXPECT_EQ(list->GetCurrentRow(), c.toRow) << c.row << "," << c.column << " key " << c.key;
        EXPECT_EQ(list->GetCurrentColumn(), c.toColumn) << c.row << "," << c.column << " key " << c.key;
        EXPECT_EQ(list->GetSelectedRow(), c.toRow);
        ASSERT_NE(list->VisibleEditor(), nullptr);
        EXPECT_EQ(list->VisibleEditor()->geometry(), list->visualItemRect(list->item(c.toRow, c.toColumn)));
    }
}

TEST(KvExtList2, HeaderClickGoesToTheOwnerAndTheListDoesNotSort)
{
    ListWindow<CKvExtList2> w;
    CKvExtList2* list = w.m_list;
    list->SetItemText(0, 0, QStringLiteral("z"));
    std::vector<int> clicked;
    list->SetHeaderClickCallback([&clicked](int column, CKvExtList2*) { clicked.push_back(column); });
    QHeaderView* header = list->horizontalHeader();
    MouseClick(header->viewport(), QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
    MouseClick(header->viewport(), QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    EXPECT_EQ(clicked, (std::vector<int>{2, 0}));
    EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral("z"));
    EXPECT_EQ(list->GetRowObject(0), w.m_objects[0].get());
}

TEST(KvExtList2, CellsTakeTheOwnersColoursUnlessSelected)
{
    ListWindow<CKvExtList2> w;
    CKvExtList2* list = w.m_list;
    const QColor valueRed = KvFixedCellColour();
    EXPECT_EQ(valueRed, QColor(180, 0, 0));
    EXPECT_EQ(KvEditableCellColour(), QColor(0, 0, 255));
    list->SetCellColourCallback([valueRed](CKvCellDC& dc, int, int column, CKvExtList2*) {
        if (column == 3)
            dc.SetBkColor(valueRed);
    });
    const auto pixel = [list](int row, int column) {
        const QRect cell = list->visualItemRect(list->item(row, column));
        return list->viewport()->grab().toImage().pixelColor(cell.right() - 3, cell.top() + 3);
    };
    EXPECT_EQ(pixel(0, 3), valueRed);
    list->SelectRow(0);
    EXPECT_EQ(pixel(0, 3), QApplication::palette().color(QPalette::Active, QPalette::Highlight));
    list->SetHighlight(0);
    EXPECT_EQ(pixel(0, 3), valueRed);
}

TEST(KvExtList, ColumnZeroTicksAndOnlyTickedRowsAreEdited)
{
    ListWindow<CKvExtList> w;
    CKvExtList* list = w.m_list;
    list->LoadCheckBitmaps(158, 159);
    std::vector<std::pair<int, int>> clicks;
    list->SetClickCallback([&clicks](int row, int column, CKvExtList*) { clicks.emplace_back(row, column); });

    // An unticked row: the editor is placed but not shown.
    w.Click(1, 1);
    EXPECT_EQ(list->VisibleEditor(), nullptr);
    EXPECT_EQ(list->GetCurrentColumn(), 1);

    w.Click(1, 0);
    EXPECT_EQ(list->GetCheck(1), 1);
    EXPECT_EQ(w.m_objects[1]->GetCheck(), 1);
    w.Click(1, 1);
    auto* number = Editor<CNumEdit>(list, "c714");
    ASSERT_NE(number, nullptr);
    EXPECT_TRUE(number->isVisible());

    w.Click(1, 3); // not editable: handed to the owner
    EXPECT_EQ(list->VisibleEditor(), nullptr);
    w.Click(1, 0);
    EXPECT_EQ(list->GetCheck(1), 0);
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{1, 0}, {1, 3}, {1, 0}}));
}

TEST(KvExtList, ArrowKeysSkipTheCheckColumnAndHideEditorsOfUntickedRows)
{
    ListWindow<CKvExtList> w;
    CKvExtList* list = w.m_list;
    list->SetColumnEditor(3, KV_EDIT_TEXT);
    list->SetCheck(0, 1);
    list->SetCheck(1, 1);

    list->BeginEdit(0, 0); // never column 0
    EXPECT_EQ(list->VisibleEditor(), nullptr);
    list->BeginEdit(0, 3);
    ASSERT_NE(list->VisibleEditor(), nullptr);
    PressKey(list->VisibleEditor(), Qt::Key_Right);
    EXPECT_EQ(list->GetCurrentColumn(), 1);
    PressKey(list->VisibleEditor(), Qt::Key_Left);
    EXPECT_EQ(list->GetCurrentColumn(), 3);
    PressKey(list->VisibleEditor(), Qt::Key_Down);
    EXPECT_EQ(list->GetCurrentRow(), 1);
    ASSERT_NE(list->VisibleEditor(), nullptr);
    PressKey(list->VisibleEditor(), Qt::Key_Down); // row 2 is not ticked
    EXPECT_EQ(list->GetCurrentRow(), 2);
    EXPECT_EQ(list->VisibleEditor(), nullptr);
}

TEST(KvExtList4, DatePickerWritesTheCellWhenItLosesTheFocus)
{
    KvClock::SetFixed(QDateTime(QDate(2024, 6, 30), QTime(9, 0)));
    ListWindow<CKvExtList4> w;
    CKvExtList4* list = w.m_list;
    list->SetColumnEditor(3, KV_EDIT_DATE);
    int changes = 0;
    list->SetChangeCallback([&changes](int, int, const QString&, CKvExtList2*) { ++changes; });
    list->SetItemText(0, 3, QStringLiteral("2024-03-05"));
    list->SetItemText(1, 3, QString());

    w.Click(0, 3);
    QDateEdit* picker = list->GetDateEditor();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->objectName(), QStringLiteral("c746"));
    EXPECT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->date(), QDate(2024, 3, 5));
    picker->setDate(QDate(2024, 4, 1));
    w.m_spare->setFocus();
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(list->GetItemText(0, 3), QStringLiteral("2024-04-01"));

    w.Click(1, 3);
    EXPECT_EQ(picker->date(), QDate(2024, 6, 30)); // an empty cell starts at today
    w.m_spare->setFocus();
    EXPECT_EQ(list->GetItemText(1, 3), QStringLiteral("2024-06-30"));
    EXPECT_EQ(changes, 0);
    KvClock::Reset();
}

// ---- a user's keys and clicks ---------------------------------------------

TEST(KvExtList2, AComboCellOpensItsListOnTheFirstTryAndKeepsItOpen)
{
    ListWindow<CKvExtList2> w;
    CKvExtList2* list = w.m_list;
    std::vector<Change> changes;
    RecordChanges(list, changes);
    struct Opening
    {
        const char* how;
        std::function<void(QComboBox*)> open;
    };
    const Opening openings[] = {
        {"mouse", [](QComboBox* combo) { MouseClick(combo); }},
        {"F4", [](QComboBox* combo) { PressKey(combo, Qt::Key_F4); }},
        {"Space", [](QComboBox* combo) { PressKey(combo, Qt::Key_Space, QStringLiteral(" ")); }},
    };
    for (const Opening& o : openings) {
        SCOPED_TRACE(o.how);
        w.m_spare->setFocus();
        w.Click(1, 2);
        auto* combo = Editor<QComboBox>(list, "c725");
        ASSERT_NE(combo, nullptr);
        ASSERT_TRUE(combo->hasFocus());
        o.open(combo);
        ASSERT_TRUE(combo->view()->isVisible()) << "the list opened";
        // Opening a pop-up makes X11 take the focus from the window as well:
        // the combo hears an ordinary focus-out while its list is on screen.
        QFocusEvent windowFocusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(combo, &windowFocusOut);
        EXPECT_TRUE(combo->isVisible()) << "the editor stayed";
        EXPECT_TRUE(combo->view()->isVisible()) << "the list stayed open";

        // The choice is made in the open list and lands in the cell.
        const QString before = list->GetItemText(1, 2);
        const QString other = before == QStringLiteral("常开") ? QStringLiteral("常闭") : QStringLiteral("常开");
        changes.clear();
        combo->view()->setCurrentIndex(combo->model()->index(combo->findText(other), 0));
        PressKey(combo->view(), Qt::Key_Return);
        EXPECT_FALSE(combo->view()->isVisible());
        EXPECT_TRUE(combo->isVisible());
        EXPECT_EQ(list->GetItemText(1, 2), other);
        EXPECT_EQ(changes, (std::vector<Change>{{1, 2, before, other}}));
    }

    // Leaving for another control still closes the editor.
    MouseClick(w.m_spare);
    EXPECT_EQ(list->VisibleEditor(), nullptr);
}

TEST(KvExtList2, AnOpenEditorFollowsItsRecordAcrossInsertsAndRemovals)
{
    ListWindow<CKvExtList2> w;
    CKvExtList2* list = w.m_list;
    std::vector<Change> changes;
    RecordChanges(list, changes);
    CKvObject added;
    w.Click(1, 0);
    auto* text = Editor<QLineEdit>(list, "c723");
    ASSERT_TRUE(text->isVisible());

    list->InsertRow(0, QStringLiteral("新"), &added);
    EXPECT_EQ(list->GetCurrentRow(), 2);
    EXPECT_EQ(list->GetRowObject(list->GetCurrentRow()), w.m_objects[1].get());
    ASSERT_TRUE(text->isVisible());
    EXPECT_EQ(text->geometry(), list->visualItemRect(list->item(2, 0)));
    PressKey(text, Qt::Key_End);
    TypeText(text, QStringLiteral("x"));
    EXPECT_EQ(list->GetItemText(2, 0), QStringLiteral("表1x"));
    EXPECT_EQ(list->GetItemText(1, 0), QStringLiteral("表0"));
    EXPECT_EQ(changes, (std::vector<Change>{{2, 0, "表1", "表1x"}}));

    // A row below the editor moves nothing; a row above moves it back up.
    list->InsertRow(4, QStringLiteral("尾"), &added);
    list->DeleteItem(0);
    EXPECT_EQ(list->GetCurrentRow(), 1);
    EXPECT_EQ(list->GetRowObject(1), w.m_objects[1].get());
    EXPECT_EQ(text->geometry(), list->visualItemRect(list->item(1, 0)));
    changes.clear();
    TypeText(text, QStringLiteral("y"));
    EXPECT_EQ(changes, (std::vector<Change>{{1, 0, "表1x", "表1xy"}}));

    // Removing the edited row closes the editor; no keystroke reaches a neighbour.
    list->DeleteItem(1);
    EXPECT_EQ(list->VisibleEditor(), nullptr);
    EXPECT_EQ(list->GetCurrentRow(), -1);
    changes.clear();
    TypeText(list, QStringLiteral("z"));
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(list->GetItemText(1, 0), QStringLiteral("表2"));
}

// Where Tab (or Shift+Tab) goes from the editor of a cell: the list's cell
// as "row,column", or the control it went on to.
template <class List> QString TabFrom(ListWindow<List>& w, int row, int column, bool forward)
{
    w.m_list->BeginEdit(row, column);
    QWidget* editor = w.m_list->VisibleEditor();
    if (!editor)
        return QStringLiteral("no editor");
    if (forward)
        PressKey(editor, Qt::Key_Tab);
    else
        PressKey(editor, Qt::Key_Backtab, QString(), Qt::ShiftModifier);
    if (w.m_before->hasFocus() || w.m_spare->hasFocus())
        return w.m_before->hasFocus() ? QStringLiteral("before") : QStringLiteral("after");
    if (!w.m_list->VisibleEditor() || !w.m_list->VisibleEditor()->hasFocus())
        return QStringLiteral("lost");
    return QStringLiteral("%1,%2").arg(w.m_list->GetCurrentRow()).arg(w.m_list->GetCurrentColumn());
}

TEST(KvExtList2, TabWalksTheEditableCellsRowByRowThenLeavesTheList)
{
    ListWindow<CKvExtList2> w; // columns: text, number, combo, none
    struct Case
    {
        int row;
        int column;
        bool forward;
        const char* to;
    };
    const Case cases[] = {
        {0, 0, true, "0,1"},   {0, 1, true, "0,2"},  {0, 2, true, "1,0"}, // past the uneditable 备注
        {2, 2, true, "after"}, {1, 0, false, "0,2"}, {0, 1, false, "0,0"}, {0, 0, false, "before"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1,%2 %3").arg(c.row).arg(c.column).arg(c.forward ? "Tab" : "Shift+Tab").toStdString());
        EXPECT_EQ(TabFrom(w, c.row, c.column, c.forward), QString::fromLatin1(c.to));
    }
    // Tab into the list opens the editor of the cell last edited.
    PressKey(w.m_before, Qt::Key_Tab);
    ASSERT_NE(w.m_list->VisibleEditor(), nullptr);
    EXPECT_EQ(w.m_list->VisibleEditor(), Editor<QLineEdit>(w.m_list, "c723"));
}

TEST(KvExtList, TabSkipsTheCheckColumnAndUntickedRows)
{
    ListWindow<CKvExtList> w;
    w.m_list->SetCheck(0, 1);
    w.m_list->SetCheck(2, 1);
    EXPECT_EQ(TabFrom(w, 0, 2, true), "2,1");
    EXPECT_EQ(TabFrom(w, 2, 1, false), "0,2");
    EXPECT_EQ(TabFrom(w, 2, 2, true), "after");
}

TEST(KvExtList4, TabGoesFromADateCellToTheNextCellWithTheDateWritten)
{
    ListWindow<CKvExtList4> w;
    w.m_list->SetColumnEditor(3, KV_EDIT_DATE);
    w.m_list->SetItemText(0, 3, QStringLiteral("2024-03-05"));
    EXPECT_EQ(TabFrom(w, 0, 2, true), "0,3");
    w.m_list->GetDateEditor()->setDate(QDate(2024, 4, 1));
    PressKey(w.m_list->GetDateEditor(), Qt::Key_Tab);
    EXPECT_EQ(w.m_list->GetCurrentRow(), 1);
    EXPECT_EQ(w.m_list->GetCurrentColumn(), 0);
    EXPECT_EQ(w.m_list->GetItemText(0, 3), QStringLiteral("2024-04-01"));
    EXPECT_FALSE(w.m_list->GetDateEditor()->isVisible());
}

TEST(KvExtList2, ACellEditorOpensWithItsTextSelectedAndTypingReplacesIt)
{
    ListWindow<CKvExtList2> w;
    CKvExtList2* list = w.m_list;
    std::vector<Change> changes;
    RecordChanges(list, changes);
    struct Opening
    {
        const char* how;
        std::function<void()> open;
    };
    const Opening openings[] = {
        {"click", [&w] { w.Click(1, 0); }},
        {"Tab from the cell before",
         [list] {
             list->BeginEdit(0, 2);
             PressKey(list->VisibleEditor(), Qt::Key_Tab);
         }},
        {"arrow key",
         [list] {
             list->BeginEdit(0, 0);
             PressKey(list->VisibleEditor(), Qt::Key_Down);
         }},
        {"F2",
         [list] {
             list->BeginEdit(1, 0);
             PressKey(list->VisibleEditor(), Qt::Key_Escape);
             PressKey(list, Qt::Key_F2);
         }},
    };
    for (const Opening& o : openings) {
        SCOPED_TRACE(o.how);
        list->SetItemText(1, 0, QStringLiteral("0"));
        o.open();
        auto* editor = qobject_cast<QLineEdit*>(list->VisibleEditor());
        ASSERT_NE(editor, nullptr);
        ASSERT_EQ(list->GetCurrentRow(), 1);
        EXPECT_EQ(editor->selectedText(), QStringLiteral("0"));
        changes.clear();
        TypeText(editor, QStringLiteral("200"));
        EXPECT_EQ(list->GetItemText(1, 0), QStringLiteral("200"));
        EXPECT_EQ(changes.front(), (Change{1, 0, "0", "2"}));
    }
    // A number cell as well: a tier price is typed over what it held.
    w.Click(2, 1);
    ASSERT_EQ(list->VisibleEditor(), Editor<CNumEdit>(list, "c724"));
    TypeText(list->VisibleEditor(), QStringLiteral("0.75"));
    EXPECT_EQ(list->GetItemText(2, 1), QStringLiteral("0.75"));
}

TEST(KvExtList2, F2OrEnterOpensTheCurrentCellAndEscapeGivesTheKeysBackToTheList)
{
    ListWindow<CKvExtList2> w;
    CKvExtList2* list = w.m_list;
    list->setFocus();
    ASSERT_TRUE(list->hasFocus());
    PressKey(list, Qt::Key_F2);
    QWidget* editor = list->VisibleEditor();
    ASSERT_EQ(editor, Editor<QLineEdit>(list, "c723")) << "the first cell of the first row";
    EXPECT_TRUE(editor->hasFocus());
    PressKey(editor, Qt::Key_Right);
    PressKey(list->VisibleEditor(), Qt::Key_Escape);
    EXPECT_EQ(list->VisibleEditor(), nullptr);
    EXPECT_TRUE(list->hasFocus());
    EXPECT_TRUE(w.m_window.isVisible());

    PressKey(list, Qt::Key_Down); // the list's own cursor
    PressKey(list, Qt::Key_Return);
    EXPECT_EQ(list->GetCurrentRow(), 1);
    EXPECT_EQ(list->GetCurrentColumn(), 1);
    EXPECT_EQ(list->VisibleEditor(), Editor<CNumEdit>(list, "c724"));
}

TEST(KvExtList, SpaceTicksTheCurrentRowAsAClickOnItsBoxDoes)
{
    ListWindow<CKvExtList> w;
    CKvExtList* list = w.m_list;
    list->LoadCheckBitmaps(158, 159);
    std::vector<std::pair<int, int>> clicks;
    list->SetClickCallback([&clicks](int row, int column, CKvExtList*) { clicks.emplace_back(row, column); });
    list->setFocus();
    PressKey(list, Qt::Key_Down);
    PressKey(list, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(list->GetCheck(1), 1);
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{1, 0}}));
    PressKey(list, Qt::Key_F2); // a ticked row is edited from the keyboard too
    ASSERT_EQ(list->VisibleEditor(), Editor<CNumEdit>(list, "c714"));
    PressKey(list->VisibleEditor(), Qt::Key_Escape);
    PressKey(list, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(list->GetCheck(1), 0);
    EXPECT_EQ(list->GetCheck(0) + list->GetCheck(2), 0);
}

TEST(KvExtList2, TakingTheFocusByKeySelectsTheRowTheFocusStandsOn)
{
    ListWindow<CKvExtList2> w;
    CKvExtList2* list = w.m_list;
    w.m_before->setFocus();
    PressKey(w.m_before, Qt::Key_Tab);
    ASSERT_TRUE(list->hasFocus());
    EXPECT_EQ(list->GetSelectedRow(), 0);
    EXPECT_EQ(list->VisibleEditor(), nullptr);
    PressKey(list, Qt::Key_Down);
    EXPECT_EQ(list->GetSelectedRow(), 1);

    // Back into the list after its rows were filled again: the current row is chosen again.
    PressKey(list, Qt::Key_Backtab, QString(), Qt::ShiftModifier);
    list->DeleteAllItems();
    for (int row = 0; row < 2; ++row)
        list->InsertRow(row, QStringLiteral("新%1").arg(row), w.m_objects[row].get());
    PressKey(w.m_before, Qt::Key_Tab);
    ASSERT_TRUE(list->hasFocus());
    EXPECT_GE(list->GetSelectedRow(), 0);
    EXPECT_EQ(list->GetSelectedRow(), list->currentRow());
}

// The list in a dialog whose default button confirms it, with a field before
// the list for Enter outside the list.
class ListDialog : public CKvDialog
{
public:
    ListDialog() : CKvDialog(152, nullptr, QStringLiteral("增加价目"))
    {
        m_field = CreateControl<QLineEdit>(1065);
        m_list = CreateControl<CKvExtList2>(1070);
        auto* save = CreateControl<QPushButton>(1020);
        BindConfirm(save);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_field);
        layout->addWidget(m_list);
        layout->addWidget(save);
        resize(520, 300);
        for (const char* heading : {"名称", "数量", "状态"})
            m_list->InsertColumn(m_list->GetColumnCount(), QString::fromUtf8(heading), 110);
        m_list->SetRowHeight(20);
        m_list->SetColumnEditor(0, KV_EDIT_TEXT);
        m_list->SetColumnEditor(1, KV_EDIT_NUMBER);
        m_list->SetColumnEditor(2, KV_EDIT_COMBO, QStringLiteral("常开|常闭"));
        for (int row = 0; row < 2; ++row) {
            m_list->InsertRow(row, QStringLiteral("表%1").arg(row), nullptr);
            m_list->SetItemText(row, 2, QStringLiteral("常开"));
        }
    }

    QLineEdit* m_field;
    CKvExtList2* m_list;
};

TEST(KvExtList2, EnterInACellEditorEndsTheEditAndTheDialogStaysOpen)
{
    struct Case
    {
        int column;
        std::function<void(QWidget*)> edit;
        QString cell;
    };
    const Case cases[] = {
        {0, [](QWidget* editor) { TypeText(editor, QStringLiteral("abc")); }, QStringLiteral("abc")},
        {1, [](QWidget* editor) { TypeText(editor, QStringLiteral("0.75")); }, QStringLiteral("0.75")},
        {2,
         [](QWidget* editor) {
             // Enter in the open drop-down list chooses, and the editor stays.
             auto* combo = static_cast<QComboBox*>(editor);
             PressKey(combo, Qt::Key_F4);
             ASSERT_TRUE(combo->view()->isVisible());
             PressKey(combo->view(), Qt::Key_Down);
             PressKey(combo->view(), Qt::Key_Return);
             ASSERT_TRUE(combo->isVisible());
         },
         QStringLiteral("常闭")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        ListDialog dialog;
        ASSERT_TRUE(ShowActive(&dialog));
        CKvExtList2* list = dialog.m_list;
        MouseClick(list->viewport(), list->visualItemRect(list->item(1, c.column)).center());
        QWidget* editor = list->VisibleEditor();
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(editor->hasFocus());
        c.edit(editor);
        PressKey(editor, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), 0);
        EXPECT_EQ(list->VisibleEditor(), nullptr);
        EXPECT_TRUE(list->hasFocus());
        EXPECT_EQ(list->GetItemText(1, c.column), c.cell);

        // On the list itself Enter opens the cell again; in a field it confirms.
        PressKey(list, Qt::Key_Enter, QString(), Qt::KeypadModifier);
        EXPECT_EQ(list->VisibleEditor(), editor);
        EXPECT_TRUE(dialog.isVisible());
        dialog.m_field->setFocus(Qt::TabFocusReason);
        PressKey(dialog.m_field, Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
    }
}

TEST(KvExtList2, EnterOnARowWithoutACellEditorActsAsADoubleClick)
{
    ListWindow<CKvExtList2> w;
    CKvExtList2* list = w.m_list;
    for (int column = 0; column < 3; ++column)
        list->SetColumnEditor(column, KV_EDIT_NONE);
    std::vector<int> activated;
    QObject::connect(list, &QTableWidget::cellDoubleClicked, [&activated](int row, int) { activated.push_back(row); });
    w.m_before->setFocus();
    PressKey(w.m_before, Qt::Key_Tab);
    ASSERT_TRUE(list->hasFocus());
    PressKey(list, Qt::Key_Down);
    PressKey(list, Qt::Key_Return);
    EXPECT_EQ(activated, std::vector<int>{1});
    EXPECT_EQ(list->VisibleEditor(), nullptr);
    // A row with an editor opens it instead.
    list->SetColumnEditor(0, KV_EDIT_TEXT);
    PressKey(list, Qt::Key_Return);
    EXPECT_EQ(activated, std::vector<int>{1});
    EXPECT_NE(list->VisibleEditor(), nullptr);
}

} // namespace

// A column is at least as wide as its heading and every text set into it,
// whatever width its owner gave it; a wider column keeps its width.
TEST(KvExtList2, ColumnsWidenToTheirHeadingsAndTextsAndNeverNarrow)
{
    QWidget window;
    auto* list = new CKvExtList2(&window);
    const struct
    {
        const char* heading;
        int width;
        const char* text;
    } columns[] = {
        {"抄表时间", 40, "2026-12-11 10:30:15"},
        {"参数单位", 0, "kWh"},
        {"型  号", 60, "QM3三相红外预付费电表"},
        {"备注", 400, "短"},
    };
    int column = 0;
    for (const auto& c : columns)
        list->InsertColumn(column++, QString::fromUtf8(c.heading), c.width);
    list->InsertRow(0, QString::fromUtf8(columns[0].text), nullptr);
    for (column = 1; column < 4; ++column)
        list->SetItemText(0, column, QString::fromUtf8(columns[column].text));
    ShowActive(&window);
    EXPECT_EQ(CutListTexts(*list), QStringList());
    EXPECT_EQ(list->columnWidth(3), 400);

    // A longer text set later widens its column again.
    list->SetItemText(0, 3, QStringLiteral("居民生活用电居民生活用电居民生活用电居民生活用电居民生活用电"));
    EXPECT_EQ(CutListTexts(*list), QStringList());
}

// In a check list the first column holds the check box before its text.
TEST(KvExtList, TheCheckColumnMakesRoomForTheBoxBesideItsText)
{
    QWidget window;
    auto* list = new CKvExtList(&window);
    list->LoadCheckBitmaps(158, 159);
    list->InsertColumn(0, QStringLiteral("名称"), 30);
    list->InsertRow(0, QStringLiteral("居民生活用电"), nullptr);
    ShowActive(&window);
    EXPECT_EQ(CutListTexts(*list, 16), QStringList());
}

#include "CNumEdit.h"
#include "KvUiTestUtil.h"

#include <QAction>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

namespace {

struct TypedCase
{
    int decimals;
    const char* text;
    int caret;
    QChar typed;
    const char* expected;
};

void PrintTo(const TypedCase& c, std::ostream* os)
{
    *os << "decimals " << c.decimals << ", \"" << c.text << "\" caret " << c.caret << ", typed '"
        << QString(c.typed).toStdString() << "'";
}

class NumEditTyping : public ::testing::TestWithParam<TypedCase>
{
};

TEST_P(NumEditTyping, FiltersTheTypedCharacter)
{
    const TypedCase& c = GetParam();
    CNumEdit edit;
    edit.SetDecimals(c.decimals);
    edit.setText(QString::fromUtf8(c.text));
    edit.setCursorPosition(c.caret);
    if (c.typed == u'\b')
        PressKey(&edit, Qt::Key_Backspace, QStringLiteral("\b"));
    else
        TypeChar(&edit, c.typed);
    EXPECT_EQ(edit.text(), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Table, NumEditTyping,
                         ::testing::Values(
                             // Two decimals holding 12.34: no third decimal, digits before the point, one point only.
                             TypedCase{2, "12.34", 5, u'5', "12.34"}, TypedCase{2, "12.34", 4, u'5', "12.34"},
                             TypedCase{2, "12.34", 1, u'5', "152.34"}, TypedCase{2, "12.34", 2, u'5', "125.34"},
                             TypedCase{2, "12.34", 5, u'.', "12.34"}, TypedCase{2, "12.3", 4, u'5', "12.35"},
                             // The sign: nothing in front of it; "-" at the start negates with the decimals.
                             TypedCase{2, "-5", 0, u'7', "-5"}, TypedCase{2, "-5", 1, u'7', "-75"},
                             TypedCase{2, "-5", 0, u'-', "5.00"}, TypedCase{2, "5", 0, u'-', "-5.00"},
                             TypedCase{2, "12", 1, u'-', "12"},
                             // Nothing to negate: the sign goes in and the caret follows it.
                             TypedCase{2, "", 0, u'-', "-"}, TypedCase{0, "0", 0, u'-', "-"},
                             // No decimals: a point only at the end, and no digit after it.
                             TypedCase{0, "12", 2, u'.', "12."}, TypedCase{0, "12", 1, u'.', "12"},
                             TypedCase{0, "12.", 3, u'3', "12."}, TypedCase{2, "123", 1, u'.', "1.23"},
                             TypedCase{2, "1234", 1, u'.', "1234"},
                             // Everything else is refused; backspace works.
                             TypedCase{2, "12", 2, u'a', "12"}, TypedCase{2, "12", 2, u' ', "12"},
                             TypedCase{2, "12", 2, u'+', "12"}, TypedCase{2, "12", 2, u'\b', "1"}));

TEST(NumEdit, NegatingTwiceAtTheStartRestoresTheValue)
{
    CNumEdit edit;
    edit.SetDecimals(2);
    edit.setText(QStringLiteral("3.5"));
    edit.setCursorPosition(0);
    TypeChar(&edit, u'-');
    EXPECT_EQ(edit.text(), QStringLiteral("-3.50"));
    TypeChar(&edit, u'-');
    EXPECT_EQ(edit.text(), QStringLiteral("3.50"));
}

TEST(NumEdit, ControlCharactersDoNotReachTheText)
{
    CNumEdit edit;
    edit.SetDecimals(2);
    edit.setText(QStringLiteral("12"));
    QApplication::clipboard()->clear(); // Ctrl+V's own character is no paste
    PressKey(&edit, Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
}

TEST(NumEdit, InputMethodTextAndDropsPassTheFilterToo)
{
    CNumEdit edit;
    edit.SetDecimals(2);
    edit.setText(QStringLiteral("1"));
    edit.setCursorPosition(1);
    QInputMethodEvent composing(QStringLiteral("abc"), {});
    QApplication::sendEvent(&edit, &composing);
    EXPECT_EQ(edit.text(), QStringLiteral("1"));
    QInputMethodEvent committed;
    committed.setCommitString(QStringLiteral("2元.3４5-6"));
    QApplication::sendEvent(&edit, &committed);
    EXPECT_EQ(edit.text(), QStringLiteral("12.35"));
    EXPECT_FALSE(edit.acceptDrops());
}

// Every way a text reaches the edit from the clipboard or the X11 selection.
struct PasteWay
{
    const char* how;
    std::function<void(CNumEdit&, const QString&)> paste;
};

const PasteWay kPasteWays[] = {
    {"Shift+Insert",
     [](CNumEdit& e, const QString& text) {
         QApplication::clipboard()->setText(text);
         PressKey(&e, Qt::Key_Insert, QString(), Qt::ShiftModifier);
     }},
    {"Ctrl+V",
     [](CNumEdit& e, const QString& text) {
         QApplication::clipboard()->setText(text);
         PressKey(&e, Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
     }},
    {"context menu",
     [](CNumEdit& e, const QString& text) {
         QApplication::clipboard()->setText(text);
         std::unique_ptr<QMenu> menu(e.CreateContextMenu());
         auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
         if (!paste) {
             EXPECT_TRUE(e.isReadOnly()) << "only a read-only edit's menu has no Paste";
             return;
         }
         paste->trigger();
     }},
    {"middle click",
     [](CNumEdit& e, const QString& text) {
         if (!QApplication::clipboard()->supportsSelection()) {
             e.PasteFiltered(); // no X11 selection on this platform: the path it takes
             return;
         }
         QApplication::clipboard()->setText(text, QClipboard::Selection);
         const int caret = e.cursorPosition();
         MouseClick(&e, e.rect().center(), Qt::MiddleButton);
         e.setCursorPosition(caret);
     }},
};

TEST(NumEdit, EveryWayOfPastingTypesThePasteByTheKeyRules)
{
    for (const PasteWay& way : kPasteWays) {
        for (const auto& [pasted, expected] : {std::pair{"2.35", "12.35"}, std::pair{"2元.3４5x", "1"}}) {
            CNumEdit edit;
            edit.SetDecimals(2);
            edit.setText(QStringLiteral("1"));
            edit.setCursorPosition(1);
            QApplication::clipboard()->setText(QString::fromUtf8(pasted));
            way.paste(edit, QString::fromUtf8(pasted));
            EXPECT_EQ(edit.text(), QString::fromUtf8(expected)) << way.how << ", pasted " << pasted;
        }
    }
}

TEST(NumEdit, APasteGoesInWholeWhenTheKeysWouldTakeEveryCharacterElseNotAtAll)
{
    struct Case
    {
        int decimals;
        const char* text;
        int caret;
        const char* pasted;
        const char* expected;
    };
    const Case cases[] = {
        // Typed one by one the keys take them all.
        {2, "", 0, "-3.5", "-3.5"},
        {0, "", 0, "150", "150"},
        {2, "-3", 2, "5", "-35"},
        {2, "5", 0, "-", "-5.00"}, // a sign at the start negates, as typed
        // One character the keys refuse refuses the paste: nothing is dropped.
        {0, "", 0, "1,5", ""},
        {0, "", 0, "1e3", ""},
        {2, "", 0, "1 234,50", ""},
        {0, "", 0, "\u22125", ""}, // a minus sign that is not "-"
        {0, "", 0, "0x10", ""},
        {0, "", 0, "12\n34", ""},
        {2, "", 0, "１２", ""},
        {0, "7", 1, " 8", "7"},
        {2, "1", 1, "2.345", "1"},
        {2, "1.5", 3, ".5", "1.5"},
        {2, "12", 2, "-5", "12"},
        {2, "-3", 0, "5", "-3"},
        {2, "7", 0, "-1", "7"}, // "-" negates 7, then no digit goes in front of the sign
        {0, "", 0, "1.5", ""},
    };
    for (const Case& c : cases) {
        QApplication::clipboard()->setText(QString::fromUtf8(c.pasted));
        CNumEdit edit;
        edit.SetDecimals(c.decimals);
        edit.setText(QString::fromUtf8(c.text));
        edit.setCursorPosition(c.caret);
        PressKey(&edit, Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
        EXPECT_EQ(edit.text(), QString::fromUtf8(c.expected)) << "pasted " << c.pasted << " into " << c.text;
    }
}

TEST(NumEdit, AReadOnlyEditTakesNoKeyPasteCutOrInputMethodTextButCopies)
{
    using Change = std::function<void(CNumEdit&)>;
    const auto key = [](int k, const char* text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return [=](CNumEdit& e) { PressKey(&e, k, QString::fromUtf8(text), modifiers); };
    };
    const auto fromCaret = [](int caret, Change change) {
        return [=](CNumEdit& e) {
            e.setCursorPosition(caret);
            change(e);
        };
    };
    struct Case
    {
        const char* what;
        Change change;
    };
    std::vector<Case> cases = {
        {"a digit", key(Qt::Key_1, "1")},
        {"a digit at the start", fromCaret(0, key(Qt::Key_5, "5"))},
        {"a minus at the start", fromCaret(0, key(Qt::Key_Minus, "-"))},
        {"a point", fromCaret(1, key(Qt::Key_Period, "."))},
        {"backspace", key(Qt::Key_Backspace, "\b")},
        {"delete", fromCaret(0, key(Qt::Key_Delete, ""))},
        {"all selected, then a digit",
         [](CNumEdit& e) {
             e.selectAll();
             TypeChar(&e, u'9');
         }},
        {"cut",
         [](CNumEdit& e) {
             e.selectAll();
             QTest::keyClick(&e, Qt::Key_X, Qt::ControlModifier);
         }},
        {"undo of the last typing", key(Qt::Key_Z, "\x1a", Qt::ControlModifier)},
        {"input-method text",
         [](CNumEdit& e) {
             QInputMethodEvent committed;
             committed.setCommitString(QStringLiteral("10"));
             QApplication::sendEvent(&e, &committed);
         }},
    };
    for (const PasteWay& way : kPasteWays)
        cases.push_back({way.how, [&way](CNumEdit& e) { way.paste(e, QStringLiteral("10")); }});

    for (const Case& c : cases) {
        CNumEdit edit;
        edit.SetDecimals(4);
        edit.setText(QStringLiteral("0.00"));
        edit.end(false);
        TypeChar(&edit, u'7'); // something to undo
        ASSERT_EQ(edit.text(), QStringLiteral("0.007"));
        edit.setReadOnly(true); // a right the operator lacks, a box not ticked
        c.change(edit);
        EXPECT_EQ(edit.text(), QStringLiteral("0.007")) << c.what;
    }

    // Selecting and copying still work.
    CNumEdit edit;
    edit.SetDecimals(4);
    edit.SetValue(12.5);
    edit.setReadOnly(true);
    QApplication::clipboard()->clear();
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("12.5000"));
}

TEST(NumEdit, AMinusTypedIntoAnEmptyEditMakesANegativeNumber)
{
    // "-100" into an emptied edit with ten decimals, "-5" into an empty one.
    struct Case
    {
        int decimals;
        const char* typed;
        double value;
    };
    for (const Case& c : {Case{10, "-100", -100}, Case{0, "-5", -5}, Case{2, "-0.5", -0.5}}) {
        CNumEdit edit;
        edit.SetDecimals(c.decimals);
        edit.SetValue(1);
        edit.clear();
        TypeText(&edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(edit.text(), QString::fromUtf8(c.typed));
        EXPECT_DOUBLE_EQ(edit.GetValue(), c.value) << c.typed;
    }
}

class NumEditAsAnEditField : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&m_window);
        m_first = new QLineEdit(&m_window);
        m_edit = new CNumEdit(&m_window);
        m_edit->SetDecimals(4);
        m_edit->SetValue(0);
        layout->addWidget(m_first);
        layout->addWidget(m_edit);
        ASSERT_TRUE(ShowActive(&m_window));
        m_first->setFocus();
    }

    QWidget m_window;
    QLineEdit* m_first = nullptr;
    CNumEdit* m_edit = nullptr;
};

TEST_F(NumEditAsAnEditField, TabSelectsThePresetValueSoTypingReplacesIt)
{
    PressKey(m_first, Qt::Key_Tab);
    ASSERT_TRUE(m_edit->hasFocus());
    TypeText(m_edit, QStringLiteral("0.52"));
    EXPECT_EQ(m_edit->text(), QStringLiteral("0.52"));

    PressKey(m_edit, Qt::Key_Backtab, QString(), Qt::ShiftModifier);
    ASSERT_TRUE(m_first->hasFocus());
    PressKey(m_first, Qt::Key_Tab);
    TypeText(m_edit, QStringLiteral("-5"));
    EXPECT_EQ(m_edit->text(), QStringLiteral("-5"));
}

TEST_F(NumEditAsAnEditField, SelectCopyCutAndPasteWorkFromTheKeyboard)
{
    PressKey(m_first, Qt::Key_Tab);
    ASSERT_TRUE(m_edit->hasFocus());
    m_edit->setText(QStringLiteral("12.5"));
    m_edit->setCursorPosition(4);

    QTest::keyClick(m_edit, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(m_edit->selectedText(), QStringLiteral("12.5"));
    QTest::keyClick(m_edit, Qt::Key_End);
    QTest::keyClick(m_edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(m_edit->selectedText(), QStringLiteral("12.5"));
    QApplication::clipboard()->clear();
    QTest::keyClick(m_edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("12.5"));
    EXPECT_EQ(m_edit->text(), QStringLiteral("12.5"));

    QTest::keyClick(m_edit, Qt::Key_Home);
    QTest::keyClick(m_edit, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(m_edit, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(m_edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("12"));
    EXPECT_EQ(m_edit->text(), QStringLiteral(".5"));

    QTest::keyClick(m_edit, Qt::Key_End);
    QTest::keyClick(m_edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(m_edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(m_edit->text(), QStringLiteral("12"));
}

TEST(NumEdit, SetValueRoundsHalfUpAtTheDecimals)
{
    struct Case
    {
        double value;
        int decimals;
        const char* shown;
    };
    for (const Case& c : {Case{1.005, 2, "1.01"}, Case{2.5, 0, "3"}, Case{-1.005, 2, "-1.00"}, Case{0, 4, "0.0000"},
                          Case{1234567.891, 2, "1234567.89"}, Case{12.5, 10, "12.5000000000"}}) {
        CNumEdit edit;
        edit.SetDecimals(c.decimals);
        edit.SetValue(c.value);
        EXPECT_EQ(edit.text(), QString::fromUtf8(c.shown)) << c.value << " with " << c.decimals;
    }
}

TEST(NumEdit, GetValueReadsTheTextAsAtofDoes)
{
    struct Case
    {
        const char* text;
        double value;
    };
    for (const Case& c : {Case{"", 0}, Case{"abc", 0}, Case{"-", 0}, Case{".", 0}, Case{"12.5abc", 12.5},
                          Case{" -3.25", -3.25}, Case{"1e3", 1000}, Case{"2.", 2}, Case{"1,5", 1}}) {
        CNumEdit edit;
        edit.setText(QString::fromUtf8(c.text));
        EXPECT_DOUBLE_EQ(edit.GetValue(), c.value) << c.text;
    }
}

} // namespace

#include "KvDatePicker.h"
#include "KvUiTestUtil.h"

#include <QDateEdit>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A field, a date box and a field after it, in a window of their own.
struct DateWindow
{
    explicit DateWindow(QDateTimeEdit* box) : m_box(box)
    {
        auto* layout = new QVBoxLayout(&m_window);
        layout->addWidget(m_before);
        layout->addWidget(m_box);
        layout->addWidget(m_after);
        m_box->setDate(QDate(2026, 12, 1));
        ShowActive(&m_window);
    }

    QWidget m_window;
    QLineEdit* m_before = new QLineEdit;
    QDateTimeEdit* m_box;
    QLineEdit* m_after = new QLineEdit;
};

struct DateBoxKind
{
    const char* name;
    std::function<QDateTimeEdit*()> make;
};

const DateBoxKind kDateBoxes[] = {
    {"calendar picker",
     [] {
         auto* box = new QDateEdit;
         KvMakeDatePicker(box);
         return box;
     }},
    {"date and time box shown as a date",
     [] {
         auto* box = new QDateTimeEdit;
         box->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
         KvTabLeavesDateBox(box);
         return box;
     }},
};

} // namespace

TEST(KvDateBox, TabLeavesTheBoxAndTheNextFieldGetsWhatIsTyped)
{
    for (const DateBoxKind& kind : kDateBoxes) {
        SCOPED_TRACE(kind.name);
        DateWindow w(kind.make());
        w.m_box->setFocus();
        ASSERT_TRUE(w.m_box->hasFocus());

        PressKey(w.m_box, Qt::Key_Tab);
        ASSERT_TRUE(w.m_after->hasFocus());
        TypeText(QApplication::focusWidget(), QStringLiteral("80"));
        EXPECT_EQ(w.m_after->text(), QStringLiteral("80"));
        EXPECT_EQ(w.m_box->date(), QDate(2026, 12, 1));

        PressKey(w.m_after, Qt::Key_Backtab, QString(), Qt::ShiftModifier);
        ASSERT_TRUE(w.m_box->hasFocus());
        PressKey(w.m_box, Qt::Key_Backtab, QString(), Qt::ShiftModifier);
        EXPECT_TRUE(w.m_before->hasFocus());
        EXPECT_EQ(w.m_box->date(), QDate(2026, 12, 1));
    }
}

TEST(KvDateBox, TypingAndTheArrowKeysStillMoveBetweenTheParts)
{
    for (const DateBoxKind& kind : kDateBoxes) {
        SCOPED_TRACE(kind.name);
        DateWindow w(kind.make());
        PressKey(w.m_before, Qt::Key_Tab); // the year is selected
        ASSERT_TRUE(w.m_box->hasFocus());
        TypeText(w.m_box, QStringLiteral("2027")); // a whole year goes on to the month
        TypeText(w.m_box, QStringLiteral("03"));
        EXPECT_EQ(w.m_box->date(), QDate(2027, 3, 1));

        // Right goes on to the day's part, whose number is then typed anew.
        PressKey(w.m_box, Qt::Key_Right);
        PressKey(w.m_box, Qt::Key_Right);
        PressKey(w.m_box, Qt::Key_Right);
        PressKey(w.m_box, Qt::Key_Backspace);
        PressKey(w.m_box, Qt::Key_Backspace);
        TypeText(w.m_box, QStringLiteral("15"));
        EXPECT_EQ(w.m_box->date(), QDate(2027, 3, 15));
        EXPECT_TRUE(w.m_box->hasFocus());
    }
}

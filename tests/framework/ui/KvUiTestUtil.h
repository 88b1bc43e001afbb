#pragma once

// Small drivers for widgets in the offscreen tests: activation, clicks and keys
// sent as a user's are, through QTest, so that they are spontaneous events that
// move the focus on a click and reach the widgets through the whole event path.

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <QWidget>

// Shows a window and waits until it is the active one: on a real display the
// window manager's activation arrives some time after show().
inline bool ShowActive(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window) && QApplication::activeWindow() == window;
}

inline void MouseClick(QWidget* target, const QPoint& pos, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(target, button, Qt::NoModifier, pos);
}

inline void MouseClick(QWidget* target)
{
    MouseClick(target, target->rect().center());
}

// A key as the keyboard delivers it; `text` is what the key types (empty for
// keys that type nothing).
inline void PressKey(QWidget* target, int key, const QString& text = QString(),
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::sendKeyEvent(QTest::Click, target, Qt::Key(key), text, modifiers);
}

// Types one printable character the way the keyboard delivers it; a
// character no key of the test keyboard has (a Chinese one) comes as the text
// of a key press, as an input method's would.
inline void TypeChar(QWidget* target, QChar ch)
{
    if (ch.unicode() >= 0x20 && ch.unicode() < 0x7f)
        QTest::keyClick(target, ch.toLatin1());
    else
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key(ch.toUpper().unicode()), QString(ch), Qt::NoModifier);
}

inline void TypeText(QWidget* target, const QString& text)
{
    for (QChar ch : text)
        TypeChar(target, ch);
}

// Ctrl+click on the selected row of a list takes the selection away, as the
// operator does to have no row chosen (a list that takes the focus selects
// the row the focus stands on).
// On a real display the window's activation arrives after it is shown, and
// the list's focus-in then selects a row again: activate it and wait first.
inline void DeselectRow(QAbstractItemView* list, int row)
{
    ShowActive(list->window());
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
}

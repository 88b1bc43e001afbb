#pragma once

// Small drivers for widgets in the offscreen tests: activation, clicks and keys
// sent through the application as a user's would be.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

inline bool ShowActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    for (int i = 0; i < 50 && QApplication::activeWindow() != window; ++i)
        QApplication::processEvents();
    return QApplication::activeWindow() == window;
}

inline void MouseClick(QWidget* target, const QPoint& pos)
{
    const QPointF local(pos);
    const QPointF global(target->mapToGlobal(pos));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

inline void MouseClick(QWidget* target)
{
    MouseClick(target, target->rect().center());
}

inline void PressKey(QWidget* target, int key, const QString& text = QString(),
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// Types one printable character the way the keyboard delivers it.
inline void TypeChar(QWidget* target, QChar ch)
{
    int key = ch.toUpper().unicode();
    if (ch == u'.')
        key = Qt::Key_Period;
    else if (ch == u'-')
        key = Qt::Key_Minus;
    PressKey(target, key, QString(ch));
}

inline void TypeText(QWidget* target, const QString& text)
{
    for (QChar ch : text)
        TypeChar(target, ch);
}

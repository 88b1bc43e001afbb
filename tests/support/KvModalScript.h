#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QWidget>

#include "../framework/ui/KvUiTestUtil.h"
#include <deque>
#include <functional>
#include <gtest/gtest.h>

// Answers the modal dialogs of a test in turn: each new modal window gets the
// next action of the script. A modal window that finds the script exhausted is
// closed as cancelled and fails the test, so no test can hang on a dialog.
class CModalScript
{
public:
    using Action = std::function<void(QWidget*)>;

    CModalScript()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

    CModalScript& Then(Action action)
    {
        m_actions.push_back(std::move(action));
        return *this;
    }
    int Handled() const { return m_handled; }
    QStringList Seen() const { return m_seen; }
    bool Exhausted() const { return m_actions.empty(); }

    // Small actions on a dialog's numbered controls. A button is clicked
    // with the mouse, as the operator does it, in the active dialog.
    static void Type(QWidget* dialog, int id, const QString& text)
    {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("c%1").arg(id));
        ASSERT_NE(edit, nullptr) << id;
        edit->setText(text);
    }
    static void Click(QWidget* dialog, int id)
    {
        auto* button = dialog->findChild<QAbstractButton*>(QStringLiteral("c%1").arg(id));
        ASSERT_NE(button, nullptr) << id;
        if (!dialog->window()->isVisible()) {
            // A dialog a test built without showing it has no place on the
            // screen to click.
            button->click();
            return;
        }
        ShowActive(dialog->window());
        MouseClick(button, HitPoint(button));
    }
    // Where the operator clicks a button: a radio or check box on its mark
    // (a wide one takes no click beyond its text), any other in its middle.
    static QPoint HitPoint(QAbstractButton* button)
    {
        QStyleOptionButton option;
        option.initFrom(button);
        if (qobject_cast<QRadioButton*>(button))
            return button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button).center();
        if (qobject_cast<QCheckBox*>(button))
            return button->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, button).center();
        return button->rect().center();
    }
    // The login dialog answered with a code and a password.
    static Action LogIn(const QString& code, const QString& password)
    {
        return [code, password](QWidget* dialog) {
            Type(dialog, 1031, code);
            Type(dialog, 1044, password);
            Click(dialog, 1000);
        };
    }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal->property("kvScripted").toBool())
            return;
        modal->setProperty("kvScripted", true);
        m_seen << modal->objectName();
        ++m_handled;
        if (m_actions.empty()) {
            ADD_FAILURE() << "unexpected modal window " << modal->objectName().toStdString();
            modal->close();
            return;
        }
        Action action = std::move(m_actions.front());
        m_actions.pop_front();
        action(modal);
    }

    QTimer m_timer;
    std::deque<Action> m_actions;
    int m_handled = 0;
    QStringList m_seen;
};

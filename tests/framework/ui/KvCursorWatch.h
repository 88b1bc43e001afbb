#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QEvent>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <functional>

// Watches the lists of the dialogs on their way to the screen: as a list
// shows (after the dialog's initialisation has filled it, just before the
// dialog itself shows) it notes the dialog's name, the override cursor's
// shape then ("wait", or "none") and what `describe` says of the dialog (the
// rows of its list, say).
class CCursorWatch : public QObject
{
public:
    explicit CCursorWatch(std::function<QString(QDialog*)> describe = {}) : m_describe(std::move(describe))
    {
        qApp->installEventFilter(this);
    }
    ~CCursorWatch() override { qApp->removeEventFilter(this); }

    QStringList Seen() const { return m_seen; }

    static QString CursorNow()
    {
        const QCursor* cursor = QApplication::overrideCursor();
        if (!cursor)
            return QStringLiteral("none");
        return cursor->shape() == Qt::WaitCursor ? QStringLiteral("wait") : QStringLiteral("other");
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Hide)
            m_shown.remove(watched); // its next showing is noted again
        if (event->type() == QEvent::Show && qobject_cast<QAbstractItemView*>(watched)) {
            auto* dialog = qobject_cast<QDialog*>(static_cast<QWidget*>(watched)->window());
            // The first list of a showing dialog is enough.
            if (dialog && !m_shown.contains(dialog)) {
                m_shown.insert(dialog);
                QString seen = dialog->objectName() + u' ' + CursorNow();
                if (m_describe)
                    seen += u' ' + m_describe(dialog);
                m_seen << seen;
            }
        }
        return false;
    }

private:
    std::function<QString(QDialog*)> m_describe;
    QStringList m_seen;
    QSet<QObject*> m_shown;
};

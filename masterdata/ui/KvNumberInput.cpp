#include "KvNumberInput.h"

#include "KvMessage.h"
#include "KvPasteRoute.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpression>

namespace {

bool isDigits(const QString& text)
{
    for (QChar ch : text)
        if (ch < u'0' || ch > u'9')
            return false;
    return true;
}

class CDigitsOnlyFilter : public QObject
{
public:
    CDigitsOnlyFilter(QLineEdit* edit, const QString& fieldName) : QObject(edit), m_edit(edit), m_fieldName(fieldName)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Paste)) { // Ctrl+V, Shift+Insert
                paste(QClipboard::Clipboard);
                return true;
            }
            const QString text = key->text();
            // Control keys (backspace, arrows, shortcuts) pass; printable text only as digits.
            const bool printable = !text.isEmpty() && text.at(0).isPrint();
            if (printable && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && !isDigits(text))
                return true;
            break;
        }
        case QEvent::InputMethod: {
            const QString committed = static_cast<QInputMethodEvent*>(event)->commitString();
            if (!committed.isEmpty() && !isDigits(committed)) {
                refuse();
                return true;
            }
            break;
        }
        case QEvent::ContextMenu: {
            QMenu* menu = m_edit->createStandardContextMenu();
            KvRoutePaste(menu, m_edit, [this] { paste(QClipboard::Clipboard); });
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
                if (QApplication::clipboard()->supportsSelection())
                    paste(QClipboard::Selection);
                return true;
            }
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void paste(QClipboard::Mode mode)
    {
        if (m_edit->isReadOnly())
            return;
        const QString pasted = QApplication::clipboard()->text(mode);
        if (pasted.isEmpty())
            return;
        if (!isDigits(pasted))
            return refuse();
        m_edit->insert(pasted);
    }
    void refuse()
    {
        if (!m_edit->isReadOnly())
            PromptBox(QStringLiteral("%1只能输入数字0-9！").arg(m_fieldName), m_edit->window());
    }

    QLineEdit* m_edit;
    QString m_fieldName;
};

} // namespace

void KvAcceptDigitsOnly(QLineEdit* edit, const QString& fieldName)
{
    edit->setAcceptDrops(false); // a dropped text would pass unchecked
    edit->installEventFilter(new CDigitsOnlyFilter(edit, fieldName));
}

int KvLeadingInteger(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?\\d+)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

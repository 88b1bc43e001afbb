#include "KvNumberInput.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

class CDigitsOnlyFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QString text = key->text();
            // Control keys (backspace, arrows, shortcuts) pass; printable text only as digits.
            const bool printable = !text.isEmpty() && text.at(0).isPrint();
            if (printable && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                for (QChar ch : text)
                    if (!ch.isDigit() || ch.unicode() > 0x7f)
                        return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void KvAcceptDigitsOnly(QLineEdit* edit)
{
    edit->installEventFilter(new CDigitsOnlyFilter(edit));
}

int KvLeadingInteger(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?\\d+)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

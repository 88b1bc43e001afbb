#include "CNumEdit.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <cmath>

CNumEdit::CNumEdit(QWidget* parent) : QLineEdit(parent)
{
    setAcceptDrops(false); // dropped text would bypass the filter
}

double CNumEdit::TextToDouble(const QString& text)
{
    // The longest prefix that reads as a number: blanks, sign, digits, point,
    // digits, exponent. What follows it is ignored, as atof does.
    int i = 0;
    const int n = text.size();
    while (i < n && text[i].isSpace())
        ++i;
    const int start = i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    int digits = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    int end = i;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        int j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        const int expStart = j;
        while (j < n && text[j] >= u'0' && text[j] <= u'9')
            ++j;
        if (j > expStart)
            end = j;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(QStringView(text).mid(start, end - start), &ok);
    return ok ? value : 0.0;
}

double CNumEdit::GetValue() const
{
    return TextToDouble(text());
}

void CNumEdit::SetValue(double value)
{
    const int decimals = qMax(0, m_decimals);
    const double shifted = value + 0.5 / std::pow(10.0, decimals + 1);
    setText(QString::asprintf("%0.*f", decimals, shifted));
}

void CNumEdit::FilterChar(QChar ch, int, int)
{
    // A typed character replaces the selection, as in every edit: the rules
    // look at the text without it, the caret where the selection began.
    QString current = text();
    int caret = cursorPosition();
    if (hasSelectedText()) {
        caret = selectionStart();
        current.remove(caret, selectedText().size());
    }
    const int length = current.size();

    if (ch.isDigit() && ch.unicode() < 128) {
        const int minus = current.indexOf(u'-');
        if (minus >= 0 && caret <= minus)
            return;
        const int point = current.indexOf(u'.');
        if (point >= 0 && length - point > m_decimals && caret > point)
            return;
        insert(QString(ch));
    } else if (ch == u'\b') {
        backspace();
    } else if (ch == u'-') {
        if (caret != 0)
            return;
        if (!current.contains(u'-') && TextToDouble(current) == 0.0) {
            // Nothing to negate: the sign starts a negative number and the caret
            // follows it, so "-5" typed into an empty edit is -5, never 50.
            setText(QStringLiteral("-"));
            setCursorPosition(1);
            return;
        }
        SetValue(-TextToDouble(current));
        setCursorPosition(0); // a second "-" at the start negates back
    } else if (ch == u'.') {
        if (current.contains(u'.') || length - caret > m_decimals)
            return;
        insert(QString(ch));
    }
    // every other character is refused
}

bool CNumEdit::IsAcceptedText(const QString& text, int decimals)
{
    // What typing could make: a sign only in front, digits, one point and at
    // most `decimals` digits after it.
    int i = text.startsWith(u'-') ? 1 : 0;
    int point = -1;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'.' && point < 0)
            point = i;
        else if (!(c >= u'0' && c <= u'9'))
            return false;
    }
    return point < 0 || text.size() - point - 1 <= decimals;
}

void CNumEdit::PasteFiltered(QClipboard::Mode mode)
{
    if (isReadOnly())
        return;
    // The characters a number can hold are kept, the rest dropped ("1,5" pastes
    // 15); what is left goes in whole or, when a rule refuses it, not at all.
    QString kept;
    for (QChar ch : QApplication::clipboard()->text(mode)) {
        if ((ch >= u'0' && ch <= u'9') || ch == u'.' || ch == u'-')
            kept += ch;
    }
    if (kept.isEmpty())
        return;
    QString result = text();
    int caret = cursorPosition();
    if (hasSelectedText()) {
        caret = selectionStart();
        result.remove(caret, selectedText().size());
    }
    result.insert(caret, kept);
    if (!IsAcceptedText(result, qMax(0, m_decimals))) {
        QApplication::beep();
        return;
    }
    insert(kept);
}

QMenu* CNumEdit::CreateContextMenu()
{
    QMenu* menu = createStandardContextMenu();
    // The menu's Paste, found by its name (newer Qt) or its text.
    const QString pasteText = QCoreApplication::translate("QLineEdit", "&Paste");
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (action->objectName() != QLatin1String("edit-paste") && action->text().section(u'\t', 0, 0) != pasteText)
            continue;
        action->setObjectName(QStringLiteral("edit-paste"));
        action->disconnect(this); // the plain paste would bypass the rules
        connect(action, &QAction::triggered, this, [this] { PasteFiltered(); });
    }
    return menu;
}

void CNumEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void CNumEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        if (QApplication::clipboard()->supportsSelection())
            PasteFiltered(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void CNumEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) { // Ctrl+V, Shift+Insert
        PasteFiltered();
        event->accept();
        return;
    }
    // The edit shortcuts work as in every edit field: they only select, copy or
    // remove text, which the rules never refuse.
    for (QKeySequence::StandardKey shortcut :
         {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo}) {
        if (event->matches(shortcut)) {
            QLineEdit::keyPressEvent(event);
            return;
        }
    }
    // Keys that move the caret, delete forward or belong to the dialog keep their
    // usual meaning; characters (control characters included) go to the filter.
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        QLineEdit::keyPressEvent(event);
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (typed.isEmpty()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Backspace) {
        FilterChar(u'\b', 1, 0);
        return;
    }
    FilterChar(typed.at(0), 1, 0);
}

void CNumEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // The composition shown while typing is left out; only committed text counts.
    event->accept();
    const QString committed = event->commitString();
    for (QChar ch : committed)
        FilterChar(ch, 1, 0);
}

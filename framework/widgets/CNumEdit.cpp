#include "CNumEdit.h"

#include "KvPasteRoute.h"

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

QString CNumEdit::ValueText(double value, int decimals)
{
    decimals = qMax(0, decimals);
    const double shifted = value + 0.5 / std::pow(10.0, decimals + 1);
    return QString::asprintf("%0.*f", decimals, shifted);
}

void CNumEdit::SetValue(double value)
{
    setText(ValueText(value, m_decimals));
}

CNumEdit::Typed CNumEdit::JudgeTyped(const QString& current, int caret, QChar ch, int decimals)
{
    const int length = current.size();
    if (ch.isDigit() && ch.unicode() < 128) {
        const int minus = current.indexOf(u'-');
        if (minus >= 0 && caret <= minus)
            return Typed::Refused;
        const int point = current.indexOf(u'.');
        if (point >= 0 && length - point > decimals && caret > point)
            return Typed::Refused;
        return Typed::Inserted;
    }
    if (ch == u'\b')
        return Typed::Backspace;
    if (ch == u'-') {
        if (caret != 0)
            return Typed::Refused;
        // Nothing to negate: the sign starts a negative number and the caret
        // follows it, so "-5" typed into an empty edit is -5, never 50.
        if (!current.contains(u'-') && TextToDouble(current) == 0.0)
            return Typed::StartsNegative;
        return Typed::Negates;
    }
    if (ch == u'.') {
        if (current.contains(u'.') || length - caret > decimals)
            return Typed::Refused;
        return Typed::Inserted;
    }
    return Typed::Refused; // every other character, control characters included
}

bool CNumEdit::TypeInto(QString& text, int& caret, const QString& typed, int decimals)
{
    for (QChar ch : typed) {
        switch (JudgeTyped(text, caret, ch, decimals)) {
        case Typed::Inserted:
            text.insert(caret++, ch);
            break;
        case Typed::StartsNegative:
            text = QStringLiteral("-");
            caret = 1;
            break;
        case Typed::Negates:
            text = ValueText(-TextToDouble(text), decimals);
            caret = 0;
            break;
        case Typed::Backspace: // a control character: never part of a number
        case Typed::Refused:
            return false;
        }
    }
    return true;
}

void CNumEdit::FilterChar(QChar ch, int, int)
{
    // A field shown read-only is fixed: no character changes it (QLineEdit's
    // insert() and backspace() would, read-only or not).
    if (isReadOnly())
        return;
    // A typed character replaces the selection, as in every edit: the rules
    // look at the text without it, the caret where the selection began.
    QString current = text();
    int caret = cursorPosition();
    if (hasSelectedText()) {
        caret = selectionStart();
        current.remove(caret, selectedText().size());
    }
    switch (JudgeTyped(current, caret, ch, m_decimals)) {
    case Typed::Inserted:
        insert(QString(ch));
        break;
    case Typed::Backspace:
        backspace();
        break;
    case Typed::StartsNegative:
        setText(QStringLiteral("-"));
        setCursorPosition(1);
        break;
    case Typed::Negates:
        SetValue(-TextToDouble(current));
        setCursorPosition(0); // a second "-" at the start negates back
        break;
    case Typed::Refused:
        break;
    }
}

void CNumEdit::PasteFiltered(QClipboard::Mode mode)
{
    if (isReadOnly())
        return;
    const QString pasted = QApplication::clipboard()->text(mode);
    if (pasted.isEmpty())
        return;
    // The paste is typed character by character by the rules of the keys; a
    // character they refuse refuses the whole paste ("1,5" never becomes 15).
    QString result = text();
    int caret = cursorPosition();
    if (hasSelectedText()) {
        caret = selectionStart();
        result.remove(caret, selectedText().size());
    }
    QString plain = result;
    plain.insert(caret, pasted);
    if (!TypeInto(result, caret, pasted, m_decimals)) {
        QApplication::beep();
        return;
    }
    if (result == plain) {
        insert(pasted); // one step of undo, as any paste
        return;
    }
    // A sign at the start negated the value: the text is the one typing makes.
    selectAll();
    insert(result);
    setCursorPosition(caret);
}

QMenu* CNumEdit::CreateContextMenu()
{
    QMenu* menu = createStandardContextMenu();
    KvRoutePaste(menu, this, [this] { PasteFiltered(); });
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
    // The composition shown while typing is left out; only committed text counts
    // (and none while read-only: FilterChar refuses it).
    event->accept();
    const QString committed = event->commitString();
    for (QChar ch : committed)
        FilterChar(ch, 1, 0);
}

#pragma once

#include <QClipboard>
#include <QLineEdit>

class QMenu;

// An edit box for a signed decimal number with a fixed number of decimals.
// Typed characters pass through FilterChar only: digits (never in front of the
// sign, at most `decimals` after the point), one point, backspace, and "-" at
// the start, which negates the value instead of inserting a sign (on an empty
// or zero text it starts a negative number). The edit shortcuts (select all,
// copy, cut, undo, redo) and the caret keys work as in every edit; focus by Tab
// or a shortcut selects the whole text, so typing replaces it. Read-only, it
// takes no character, paste, cut or input-method text; it can still be
// selected and copied.
class CNumEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CNumEdit(QWidget* parent = nullptr);

    int GetDecimals() const { return m_decimals; }
    void SetDecimals(int decimals) { m_decimals = decimals; }

    // The text read as atof does: an empty or non-numeric text gives 0.
    virtual double GetValue() const;
    // Shows the value with the decimals, half a unit of the next digit added first.
    virtual void SetValue(double value);
    // Does nothing while the edit is read-only.
    virtual void FilterChar(QChar ch, int repeat, int flags);

    // atof on a text, independent of the locale.
    static double TextToDouble(const QString& text);
    // The text SetValue shows for a value.
    static QString ValueText(double value, int decimals);

    // What one typed character does to `current` (the text without the
    // selection, the caret where the selection began), by FilterChar's rules.
    enum class Typed
    {
        Refused,
        Inserted,
        Backspace,
        StartsNegative, // "-" on a text that reads 0: the text becomes "-"
        Negates,        // "-" at the start: the value negated, with the decimals
    };
    static Typed JudgeTyped(const QString& current, int caret, QChar ch, int decimals);
    // Types `typed` into the text at the caret, a character at a time, by those
    // rules. False, with the text part-typed, at the first character refused
    // (a control character is refused too).
    static bool TypeInto(QString& text, int& caret, const QString& typed, int decimals);

    // Pastes the clipboard (or X11's selection) as if its characters were typed
    // one by one; when the rules refuse any of them the edit stays as it was
    // and the paste is refused with a beep. Nothing while read-only.
    void PasteFiltered(QClipboard::Mode mode = QClipboard::Clipboard);
    // The edit's context menu, its Paste going through PasteFiltered.
    QMenu* CreateContextMenu();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Text from an input method passes the filter character by character too.
    void inputMethodEvent(QInputMethodEvent* event) override;
    // Middle-click pastes X11's selection through the filter.
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int m_decimals = 0;
};

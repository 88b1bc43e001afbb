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
// or a shortcut selects the whole text, so typing replaces it.
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
    virtual void FilterChar(QChar ch, int repeat, int flags);

    // atof on a text, independent of the locale.
    static double TextToDouble(const QString& text);

    // True when the text is one typing could make: a sign only in front, digits,
    // one point, at most `decimals` digits after it.
    static bool IsAcceptedText(const QString& text, int decimals);

    // Pastes the clipboard (or X11's selection): the characters a number can
    // hold are kept, the others dropped; the rest goes in whole when the text it
    // makes is one typing could make, else the paste is refused.
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

#pragma once

#include <QPushButton>

class QMenu;
class QPainter;

// A small push button showing an arrow, which can also pop up a menu at one of
// its corners.
class CMenuButton : public QPushButton
{
    Q_OBJECT

public:
    // Arrow kinds: 0 right, 1 down, 2 small right, 3 small down, 4 up, 5 left.
    explicit CMenuButton(QWidget* parent = nullptr);

    int GetArrowKind() const { return m_arrowKind; }
    void SetArrowKind(int kind);
    // Corner at which TrackMenu opens: 0 left-top, 1 left-bottom, 2 right-top, 3 right-bottom.
    int GetMenuCorner() const { return m_menuCorner; }
    void SetMenuCorner(int corner) { m_menuCorner = corner; }
    void SetFocusFrame(int flag);

    // Opens the sub-menu at the index of the menu at the chosen corner and returns
    // the command of the chosen entry (its action's data), 0 when dismissed.
    virtual int TrackMenu(QMenu* menu, int subMenuIndex);
    // The screen point at which TrackMenu opens the menu's top-left corner.
    QPoint MenuPosition() const;

    // Draws the whole button: frame, arrow and focus rectangle.
    virtual void DrawItem(QPainter* painter);

    // The button draws only its arrow: its text, without the mnemonic marks,
    // is what its tooltip shows when it was given no tooltip of its own.
    QString TextTip() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    int m_arrowKind = 0;
    int m_menuCorner = 1;
    int m_focusFrame = 1;
};

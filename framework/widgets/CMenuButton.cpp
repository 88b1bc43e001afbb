#include "CMenuButton.h"

#include <QAction>
#include <QHelpEvent>
#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QToolTip>
#include <vector>

CMenuButton::CMenuButton(QWidget* parent) : QPushButton(parent) {}

void CMenuButton::SetArrowKind(int kind)
{
    m_arrowKind = kind;
    update();
}

void CMenuButton::SetFocusFrame(int flag)
{
    m_focusFrame = flag;
    update();
}

QPoint CMenuButton::MenuPosition() const
{
    const QRect r(mapToGlobal(QPoint(0, 0)), size());
    switch (m_menuCorner) {
    case 0:
        return r.topLeft();
    case 2:
        return QPoint(r.x() + r.width(), r.y());
    case 3:
        return QPoint(r.x() + r.width(), r.y() + r.height());
    case 1:
    default:
        return QPoint(r.x(), r.y() + r.height());
    }
}

int CMenuButton::TrackMenu(QMenu* menu, int subMenuIndex)
{
    if (!menu)
        return 0;
    const QList<QAction*> entries = menu->actions();
    if (subMenuIndex < 0 || subMenuIndex >= entries.size() || !entries[subMenuIndex]->menu())
        return 0;
    QMenu* popup = entries[subMenuIndex]->menu();
    // The chosen command comes back as the result; the menu's and the actions'
    // signals are blocked so that no command is sent anywhere else.
    std::vector<QSignalBlocker> silenced;
    silenced.emplace_back(popup);
    for (QAction* action : popup->actions())
        silenced.emplace_back(action);
    QAction* chosen = popup->exec(MenuPosition());
    return chosen ? chosen->data().toInt() : 0;
}

QString CMenuButton::TextTip() const
{
    // "&&" stands for one '&'; a single '&' only marks the mnemonic.
    const QString shown = text();
    QString tip;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown.at(i) == u'&' && ++i == shown.size())
            break;
        tip += shown.at(i);
    }
    return tip;
}

bool CMenuButton::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty() && !text().isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), TextTip(), this);
        return true;
    }
    return QPushButton::event(event);
}

void CMenuButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawItem(&painter);
}

void CMenuButton::DrawItem(QPainter* painter)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    option.state &= ~QStyle::State_HasFocus;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, painter, this);

    const bool pressed = isDown();
    const bool small = m_arrowKind == 2 || m_arrowKind == 3;
    QStyle::PrimitiveElement arrow = QStyle::PE_IndicatorArrowRight;
    switch (m_arrowKind) {
    case 1:
    case 3:
        arrow = QStyle::PE_IndicatorArrowDown;
        break;
    case 4:
        arrow = QStyle::PE_IndicatorArrowUp;
        break;
    case 5:
        arrow = QStyle::PE_IndicatorArrowLeft;
        break;
    default:
        break;
    }
    const int side = qMax(4, qMin(width(), height()) / (small ? 3 : 2));
    QRect glyph(0, 0, side, side);
    glyph.moveCenter(rect().center());
    if (pressed)
        glyph.translate(1, 1);
    QStyleOption arrowOption;
    arrowOption.initFrom(this);
    arrowOption.rect = glyph;
    style()->drawPrimitive(arrow, &arrowOption, painter, this);

    if (hasFocus() && m_focusFrame) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
    }
}

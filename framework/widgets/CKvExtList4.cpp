#include "CKvExtList4.h"

#include "KvClock.h"
#include "KvUtil.h"

#include <QDateEdit>
#include <QFocusEvent>

CKvExtList4::CKvExtList4(QWidget* parent) : CKvExtList2(EditorIds{743, 744, 745, 746}, parent) {}

bool CKvExtList4::ShowOtherEditor(int kind, int row, int column, const QRect& rect, bool show)
{
    if (kind != KV_EDIT_DATE)
        return false;
    if (!m_dateEdit) {
        m_dateEdit = new QDateEdit(viewport());
        m_dateEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        m_dateEdit->setCalendarPopup(true);
        WatchEditor(m_dateEdit, Ids().date);
    }
    if (show) {
        const QDateTime parsed = ParseDate(GetItemText(row, column));
        m_dateEdit->setDate(parsed.isValid() ? parsed.date() : KvClock::Now().date());
        m_dateRow = row;
        m_dateCol = column;
    }
    PlaceEditor(m_dateEdit, rect, show);
    return true;
}

void CKvExtList4::HideOtherEditors()
{
    if (m_dateEdit)
        m_dateEdit->hide();
}

QWidget* CKvExtList4::VisibleOtherEditor() const
{
    return m_dateEdit && m_dateEdit->isVisible() ? m_dateEdit : nullptr;
}

bool CKvExtList4::OpensEditor(int kind) const
{
    return kind == KV_EDIT_DATE || CKvExtList2::OpensEditor(kind);
}

void CKvExtList4::WriteDate()
{
    if (IsValidCell(m_dateRow, m_dateCol))
        SetItemText(m_dateRow, m_dateCol, m_dateEdit->date().toString(QStringLiteral("yyyy-MM-dd")));
    m_dateRow = m_dateCol = -1;
    m_dateEdit->hide();
    viewport()->update();
}

bool CKvExtList4::eventFilter(QObject* watched, QEvent* event)
{
    if (m_dateEdit && watched == m_dateEdit && event->type() == QEvent::FocusOut) {
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason && m_dateEdit->isVisible() &&
            !FocusStaysIn(m_dateEdit))
            WriteDate();
        return false;
    }
    return CKvExtList2::eventFilter(watched, event);
}

void CKvExtList4::OnRowsShifted(int first, int delta)
{
    if (m_dateRow < first)
        return;
    m_dateRow = delta == 0 && m_dateRow == first ? -1 : m_dateRow + delta;
}

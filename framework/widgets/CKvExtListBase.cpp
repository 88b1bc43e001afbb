#include "CKvExtListBase.h"

#include "CKvObject.h"
#include "CKvOneLineValidator.h"
#include "CNumEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

constexpr int kObjectRole = Qt::UserRole;

class CKvExtListDelegate : public QStyledItemDelegate
{
public:
    explicit CKvExtListDelegate(CKvExtListBase* list) : QStyledItemDelegate(list), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_list->PaintCell(painter, option.rect, index.row(), index.column(),
                          option.state.testFlag(QStyle::State_Selected));
    }

private:
    CKvExtListBase* m_list;
};

} // namespace

void KvSetUpListView(QTableView& view)
{
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setShowGrid(false);
    view.setWordWrap(false);
    view.setTabKeyNavigation(false);
    view.setSortingEnabled(false); // the owner sorts, through the header-click callback
    view.verticalHeader()->hide();
    view.horizontalHeader()->setHighlightSections(false);
    view.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view.horizontalHeader()->setSectionsClickable(true);
}

void KvDrawRowFocusFrame(QTableView& view, int row)
{
    const QAbstractItemModel* model = view.model();
    QRect whole = view.visualRect(model->index(row, 0));
    for (int column = 1; column < model->columnCount(); ++column)
        whole = whole.united(view.visualRect(model->index(row, column)));
    QPainter painter(view.viewport());
    QStyleOptionFocusRect focus;
    focus.initFrom(&view);
    focus.rect = whole;
    view.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, &view);
}

CKvExtListBase::CKvExtListBase(const EditorIds& ids, QWidget* parent) : QTableWidget(parent), m_ids(ids)
{
    KvSetUpListView(*this);
    setItemDelegate(new CKvExtListDelegate(this));
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) { OnHeaderClick(column); });
}

CKvExtListBase::~CKvExtListBase() = default; // the row objects belong to the owner's list

// ---- report-view operations ------------------------------------------------

int CKvExtListBase::InsertColumn(int column, const QString& heading, int width)
{
    if (column < 0 || column > columnCount())
        column = columnCount();
    insertColumn(column);
    setHorizontalHeaderItem(column, new QTableWidgetItem(heading));
    if (width >= 0)
        setColumnWidth(column, width);
    // A heading is never cut, whatever width the owner asked for.
    if (!heading.isEmpty())
        setColumnWidth(column, qMax(columnWidth(column), horizontalHeader()->sectionSizeHint(column)));
    for (int row = 0; row < rowCount(); ++row)
        setItem(row, column, new QTableWidgetItem);
    if (!m_columnInfo.empty())
        m_columnInfo.insert(m_columnInfo.begin() + qMin<int>(column, int(m_columnInfo.size())), CKvColumnInfo{});
    return column;
}

int CKvExtListBase::InsertRow(int index, const QString& text, CKvObject* data)
{
    if (index < 0 || index > rowCount())
        index = rowCount();
    insertRow(index);
    for (int column = 0; column < columnCount(); ++column)
        setItem(index, column, new QTableWidgetItem);
    if (m_rowHeightSet)
        setRowHeight(index, verticalHeader()->defaultSectionSize());
    SetItemText(index, 0, text);
    SetItemData(index, data);
    // The row being edited moved down: the editor goes with its record.
    if (m_curRow >= 0 && index <= m_curRow)
        ShiftRows(index, 1);
    return index;
}

CKvObject* CKvExtListBase::GetRowObject(int row) const
{
    const QTableWidgetItem* cell = item(row, 0);
    return cell ? reinterpret_cast<CKvObject*>(cell->data(kObjectRole).value<quintptr>()) : nullptr;
}

void CKvExtListBase::SetItemData(int row, CKvObject* data)
{
    if (row < 0 || row >= rowCount() || columnCount() == 0)
        return;
    QTableWidgetItem* cell = item(row, 0);
    if (!cell) {
        cell = new QTableWidgetItem;
        setItem(row, 0, cell);
    }
    cell->setData(kObjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(data)));
}

QString CKvExtListBase::GetItemText(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void CKvExtListBase::SetItemText(int row, int column, const QString& text)
{
    if (!IsValidCell(row, column))
        return;
    QTableWidgetItem* cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        setItem(row, column, cell);
    }
    cell->setText(text);
    WidenColumnFor(column, text);
}

void CKvExtListBase::WidenColumnFor(int column, const QString& text)
{
    if (text.isEmpty() || column < 0 || column >= columnCount())
        return;
    const int needed = fontMetrics().horizontalAdvance(text) + CellTextOffset(column) + kKvCellTextMargins;
    if (columnWidth(column) < needed)
        setColumnWidth(column, needed);
}

void CKvExtListBase::DeleteItem(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    if (row == m_curRow) {
        // Its record is gone: nothing may be written into the row moving up.
        HideEditors();
        m_curRow = -1;
        OnRowsShifted(row, 0);
    }
    removeRow(row);
    if (row < m_curRow)
        ShiftRows(row, -1);
}

void CKvExtListBase::DeleteAllItems()
{
    HideEditors();
    m_curRow = -1;
    OnRowsShifted(0, 0);
    setRowCount(0);
}

void CKvExtListBase::ShiftRows(int first, int delta)
{
    m_curRow += delta;
    OnRowsShifted(first, delta);
    if (QWidget* editor = VisibleEditor())
        editor->setGeometry(CellRect(m_curRow, m_curCol));
    viewport()->update();
}

int CKvExtListBase::GetSelectedRow()
{
    int first = -1;
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    for (const QModelIndex& index : rows)
        if (first < 0 || index.row() < first)
            first = index.row();
    if (first >= 0)
        m_curRow = first;
    return first;
}

void CKvExtListBase::SelectRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    const QModelIndex index = model()->index(row, qMax(0, currentColumn()));
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CKvExtListBase::SetRowHeight(int height)
{
    if (m_rowHeightSet || height <= 0)
        return;
    m_rowHeightSet = 1;
    QHeaderView* rows = verticalHeader();
    rows->setMinimumSectionSize(qMin(rows->minimumSectionSize(), height));
    rows->setDefaultSectionSize(height);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    for (int row = 0; row < rowCount(); ++row)
        setRowHeight(row, height);
}

QSize CKvExtListBase::ContentSize(int rows) const
{
    int width = 0;
    for (int column = 0; column < columnCount(); ++column)
        width += columnWidth(column);
    const int header = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->sizeHint().height();
    const int frame = 2 * frameWidth();
    return {width + frame, header + rows * verticalHeader()->defaultSectionSize() + frame};
}

void CKvExtListBase::AllocColumnInfo()
{
    if (m_columnInfo.empty())
        m_columnInfo.assign(columnCount(), CKvColumnInfo{});
}

void CKvExtListBase::SetColumnEditor(int column, int kind, const QString& items)
{
    AllocColumnInfo();
    if (column < 0 || column >= int(m_columnInfo.size()))
        return;
    m_columnInfo[column].m_kind = kind;
    m_columnInfo[column].m_items = items;
}

void CKvExtListBase::SetHighlight(int highlight)
{
    m_highlight = highlight;
    viewport()->update();
}

void CKvExtListBase::SetFixedRow(int row)
{
    m_fixedRowFlag = row >= 0 ? 1 : 0;
    m_fixedRow = row;
}

bool CKvExtListBase::IsValidCell(int row, int column) const
{
    return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
}

QRect CKvExtListBase::CellRect(int row, int column) const
{
    return visualRect(model()->index(row, column));
}

// ---- editors ---------------------------------------------------------------

void CKvExtListBase::WatchEditor(QWidget* editor, int id)
{
    editor->setObjectName(QStringLiteral("c%1").arg(id));
    editor->hide();
    editor->installEventFilter(this);
    m_watched.push_back(editor);
}

bool CKvExtListBase::FocusStaysIn(const QWidget* editor)
{
    // The check Qt's own item delegates make: a focus change inside the
    // editor, or into a pop-up it opened (a combo's list, a calendar), is no
    // leaving. X11 also sends an ordinary focus-out when such a pop-up opens.
    const auto inside = [editor](const QWidget* widget) {
        for (; widget; widget = widget->parentWidget())
            if (widget == editor)
                return true;
        return false;
    };
    return inside(QApplication::focusWidget()) || inside(QApplication::activePopupWidget());
}

void CKvExtListBase::LeaveList(bool forward)
{
    // The editors are made on first use and so sit at the end of the focus
    // chain: Tab goes on from the list itself, as from any other control.
    HideEditors();
    focusNextPrevChild(forward);
}

void CKvExtListBase::OpenCurrentCell()
{
    int row = currentRow() >= 0 ? currentRow() : m_curRow;
    if (row < 0 || row >= rowCount())
        row = rowCount() > 0 ? 0 : -1;
    if (row < 0)
        return;
    int column = m_curCol;
    if (column < FirstEditableColumn() || column >= columnCount()) {
        // The first column that has an editor.
        column = FirstEditableColumn();
        for (int c = FirstEditableColumn(); c < int(m_columnInfo.size()); ++c) {
            if (m_columnInfo[c].m_kind != KV_EDIT_NONE) {
                column = c;
                break;
            }
        }
    }
    AllocColumnInfo();
    BeginEdit(row, column);
}

void CKvExtListBase::CreateEditors()
{
    if (m_textEdit)
        return;
    m_numEdit = new CNumEdit(viewport());
    WatchEditor(m_numEdit, m_ids.number);
    connect(m_numEdit, &QLineEdit::textChanged, this, [this](const QString& text) { WriteEditedCell(text); });
    m_textEdit = new QLineEdit(viewport());
    m_textEdit->setValidator(new CKvOneLineValidator(m_textEdit)); // a cell keeps one line, as a field does
    WatchEditor(m_textEdit, m_ids.text);
    connect(m_textEdit, &QLineEdit::textChanged, this, [this](const QString& text) { WriteEditedCell(text); });
    m_combo = new QComboBox(viewport());
    m_combo->setEditable(false);
    WatchEditor(m_combo, m_ids.combo);
    connect(m_combo, &QComboBox::currentIndexChanged, this,
            [this](int index) { WriteEditedCell(index >= 0 ? m_combo->itemText(index) : QString()); });
}

std::array<QWidget*, 3> CKvExtListBase::BaseEditors() const
{
    return {m_textEdit, m_numEdit, m_combo};
}

QWidget* CKvExtListBase::VisibleEditor() const
{
    for (QWidget* editor : BaseEditors())
        if (editor && editor->isVisible())
            return editor;
    return VisibleOtherEditor();
}

void CKvExtListBase::FillCombo(QComboBox* combo, const QString& items)
{
    combo->clear();
    combo->addItems(items.split(QLatin1Char('|'))); // empty parts are choices too
}

void CKvExtListBase::HideEditors()
{
    {
        const QScopedValueRollback<bool> busy(m_inShowEditor, true);
        // A focused editor hands the focus back to the list first, so that hiding
        // it does not send the focus elsewhere in the dialog.
        QWidget* focus = QApplication::focusWidget();
        if (focus && focus != this && isAncestorOf(focus))
            setFocus(Qt::OtherFocusReason);
        for (QWidget* editor : BaseEditors())
            if (editor)
                editor->hide();
        HideOtherEditors();
    }
    viewport()->update();
}

void CKvExtListBase::ShowEditor(int row, int column, const QRect& rect, bool show)
{
    if (!IsValidCell(row, column))
        return;
    const QScopedValueRollback<bool> busy(m_inShowEditor, true);
    CreateEditors();
    CKvColumnInfo info = column < int(m_columnInfo.size()) ? m_columnInfo[column] : CKvColumnInfo{};
    OnBeforeEdit(row, column, info);

    QWidget* chosen = nullptr;
    switch (info.m_kind) {
    case KV_EDIT_TEXT:
        chosen = m_textEdit;
        break;
    case KV_EDIT_NUMBER:
        chosen = m_numEdit;
        m_numEdit->SetDecimals(10);
        break;
    case KV_EDIT_COMBO:
        chosen = m_combo;
        m_combo->setMaxVisibleItems(qMax(1, (rect.height() + 200) / qMax(1, rect.height())));
        break;
    case KV_EDIT_NONE:
        HideEditors();
        return;
    default:
        // A kind of a derived list, or one without an editor: the editors stay as they are.
        ShowOtherEditor(info.m_kind, row, column, rect, show);
        return;
    }

    if (show) {
        // Filling the editor with the cell's text is no change of the cell.
        const QString text = GetItemText(row, column);
        const QScopedValueRollback<bool> filling(m_filling, true);
        if (chosen == m_combo) {
            FillCombo(m_combo, info.m_items);
            m_combo->setCurrentIndex(m_combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
        } else {
            static_cast<QLineEdit*>(chosen)->setText(text);
        }
    }
    PlaceEditor(chosen, rect, show);
    // The cell's text is selected, as in a field reached by Tab: what is typed
    // replaces it (a new tier's "0" is not kept in front of the typed floor).
    if (show && chosen != m_combo)
        static_cast<QLineEdit*>(chosen)->selectAll();
}

void CKvExtListBase::PlaceEditor(QWidget* chosen, const QRect& rect, bool show)
{
    chosen->setGeometry(rect);
    if (show) {
        // The chosen editor takes the focus before the others are hidden, so
        // that the focus never leaves the list on the way.
        chosen->show();
        chosen->raise();
        chosen->setFocus(Qt::OtherFocusReason);
    }
    const std::array<QWidget*, 3> base = BaseEditors();
    for (QWidget* editor : base)
        if (editor && editor != chosen)
            editor->hide();
    if (std::find(base.begin(), base.end(), chosen) != base.end())
        HideOtherEditors();
    if (!show) {
        if (chosen->hasFocus())
            setFocus(Qt::OtherFocusReason);
        chosen->hide();
    }
}

bool CKvExtListBase::ShowOtherEditor(int, int, int, const QRect&, bool)
{
    return false;
}

void CKvExtListBase::WriteEditedCell(const QString& text)
{
    if (m_filling || !IsValidCell(m_curRow, m_curCol))
        return;
    const int row = m_curRow;
    const int column = m_curCol;
    const QString previous = GetItemText(row, column);
    SetItemText(row, column, text);
    OnCellChanged(row, column, previous);
}

void CKvExtListBase::BeginEdit(int row, int column)
{
    if (!IsValidCell(row, column) || column < FirstEditableColumn())
        return;
    m_curRow = row;
    m_curCol = column;
    scrollTo(model()->index(row, column));
    SelectRow(row);
    ShowEditor(row, column, CellRect(row, column), CanShowEditor(row, column));
}

void CKvExtListBase::MoveEditCell(int key)
{
    const int rows = rowCount();
    const int columns = columnCount();
    const int first = FirstEditableColumn();
    const int span = columns - first;
    if (rows <= 0 || span <= 0)
        return;
    int row = qBound(0, m_curRow, rows - 1);
    int column = qBound(first, m_curCol, columns - 1) - first;
    switch (key) {
    case Qt::Key_Left:
        column = (span + column - 1) % span;
        break;
    case Qt::Key_Right:
        column = (column + 1) % span;
        break;
    case Qt::Key_Up:
        row = (rows + row - 1) % rows;
        break;
    case Qt::Key_Down:
        row = (row + 1) % rows;
        break;
    default:
        return;
    }
    BeginEdit(row, column + first);
}

bool CKvExtListBase::IsEditableCell(int row, int column)
{
    if (!IsValidCell(row, column) || column < FirstEditableColumn() || !CanShowEditor(row, column))
        return false;
    CKvColumnInfo info = column < int(m_columnInfo.size()) ? m_columnInfo[column] : CKvColumnInfo{};
    OnBeforeEdit(row, column, info);
    return OpensEditor(info.m_kind);
}

bool CKvExtListBase::OpensEditor(int kind) const
{
    return kind == KV_EDIT_TEXT || kind == KV_EDIT_NUMBER || kind == KV_EDIT_COMBO;
}

void CKvExtListBase::StepEditCell(bool forward)
{
    // The cells in reading order from the one being edited: the first one on
    // that opens an editor takes the edit; past the last (or before the first)
    // the focus goes on to the control after (or before) the list.
    const int columns = columnCount();
    const int cells = rowCount() * columns;
    const int step = forward ? 1 : -1;
    int cell = IsValidCell(m_curRow, m_curCol) ? m_curRow * columns + m_curCol : (forward ? -1 : cells);
    for (cell += step; cell >= 0 && cell < cells; cell += step) {
        if (IsEditableCell(cell / columns, cell % columns)) {
            BeginEdit(cell / columns, cell % columns);
            return;
        }
    }
    LeaveList(forward);
}

void CKvExtListBase::OnClick(const QPoint& pos)
{
    m_clickFlag = 1;
    int row;
    if (m_fixedRowFlag) {
        row = m_fixedRow;
        SelectRow(row);
    } else {
        row = GetSelectedRow();
    }
    if (row < 0 || row >= rowCount())
        return;
    AllocColumnInfo();
    const int column = columnAt(pos.x());
    if (column < 0)
        return;
    m_curRow = row;
    m_curCol = column;
    OnCellClick(row, column);
}

void CKvExtListBase::OnCellClick(int row, int column)
{
    ShowEditor(row, column, CellRect(row, column), true);
    SelectRow(row);
}

// ---- hooks -----------------------------------------------------------------

void CKvExtListBase::OnBeforeEdit(int, int, CKvColumnInfo&) {}

void CKvExtListBase::OnCellChanged(int, int, const QString&) {}

void CKvExtListBase::OnCellColour(CKvCellDC&, int, int) const {}

bool CKvExtListBase::CanShowEditor(int, int) const
{
    return true;
}

int CKvExtListBase::CellTextOffset(int) const
{
    return 0;
}

void CKvExtListBase::PaintCellDecoration(QPainter*, const QRect&, int, int) const {}

void CKvExtListBase::OnHeaderClick(int) {}

// ---- events ----------------------------------------------------------------

bool CKvExtListBase::eventFilter(QObject* watched, QEvent* event)
{
    if (std::find(m_watched.begin(), m_watched.end(), watched) == m_watched.end())
        return QTableWidget::eventFilter(watched, event);
    const bool isBaseEditor = watched == m_textEdit || watched == m_numEdit || watched == m_combo;
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers();
        const bool arrow = key->key() == Qt::Key_Left || key->key() == Qt::Key_Right || key->key() == Qt::Key_Up ||
                           key->key() == Qt::Key_Down;
        const bool plain = !(modifiers & (Qt::ControlModifier | Qt::AltModifier));
        if (isBaseEditor && arrow && !modifiers.testFlag(Qt::ControlModifier)) {
            MoveEditCell(key->key());
            return true;
        }
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && plain) {
            StepEditCell(key->key() == Qt::Key_Tab && !modifiers.testFlag(Qt::ShiftModifier));
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && plain) {
            // Enter ends the cell edit (the cell holds every change already)
            // and stays in the list: it never reaches the dialog's default button.
            HideEditors();
            return true;
        }
        if (key->key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
            // Every change is in the cell already: Escape only hands the keys
            // back to the list (a second one reaches the dialog).
            HideEditors();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && isBaseEditor) {
        auto* focus = static_cast<QFocusEvent*>(event);
        auto* editor = static_cast<QWidget*>(watched);
        if (focus->reason() != Qt::PopupFocusReason && !m_inShowEditor && !FocusStaysIn(editor)) {
            editor->hide();
            viewport()->update();
        }
    }
    return QTableWidget::eventFilter(watched, event);
}

void CKvExtListBase::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (plain && (key == Qt::Key_F2 || enter) && !VisibleEditor()) {
        OpenCurrentCell();
        // A row without a cell editor: Enter does what a double-click on it does.
        const int row = currentRow();
        if (enter && !VisibleEditor() && row >= 0)
            emit cellDoubleClicked(row, qMax(0, currentColumn()));
        return;
    }
    if (plain && key == Qt::Key_Space && OnSpaceKey())
        return;
    QTableWidget::keyPressEvent(event);
}

bool CKvExtListBase::OnSpaceKey()
{
    return false;
}

void CKvExtListBase::focusInEvent(QFocusEvent* event)
{
    QTableWidget::focusInEvent(event);
    // The row the focus frame stands on is the selected one, so that a command
    // on "the selected row" and the first arrow key start from what is shown.
    // A click selects its own row.
    if (event->reason() != Qt::MouseFocusReason && rowCount() > 0 && selectionModel() &&
        !selectionModel()->hasSelection())
        SelectRow(currentRow() >= 0 ? currentRow() : 0);
    if (m_inShowEditor)
        return;
    const bool byKey = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (m_clickFlag) {
        // A click's own focus-in arrives before the click is handled, so the
        // flag may still stand when the user comes back by Tab.
        m_clickFlag = 0;
        if (!byKey)
            return;
    }
    if (event->reason() == Qt::MouseFocusReason)
        return; // the click that brought the focus opens its own cell
    if (IsValidCell(m_curRow, m_curCol) && m_curCol >= FirstEditableColumn())
        ShowEditor(m_curRow, m_curCol, CellRect(m_curRow, m_curCol), CanShowEditor(m_curRow, m_curCol));
}

void CKvExtListBase::mouseReleaseEvent(QMouseEvent* event)
{
    QTableWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        OnClick(event->position().toPoint());
}

void CKvExtListBase::scrollContentsBy(int dx, int dy)
{
    if (IsValidCell(m_curRow, m_curCol) && VisibleEditor())
        ShowEditor(m_curRow, m_curCol, CellRect(m_curRow, m_curCol), false);
    QTableWidget::scrollContentsBy(dx, dy);
}

// ---- drawing ---------------------------------------------------------------

void CKvExtListBase::PaintCell(QPainter* painter, const QRect& rect, int row, int column, bool selected) const
{
    const QPalette system = QApplication::palette();
    CKvCellDC dc{system.color(QPalette::Active, QPalette::Text), system.color(QPalette::Active, QPalette::Base)};
    OnCellColour(dc, row, column);
    const bool highlighted = selected && m_highlight;
    if (highlighted) {
        dc.m_text = system.color(QPalette::Active, QPalette::HighlightedText);
        dc.m_background = system.color(QPalette::Active, QPalette::Highlight);
    }

    painter->save();
    painter->setClipRect(rect);
    painter->fillRect(rect, dc.m_background);
    PaintCellDecoration(painter, rect, row, column);
    KvDrawListCellText(painter, rect, GetItemText(row, column), dc.m_text, highlighted, CellTextOffset(column));
    painter->restore();
}

void KvDrawListCellText(QPainter* painter, const QRect& rect, const QString& text, const QColor& colour,
                        bool highlighted, int textOffset)
{
    const QRect textRect = rect.adjusted(2 + textOffset, 0, -2, 0);
    painter->setPen(colour);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    // Grid: the cell's right edge, and the row's bottom line.
    painter->setPen(highlighted ? QColor(Qt::white) : QColor(Qt::black));
    painter->drawLine(rect.right(), rect.bottom(), rect.right(), rect.top() - 1);
    painter->setPen(Qt::black);
    painter->drawLine(rect.left(), rect.bottom(), rect.right() - 1, rect.bottom());
}

void CKvExtListBase::paintEvent(QPaintEvent* event)
{
    QTableWidget::paintEvent(event);
    const int row = currentRow();
    if (!m_highlight || !hasFocus() || row < 0 || columnCount() == 0)
        return;
    KvDrawRowFocusFrame(*this, row);
}

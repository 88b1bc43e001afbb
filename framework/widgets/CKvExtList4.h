#pragma once

#include "CKvExtList2.h"

class QDateEdit;

// CKvExtList2 with a fourth editor: kind 4 edits a date with a date picker.
// The date is written into the cell ("yyyy-MM-dd") when the picker loses the
// focus; no change callback is made for it.
class CKvExtList4 : public CKvExtList2
{
    Q_OBJECT

public:
    explicit CKvExtList4(QWidget* parent = nullptr);

    QDateEdit* GetDateEditor() const { return m_dateEdit; }

protected:
    bool ShowOtherEditor(int kind, int row, int column, const QRect& rect, bool show) override;
    void HideOtherEditors() override;
    QWidget* VisibleOtherEditor() const override;
    bool OpensEditor(int kind) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void OnRowsShifted(int first, int delta) override;

private:
    void WriteDate();

    QDateEdit* m_dateEdit = nullptr;
    int m_dateRow = -1; // the cell the picker was opened on
    int m_dateCol = -1;
};

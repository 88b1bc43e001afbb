#pragma once

#include "CKvDialog.h"

#include <QDateTime>
#include <QString>

class CNumEdit;
class QDateEdit;
class QLineEdit;

// The small editor of a fixed-fee item (dialog 216): its first day and
// quantity when an item is set up or changed ("设置定额收费项"), its last day
// when it is stopped (any other caption, in practice "取消定额收费项").
class CCliFixEditDlg : public CKvDialog
{
    Q_OBJECT

public:
    CCliFixEditDlg(QWidget* parent, const QString& caption);

    bool IsSetUpMode() const { return m_setUp; }

    // Set by the caller before the dialog runs, read after OK.
    QString m_Units; // the quantity text
    QDateTime m_BeginDate;
    QDateTime m_EndDate;
    QString m_ItemName;

    bool OnInitDialog() override;

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    // Refuses an empty quantity.
    void OnOK() override;

private:
    bool m_setUp;
    QDateEdit* m_endEdit;   // 1294
    QDateEdit* m_beginEdit; // 1069
    CNumEdit* m_unitsEdit;  // 1202
    QLineEdit* m_nameEdit;  // 1066
};

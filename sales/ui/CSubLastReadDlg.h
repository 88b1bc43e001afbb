#pragma once

#include "CKvDialog.h"

#include <QDateTime>
#include <QString>

class QDateTimeEdit;
class QLineEdit;

// The last reading of one sub-meter, asked for when an archive is rewritten
// from a card (修复档案): reading date, pulse count and reading. The caller
// sets the sub-meter number; OK requires the reading and the pulse count,
// each a number of its range.
class CSubLastReadDlg : public CKvDialog
{
    Q_OBJECT

public:
    CSubLastReadDlg(QWidget* parent, const QString& caption);

    bool OnInitDialog() override;

    QDateTime m_LastReadDate; // 1276
    QString m_strLastPulses;  // 1271
    QString m_strLastRead;    // 1187
    QString m_strSubNo;       // 1185, read-only

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    QDateTimeEdit* m_date;
    QLineEdit* m_pulses;
    QLineEdit* m_read;
    QLineEdit* m_subNo;
};

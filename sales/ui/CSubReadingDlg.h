#pragma once

#include "CKvDialog.h"

#include <QDateTime>
#include <QString>

class CNumEdit;
class QDateTimeEdit;
class QLineEdit;

// A sub-meter reading typed in at a sale (输入附表读数): this reading and its
// date. The caller sets the sub-meter number and the last reading; OK needs
// this reading, a number of its range.
class CSubReadingDlg : public CKvDialog
{
    Q_OBJECT

public:
    CSubReadingDlg(QWidget* parent, const QString& caption = QStringLiteral("输入附表读数"));

    bool OnInitDialog() override;

    QString m_strThisRead; // 1202
    QDateTime m_ReadDate;  // 1278, now when made
    QString m_strSubNo;    // 1185, read-only
    QString m_strLastRead; // 1161, read-only

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    CNumEdit* m_thisRead;
    QDateTimeEdit* m_date;
    QLineEdit* m_subNo;
    CNumEdit* m_lastRead;
};

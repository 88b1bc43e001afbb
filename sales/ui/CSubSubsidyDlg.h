#pragma once

#include "CKvDialog.h"

#include <QDateTime>
#include <QString>

class CNumEdit;
class QDateTimeEdit;
class QLineEdit;

// The subsidy of one sub-meter reading at a sale (输入补助量): it shows the
// reading and proposes persons x days x the rate per person and day, which an
// operator with the subsidy right may change. The caller sets everything but
// the subsidy, the rate and the days.
class CSubSubsidyDlg : public CKvDialog
{
    Q_OBJECT

public:
    CSubSubsidyDlg(QWidget* parent, const QString& caption = QStringLiteral("输入补助量"));

    bool OnInitDialog() override;

    QString m_strSubsidy;     // 1190
    QString m_strLastRead;    // 1187
    QString m_strUse;         // 1189
    QString m_strThisRead;    // 1188
    QDateTime m_LastReadDate; // 1194
    QDateTime m_ThisReadDate; // 1195
    QString m_strRate;        // 1196
    QString m_strDays;        // 1197
    QString m_strPersons;     // 1198
    QString m_strSubNo;       // 1185

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    CNumEdit* m_subsidy;
    QLineEdit* m_lastRead;
    QLineEdit* m_use;
    QLineEdit* m_thisRead;
    QDateTimeEdit* m_lastDate;
    QDateTimeEdit* m_thisDate;
    QLineEdit* m_rate;
    QLineEdit* m_days;
    QLineEdit* m_persons;
    QLineEdit* m_subNo;
};

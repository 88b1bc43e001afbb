#pragma once

#include "CKvObjectList.h"

#include <QString>

// The kinds by which a report cell is formatted.
inline const QString KV_CHAR = QStringLiteral("KV_CHAR");   // text
inline const QString KV_LONG = QStringLiteral("KV_LONG");   // whole number
inline const QString KV_FLOAT = QStringLiteral("KV_FLOAT"); // decimal number
inline const QString KV_DT = QStringLiteral("KV_DT");       // date and time
inline const QString KV_D = QStringLiteral("KV_D");         // date

// One column a report may print: the caption the user sees (and the heading a
// stored layout keeps), the result column that holds the value, its kind,
// whether the summary row adds it up, and the decimals of a decimal number.
class CReportField : public CKvObject
{
public:
    CReportField() = default;

    QString GetCaption() const { return m_caption; }
    QString GetColumnName() const { return m_columnName; }
    QString GetType() const { return m_type; }
    QString GetSummed() const { return m_summed; }
    bool IsSummed() const { return m_summed == QStringLiteral("是"); }
    bool IsNumeric() const { return m_type == KV_LONG || m_type == KV_FLOAT; }
    int GetDecimals() const { return m_decimals; }

    void SetCaption(const QString& value) { m_caption = value; }
    void SetColumnName(const QString& value) { m_columnName = value; }
    void SetType(const QString& value) { m_type = value; }
    void SetSummed(const QString& value) { m_summed = value; }
    void SetDecimals(int value) { m_decimals = value; }

private:
    QString m_caption;
    QString m_columnName;
    QString m_type;
    QString m_summed = QStringLiteral("否");
    int m_decimals = 0;
};

// One field catalogue, in its fixed order.
class CReportFieldList : public CKvObjectList
{
public:
    // A catalogue is filled in code: loading reads nothing.
    QList<CKvObject*>& Load(const QString&) override { return GetObList(); }

    // Appends a field; the caller sets summed and decimals on it.
    CReportField* Add(const QString& caption, const QString& columnName, const QString& type);
    // The first field with exactly this caption, or null.
    CReportField* FindByCaption(const QString& caption) const;
    CReportField* At(int index) const { return static_cast<CReportField*>(GetObList().at(index)); }
};

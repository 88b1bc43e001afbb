#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QString>
#include <QStringList>

// A price type beyond the four built into the program (table PriceType), with
// the heading its reports carry. The database numbers the rows.
class CPriceType : public CKvPersistance
{
public:
    CPriceType() = default;

    // The four types every price may have without a row of the table.
    static QStringList BuiltInTypes();

    // Inserts; no key is drawn and the database's key is not read back.
    void InsertNew() override;
    void Insert() override;
    void Delete() override;
    void Update() override;

    int GetTypeIndex() const { return m_TypeIndex; }
    QString GetPriceType() const { return m_PriceType; }
    QString GetReportTitle() const { return m_ReportTitle; }
    void SetTypeIndex(int value) { m_TypeIndex = value; }
    void SetPriceType(const QString& value) { m_PriceType = value; }
    void SetReportTitle(const QString& value) { m_ReportTitle = value; }

private:
    int m_TypeIndex = -1;
    QString m_PriceType;
    QString m_ReportTitle;
};

class CPriceTypeList : public CKvRecordList<CPriceType>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    // In the order the database returns them.
    QList<CKvObject*>& LoadAll();
};

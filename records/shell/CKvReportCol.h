#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QString>

// One printed column of a stored report layout (table KvReportCol). The
// heading is also the caption of a catalogue field: that is how a column finds
// the field that formats it. ColIndex is an auto-number the program never writes.
class CKvReportCol : public CKvPersistance
{
public:
    CKvReportCol() = default;

    // The key is the table's own: InsertNew is Insert.
    void InsertNew() override;
    void Insert() override;
    void Delete() override;
    // A column is never updated: a layout is saved by replacing its columns.
    void Update() override {}

    int GetColIndex() const { return m_ColIndex; }
    int GetReportId() const { return m_ReportId; }
    QString GetColHeader() const { return m_ColHeader; }
    int GetColX() const { return m_ColX; }
    int GetColWidth() const { return m_ColWidth; }

    void SetColIndex(int value) { m_ColIndex = value; }
    void SetReportId(int value) { m_ReportId = value; }
    void SetColHeader(const QString& value) { m_ColHeader = value; }
    void SetColX(int value) { m_ColX = value; }
    void SetColWidth(int value) { m_ColWidth = value; }

private:
    int m_ColIndex = 0;
    int m_ReportId = -1;
    QString m_ColHeader;
    int m_ColX = -1;
    int m_ColWidth = 0;
};

// The columns of one layout, always in print order.
class CKvReportColList : public CKvRecordList<CKvReportCol>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    QList<CKvObject*>& LoadByReport(int reportId);

    // True when some column has exactly this heading.
    bool HasColumn(const QString& heading) const;

    // Removes every column row of a layout; runs inside the caller's transaction.
    static void DeleteByReport(int reportId);
};

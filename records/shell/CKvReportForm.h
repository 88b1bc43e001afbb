#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QList>
#include <QString>
#include <QStringList>

class CKvReportColList;

// What the report setup dialog hands back after OK: the paper, the six size
// and margin texts as typed (0.1 mm) and the chosen columns in print order.
struct CKvReportLayoutChoice
{
    int paperIndex = 0;
    QString paperLength;
    QString paperWidth;
    QString leftOffset;
    QString rightOffset;
    QString topOffset;
    QString bottomOffset;
    QStringList headings;
    QList<int> widths;
};

// A stored report layout (table KvReportForm): paper, margins and, in
// KvReportCol, the printed columns. The database ships one row per report
// type; the program only updates them.
class CKvReportForm : public CKvPersistance
{
public:
    CKvReportForm() = default;

    // Draws ReportId from the counter ReportIndex of the main parameters
    // (where the layouts are), then inserts.
    void InsertNew() override;
    void Insert() override;
    // Removes the layout row only; its columns stay.
    void Delete() override;
    // Never rewrites ReportType, by which the layout is found.
    void Update() override;

    // The layout's columns in print order, loaded into `columns`. A layout that
    // was never stored (ReportId -1) throws the empty text.
    QList<CKvObject*>& LoadColumns(CKvReportColList& columns) const;

    // Stores the choice of the setup dialog in one transaction on the main
    // connection: the columns are replaced (positions 0, 1, 2 ... without
    // gaps), the row takes the report's name and type, "否" for bHPaper and the
    // paper and margins (a text that is no number stores 0). On any failure
    // nothing is changed and the failure is passed on.
    void SaveLayout(const QString& reportName, const QString& reportType, const CKvReportLayoutChoice& choice);

    int GetReportId() const { return m_ReportId; }
    QString GetReportName() const { return m_ReportName; }
    QString GetReportType() const { return m_ReportType; }
    QString GetHPaper() const { return m_bHPaper; }
    int GetPaperSize() const { return m_PaperSize; }
    int GetPaperLength() const { return m_PaperLength; }
    int GetPaperWidth() const { return m_PaperWidth; }
    int GetLeftOffset() const { return m_LeftOffset; }
    int GetRightOffset() const { return m_RightOffset; }
    int GetTopOffset() const { return m_TopOffset; }
    int GetBottomOffset() const { return m_BottomOffset; }

    void SetReportId(int value) { m_ReportId = value; }
    void SetReportName(const QString& value) { m_ReportName = value; }
    void SetReportType(const QString& value) { m_ReportType = value; }
    void SetHPaper(const QString& value) { m_bHPaper = value; }
    void SetPaperSize(int value) { m_PaperSize = value; }
    void SetPaperLength(int value) { m_PaperLength = value; }
    void SetPaperWidth(int value) { m_PaperWidth = value; }
    void SetLeftOffset(int value) { m_LeftOffset = value; }
    void SetRightOffset(int value) { m_RightOffset = value; }
    void SetTopOffset(int value) { m_TopOffset = value; }
    void SetBottomOffset(int value) { m_BottomOffset = value; }

private:
    int m_ReportId = -1;
    QString m_ReportName;
    QString m_ReportType;
    QString m_bHPaper = QStringLiteral("否");
    int m_PaperSize = 0;
    int m_PaperLength = 0;
    int m_PaperWidth = 0;
    int m_LeftOffset = 0;
    int m_RightOffset = 0;
    int m_TopOffset = 0;
    int m_BottomOffset = 0;
};

// The layouts of one report type, lowest ReportId first.
class CKvReportFormList : public CKvRecordList<CKvReportForm>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    QList<CKvObject*>& LoadByType(const QString& reportType);

    // The layout of a report: the first stored layout of its type. With none,
    // shows "报表格式类型错误！" and returns null; the caller then opens nothing.
    CKvReportForm* LoadLayout(const QString& reportType);
};

#include "CKvReportForm.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CKvReportCol.h"
#include "CSysPara.h"
#include "KvMessage.h"
#include "KvReportText.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

void CKvReportForm::InsertNew()
{
    // Drawn where the layouts live: the main database. In the network edition
    // the layouts are on the server, shared by every counter, and a counter's
    // own ReportIndex would give two counters the same key.
    m_ReportId = GetMainSysPara()->GetIntPara(QStringLiteral("ReportIndex"), 1);
    Insert();
}

void CKvReportForm::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into KvReportForm(ReportId, ReportName, ReportType, bHPaper, PaperSize, "
                                   "\t\tPaperLength, PaperWidth, LeftOffset, RightOffset, TopOffset, BottomOffset) "
                                   "\t\tvalues(%d, '%s', '%s', '%s', %d, %d, %d, %d, %d, %d, %d)"),
                    m_ReportId, m_ReportName, m_ReportType, m_bHPaper, m_PaperSize, m_PaperLength, m_PaperWidth,
                    m_LeftOffset, m_RightOffset, m_TopOffset, m_BottomOffset),
        QStringLiteral("向数据库增加报表格式时发生错误！"));
    SetState(StateStored);
}

void CKvReportForm::Delete()
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from KvReportForm where ReportId = %d"), m_ReportId),
                               QStringLiteral("从数据库删除报表格式时发生错误！"));
}

void CKvReportForm::Update()
{
    const QString failure = QStringLiteral("向数据库更新报表格式时发生错误！");
    const int changed = GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("update KvReportForm set ReportName = '%s', bHPaper = '%s', "
                                   "\t\tPaperSize = %d, PaperLength = %d, PaperWidth = %d, LeftOffset = %d, "
                                   "\t\tRightOffset = %d, TopOffset = %d, BottomOffset = %d where ReportId = %d"),
                    m_ReportName, m_bHPaper, m_PaperSize, m_PaperLength, m_PaperWidth, m_LeftOffset, m_RightOffset,
                    m_TopOffset, m_BottomOffset, m_ReportId),
        failure);
    // A layout whose row has gone would otherwise be "saved" into nothing.
    if (changed < 1)
        throw CKvException(failure);
    SetState(StateStored);
}

QList<CKvObject*>& CKvReportForm::LoadColumns(CKvReportColList& columns) const
{
    if (m_ReportId == -1)
        throw CKvException(QString());
    return columns.LoadByReport(m_ReportId);
}

void CKvReportForm::SaveLayout(const QString& reportName, const QString& reportType,
                               const CKvReportLayoutChoice& choice)
{
    // The record keeps its old values when the save fails.
    const CKvReportForm before = *this;
    const int state = GetState();
    try {
        CAdoTransaction transaction(*GetMainDatabase());
        CKvReportColList::DeleteByReport(m_ReportId);
        m_bHPaper = QStringLiteral("否");
        m_ReportName = reportName;
        m_ReportType = reportType;
        m_PaperSize = choice.paperIndex;
        m_PaperLength = KvAtoi(choice.paperLength);
        m_PaperWidth = KvAtoi(choice.paperWidth);
        m_LeftOffset = KvAtoi(choice.leftOffset);
        m_RightOffset = KvAtoi(choice.rightOffset);
        m_TopOffset = KvAtoi(choice.topOffset);
        m_BottomOffset = KvAtoi(choice.bottomOffset);
        SetState(StateChanged);
        Save();
        for (int i = 0; i < choice.headings.size(); ++i) {
            CKvReportCol column;
            column.SetReportId(m_ReportId);
            column.SetColHeader(choice.headings.at(i));
            column.SetColX(i);
            column.SetColWidth(choice.widths.value(i));
            column.Save();
        }
        transaction.Commit();
    } catch (...) {
        *this = before;
        SetState(state);
        throw;
    }
}

QList<CKvObject*>& CKvReportFormList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto form = std::make_unique<CKvReportForm>();
        form->SetReportId(rs.GetFieldInt(QStringLiteral("ReportId")));
        form->SetReportName(rs.GetFieldString(QStringLiteral("ReportName")));
        form->SetReportType(rs.GetFieldString(QStringLiteral("ReportType")));
        form->SetHPaper(rs.GetFieldString(QStringLiteral("bHPaper")));
        form->SetPaperSize(rs.GetFieldInt(QStringLiteral("PaperSize")));
        form->SetPaperLength(rs.GetFieldInt(QStringLiteral("PaperLength")));
        form->SetPaperWidth(rs.GetFieldInt(QStringLiteral("PaperWidth")));
        form->SetLeftOffset(rs.GetFieldInt(QStringLiteral("LeftOffset")));
        form->SetRightOffset(rs.GetFieldInt(QStringLiteral("RightOffset")));
        form->SetTopOffset(rs.GetFieldInt(QStringLiteral("TopOffset")));
        form->SetBottomOffset(rs.GetFieldInt(QStringLiteral("BottomOffset")));
        return form.release();
    });
}

QList<CKvObject*>& CKvReportFormList::LoadByType(const QString& reportType)
{
    return Load(KvFormatSql(QStringLiteral("select * from KvReportForm where ReportType = '%s'\t\torder by ReportId"),
                            reportType));
}

CKvReportForm* CKvReportFormList::LoadLayout(const QString& reportType)
{
    LoadByType(reportType);
    auto* layout = static_cast<CKvReportForm*>(GetHead());
    if (!layout)
        PromptBox(QStringLiteral("报表格式类型错误！"));
    return layout;
}

#include "CProgReadArchiveDlg.h"

#include "CKvExtList2.h"
#include "CPulseReadingArchive.h"
#include "CSubRaw.h"

CProgReadArchiveDlg::CProgReadArchiveDlg(QWidget* parent, const QString& caption, CSubRawList* staged)
    : CSubRawListDlg({163, 1034, 1050}, parent, caption, staged,
                     {QStringLiteral("主表编号"), QStringLiteral("附表编号"), QStringLiteral("脉冲计数"),
                      QStringLiteral("抄表日期")},
                     QStringLiteral("请选择抄表记录！"))
{
}

QString CProgReadArchiveDlg::FillRow(int row, CSubRaw* raw)
{
    // Card numbers stay as staged here.
    m_list->SetItemText(row, 1, raw->GetSubX());
    m_list->SetItemText(row, 2, QString::number(raw->GetReadPulses()));
    m_list->SetItemText(row, 3, raw->GetReadDate().toString(QStringLiteral("yyyy-MM-dd")));
    return raw->GetMeterNo();
}

void CProgReadArchiveDlg::OnArchive()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    if (CPulseReadingArchive::ArchiveRow(*m_staged, RowRecord(row), this) == CPulseReadingArchive::Written)
        m_list->DeleteItem(row);
}

bool CProgReadArchiveDlg::ArchiveRow(int row)
{
    CSubRaw* raw = RowRecord(row);
    if (!raw) // archived earlier in this run
        return true;
    if (CPulseReadingArchive::ArchiveRow(*m_staged, raw, this) != CPulseReadingArchive::Written)
        return false;
    m_list->SetItemData(row, nullptr); // freed with its staged record
    return true;
}

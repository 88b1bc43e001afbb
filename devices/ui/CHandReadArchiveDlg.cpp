#include "CHandReadArchiveDlg.h"

#include "CHandReadArchive.h"
#include "CHandReadRaw.h"
#include "CKvExtList2.h"

CHandReadArchiveDlg::CHandReadArchiveDlg(QWidget* parent, const QString& caption, CHandReadRawList* staged)
    : CStagedArchiveDlg({201, 1139, 1050}, parent, caption, staged,
                        {QStringLiteral("电表编号"), QStringLiteral("累计购电"), QStringLiteral("累计用电"),
                         QStringLiteral("累计剩余"), QStringLiteral("抄表时间")},
                        QStringLiteral("请选择抄表记录！")),
      m_staged(staged)
{
    resize(640, 420);
}

void CHandReadArchiveDlg::FillList()
{
    m_list->DeleteAllItems();
    int row = 0;
    for (CKvObject* object : m_staged->GetObList()) {
        auto* raw = static_cast<CHandReadRaw*>(object);
        m_list->InsertRow(row, raw->GetMeterNo(), raw);
        m_list->SetItemText(row, 1, QString::number(raw->GetAccuBuy()));
        m_list->SetItemText(row, 2, QString::asprintf("%0.2f", raw->GetAccuUse()));
        m_list->SetItemText(row, 3, QString::asprintf("%0.2f", raw->GetAccuRemain()));
        m_list->SetItemText(row, 4, raw->GetReadTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        ++row;
    }
}

bool CHandReadArchiveDlg::ArchiveRow(int row)
{
    auto* raw = static_cast<CHandReadRaw*>(m_list->GetRowObject(row));
    if (!raw) // archived or deleted earlier in this command
        return true;
    // The staged record's own figures, not the list's rounded texts.
    if (CHandReadArchive::ArchiveRow(*m_staged, raw, this))
        m_list->SetItemData(row, nullptr);
    return true;
}

#include "CSubRawListDlg.h"

#include "CKvExtList2.h"
#include "CSubRaw.h"

CSubRawListDlg::CSubRawListDlg(const Ids& ids, QWidget* parent, const QString& caption, CSubRawList* staged,
                               QStringList headers, QString noSelectionText)
    : CStagedArchiveDlg(ids, parent, caption, staged, std::move(headers), std::move(noSelectionText)), m_staged(staged)
{
    resize(620, 400);
}

void CSubRawListDlg::FillList()
{
    m_list->DeleteAllItems();
    int row = 0;
    for (CKvObject* object : m_staged->GetObList()) {
        auto* raw = static_cast<CSubRaw*>(object);
        m_list->InsertRow(row, QString(), raw);
        m_list->SetItemText(row, 0, FillRow(row, raw));
        ++row;
    }
}

CSubRaw* CSubRawListDlg::RowRecord(int row) const
{
    return static_cast<CSubRaw*>(m_list->GetRowObject(row));
}

void CSubRawListDlg::DeleteRecord(CKvPersistance* record)
{
    m_staged->Remove(static_cast<CSubRaw*>(record));
}

#include "CHandSaleArchiveDlg.h"

#include "CHandRaw.h"
#include "CHandSaleArchive.h"
#include "CKvExtList2.h"
#include "KvUtil.h"

CHandSaleArchiveDlg::CHandSaleArchiveDlg(QWidget* parent, const QString& caption, CHandRawList* staged)
    : CStagedArchiveDlg({196, 1139, 1050}, parent, caption, staged,
                        {QStringLiteral("电表编号"), QStringLiteral("写卡次数"), QStringLiteral("写卡度数"),
                         QStringLiteral("累计买电"), QStringLiteral("累计用电"), QStringLiteral("写卡方式"),
                         QStringLiteral("写卡时间")},
                        QStringLiteral("请选择售电记录！")),
      m_staged(staged)
{
    resize(760, 420);
}

CHandSaleArchiveDlg::~CHandSaleArchiveDlg()
{
    delete m_archive;
}

bool CHandSaleArchiveDlg::OnInitDialog()
{
    if (!m_archive)
        m_archive = new CHandSaleArchive;
    return CStagedArchiveDlg::OnInitDialog();
}

void CHandSaleArchiveDlg::FillList()
{
    m_list->DeleteAllItems();
    int row = 0;
    for (CKvObject* object : m_staged->GetObList()) {
        auto* raw = static_cast<CHandRaw*>(object);
        m_list->InsertRow(row, raw->GetMeterNo(), raw);
        m_list->SetItemText(row, 1, QString::number(raw->GetWrtNum()));
        m_list->SetItemText(row, 2, QString::number(raw->GetWrtValue()));
        m_list->SetItemText(row, 3, QString::number(raw->GetAccuBuy()));
        m_list->SetItemText(row, 4, QString::asprintf("%0.1f", raw->GetAccuUse()));
        m_list->SetItemText(row, 5, raw->GetOpMode());
        m_list->SetItemText(row, 6, raw->GetWrtTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        ++row;
    }
}

bool CHandSaleArchiveDlg::ArchiveRow(int row)
{
    auto* raw = static_cast<CHandRaw*>(m_list->GetRowObject(row));
    if (!raw) // archived or deleted earlier in this command
        return true;
    // The figures as the list shows them: the use with one decimal.
    CHandSaleArchive::Values values;
    values.wrtNum = m_list->GetItemText(row, 1).toInt();
    values.wrtValue = m_list->GetItemText(row, 2).toInt();
    values.accuBuy = m_list->GetItemText(row, 3).toInt();
    values.accuUse = m_list->GetItemText(row, 4).toDouble();
    values.wrtTime = ParseDate(m_list->GetItemText(row, 6));
    const CHandSaleArchive::Result result = m_archive->ArchiveRow(*m_staged, raw, values, this);
    if (result == CHandSaleArchive::Archived)
        m_list->SetItemData(row, nullptr);
    return result != CHandSaleArchive::NoPrice;
}

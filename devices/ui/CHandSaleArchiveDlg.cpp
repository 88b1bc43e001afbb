#include "CHandSaleArchiveDlg.h"

#include "CHandRaw.h"
#include "CHandSaleArchive.h"
#include "CKvExtList2.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "KvUtil.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kHeaders[] = {"电表编号", "写卡次数", "写卡度数", "累计买电", "累计用电", "写卡方式", "写卡时间"};

} // namespace

CHandSaleArchiveDlg::CHandSaleArchiveDlg(QWidget* parent, const QString& caption, CHandRawList* staged)
    : CKvDialog(196, parent, caption), m_staged(staged)
{
    m_list = CreateControl<CKvExtList2>(1139);

    const struct
    {
        int id;
        const char* text;
        void (CHandSaleArchiveDlg::*handler)();
    } buttons[] = {
        {1174, "归档(&A)", &CHandSaleArchiveDlg::OnArchive},
        {1016, "全部归档(&W)", &CHandSaleArchiveDlg::OnArchiveAll},
        {1026, "删除(&D)", &CHandSaleArchiveDlg::OnDelete},
        {1134, "全部删除(&L)", &CHandSaleArchiveDlg::OnDeleteAll},
    };
    auto* row = new QHBoxLayout;
    for (const auto& b : buttons) {
        auto* button = CreateControl<QPushButton>(b.id);
        button->setText(QString::fromUtf8(b.text));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, KvGuarded([this, h = b.handler](bool) { (this->*h)(); }));
        row->addWidget(button);
    }
    auto* back = CreateControl<QPushButton>(1050);
    back->setText(QStringLiteral("返回(&R)"));
    BindClose(back);
    row->addWidget(back);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(row);
    resize(760, 420);
}

CHandSaleArchiveDlg::~CHandSaleArchiveDlg()
{
    delete m_archive;
}

bool CHandSaleArchiveDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_list->SetRowHeight(20);
    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_list->setPalette(palette);
    int column = 0;
    for (const char* header : kHeaders) {
        const QString text = QString::fromUtf8(header);
        m_list->InsertColumn(column++, text, m_list->fontMetrics().horizontalAdvance(text) + 50);
    }
    m_archive = new CHandSaleArchive;
    FillList();
    return true;
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

void CHandSaleArchiveDlg::OnArchive()
{
    const int row = m_list->GetSelectedRow();
    if (row < 0) {
        PromptBox(QStringLiteral("请选择售电记录！"), this);
        return;
    }
    ArchiveRow(row);
    FillList();
}

void CHandSaleArchiveDlg::OnArchiveAll()
{
    const int rows = m_list->GetItemCount();
    for (int row = 0; row < rows; ++row)
        if (!ArchiveRow(row))
            break;
    FillList();
}

void CHandSaleArchiveDlg::OnDelete()
{
    const int row = m_list->GetSelectedRow();
    if (row < 0) {
        PromptBox(QStringLiteral("请选择售电记录！"), this);
        return;
    }
    if (AskBox(QStringLiteral("确实需要删除该记录吗？"), this) != IDYES)
        return;
    auto* raw = static_cast<CHandRaw*>(m_list->GetRowObject(row));
    m_list->SetItemData(row, nullptr);
    m_staged->DeleteRecord(raw);
    FillList();
}

void CHandSaleArchiveDlg::OnDeleteAll()
{
    if (AskBox(QStringLiteral("确实需要删除全部记录吗？"), this) != IDYES)
        return;
    // The rows go one by one; a failure leaves the rest staged and listed.
    m_list->DeleteAllItems();
    while (CKvObject* head = m_staged->GetHead())
        m_staged->DeleteRecord(static_cast<CHandRaw*>(head));
    FillList();
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

#include "CHandReadArchiveDlg.h"

#include "CHandRaw.h"
#include "CHandReadArchive.h"
#include "CHandReadRaw.h"
#include "CKvExtList2.h"
#include "KvGuard.h"
#include "KvMessage.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kHeaders[] = {"电表编号", "累计购电", "累计用电", "累计剩余", "抄表时间"};

} // namespace

CHandReadArchiveDlg::CHandReadArchiveDlg(QWidget* parent, const QString& caption, CHandReadRawList* staged)
    : CKvDialog(201, parent, caption), m_staged(staged)
{
    m_list = CreateControl<CKvExtList2>(1139);

    const struct
    {
        int id;
        const char* text;
        void (CHandReadArchiveDlg::*handler)();
    } buttons[] = {
        {1174, "归档(&A)", &CHandReadArchiveDlg::OnArchive},
        {1016, "全部归档(&W)", &CHandReadArchiveDlg::OnArchiveAll},
        {1026, "删除(&D)", &CHandReadArchiveDlg::OnDelete},
        {1134, "全部删除(&L)", &CHandReadArchiveDlg::OnDeleteAll},
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
    resize(640, 420);
}

bool CHandReadArchiveDlg::OnInitDialog()
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
    FillList();
    return true;
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

void CHandReadArchiveDlg::OnArchive()
{
    const int row = m_list->GetSelectedRow();
    if (row < 0) {
        PromptBox(QStringLiteral("请选择抄表记录！"), this);
        return;
    }
    ArchiveRow(row);
    FillList();
}

void CHandReadArchiveDlg::OnArchiveAll()
{
    const int rows = m_list->GetItemCount();
    try {
        for (int row = 0; row < rows; ++row)
            ArchiveRow(row);
    } catch (...) {
        // A failed write ends the command; the list shows what is still staged.
        FillList();
        throw;
    }
    FillList();
}

void CHandReadArchiveDlg::OnDelete()
{
    const int row = m_list->GetSelectedRow();
    if (row < 0) {
        PromptBox(QStringLiteral("请选择抄表记录！"), this);
        return;
    }
    if (AskBox(QStringLiteral("确实需要删除该记录吗？"), this) != IDYES)
        return;
    auto* raw = static_cast<CHandReadRaw*>(m_list->GetRowObject(row));
    m_list->SetItemData(row, nullptr);
    CHandRawList::DeleteRecord(*m_staged, raw);
    FillList();
}

void CHandReadArchiveDlg::OnDeleteAll()
{
    if (AskBox(QStringLiteral("确实需要删除全部记录吗？"), this) != IDYES)
        return;
    // The rows go one by one; a failure leaves the rest staged and listed.
    m_list->DeleteAllItems();
    try {
        while (CKvObject* head = m_staged->GetHead())
            CHandRawList::DeleteRecord(*m_staged, static_cast<CHandReadRaw*>(head));
    } catch (...) {
        FillList();
        throw;
    }
    FillList();
}

void CHandReadArchiveDlg::ArchiveRow(int row)
{
    auto* raw = static_cast<CHandReadRaw*>(m_list->GetRowObject(row));
    if (!raw) // archived or deleted earlier in this command
        return;
    // The staged record's own figures, not the list's rounded texts.
    if (CHandReadArchive::ArchiveRow(*m_staged, raw, this))
        m_list->SetItemData(row, nullptr);
}

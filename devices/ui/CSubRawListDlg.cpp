#include "CSubRawListDlg.h"

#include "CKvExtList2.h"
#include "CSubRaw.h"
#include "KvGuard.h"
#include "KvMessage.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

CSubRawListDlg::CSubRawListDlg(const Ids& ids, QWidget* parent, const QString& caption, CSubRawList* staged,
                               QStringList headers, QString noSelectionText)
    : CKvDialog(ids.dialog, parent, caption), m_staged(staged), m_headers(std::move(headers)),
      m_noSelectionText(std::move(noSelectionText))
{
    m_list = CreateControl<CKvExtList2>(ids.list);

    const struct
    {
        int id;
        const char* text;
        void (CSubRawListDlg::*handler)();
    } buttons[] = {
        {1174, "归档(&A)", &CSubRawListDlg::OnArchive},
        {1016, "全部归档(&W)", &CSubRawListDlg::OnArchiveAll},
        {1026, "删除(&D)", &CSubRawListDlg::OnDelete},
        {1134, "全部删除(&L)", &CSubRawListDlg::OnDeleteAll},
    };
    auto* row = new QHBoxLayout;
    for (const auto& b : buttons) {
        auto* button = CreateControl<QPushButton>(b.id);
        button->setText(QString::fromUtf8(b.text));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, KvGuarded([this, h = b.handler](bool) { (this->*h)(); }));
        row->addWidget(button);
    }
    auto* back = CreateControl<QPushButton>(ids.back);
    back->setText(QStringLiteral("返回(&R)"));
    back->setAutoDefault(false);
    BindClose(back);
    row->addWidget(back);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(row);
    resize(620, 400);
}

bool CSubRawListDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_list->SetRowHeight(20);
    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_list->setPalette(palette);
    int column = 0;
    for (const QString& header : m_headers)
        m_list->InsertColumn(column++, header, m_list->fontMetrics().horizontalAdvance(header) + 50);
    FillList();
    return true;
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

int CSubRawListDlg::SelectedRow()
{
    const int row = m_list->GetSelectedRow();
    if (row < 0)
        PromptBox(m_noSelectionText, this);
    return row;
}

CSubRaw* CSubRawListDlg::RowRecord(int row) const
{
    return static_cast<CSubRaw*>(m_list->GetRowObject(row));
}

void CSubRawListDlg::OnDelete()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    if (AskBox(QStringLiteral("确实需要删除该记录吗？"), this) != IDYES)
        return;
    m_staged->Remove(RowRecord(row));
    FillList();
}

void CSubRawListDlg::OnDeleteAll()
{
    if (AskBox(QStringLiteral("确实需要删除全部记录吗？"), this) != IDYES)
        return;
    // One by one: a failure leaves the rest staged and listed.
    m_list->DeleteAllItems();
    try {
        while (CKvObject* head = m_staged->GetHead())
            m_staged->Remove(static_cast<CSubRaw*>(head));
    } catch (...) {
        FillList();
        throw;
    }
    FillList();
}

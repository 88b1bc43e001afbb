#include "CStagedArchiveDlg.h"

#include "CHandRaw.h"
#include "CKvExtList2.h"
#include "CWaitCursor.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "SysGlobals.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

CStagedArchiveDlg::CStagedArchiveDlg(const Ids& ids, QWidget* parent, const QString& caption, CKvObjectList* staged,
                                     QStringList headers, QString noSelection)
    : CKvDialog(ids.dialog, parent, caption), m_staged(staged), m_headers(std::move(headers)),
      m_noSelection(std::move(noSelection))
{
    m_list = CreateControl<CKvExtList2>(ids.list);

    const struct
    {
        int id;
        const char* text;
        void (CStagedArchiveDlg::*handler)();
    } buttons[] = {
        {1174, "归档(&A)", &CStagedArchiveDlg::OnArchive},
        {1016, "全部归档(&W)", &CStagedArchiveDlg::OnArchiveAll},
        {1026, "删除(&D)", &CStagedArchiveDlg::OnDelete},
        {1134, "全部删除(&L)", &CStagedArchiveDlg::OnDeleteAll},
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
    BindClose(back);
    row->addWidget(back);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(row);
}

bool CStagedArchiveDlg::OnInitDialog()
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

int CStagedArchiveDlg::SelectedRow()
{
    const int row = m_list->GetSelectedRow();
    if (row < 0)
        PromptBox(m_noSelection, this);
    return row;
}

template <class Command> void CStagedArchiveDlg::refillAfter(Command command)
{
    CWaitCursor wait(GetMainDatabase());
    try {
        command();
    } catch (...) {
        FillList();
        throw;
    }
    FillList();
}

void CStagedArchiveDlg::OnArchive()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    ArchiveRow(row);
    FillList();
}

void CStagedArchiveDlg::OnArchiveAll()
{
    const int rows = m_list->GetItemCount();
    refillAfter([&] {
        for (int row = 0; row < rows; ++row)
            if (!ArchiveRow(row))
                break;
    });
}

void CStagedArchiveDlg::DeleteRecord(CKvPersistance* record)
{
    CHandRawList::DeleteRecord(*m_staged, record);
}

void CStagedArchiveDlg::OnDelete()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    if (AskBox(QStringLiteral("确实需要删除该记录吗？"), this) != IDYES)
        return;
    refillAfter([&] { DeleteRecord(static_cast<CKvPersistance*>(m_list->GetRowObject(row))); });
}

void CStagedArchiveDlg::OnDeleteAll()
{
    if (AskBox(QStringLiteral("确实需要删除全部记录吗？"), this) != IDYES)
        return;
    // The rows go one by one; a failure leaves the rest staged and listed.
    m_list->DeleteAllItems();
    refillAfter([&] {
        while (CKvObject* head = m_staged->GetHead())
            DeleteRecord(static_cast<CKvPersistance*>(head));
    });
}

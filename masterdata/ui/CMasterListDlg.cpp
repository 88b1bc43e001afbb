#include "CMasterListDlg.h"

#include "CKvExtList2.h"
#include "CKvObjectList.h"
#include "KvGuard.h"

#include <QHBoxLayout>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

CMasterListDlg::CMasterListDlg(int templateId, QWidget* parent, const QString& caption, const Layout& layout,
                               const Texts& texts)
    : CKvDialog(templateId, parent, caption), m_layout(layout), m_texts(texts)
{
    m_list = CreateControl<CKvExtList2>(layout.listId);
    const int ids[4] = {1024, 1025, 1026, layout.closeId};
    auto* buttons = new QVBoxLayout;
    for (int i = 0; i < 4; ++i) {
        m_buttons[i] = CreateControl<QPushButton>(ids[i]);
        if (!layout.captionsAtInit)
            m_buttons[i]->setText(layout.buttonCaptions.value(i));
        m_buttons[i]->setAutoDefault(false);
        buttons->addWidget(m_buttons[i]);
    }
    buttons->addStretch();
    connect(m_buttons[0], &QPushButton::clicked, this, [this] { RunGuarded([this] { OnAdd(); }); });
    connect(m_buttons[1], &QPushButton::clicked, this, [this] { RunGuarded([this] { OnModifyClicked(); }); });
    connect(m_buttons[2], &QPushButton::clicked, this, [this] { RunGuarded([this] { OnDeleteClicked(); }); });
    BindClose(m_buttons[3]);

    auto* main = new QHBoxLayout(this);
    main->addWidget(m_list, 1);
    main->addLayout(buttons);
    resize(520, 360);
}

bool CMasterListDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_list->SetRowHeight(20);
    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_list->setPalette(palette);
    const QFontMetrics metrics = m_list->fontMetrics();
    for (int i = 0; i < m_layout.columns.size(); ++i)
        m_list->InsertColumn(i, m_layout.columns.at(i),
                             metrics.horizontalAdvance(m_layout.columns.at(i)) + m_layout.extraWidth);
    // A failing first read leaves an empty list behind its message.
    KvGuard([this] { FillList(); }, this);
    if (m_layout.captionsAtInit)
        for (int i = 0; i < 4; ++i)
            m_buttons[i]->setText(m_layout.buttonCaptions.value(i));
    UpdateData(false);
    SetInitDone(1);
    return true;
}

void CMasterListDlg::FillList()
{
    m_list->DeleteAllItems();
    FillRows(*m_list);
}

void CMasterListDlg::AppendAndFill(CKvObjectList& list, CKvObject* record)
{
    list.Add(record);
    FillList();
}

void CMasterListDlg::RunGuarded(const std::function<void()>& operation)
{
    if (!KvGuard(operation, this))
        KvGuard([this] { FillList(); }, this);
}

CKvObject* CMasterListDlg::SelectedRecord()
{
    const int row = m_list->GetSelectedRow();
    if (row < 0) {
        PromptBox(m_texts.selectPrompt, this);
        return nullptr;
    }
    return m_list->GetRowObject(row);
}

void CMasterListDlg::OnModifyClicked()
{
    CKvObject* record = SelectedRecord();
    if (record && ModifyRecord(record))
        FillList();
}

void CMasterListDlg::OnDeleteClicked()
{
    CKvObject* record = SelectedRecord();
    if (!record)
        return;
    const auto refused = [&] {
        const QString refusal = DeleteRefusal(record);
        if (!refusal.isEmpty())
            PromptBox(refusal, this);
        return !refusal.isEmpty();
    };
    if (m_texts.refuseBeforeAsking && refused())
        return;
    if (AskBox(m_texts.deleteQuestion, this) != IDYES)
        return;
    if (!m_texts.refuseBeforeAsking && refused())
        return;
    DeleteRecord(record);
    FillList();
}

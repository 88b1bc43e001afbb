#include "CPreModelOrderDlg.h"

#include "CCliPre.h"
#include "CKvExtList2.h"
#include "CMenuButton.h"
#include "KvAdminUi.h"
#include "KvEditListSetup.h"
#include "KvGuard.h"
#include "KvMessage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QList<CPreModel*> modelsOf(CKvExtList2* list)
{
    QList<CPreModel*> models;
    for (int row = 0; row < list->GetItemCount(); ++row)
        models << static_cast<CPreModel*>(list->GetRowObject(row));
    return models;
}

} // namespace

CPreModelOrderDlg::CPreModelOrderDlg(QWidget* parent, const QString& caption) : CKvDialog(145, parent, caption)
{
    m_models.LoadAll();
    m_left = CreateControl<CKvExtList2>(1013);
    m_right = CreateControl<CKvExtList2>(1014);
    const struct
    {
        int id;
        void (CPreModelOrderDlg::*handler)();
    } arrows[] = {{1016, &CPreModelOrderDlg::OnOffer},
                  {1015, &CPreModelOrderDlg::OnWithdraw},
                  {1017, &CPreModelOrderDlg::OnUp},
                  {1018, &CPreModelOrderDlg::OnDown}};
    QList<CMenuButton*> buttons;
    for (const auto& arrow : arrows) {
        auto* button = CreateControl<CMenuButton>(arrow.id);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                KvGuarded([this, handler = arrow.handler](auto...) { (this->*handler)(); }));
        buttons << button;
    }
    QPushButton* ok = MakeConfirmButton(this, QStringLiteral("确认(&O)"));
    QPushButton* cancel = MakeCloseButton(this, 1021, QStringLiteral("取消(&C)"));

    auto* across = new QVBoxLayout;
    across->addStretch();
    across->addWidget(buttons[0]);
    across->addWidget(buttons[1]);
    across->addStretch();
    auto* upDown = new QVBoxLayout;
    upDown->addStretch();
    upDown->addWidget(buttons[2]);
    upDown->addWidget(buttons[3]);
    upDown->addStretch();
    auto* lists = new QHBoxLayout;
    lists->addWidget(m_left);
    lists->addLayout(across);
    lists->addWidget(m_right);
    lists->addLayout(upDown);
    auto* confirm = new QHBoxLayout;
    confirm->addStretch();
    confirm->addWidget(ok);
    confirm->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(confirm);
    resize(560, 360);
}

bool CPreModelOrderDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    const std::pair<int, int> kinds[] = {{1016, 0}, {1015, 5}, {1017, 4}, {1018, 1}};
    for (const auto& [id, kind] : kinds)
        findChild<CMenuButton*>(ControlName(id))->SetArrowKind(kind);
    for (CKvExtList2* list : {m_left, m_right}) {
        KvSetupEditList(list, 20, {});
        list->InsertColumn(0, QStringLiteral("型号规格"), 140);
        list->InsertColumn(1, QStringLiteral("相    线"), 60);
        list->AllocColumnInfo();
    }
    for (int i = 0; i < m_models.GetCount(); ++i) {
        CPreModel* model = m_models.At(i);
        CKvExtList2* list = model->IsOffered() ? m_right : m_left;
        insertRow(list, list->GetItemCount(), model);
    }
    SetInitDone(1);
    return true;
}

int CPreModelOrderDlg::insertRow(CKvExtList2* list, int index, CPreModel* model)
{
    const int row = list->InsertRow(index, model->GetModelId(), model);
    list->SetItemText(row, 1, model->GetPhase());
    return row;
}

void CPreModelOrderDlg::moveSelected(CKvExtList2* from, CKvExtList2* to)
{
    const int row = from->GetSelectedRow();
    if (row < 0)
        return;
    auto* model = static_cast<CPreModel*>(from->GetRowObject(row));
    from->DeleteItem(row);
    to->SelectRow(insertRow(to, to->GetItemCount(), model));
    if (from->GetItemCount() > 0)
        from->SelectRow(qMin(row, from->GetItemCount() - 1));
}

void CPreModelOrderDlg::OnOffer()
{
    moveSelected(m_left, m_right);
}

void CPreModelOrderDlg::OnWithdraw()
{
    const int row = m_right->GetSelectedRow();
    if (row < 0)
        return;
    auto* model = static_cast<CPreModel*>(m_right->GetRowObject(row));
    if (CCliPreList::ExistsForModel(model->GetModelId())) {
        PromptBox(QStringLiteral("已建有该表型的档案，不能左移！"), this);
        return;
    }
    moveSelected(m_right, m_left);
}

void CPreModelOrderDlg::swapWithNeighbour(int step)
{
    const int row = m_right->GetSelectedRow();
    const int other = row + step;
    if (row < 0 || other < 0 || other >= m_right->GetItemCount())
        return;
    auto* model = static_cast<CPreModel*>(m_right->GetRowObject(row));
    m_right->DeleteItem(row);
    m_right->SelectRow(insertRow(m_right, other, model));
}

void CPreModelOrderDlg::OnUp()
{
    swapWithNeighbour(-1);
}

void CPreModelOrderDlg::OnDown()
{
    swapWithNeighbour(1);
}

void CPreModelOrderDlg::OnOK()
{
    KvGuard(
        [this] {
            CPreModelList::SaveOrder(modelsOf(m_left), modelsOf(m_right));
            QDialog::accept();
        },
        this);
}

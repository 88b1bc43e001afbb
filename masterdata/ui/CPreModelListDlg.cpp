#include "CPreModelListDlg.h"

#include "CCliPre.h"
#include "CKvExtList2.h"
#include "CPreModelEditDlg.h"
#include "KvEditListSetup.h"
#include "KvGuard.h"
#include "KvMessage.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

CPreModelListDlg::CPreModelListDlg(QWidget* parent, const QString& caption) : CKvDialog(218, parent, caption)
{
    m_list = CreateControl<CKvExtList2>(1113);
    auto* buttons = new QHBoxLayout;
    const struct
    {
        int id;
        const char* text;
        void (CPreModelListDlg::*handler)();
    } actions[] = {{1024, "添加(&A)", &CPreModelListDlg::OnAdd},
                   {1025, "修改(&M)", &CPreModelListDlg::OnModify},
                   {1026, "删除(&D)", &CPreModelListDlg::OnDelete}};
    for (const auto& action : actions) {
        auto* button = CreateControl<QPushButton>(action.id);
        button->setText(QString::fromUtf8(action.text));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                KvGuarded([this, handler = action.handler](auto...) { (this->*handler)(); }));
        buttons->addWidget(button);
    }
    auto* close = CreateControl<QPushButton>(1050);
    close->setText(QStringLiteral("返回(&R)"));
    BindClose(close);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    resize(900, 360);
}

bool CPreModelListDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    KvSetupEditList(m_list, 20,
                    {{QStringLiteral("型  别"), 100},
                     {QStringLiteral("型  号"), 100},
                     {QStringLiteral("规  格"), 100},
                     {QStringLiteral("内部倍率"), 50},
                     {QStringLiteral("通讯方式"), 50},
                     {QStringLiteral("表计类别"), 50},
                     {QStringLiteral("相  线"), 50},
                     {QStringLiteral("基准电流"), 50},
                     {QStringLiteral("最大限电流"), 50},
                     {QStringLiteral("最小限电流"), 50}});
    KvGuard([this] { refill(); }, this);
    SetInitDone(1);
    return true;
}

void CPreModelListDlg::refill()
{
    m_list->DeleteAllItems();
    m_models.LoadAll();
    for (int i = 0; i < m_models.GetCount(); ++i) {
        CPreModel* model = m_models.At(i);
        const int row = m_list->InsertRow(i, model->GetModelId(), model);
        const QString cells[] = {model->GetModel(),
                                 model->GetSpec(),
                                 QString::asprintf("%d", model->GetInnerMul()),
                                 model->GetCardType(),
                                 model->GetDevType(),
                                 model->GetPhase(),
                                 QString::asprintf("%0.1f", model->GetBaseValue()),
                                 QString::asprintf("%0.1f", model->GetMaxLimit()),
                                 QString::asprintf("%0.1f", model->GetMinLimit())};
        for (int column = 0; column < static_cast<int>(std::size(cells)); ++column)
            m_list->SetItemText(row, column + 1, cells[column]);
    }
}

CPreModel* CPreModelListDlg::selectedModel()
{
    const int row = m_list->GetSelectedRow();
    auto* model = row < 0 ? nullptr : static_cast<CPreModel*>(m_list->GetRowObject(row));
    if (!model)
        PromptBox(QStringLiteral("请选择表型！"), this);
    return model;
}

void CPreModelListDlg::OnAdd()
{
    auto model = std::make_unique<CPreModel>();
    for (;;) {
        CPreModelEditDlg dialog(this, QStringLiteral("增加表型"));
        dialog.SetFrom(*model);
        if (dialog.DoModal() != IDOK)
            return;
        dialog.CopyTo(*model);
        if (!CPreModelList::ModelIdExists(model->GetModelId()))
            break;
        PromptBox(QStringLiteral("型别重复！"), this);
    }
    model->Save();
    m_models.AppendRecord(model.release());
    refill();
}

void CPreModelListDlg::OnModify()
{
    CPreModel* model = selectedModel();
    if (!model)
        return;
    CPreModelEditDlg dialog(this, QStringLiteral("修改表型"));
    dialog.SetFrom(*model);
    if (dialog.DoModal() != IDOK)
        return;
    dialog.CopyTo(*model);
    m_models.UpdateRecord(model);
    refill();
}

void CPreModelListDlg::OnDelete()
{
    CPreModel* model = selectedModel();
    if (!model)
        return;
    if (CCliPreList::ExistsForModel(model->GetModelId())) {
        PromptBox(QStringLiteral("已有用户配有该型表，不能删除！"), this);
        return;
    }
    if (AskBox(QStringLiteral("确实要删除该表型吗？"), this) == IDNO)
        return;
    m_models.RemoveRecord(model);
    refill();
}

#include "CPriceTypeDlg.h"

#include "CAdoConnection.h"
#include "CKvExtList2.h"
#include "CPriceVer.h"
#include "KvCommandButtons.h"
#include "KvEditListSetup.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "SysGlobals.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

CPriceTypeDlg::CPriceTypeDlg(QWidget* parent, const QString& caption) : CKvDialog(181, parent, caption)
{
    m_list = CreateControl<CKvExtList2>(1103);
    QHBoxLayout* buttons = KvCommandButtonRow<CPriceTypeDlg>(this,
                                                             {{1024, "增加(&A)", &CPriceTypeDlg::OnAdd},
                                                              {1026, "删除(&D)", &CPriceTypeDlg::OnDelete},
                                                              {1020, "保存(&S)", &CPriceTypeDlg::OnSave}},
                                                             1001);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    resize(420, 320);
}

bool CPriceTypeDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    KvSetupEditList(m_list, 20, {{QStringLiteral("价目类别"), 100}, {QStringLiteral("报表头"), 100}});
    m_list->SetColumnEditor(0, KV_EDIT_TEXT);
    m_list->SetColumnEditor(1, KV_EDIT_TEXT);
    KvGuard([this] { refill(); }, this);
    SetInitDone(1);
    return true;
}

void CPriceTypeDlg::refill()
{
    m_list->DeleteAllItems();
    m_types.LoadAll();
    for (int i = 0; i < m_types.GetCount(); ++i) {
        CPriceType* type = m_types.At(i);
        const int row = m_list->InsertRow(i, type->GetPriceType(), type);
        m_list->SetItemText(row, 1, type->GetReportTitle());
    }
}

void CPriceTypeDlg::OnAdd()
{
    const int row = m_list->InsertRow(m_list->GetItemCount(), QString(), nullptr);
    m_list->BeginEdit(row, 0);
}

void CPriceTypeDlg::OnSave()
{
    const QStringList builtIn = CPriceType::BuiltInTypes();
    // One transaction for all rows, and a rename written from a copy: a failed
    // save leaves the table and the loaded records as stored, so that saving
    // again writes the same changes.
    {
        CAdoTransaction transaction(*GetMainDatabase());
        for (int row = 0; row < m_list->GetItemCount(); ++row) {
            const QString name = m_list->GetItemText(row, 0);
            const QString title = m_list->GetItemText(row, 1);
            if (builtIn.contains(name))
                continue;
            const auto* type = static_cast<const CPriceType*>(m_list->GetRowObject(row));
            if (!type) {
                CPriceType added;
                added.SetPriceType(name);
                added.SetReportTitle(title);
                added.Save();
            } else if (type->GetPriceType() != name) {
                CPriceType renamed(*type);
                renamed.SetPriceType(name);
                renamed.SetReportTitle(title);
                renamed.SetState(CKvPersistance::StateChanged);
                renamed.Save();
            }
        }
        transaction.Commit();
    }
    refill();
    PromptBox(QStringLiteral("预付费电价、一卡抄水价、一卡抄气价和定额收费价已内置，无须管理！"), this);
}

void CPriceTypeDlg::OnDelete()
{
    const int row = m_list->GetSelectedRow();
    if (row < 0) {
        PromptBox(QStringLiteral("请选择价目类型"), this);
        return;
    }
    auto* type = static_cast<CPriceType*>(m_list->GetRowObject(row));
    if (!type) {
        refill();
        return;
    }
    if (CPriceVerList::PriceTypeInUse(type->GetPriceType())) {
        PromptBox(QStringLiteral("已有价目采用该类型！不能删除！"), this);
        m_list->SetItemText(row, 0, type->GetPriceType());
        return;
    }
    if (AskBox(QStringLiteral("确实要删除该价目类型吗？"), this) == IDNO)
        return;
    type->SetState(CKvPersistance::StateDelete);
    type->Save();
    refill();
}

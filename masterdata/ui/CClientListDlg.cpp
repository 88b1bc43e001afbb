#include "CClientListDlg.h"

#include "CAdoConnection.h"
#include "CBlock.h"
#include "CBuilding.h"
#include "CCliBalance.h"
#include "CCliFix.h"
#include "CCliFixListDlg.h"
#include "CCliPre.h"
#include "CClient.h"
#include "CClientEditDlg.h"
#include "CDepartment.h"
#include "CKvExtList2.h"
#include "COperator.h"
#include "COtherItem.h"
#include "CurrentOperator.h"
#include "KvEditListSetup.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "KvReportText.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

CClientListDlg::CClientListDlg(QWidget* parent, const QString& caption) : CKvDialog(156, parent, caption)
{
    m_list = CreateControl<CKvExtList2>(1086);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_count = CreateControl<QLabel>(1285);
    struct ButtonDef
    {
        int id;
        const char* text;
        void (CClientListDlg::*handler)();
    };
    const ButtonDef defs[] = {
        {1000, "增加用户(&A)", &CClientListDlg::OnAdd},          {1025, "修改档案(&M)", &CClientListDlg::OnModify},
        {1026, "删除档案(&D)", &CClientListDlg::OnDelete},       {1120, "电表管理(&E)", &CClientListDlg::OnMeters},
        {1013, "手工附表(&X)", &CClientListDlg::OnManualMeters}, {1290, "定额收费(&F)", &CClientListDlg::OnFixFees},
    };
    auto* buttons = new QVBoxLayout;
    for (const ButtonDef& def : defs) {
        auto* button = CreateControl<QPushButton>(def.id);
        button->setText(QString::fromUtf8(def.text));
        button->setAutoDefault(false);
        // A failed write is shown; the dialog stays open.
        connect(button, &QPushButton::clicked, this,
                KvGuarded([this, handler = def.handler](auto...) { (this->*handler)(); }));
        buttons->addWidget(button);
    }
    m_delete = findChild<QPushButton*>(ControlName(1026));
    m_meters = findChild<QPushButton*>(ControlName(1120));
    m_manualMeters = findChild<QPushButton*>(ControlName(1013));
    m_fixFees = findChild<QPushButton*>(ControlName(1290));
    auto* close = CreateControl<QPushButton>(1021);
    close->setText(QStringLiteral("返回(&R)"));
    BindClose(close);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* left = new QVBoxLayout;
    left->addWidget(m_list, 1);
    left->addWidget(m_count);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    resize(900, 480);
}

bool CClientListDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    KvSetupEditList(m_list, 20,
                    {{QStringLiteral("用户代码"), 30},
                     {QStringLiteral("用户姓名"), 30},
                     {QStringLiteral("小区名称"), 30},
                     {QStringLiteral("楼幢名称"), 30},
                     {QStringLiteral("楼层"), 30},
                     {QStringLiteral("房号"), 30},
                     {QStringLiteral("单元"), 30},
                     {QStringLiteral("部门"), 50},
                     {QStringLiteral("居住人数"), 20},
                     {QStringLiteral("用户余额"), 20}});
    KvGuard([this] { FillRows(); }, this);
    const COperator* op = GetCurrentOperator();
    m_delete->setEnabled(op->HasRight(209));
    m_meters->setEnabled(op->HasRight(211));
    m_manualMeters->setEnabled(op->HasRight(212));
    m_fixFees->setEnabled(op->HasRight(213));
    SetInitDone(1);
    return true;
}

void CClientListDlg::ShowCount(int count)
{
    m_strCount = QStringLiteral("共有%1户").arg(count);
    m_count->setText(m_strCount);
}

void CClientListDlg::FillRows()
{
    m_list->DeleteAllItems();
    if (!m_pClientList)
        return;
    for (int i = 0; i < m_pClientList->GetCount(); ++i)
        FillRow(i, m_pClientList->At(i));
    ShowCount(m_pClientList->GetCount());
}

namespace {

QString balanceText(CClient& user)
{
    CCliBalance balance;
    return user.GetBalance(balance) ? KvFixedText(balance.GetThisBalance(), 2) : QStringLiteral("0.00");
}

} // namespace

void CClientListDlg::FillRow(int row, CClient* user)
{
    row = m_list->InsertRow(row, user->GetClientNo(), user);
    m_list->SetItemText(row, 1, user->GetClientName());
    CBlockList blocks;
    const CBlock* block = blocks.FindByBlockNo(user->GetBlockNo());
    m_list->SetItemText(row, 2, block ? block->GetBlockName() : QString());
    CBuildingList buildings;
    const CBuilding* building = buildings.FindBuilding(user->GetBlockNo(), user->GetBuildingNo());
    m_list->SetItemText(row, 3, building ? building->GetBuildingName() : QString());
    m_list->SetItemText(row, 4, user->GetLayerNo());
    m_list->SetItemText(row, 5, user->GetRoomNo());
    m_list->SetItemText(row, 6, user->GetCell());
    CDepartmentList departments;
    const CDepartment* department = departments.FindByDepartmentNo(user->GetDepartmentNo());
    m_list->SetItemText(row, 7, department ? department->GetDepartmentName() : QString());
    m_list->SetItemText(row, 8, QString::number(user->GetMemberNum()));
    m_list->SetItemText(row, 9, balanceText(*user));
}

void CClientListDlg::RefreshSelectedBalance()
{
    const int row = m_list->GetSelectedRow();
    if (row < 0)
        return;
    if (auto* user = static_cast<CClient*>(m_list->GetRowObject(row)))
        m_list->SetItemText(row, 9, balanceText(*user));
}

CClient* CClientListDlg::SelectedUser()
{
    const int row = m_list->GetSelectedRow();
    if (row < 0) {
        PromptBox(QStringLiteral("请选择用户！"), this);
        return nullptr;
    }
    return static_cast<CClient*>(m_list->GetRowObject(row));
}

namespace {

// The texts the user dialog edits, each with the user record's accessors.
struct UserText
{
    QString CClientEditDlg::*field;
    QString (CClient::*get)() const;
    void (CClient::*set)(const QString&);
};
const UserText kUserTexts[] = {
    {&CClientEditDlg::m_ClientNo, &CClient::GetClientNo, &CClient::SetClientNo},
    {&CClientEditDlg::m_BlockNo, &CClient::GetBlockNo, &CClient::SetBlockNo},
    {&CClientEditDlg::m_BuildingNo, &CClient::GetBuildingNo, &CClient::SetBuildingNo},
    {&CClientEditDlg::m_LayerNo, &CClient::GetLayerNo, &CClient::SetLayerNo},
    {&CClientEditDlg::m_RoomNo, &CClient::GetRoomNo, &CClient::SetRoomNo},
    {&CClientEditDlg::m_Cell, &CClient::GetCell, &CClient::SetCell},
    {&CClientEditDlg::m_DepartmentNo, &CClient::GetDepartmentNo, &CClient::SetDepartmentNo},
    {&CClientEditDlg::m_ClientName, &CClient::GetClientName, &CClient::SetClientName},
    {&CClientEditDlg::m_ClientId, &CClient::GetClientId, &CClient::SetClientId},
    {&CClientEditDlg::m_Addr, &CClient::GetAddr, &CClient::SetAddr},
    {&CClientEditDlg::m_Tel, &CClient::GetTel, &CClient::SetTel},
    {&CClientEditDlg::m_Descrip, &CClient::GetDescrip, &CClient::SetDescrip},
};

} // namespace

void CClientListDlg::ToDialog(const CClient& user, CClientEditDlg& dlg)
{
    for (const UserText& text : kUserTexts)
        dlg.*text.field = (user.*text.get)();
    dlg.m_MemberNum = QString::number(user.GetMemberNum());
}

void CClientListDlg::FromDialog(const CClientEditDlg& dlg, CClient& user)
{
    for (const UserText& text : kUserTexts)
        (user.*text.set)(dlg.*text.field);
    user.SetMemberNum(dlg.m_MemberNum.toInt());
}

void CClientListDlg::OnAdd()
{
    auto balance = std::make_unique<CCliBalance>();
    auto user = std::make_unique<CClient>();
    for (;;) {
        CClientEditDlg dlg(nullptr, QStringLiteral("增加用户"));
        ToDialog(*user, dlg);
        if (dlg.DoModal() != IDOK)
            return;
        FromDialog(dlg, *user);
        if (!CClientList::ExistsClientNo(user->GetClientNo()))
            break;
        PromptBox(QStringLiteral("用户代码重复！"), this);
    }
    balance->SetClientNo(user->GetClientNo());
    {
        CAdoTransaction transaction(*GetMainDatabase());
        user->Save();
        balance->Save();
        transaction.Commit();
    }
    if (!m_pClientList)
        return;
    CClient* added = user.release();
    m_pClientList->Add(added);
    const int row = m_list->GetItemCount();
    FillRow(row, added);
    m_list->SelectRow(row);
    ShowCount(row + 1);
}

void CClientListDlg::OnModify()
{
    CClient* old = SelectedUser();
    if (!old)
        return;
    const int row = m_list->GetSelectedRow();
    CClientEditDlg dlg(nullptr, QStringLiteral("修改用户"));
    ToDialog(*old, dlg);
    if (dlg.DoModal() != IDOK)
        return;
    auto changed = std::make_unique<CClient>();
    FromDialog(dlg, *changed);
    if (changed->IsEqual(*old))
        return; // nothing is written
    CClient* current = changed.release();
    m_pClientList->ChangeVersion(current, old);
    // The closed version leaves the list: shown again after a later fill, it
    // could be changed a second time and leave the user two current rows.
    m_pClientList->Remove(old);
    m_list->DeleteItem(row);
    FillRow(row, current);
    m_list->SelectRow(row);
}

void CClientListDlg::OnDelete()
{
    CClient* user = SelectedUser();
    if (!user)
        return;
    if (AskBox(QStringLiteral("确实要删除该档案吗？"), this) != IDYES)
        return;
    const QString clientNo = user->GetClientNo();
    const struct
    {
        bool (*exists)(const QString&);
        const char* refusal;
    } refusals[] = {
        {&CCliPreList::ExistsForClient, "该用户已配表，请先删除配表！"},
        {&CCliFixList::ExistsForClient, "该用户已指定定额收费，请先删除定额收费！"},
        {&ManualMeterExistsForClient, "该用户已配手工抄表，请先删除手工抄表！"},
        {&ExistsOtherFeeOfClient, "该用户已有其他收费，请先删除其他收费！"},
    };
    for (const auto& check : refusals) {
        if (check.exists(clientNo)) {
            PromptBox(QString::fromUtf8(check.refusal), this);
            return;
        }
    }
    {
        CAdoTransaction transaction(*GetMainDatabase());
        CClientList::DeleteAllVersions(clientNo);
        CCliBalanceList::DeleteByClientNo(clientNo);
        transaction.Commit();
    }
    m_pClientList->Remove(user);
    FillRows();
}

namespace {

CClientListDlg::MeterDialogOpener& meterDialogOpener()
{
    static CClientListDlg::MeterDialogOpener opener;
    return opener;
}

} // namespace

void CClientListDlg::SetMeterDialogOpener(MeterDialogOpener opener)
{
    meterDialogOpener() = std::move(opener);
}

void CClientListDlg::OnMeters()
{
    CClient* user = SelectedUser();
    if (user && meterDialogOpener())
        meterDialogOpener()(*this, *user);
}

void CClientListDlg::OnFixFees()
{
    const CClient* user = SelectedUser();
    if (!user)
        return;
    CCliFixListDlg dlg(nullptr, QStringLiteral("定额收费项目管理"));
    dlg.m_ClientNo = user->GetClientNo();
    dlg.m_ClientName = user->GetClientName();
    dlg.DoModal();
}

void CClientListDlg::OnManualMeters()
{
    const CClient* user = SelectedUser();
    if (!user)
        return;
    // Started and left to itself: neither waited for nor its result looked at.
    StartProgram(QDir(GetAppDirectory()).filePath(ManualMeterProgram()),
                 {user->GetClientNo(), GetCurrentOperator()->GetOperatorNo()});
}

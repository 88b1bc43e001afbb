#include "CCliSubListDlg.h"

#include "CAdoConnection.h"
#include "CCliPre.h"
#include "CCliSubEditDlg.h"
#include "CKvExtList2.h"
#include "CNumEdit.h"
#include "COperator.h"
#include "CPriceVer.h"
#include "CProgRead.h"
#include "CSubRead.h"
#include "CurrentOperator.h"
#include "KvAdminUi.h"
#include "KvEditListSetup.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "SysGlobals.h"

#include <QPushButton>
#include <memory>

namespace {

constexpr int kRightDeleteSub = 221; // 删除附表
constexpr int kRightRemoveSub = 223; // 拆除附表

// The settings an edit dialog returns, on a sub-meter record.
void takeSettings(const CCliSubEditDlg& dialog, CCliSub& sub)
{
    sub.SetClientNo(dialog.m_strClientNo);
    sub.SetMeterNo(dialog.m_strMeterNo);
    sub.SetSubX(dialog.m_strSubX);
    sub.SetSubNo(dialog.m_strSubNo);
    sub.SetMeterLevel(dialog.m_strLevel);
    sub.SetPriceNo(dialog.m_strPriceNo);
    sub.SetSuperNo(dialog.m_strSuperNo);
    sub.SetSubConst(dialog.m_strSubConst.toInt());
    sub.SetReadMode(dialog.m_strReadMode);
}

} // namespace

CCliSubListDlg::CCliSubListDlg(QWidget* parent, const QString& caption) : CKvDialog(161, parent, caption)
{
    m_list = CreateControl<CKvExtList2>(1170);
    const struct
    {
        int id;
        const char* text;
        void (CCliSubListDlg::*handler)();
    } actions[] = {{1024, "增加(&A)", &CCliSubListDlg::OnAdd},
                   {1309, "修改(&M)", &CCliSubListDlg::OnModify},
                   {1026, "删除(&D)", &CCliSubListDlg::OnDelete},
                   {1118, "拆表(&T)", &CCliSubListDlg::OnRemove}};
    QList<QWidget*> buttons;
    for (const auto& action : actions) {
        QPushButton* button = MakeDialogButton(this, action.id, QString::fromUtf8(action.text));
        button->setAutoDefault(false);
        OnClickGuarded(button, this, [this, handler = action.handler] { (this->*handler)(); });
        buttons << button;
    }
    m_deleteButton = static_cast<QPushButton*>(buttons[2]);
    m_removeButton = static_cast<QPushButton*>(buttons[3]);
    LayOutDialog(this, m_list, buttons, {MakeCloseButton(this, 1050, QStringLiteral("返回(&R)"))});
    resize(640, 300);
}

bool CCliSubListDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    KvSetupEditList(m_list, 20,
                    {{QStringLiteral("附表编号"), 30},
                     {QStringLiteral("安装级别"), 20},
                     {QStringLiteral("上级表号"), 20},
                     {QStringLiteral("脉冲常数"), 20},
                     {QStringLiteral("价目名称"), 30},
                     {QStringLiteral("单  价"), 20},
                     {QStringLiteral("抄表方式"), 20}});
    KvGuard([this] { reload(); }, this);
    const COperator* op = GetCurrentOperator();
    m_deleteButton->setEnabled(op->HasRight(kRightDeleteSub));
    m_removeButton->setEnabled(op->HasRight(kRightRemoveSub));
    SetInitDone(1);
    return true;
}

void CCliSubListDlg::reload()
{
    m_subs.LoadCurrentByMeterNo(m_pCliPre ? m_pCliPre->GetMeterNo() : QString());
    FillList();
}

void CCliSubListDlg::FillList()
{
    m_list->DeleteAllItems();
    // A modified sub-meter keeps its closed old version in the list, behind
    // which the new one follows: only the version in service has a row.
    for (int i = 0; i < m_subs.GetCount(); ++i)
        if (m_subs.At(i)->IsCurrent())
            SetRow(m_list->GetItemCount(), m_subs.At(i));
}

void CCliSubListDlg::SetRow(int row, CCliSub* sub)
{
    row = m_list->InsertRow(row, sub->GetSubNo(), sub);
    CPriceVerList prices;
    const CPriceVer* price = prices.FindValidTodayByPriceNo(sub->GetPriceNo());
    const QString cells[] = {sub->GetMeterLevel(),
                             sub->GetSuperNo(),
                             QString::asprintf("%d", sub->GetSubConst()),
                             price ? price->GetPriceName() : QString(),
                             price ? QString::asprintf("%0.4f", price->GetPrice()) : QString(),
                             sub->GetReadMode()};
    for (int column = 0; column < static_cast<int>(std::size(cells)); ++column)
        m_list->SetItemText(row, column + 1, cells[column]);
}

CCliSub* CCliSubListDlg::selectedSub()
{
    const int row = m_list->GetSelectedRow();
    auto* sub = row < 0 ? nullptr : static_cast<CCliSub*>(m_list->GetRowObject(row));
    if (!sub)
        PromptBox(QStringLiteral("请选定附表"), this);
    return sub;
}

void CCliSubListDlg::OnAdd()
{
    CCliSubEditDlg dialog(nullptr, QStringLiteral("增加附表"));
    dialog.m_strClientNo = m_pCliPre->GetClientNo();
    dialog.m_strMeterNo = m_pCliPre->GetMeterNo();
    dialog.m_strSubX = QStringLiteral("1");
    dialog.m_strSubNo = m_pCliPre->GetMeterNo() + QStringLiteral("_1");
    dialog.m_strInitPulses = QStringLiteral("0");
    dialog.m_strBaseRead = QStringLiteral("0");
    dialog.m_bCheckEnabled = 0;
    if (dialog.DoModal() != IDOK)
        return;

    auto sub = std::make_unique<CCliSub>();
    takeSettings(dialog, *sub);
    sub->SetInitPulses(dialog.m_strInitPulses.toInt());
    sub->SetInitRead(CNumEdit::TextToDouble(dialog.m_strBaseRead));
    sub->SetThisPulses(sub->GetInitPulses());
    sub->SetLastPulses(sub->GetInitPulses());
    sub->SetThisRead(sub->GetInitRead());
    sub->SetLastRead(sub->GetInitRead());
    sub->SetReadDate(GetServerTime());
    sub->SetWrtNum(-1);
    for (int i = 0; i < m_subs.GetCount(); ++i) {
        // Sequences compare as numbers: a row stored as "01" holds sequence 1.
        if (m_subs.At(i)->IsCurrent() && m_subs.At(i)->GetSubX().toInt() == sub->GetSubX().toInt()) {
            PromptBox(QStringLiteral("附表序号重复！"), this);
            return;
        }
    }
    sub->Save();
    m_subs.AppendRecord(sub.release());
    FillList();
}

void CCliSubListDlg::OnModify()
{
    const int row = m_list->GetSelectedRow();
    CCliSub* old = selectedSub();
    if (!old)
        return;
    CCliSubEditDlg dialog(nullptr, QStringLiteral("修改附表"));
    dialog.m_strClientNo = old->GetClientNo();
    dialog.m_strMeterNo = old->GetMeterNo();
    dialog.m_strSubX = old->GetSubX();
    dialog.m_strSubNo = old->GetSubNo();
    dialog.m_strInitPulses = QString::asprintf("%d", old->GetInitPulses());
    dialog.m_strBaseRead = QString::asprintf("%0.1f", old->GetInitRead());
    dialog.m_strLevel = old->GetMeterLevel();
    dialog.m_strSuperNo = old->GetSuperNo();
    dialog.m_strSubConst = QString::asprintf("%d", old->GetSubConst());
    dialog.m_strPriceNo = old->GetPriceNo();
    dialog.m_strReadMode = old->GetReadMode();
    dialog.m_bCheckEnabled = 0;
    if (dialog.DoModal() != IDOK)
        return;

    auto sub = std::make_unique<CCliSub>();
    takeSettings(dialog, *sub);
    sub->SetInitDate(old->GetInitDate());
    sub->SetInitPulses(old->GetInitPulses());
    sub->SetInitRead(old->GetInitRead());
    sub->SetLastPulses(old->GetLastPulses());
    sub->SetThisPulses(old->GetThisPulses());
    sub->SetLastRead(old->GetLastRead());
    sub->SetThisRead(old->GetThisRead());
    sub->SetWrtIndex(old->GetWrtIndex());
    sub->SetWrtNum(old->GetWrtNum());
    sub->SetReadDate(old->GetReadDate());
    if (sub->IsEqual(*old))
        return;
    CCliSub* added = sub.release();
    m_subs.UpdateRecord(added, old);
    m_list->DeleteItem(row);
    SetRow(row, added);
    m_list->SelectRow(row);
}

void CCliSubListDlg::OnDelete()
{
    CCliSub* sub = selectedSub();
    if (!sub)
        return;
    if (AskBox(QStringLiteral("删除该附表将连同其抄表数据一起删除，继续吗？")) == IDNO)
        return;
    const QString subNo = sub->GetSubNo();
    {
        CAdoTransaction transaction(*GetMainDatabase());
        CSubReadList::DeleteBySubNo(subNo);
        CCliSubList::DeleteBySubNo(subNo);
        CProgReadList::DeleteBySubNo(subNo);
        transaction.Commit();
    }
    reload();
}

void CCliSubListDlg::OnRemove()
{
    CCliSub* sub = selectedSub();
    if (!sub)
        return;
    if (AskBox(QStringLiteral("拆表前，需将该表当前读数抄入系统！\n\n如没有抄入，请在购电界面或返卡退费界面，\n\n"
                              "通过自动上传或手工录入方式抄入系统！\n\n抄入了吗？")) == IDNO)
        return;
    if (AskBox(QStringLiteral("拆除该表后，将无法再将该表读数读入系统，继续吗？")) == IDNO)
        return;
    sub->CloseToday();
    reload();
}

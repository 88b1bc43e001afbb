#include "CCliPreListDlg.h"
#include "CKvEdit.h"

#include "CAdoConnection.h"
#include "CCardWriteDlg.h"
#include "CCarrierLink.h"
#include "CCliBalance.h"
#include "CCliPreEditDlg.h"
#include "CCliSub.h"
#include "CCliSubListDlg.h"
#include "CClient.h"
#include "CClientListDlg.h"
#include "CClientPay.h"
#include "CHandRead.h"
#include "CHandReadBase.h"
#include "CKvExtList2.h"
#include "CNumEdit.h"
#include "COperator.h"
#include "CPreLastWrt.h"
#include "CPreModel.h"
#include "CSaleDlg.h"
#include "CWrtPrice.h"
#include "CWrtRecord.h"
#include "CurrentOperator.h"
#include "KvDialogRunner.h"
#include "KvEditListSetup.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "KvNumberInput.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace {

const QString kRefunded = QStringLiteral("返卡退费");

} // namespace

CCliPreListDlg::CCliPreListDlg(QWidget* parent, const QString& caption) : CKvDialog(159, parent, caption)
{
    m_list = CreateControl<CKvExtList2>(1098);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_clientNoEdit = CreateControl<CKvEdit>(1002);
    m_clientNoEdit->setReadOnly(true);
    m_clientNameEdit = CreateControl<CKvEdit>(1009);
    m_clientNameEdit->setReadOnly(true);

    const struct
    {
        int id;
        const char* text;
        void (CCliPreListDlg::*handler)();
    } defs[] = {
        {1024, "增加新表(&A)", &CCliPreListDlg::OnAddMeter},
        {1025, "修改配表(&M)", &CCliPreListDlg::OnModifyMeter},
        {1026, "删除配表(&D)", &CCliPreListDlg::OnDeleteMeter},
        {1167, "拆表(&E)", &CCliPreListDlg::OnRemoveMeter},
        {1118, "返卡退费(&T)", &CCliPreListDlg::OnRefund},
        {1125, "电表开户(&O)", &CCliPreListDlg::OnOpenAccount},
        {1151, "附卡开户(&V)", &CCliPreListDlg::OnSubCard},
        {1126, "取消授权(&U)", &CCliPreListDlg::OnCancelAuthorisation},
        {1121, "写补卡(&C)", &CCliPreListDlg::OnReplacementCard},
        {1127, "写设置卡(&S)", &CCliPreListDlg::OnSettingCard},
        {1171, "写抄表卡(&R)", &CCliPreListDlg::OnReadingCard},
        {1027, "附表管理(&X)", &CCliPreListDlg::OnSubMeters},
    };
    auto* buttons = new QVBoxLayout;
    for (const auto& def : defs) {
        auto* button = CreateControl<QPushButton>(def.id);
        button->setText(QString::fromUtf8(def.text));
        button->setAutoDefault(false);
        // A failure that leaves an operation is shown; the dialog stays.
        connect(button, &QPushButton::clicked, this,
                KvGuarded([this, handler = def.handler](auto...) { (this->*handler)(); }));
        buttons->addWidget(button);
    }
    const auto find = [this](int id) { return findChild<QPushButton*>(ControlName(id)); };
    m_remove = find(1167);
    m_settingCard = find(1127);
    m_replacement = find(1121);
    m_subCard = find(1151);
    m_subMeters = find(1027);
    m_refund = find(1118);
    m_openAccount = find(1125);
    m_delete = find(1026);
    m_cancelAuth = find(1126);
    auto* close = CreateControl<QPushButton>(1001);
    close->setText(QStringLiteral("返回(&R)"));
    BindClose(close);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* user = new QGridLayout;
    user->addWidget(new QLabel(QStringLiteral("用户代码："), this), 0, 0);
    user->addWidget(m_clientNoEdit, 0, 1);
    user->addWidget(new QLabel(QStringLiteral("用户姓名："), this), 0, 2);
    user->addWidget(m_clientNameEdit, 0, 3);
    auto* right = new QVBoxLayout;
    right->addLayout(user);
    right->addWidget(m_list, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(right, 1);
    resize(820, 460);
}

CCliPreListDlg::~CCliPreListDlg()
{
    // The rows point at the meters of the list.
    m_list->DeleteAllItems();
}

void CCliPreListDlg::OpenForUser(CClientListDlg& owner, CClient& user)
{
    CCliPreListDlg dlg(nullptr, QStringLiteral("电表管理"));
    dlg.m_pOwner = &owner;
    dlg.m_pClient = &user;
    dlg.m_strClientNo = user.GetClientNo();
    dlg.m_strClientName = user.GetClientName();
    RunOperatorDialog(dlg);
}

bool CCliPreListDlg::DoDataExchange(bool saveAndValidate)
{
    if (!saveAndValidate) {
        m_clientNoEdit->setText(m_strClientNo);
        m_clientNameEdit->setText(m_strClientName);
    }
    return true;
}

bool CCliPreListDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    KvSetupEditList(m_list, 20,
                    {{QStringLiteral("表计编号"), 20},
                     {QStringLiteral("表计型别"), 100},
                     {QStringLiteral("安装级别"), 20},
                     {QStringLiteral("上级表号"), 20},
                     {QStringLiteral("备注说明"), 100}});
    KvGuard([this] { FillList(); }, this);
    const COperator* op = GetCurrentOperator();
    const std::pair<QPushButton*, int> rights[] = {
        {m_delete, 214},     {m_remove, 222},      {m_refund, 215},      {m_openAccount, 216}, {m_subCard, 217},
        {m_cancelAuth, 210}, {m_replacement, 218}, {m_settingCard, 219}, {m_subMeters, 220},
    };
    for (const auto& [button, right] : rights)
        button->setEnabled(op && op->HasRight(right));
    SetInitDone(1);
    return true;
}

void CCliPreListDlg::FillList()
{
    m_list->DeleteAllItems();
    m_meters.LoadCurrentByClientNo(m_strClientNo);
    for (int i = 0; i < m_meters.GetCount(); ++i)
        SetRow(i, m_meters.At(i));
    if (m_list->GetItemCount() > 0)
        m_list->SelectRow(m_list->GetItemCount() - 1);
}

void CCliPreListDlg::SetRow(int row, CCliPre* meter)
{
    row = m_list->InsertRow(row, meter->GetMeterNo(), meter);
    m_list->SetItemText(row, 1, meter->GetModelId());
    m_list->SetItemText(row, 2, meter->GetMeterLevel());
    m_list->SetItemText(row, 3, meter->GetSuperNo());
    m_list->SetItemText(row, 4, meter->GetDescrip());
}

CCliPre* CCliPreListDlg::SelectedMeter(const char* missing)
{
    const int row = m_list->GetSelectedRow();
    auto* meter = row < 0 ? nullptr : static_cast<CCliPre*>(m_list->GetRowObject(row));
    if (!meter)
        PromptBox(QString::fromUtf8(missing), this);
    return meter;
}

void CCliPreListDlg::ToEditDialog(const CCliPre& meter, CCliPreEditDlg& dlg)
{
    dlg.m_strMeterNo = meter.GetMeterNo();
    dlg.m_strLevel = meter.GetMeterLevel();
    dlg.m_strSuperNo = meter.GetSuperNo();
    dlg.m_strLineLoss = dlg.m_LineLossShown.Show(meter.GetTLWaste(), 2);
    dlg.m_bLineLoss = RoundAmount(meter.GetTLWaste()) != 0 ? 1 : 0;
    dlg.m_strTransLoss = dlg.m_TransLossShown.Show(meter.GetTTWaste(), 2);
    dlg.m_bTransLoss = RoundAmount(meter.GetTTWaste()) != 0 ? 1 : 0;
    dlg.m_strPrePayRate = QString::asprintf("%d", meter.GetPrePayRate());
    dlg.m_strModelId = meter.GetModelId();
    dlg.m_strParams[CCliPreEditDlg::ParamCt] = QString::asprintf("%d", meter.GetCt());
    dlg.m_strParams[CCliPreEditDlg::ParamPt] = QString::asprintf("%d", meter.GetPt());
    dlg.m_strParams[CCliPreEditDlg::ParamLimit] = meter.GetLimitValue();
    dlg.m_strParams[CCliPreEditDlg::ParamAlarm] = QString::asprintf("%d", meter.GetAlarmShold());
    dlg.m_strParams[CCliPreEditDlg::ParamClose] = QString::asprintf("%d", meter.GetCloseShold());
    dlg.m_strParams[CCliPreEditDlg::ParamPulses] = QString::asprintf("%d", meter.GetPulses());
    dlg.m_strParams[CCliPreEditDlg::ParamOutState] = meter.GetOutState();
    dlg.m_strDescrip = meter.GetDescrip();
    dlg.SetPriceShares(meter.GetPrePriceList());
}

void CCliPreListDlg::FromEditDialog(const CCliPreEditDlg& dlg, CCliPre& meter)
{
    meter.SetClientNo(dlg.m_strClientNo);
    meter.SetMeterNo(dlg.m_strMeterNo);
    meter.SetModelId(dlg.m_strModelId);
    meter.SetTTWaste(dlg.m_TransLossShown.ValueOf(dlg.m_strTransLoss));
    meter.SetTLWaste(dlg.m_LineLossShown.ValueOf(dlg.m_strLineLoss));
    meter.SetMeterLevel(dlg.m_strLevel);
    meter.SetSuperNo(dlg.m_strSuperNo);
    meter.SetCt(KvLeadingInteger(dlg.m_strParams[CCliPreEditDlg::ParamCt]));
    meter.SetPt(KvLeadingInteger(dlg.m_strParams[CCliPreEditDlg::ParamPt]));
    meter.SetLimitValue(dlg.m_strParams[CCliPreEditDlg::ParamLimit]);
    meter.SetAlarmShold(KvLeadingInteger(dlg.m_strParams[CCliPreEditDlg::ParamAlarm]));
    meter.SetCloseShold(KvLeadingInteger(dlg.m_strParams[CCliPreEditDlg::ParamClose]));
    meter.SetPulses(KvLeadingInteger(dlg.m_strParams[CCliPreEditDlg::ParamPulses]));
    meter.SetOutState(dlg.m_strParams[CCliPreEditDlg::ParamOutState]);
    meter.SetDescrip(dlg.m_strDescrip);
    meter.SetPrePayRate(KvLeadingInteger(dlg.m_strPrePayRate));
    meter.SetPrePrices(dlg.m_PriceShares, dlg.m_nPriceCount);
}

namespace {

// The carrier's record has fixed fields: a longer name reaches it cut, and the
// operator is told so before it is sent.
void WarnCutCarrierTexts(const CClient* user, QWidget* parent)
{
    const QStringList cut = CCarrierLink::CutTexts(user);
    if (!cut.isEmpty())
        PromptBox(QStringLiteral("%1太长，载波抄表系统只能保存其前面部分！").arg(cut.join(QStringLiteral("、"))),
                  parent, MB_OK | MB_ICONWARNING);
}

} // namespace

bool CCliPreListDlg::SaveNewMeter(CCliPre& meter, const CClient* user)
{
    // Rows left by a closed meter of that number are overwritten with fresh ones.
    const QString meterNo = meter.GetMeterNo();
    CPreLastWrt lastWrt;
    lastWrt.SetMeterNo(meterNo);
    if (CPreLastWrtList::ExistsMeterNo(meterNo))
        lastWrt.SetState(CKvPersistance::StateChanged);
    CHandReadBase readBase;
    readBase.SetMeterNo(meterNo);
    if (CHandReadBaseList::ExistsMeterNo(meterNo))
        readBase.SetState(CKvPersistance::StateChanged);

    CCarrierLink carrier;
    CarrierMeterInfo record = CCarrierLink::MakeMeterInfo(meter, user);
    WarnCutCarrierTexts(user, nullptr);
    if (!carrier.AgreeToAdd(record))
        return false;
    try {
        CAdoTransaction transaction(*GetMainDatabase());
        meter.Save();
        lastWrt.Save();
        readBase.Save();
        transaction.Commit();
    } catch (...) {
        carrier.ForgetAdded(meterNo);
        throw;
    }
    return true;
}

void CCliPreListDlg::OnAddMeter()
{
    auto meter = std::make_unique<CCliPre>();
    meter->SetClientNo(m_strClientNo);
    meter->SetMeterNo(m_strClientNo);
    for (;;) {
        CCliPreEditDlg dlg(nullptr, QStringLiteral("增加电表"));
        dlg.m_strClientNo = m_strClientNo;
        dlg.m_strClientName = m_strClientName;
        ToEditDialog(*meter, dlg);
        if (RunOperatorDialog(dlg) != IDOK)
            return;
        FromEditDialog(dlg, *meter);
        if (!CCliPreList::ExistsCurrentMeterNo(meter->GetMeterNo()))
            break;
        PromptBox(QStringLiteral("表计编号重复！"), this);
    }
    if (!SaveNewMeter(*meter, m_pClient))
        return;
    CCliPre* added = meter.release();
    m_meters.AppendRecord(added);
    const int row = m_list->GetItemCount();
    SetRow(row, added);
    m_list->SelectRow(row);
}

void CCliPreListDlg::OnModifyMeter()
{
    CCliPre* old = SelectedMeter("请选择表计!");
    if (!old)
        return;
    const int row = m_list->GetSelectedRow();
    CCliPreEditDlg dlg(nullptr, QStringLiteral("修改配表"));
    dlg.m_strClientNo = m_strClientNo;
    dlg.m_strClientName = m_strClientName;
    ToEditDialog(*old, dlg);
    if (RunOperatorDialog(dlg) != IDOK)
        return;
    auto changed = std::make_unique<CCliPre>();
    FromEditDialog(dlg, *changed);
    if (changed->IsEqual(*old))
        return; // nothing changes, and the carrier is not asked
    {
        CCarrierLink carrier;
        CarrierMeterInfo record = CCarrierLink::MakeMeterInfo(*changed, m_pClient);
        WarnCutCarrierTexts(m_pClient, this);
        if (!carrier.AgreeToModify(record))
            return;
    }
    CCliPre* current = changed.release();
    m_meters.UpdateVersion(current, old);
    // The closed version leaves the list, which holds the current meters.
    m_list->DeleteItem(row);
    m_meters.Remove(old);
    SetRow(row, current);
    m_list->SelectRow(row);
}

void CCliPreListDlg::OnDeleteMeter()
{
    CCliPre* meter = SelectedMeter("请选择电表!");
    if (!meter)
        return;
    const QString meterNo = meter->GetMeterNo();
    const QString clientNo = meter->GetClientNo();
    if (CCliSubList::ExistsForMeterNo(meterNo)) {
        PromptBox(QStringLiteral("该电表已有附表，请先删除附表！"));
        return;
    }
    if (AskBox(QStringLiteral("删除电表将把该电表的售电数据一起删除，确实要删除电表吗？"), this) != IDYES)
        return;
    CCarrierLink().DeleteMeter(meterNo);
    {
        // The payments and price shares find their rows through the sales and
        // the meter rows, so they go first.
        CAdoTransaction transaction(*GetMainDatabase());
        CClientPayList::DeleteByClientMeter(clientNo, meterNo);
        CWrtPriceList::DeleteByClientMeter(clientNo, meterNo);
        CWrtRecordList::DeleteByClientMeter(clientNo, meterNo);
        CPrePriceList::DeleteForMeter(clientNo, meterNo);
        CCliPreList::DeleteByClientAndMeter(clientNo, meterNo);
        CPreLastWrtList::DeleteByMeterNo(meterNo);
        CHandReadBaseList::DeleteByMeterNo(meterNo);
        CHandRead::DeleteByMeterNo(meterNo);
        transaction.Commit();
    }
    FillList();
}

void CCliPreListDlg::OnRemoveMeter()
{
    CCliPre* meter = SelectedMeter("请选择预付费电表！");
    if (!meter)
        return;
    CPreLastWrt lastWrt;
    meter->GetPreLastWrt(lastWrt);
    const QString opMode = lastWrt.GetOpMode();
    if (opMode != kRefunded && opMode != QStringLiteral("校园退费") && lastWrt.GetWrtNum() != -1) {
        PromptBox(QStringLiteral("请对该表执行返卡退费操作！"), this);
        return;
    }
    if (CCliSubList::ExistsCurrentForMeterNo(meter->GetMeterNo())) {
        PromptBox(QStringLiteral("请先拆除与该表相关的附表！"), this);
        return;
    }
    if (AskBox(QStringLiteral("确实要拆除该表吗？"), this) != IDYES)
        return;
    if (!CCarrierLink().PauseMeter(meter->GetMeterNo())) {
        PromptBox(QStringLiteral("载波软件停用失败！"));
        return;
    }
    meter->CloseToday();
    FillList();
}

void CCliPreListDlg::TakeBalance(const CCliBalance& balance)
{
    // A dialog that read another user's card, or none, holds no balance of
    // this user: the cached balance stays as it is.
    if (m_pClient && balance.GetClientNo() == m_pClient->GetClientNo())
        m_pClient->SetBalance(balance);
    if (m_pOwner)
        m_pOwner->RefreshSelectedBalance();
}

void CCliPreListDlg::OnRefund()
{
    CCliPre* meter = SelectedMeter("请选择电表！");
    if (!meter)
        return;
    CPreLastWrt lastWrt;
    meter->GetPreLastWrt(lastWrt);
    if (lastWrt.GetOpMode() == kRefunded) {
        PromptBox(QStringLiteral("该卡已退费！"), this);
        return;
    }
    CSaleDlg dlg(nullptr, kRefunded);
    dlg.m_strRefundMeterNo = meter->GetMeterNo();
    RunOperatorDialog(dlg);
    TakeBalance(dlg.m_Balance);
}

void CCliPreListDlg::RunCardDialog(const QString& operation, CCliPre* meter, bool takeBalance)
{
    CCardWriteDlg dlg(nullptr, operation);
    dlg.m_pMeter = meter;
    dlg.m_pClient = m_pClient;
    // A failed initialisation ("电价不存在！") leaves here: the dialog never opens.
    dlg.EnsureInitialised();
    RunOperatorDialog(dlg);
    if (takeBalance)
        TakeBalance(dlg.m_Balance);
}

void CCliPreListDlg::OnOpenAccount()
{
    CCliPre* meter = SelectedMeter("请选择预付费电表！");
    if (!meter)
        return;
    CPreLastWrt lastWrt;
    meter->GetPreLastWrt(lastWrt);
    if (lastWrt.GetOpMode() != kRefunded && lastWrt.GetWrtNum() != -1 &&
        AskBox(QStringLiteral("请确保已对该表进行返卡退费或已解决剩余电量问题！是否继续执行开户操作？"), this) != IDYES)
        return;
    RunCardDialog(QStringLiteral("电表开户"), meter, true);
}

bool CCliPreListDlg::IsInfraredMeter(const CCliPre& meter)
{
    CPreModelList models;
    const CPreModel* model = models.FindByModelId(meter.GetModelId());
    // A meter whose type is gone is no infrared meter either.
    if (!model || model->GetCardType() != QStringLiteral("红外遥控卡")) {
        PromptBox(QStringLiteral("非红外表不支持该操作！"), this);
        return false;
    }
    return true;
}

void CCliPreListDlg::OnReplacementCard()
{
    CCliPre* meter = SelectedMeter("请选择红外预付费电表！");
    if (meter && IsInfraredMeter(*meter))
        RunCardDialog(QStringLiteral("写补卡"), meter, true);
}

void CCliPreListDlg::OnSettingCard()
{
    CCliPre* meter = SelectedMeter("请选择红外预付费电表！");
    if (meter && IsInfraredMeter(*meter))
        RunCardDialog(QStringLiteral("写设置卡"), meter, false);
}

void CCliPreListDlg::OnCancelAuthorisation()
{
    if (CCliPre* meter = SelectedMeter("请选择预付费电表！"))
        RunCardDialog(QStringLiteral("取消授权"), meter, false);
}

void CCliPreListDlg::OnSubCard()
{
    if (CCliPre* meter = SelectedMeter("请选择预付费电表！"))
        RunCardDialog(QStringLiteral("附卡开户"), meter, false);
}

void CCliPreListDlg::OnReadingCard()
{
    if (CCliPre* meter = SelectedMeter("请选择预付费电表！"))
        RunCardDialog(QStringLiteral("写抄表卡"), meter, false);
}

void CCliPreListDlg::OnSubMeters()
{
    CCliPre* meter = SelectedMeter("请选择电表！");
    if (!meter)
        return;
    CCliSubListDlg dlg(nullptr, QStringLiteral("附表管理"));
    dlg.SetCliPre(meter);
    RunOperatorDialog(dlg);
}

#include "CCardWriteDlg.h"

#include "CCardWriter.h"
#include "CCliPre.h"
#include "CClient.h"
#include "CKvException.h"
#include "CKvExtList2.h"
#include "COperator.h"
#include "CPreModel.h"
#include "CReceiptDocument.h"
#include "CSaleDlg.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvCardMessages.h"
#include "KvEditListSetup.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "KvNumberInput.h"
#include "SysGlobals.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kInfrared = QStringLiteral("红外遥控卡");
const QString kIc = QStringLiteral("IC钥匙卡");
const QString kOpenAccount = QStringLiteral("电表开户");
const QString kCancelAuth = QStringLiteral("取消授权");
const QString kReplacement = QStringLiteral("写补卡");
const QString kSettingCard = QStringLiteral("写设置卡");
const QString kAttachedCard = QStringLiteral("附卡开户");
const QString kReadingCard = QStringLiteral("写抄表卡");

constexpr int kRightClearCard = 117; // 清卡

// Rows of the meter-type and archive lists that the writes read.
constexpr int kTypeDevType = 4;
constexpr int kTypeCardType = 5;
constexpr int kArchiveMeterNo = 0;
constexpr int kArchiveLimit = 5;
constexpr int kArchiveAlarm = 6;
constexpr int kArchiveCutOff = 7;
constexpr int kArchivePulses = 8;
constexpr int kArchiveOutState = 9;

QGroupBox* Group(QWidget* parent, const QString& title, QWidget* content)
{
    auto* group = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(content);
    return group;
}

void FillRows(CKvExtList2* list, const QList<QStringList>& rows)
{
    for (int row = 0; row < rows.size(); ++row) {
        list->InsertRow(row, rows.at(row).value(0), nullptr);
        list->SetItemText(row, 1, rows.at(row).value(1));
        list->SetItemText(row, 2, rows.at(row).value(2));
    }
}

} // namespace

CCardWriteDlg::CCardWriteDlg(QWidget* parent, const QString& operation) : CKvDialog(162, parent, operation)
{
    const auto button = [this](int id, const QString& text, void (CCardWriteDlg::*handler)()) {
        auto* b = CreateControl<QPushButton>(id);
        b->setText(text);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, KvGuarded([this, handler](auto...) { (this->*handler)(); }));
        return b;
    };
    m_test = button(1162, QStringLiteral("测试串口(&T)"), &CCardWriteDlg::OnTestPort);
    m_read = button(1135, QStringLiteral("读卡(&R)"), &CCardWriteDlg::OnReadCard);
    m_write = button(1132, QStringLiteral("写卡(&W)"), &CCardWriteDlg::OnWriteCard);
    m_clear = button(1134, QStringLiteral("清卡(&L)"), &CCardWriteDlg::OnClearCard);
    auto* cancel = CreateControl<QPushButton>(1021);
    cancel->setText(QStringLiteral("取消(&C)"));
    BindClose(cancel);

    m_cardTypeBox = CreateControl<QComboBox>(1133);
    m_cardTypeBox->addItem(kInfrared);
    m_cardTypeBox->addItem(kIc);
    m_port = CreateControl<QComboBox>(1136);
    for (int i = 1; i <= 20; ++i)
        m_port->addItem(QStringLiteral("com%1").arg(i));
    connect(m_port, &QComboBox::activated, this, KvGuarded([this](int) { OnSelectPort(); }));

    m_typeList = CreateControl<CKvExtList2>(1113);
    m_archiveList = CreateControl<CKvExtList2>(1110);
    m_priceList = CreateControl<CKvExtList2>(1074);

    auto* lists = new QHBoxLayout;
    lists->addWidget(Group(this, QStringLiteral("表型信息"), m_typeList));
    lists->addWidget(Group(this, QStringLiteral("档案数据"), m_archiveList));
    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(QStringLiteral("工作串口："), this));
    choices->addWidget(m_port);
    choices->addWidget(new QLabel(QStringLiteral("卡 类 型："), this));
    choices->addWidget(m_cardTypeBox);
    choices->addStretch();
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_test, m_read, m_write, m_clear, cancel})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 3);
    layout->addWidget(Group(this, QStringLiteral("收费性质"), m_priceList), 1);
    layout->addLayout(choices);
    layout->addLayout(buttons);
    resize(760, 560);
}

CCardWriteDlg::~CCardWriteDlg()
{
    // The price rows point at versions of the catalogue.
    m_priceList->DeleteAllItems();
    delete m_pPrintJob;
    m_pPrintJob = nullptr;
}

bool CCardWriteDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    if (!m_pMeter || !m_pClient)
        throw CKvException(QStringLiteral("没有指定电表或用户！"));

    // A user without a balance row and a meter without a card image keep
    // records keyed to them, so that what a write stores finds its row.
    if (!m_pClient->GetBalance(m_Balance))
        m_Balance.SetClientNo(m_pClient->GetClientNo());
    const bool hasLastWrt = m_pMeter->GetPreLastWrt(m_LastWrt) != 0;
    if (!hasLastWrt)
        m_LastWrt.SetMeterNo(m_pMeter->GetMeterNo());

    m_WrtRecords.Clear();
    m_priceList->DeleteAllItems();
    m_Prices.Clear();

    KvSetupEditList(m_priceList, 20,
                    {{QStringLiteral("价目名称"), 40},
                     {QStringLiteral("价目代码"), 20},
                     {QStringLiteral("单价"), 40},
                     {QStringLiteral("百分比%"), 20}});
    KvSetupEditList(
        m_archiveList, 20,
        {{QStringLiteral("参数名称"), 30}, {QStringLiteral("参数值"), 90}, {QStringLiteral("参数单位"), 0}});
    KvSetupEditList(m_typeList, 20,
                    {{QStringLiteral("参数名称"), 30}, {QStringLiteral("参数值"), 100}, {QStringLiteral("单位"), 0}});
    m_archiveList->SetCellColourCallback(&CSaleDlg::LabelColumnColour);
    m_typeList->SetCellColourCallback(&CSaleDlg::LabelColumnColour);
    m_priceList->SetCellColourCallback(&CSaleDlg::ValueColour);

    FillTypeList();
    FillArchiveList(hasLastWrt);
    FillPriceList();

    m_PortIndex = GetLocalSysPara()->GetIntPara(QStringLiteral("CardBoxCom"), 0);

    const QString operation = Operation();
    if (operation == kOpenAccount)
        m_write->setText(QStringLiteral("写开户卡(&O)"));
    else if (operation == kCancelAuth)
        m_write->setText(QStringLiteral("取消授权(&U)"));
    else if (operation == kReplacement)
        m_write->setText(QStringLiteral("写补卡(&P)"));
    else if (operation == kSettingCard)
        m_write->setText(QStringLiteral("写设置卡(&S)"));

    m_write->setEnabled(false);
    UpdateData(false);
    m_pPrintJob = new CReceiptDocument(*GetLocalDatabase(), this);
    const COperator* op = GetCurrentOperator();
    m_clear->setEnabled(op && op->HasRight(kRightClearCard));
    SetInitDone(1);
    return true;
}

bool CCardWriteDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate)
        m_PortIndex = m_port->currentIndex();
    else
        m_port->setCurrentIndex(m_PortIndex);
    return true;
}

void CCardWriteDlg::FillTypeList()
{
    CPreModelList models;
    // A meter whose type is gone shows the names with empty values; its card
    // type then matches no card.
    const CPreModel* model = models.FindByModelId(m_pMeter->GetModelId());
    const auto value = [model](auto get) { return model ? get(*model) : QString(); };
    FillRows(m_typeList, {
                             {QStringLiteral("表计型别"), value([](const CPreModel& m) { return m.GetModelId(); })},
                             {QStringLiteral("表计型号"), value([](const CPreModel& m) { return m.GetModel(); })},
                             {QStringLiteral("表计规格"), value([](const CPreModel& m) { return m.GetSpec(); })},
                             {QStringLiteral("内部倍率"),
                              value([](const CPreModel& m) { return QString::asprintf("%d", m.GetInnerMul()); })},
                             {QStringLiteral("设备类型"), value([](const CPreModel& m) { return m.GetDevType(); })},
                             {QStringLiteral("通讯方式"), value([](const CPreModel& m) { return m.GetCardType(); })},
                             {QStringLiteral("相线"), value([](const CPreModel& m) { return m.GetPhase(); })},
                             {QStringLiteral("基本电流"),
                              value([](const CPreModel& m) { return QString::asprintf("%0.1f", m.GetBaseValue()); }),
                              QStringLiteral("A")},
                             {QStringLiteral("最大限电流"),
                              value([](const CPreModel& m) { return QString::asprintf("%0.1f", m.GetMaxLimit()); }),
                              QStringLiteral("A")},
                             {QStringLiteral("最小限电流"),
                              value([](const CPreModel& m) { return QString::asprintf("%0.1f", m.GetMinLimit()); }),
                              QStringLiteral("A")},
                             {QStringLiteral("可外接CT"), value([](const CPreModel& m) { return m.GetbCt(); })},
                             {QStringLiteral("可外接PT"), value([](const CPreModel& m) { return m.GetbPt(); })},
                         });
}

void CCardWriteDlg::FillArchiveList(bool hasLastWrt)
{
    const CCliPre& meter = *m_pMeter;
    const bool infrared = m_typeList->GetItemText(kTypeCardType, 1) == kInfrared;
    const QString number =
        Operation() == kAttachedCard ? (hasLastWrt ? m_LastWrt.GetVNo() : QString()) : meter.GetMeterNo();
    FillRows(
        m_archiveList,
        {
            {QStringLiteral("表计编号"), number},
            {QStringLiteral("线损"), QString::asprintf("%0.2f", meter.GetTLWaste()), QStringLiteral("%")},
            {QStringLiteral("变损"), QString::asprintf("%0.2f", meter.GetTTWaste()), QStringLiteral("度/每月")},
            {QStringLiteral("CT倍率"), QString::asprintf("%d", meter.GetCt())},
            {QStringLiteral("PT倍率"), QString::asprintf("%d", meter.GetPt())},
            {QStringLiteral("限电值"), meter.GetLimitValue(), infrared ? QStringLiteral("A") : QStringLiteral("%")},
            {QStringLiteral("告警门限"), QString::asprintf("%d", meter.GetAlarmShold()), QStringLiteral("度")},
            {QStringLiteral("断电门限"), QString::asprintf("%d", meter.GetCloseShold()), QStringLiteral("度")},
            {QStringLiteral("脉冲常数"), QString::asprintf("%d", meter.GetPulses())},
            {QStringLiteral("输出状态"), meter.GetOutState()},
        });
    m_cardTypeBox->setCurrentIndex(m_cardTypeBox->findText(infrared ? kInfrared : kIc, Qt::MatchStartsWith));
}

void CCardWriteDlg::FillPriceList()
{
    m_Prices.LoadValidOfType(QStringLiteral("预付费电价"));
    m_WeightedPrice = 0;
    const CPrePriceList& shares = m_pMeter->GetPrePriceList();
    for (int i = 0; i < shares.GetCount(); ++i) {
        const CPrePrice* share = shares.At(i);
        CPriceVer* version = m_Prices.FindLoadedByPriceNo(share->GetPriceNo());
        if (!version)
            throw CKvException(QStringLiteral("电价不存在！"));
        const int row = m_priceList->InsertRow(m_priceList->GetItemCount(), version->GetPriceName(), version);
        m_priceList->SetItemText(row, 1, share->GetPriceNo());
        m_priceList->SetItemText(row, 2, QString::asprintf("%0.4f", version->GetPrice()));
        m_priceList->SetItemText(row, 3, QString::asprintf("%d", share->GetPricePercent()));
        m_WeightedPrice += share->GetPricePercent() * version->GetPrice() * 0.01;
    }
}

// ---------------------------------------------------------------- read

void CCardWriteDlg::OnReadCard()
{
    m_write->setEnabled(false);
    CCardWriter writer(m_PortIndex + 1, this);
    m_CardType = m_cardTypeBox->currentText();
    if (m_CardType == kInfrared)
        ReadInfraredCard(writer);
    else if (m_CardType == kIc)
        ReadIcCard(writer);
}

void CCardWriteDlg::ReadInfraredCard(CCardWriter& writer)
{
    writer.ReadCard();
    QStringList fields;
    int count = 0;
    writer.GetFields(fields, count);
    const QString message = KvInfraredCardMessage(fields, KvCardTabs::CardDialog);
    if (!message.isEmpty())
        PromptBox(message, this);
    if (fields.value(1) == QLatin1String("00"))
        m_write->setEnabled(true);
}

void CCardWriteDlg::ReadIcCard(CCardWriter& writer)
{
    writer.ReadIcCard();
    QStringList fields;
    int count = 0;
    writer.GetFields(fields, count);
    const QString code = fields.value(1);
    const QString operation = Operation();
    const QString threeTabs(3, u'\t');
    if (code == QLatin1String("00")) {
        if (operation == kOpenAccount || operation == kCancelAuth)
            PromptBox(QStringLiteral("该卡为空白卡！"), this);
        if (operation == kOpenAccount)
            m_write->setEnabled(true);
    } else if (code == QLatin1String("06")) {
        if (fields.value(2) != m_archiveList->GetItemText(kArchiveMeterNo, 1)) {
            PromptBox(
                KvCardDataMessage(QStringLiteral("该卡为已用补卡，但卡上表号与指定表号不符！"), fields, threeTabs),
                this);
        } else if (operation == kCancelAuth) {
            PromptBox(
                KvCardDataMessage(QStringLiteral("该卡为已用补卡！且卡上表号与指定表号相符！"), fields, threeTabs),
                this);
            m_write->setEnabled(true);
        } else {
            PromptBox(KvCardDataMessage(QStringLiteral("该卡为已用补卡！"), fields, threeTabs), this);
        }
    } else if (code == QLatin1String("01") || code == QLatin1String("02") || code == QLatin1String("03") ||
               code == QLatin1String("04") || code == QLatin1String("05") || code == QLatin1String("07")) {
        PromptBox(KvCardDataMessage(KvCardDataHead(code), fields, threeTabs), this);
    } else if (code == QLatin1String("08")) {
        PromptBox(QStringLiteral("该卡为设置卡！"), this);
    } else if (code == QLatin1String("09")) {
        PromptBox(QStringLiteral("该卡为未知卡！"), this);
    }
}

// ---------------------------------------------------------------- write

void CCardWriteDlg::OnWriteCard()
{
    const QString meterNo = m_pMeter->GetMeterNo();
    m_CardType = m_cardTypeBox->currentText();
    const QString operation = Operation();
    if (m_CardType != m_typeList->GetItemText(kTypeCardType, 1) && operation != kReadingCard) {
        PromptBox(QStringLiteral("所选卡类型与档案不符！"), this);
        return;
    }
    m_write->setEnabled(false);

    CCardWriter writer(m_PortIndex + 1, this);
    QString result;
    if (operation == kOpenAccount) {
        if ((m_CardType == kInfrared || m_CardType == kIc) && WriteOpenAccount(meterNo))
            EndDialog(IDOK);
    } else if (operation == kCancelAuth) {
        if (m_CardType == kInfrared)
            writer.WriteCancelCard(meterNo, result);
        else if (m_CardType == kIc)
            writer.WriteIcCancelCard(meterNo, result);
        else
            return;
        EndDialog(IDOK);
    } else if (operation == kReplacement) {
        CPreLastWrtList images;
        const CPreLastWrt* image = images.LoadByMeterNo(meterNo);
        if (image && image->GetOpMode() == QStringLiteral("返卡退费")) {
            PromptBox(QStringLiteral("因上次是返卡退费操作，建议不要直接补卡充值！"), this);
            writer.WriteReplacementCard(meterNo, result);
        } else if (GetMainSysPara()->GetStringPara(QStringLiteral("bCompWrt")) == QStringLiteral("是")) {
            WriteReplacementWithTopUp();
        } else {
            writer.WriteReplacementCard(meterNo, result);
        }
        EndDialog(IDOK);
    } else if (operation == kSettingCard) {
        WriteSettingCard(writer, meterNo);
        EndDialog(IDOK);
    } else if (operation == kAttachedCard) {
        WriteOpenAndUsedCard(writer, QStringLiteral("9") + meterNo.right(7));
    } else if (operation == kReadingCard) {
        WriteOpenAndUsedCard(writer, meterNo);
    }
}

void CCardWriteDlg::WriteSettingCard(CCardWriter& writer, const QString& meterNo)
{
    const auto value = [this](int row) { return KvLeadingInteger(m_archiveList->GetItemText(row, 1)); };
    const int limit = value(kArchiveLimit);
    const int alarm = value(kArchiveAlarm);
    const int cutOff = value(kArchiveCutOff);
    const int pulses = value(kArchivePulses);
    const int outState = m_archiveList->GetItemText(kArchiveOutState, 1) == QStringLiteral("常闭") ? 0 : 1;
    QString result;
    if (m_typeList->GetItemText(kTypeDevType, 1) == QStringLiteral("预付费电表"))
        writer.WriteSettingCard(meterNo, limit, alarm, cutOff, result);
    else
        writer.WriteSettingCardEx(meterNo, alarm, cutOff, pulses, outState, result);
}

void CCardWriteDlg::WriteOpenAndUsedCard(CCardWriter& writer, const QString& cardNo)
{
    QString result;
    if (!writer.WriteOpenCard(cardNo, 0, result))
        return;
    PromptBox(QStringLiteral("请准备读卡！"), this);
    writer.ReadCard();
    PromptBox(QStringLiteral("请准备写已用卡！"), this);
    writer.WriteUsedCard(cardNo);
}

// ---------------------------------------------------------------- buttons

void CCardWriteDlg::OnClearCard()
{
    m_write->setEnabled(false);
    CCardWriter writer(m_PortIndex + 1, this);
    m_CardType = m_cardTypeBox->currentText();
    if (m_CardType == kInfrared)
        writer.ClearCard();
    else if (m_CardType == kIc)
        writer.ClearIcCard();
}

void CCardWriteDlg::OnSelectPort()
{
    UpdateData(true);
    GetLocalSysPara()->SetIntPara(QStringLiteral("CardBoxCom"), m_PortIndex);
}

void CCardWriteDlg::OnTestPort()
{
    CCardWriter writer(m_PortIndex + 1, this);
    if (writer.TestPort())
        PromptBox(QStringLiteral("与写卡机通讯正常！"), this);
    else
        PromptBox(QStringLiteral("与写卡机通讯不正常！"), this);
}

#include "CSpecialCardDlg.h"

#include "CCardWriter.h"
#include "CEmergencyPowerDlg.h"
#include "CSetCardDlg.h"
#include "CSysPara.h"
#include "KvCardMessages.h"
#include "KvDialogRunner.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "SysGlobals.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Special cards are written for no meter of the archive.
const QString kAnyMeter = QStringLiteral("99999999");

} // namespace

CSpecialCardDlg::CSpecialCardDlg(QWidget* parent, const QString& caption) : CKvDialog(221, parent, caption)
{
    const auto button = [this](int id, const QString& text, void (CSpecialCardDlg::*handler)()) {
        auto* b = CreateControl<QPushButton>(id);
        b->setText(text);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, KvGuarded([this, handler](auto...) { (this->*handler)(); }));
        return b;
    };
    m_settingCard = button(1127, QStringLiteral("写设置卡(&S)"), &CSpecialCardDlg::OnSettingCard);
    m_emergencyCard = button(1315, QStringLiteral("写应急卡(&U)"), &CSpecialCardDlg::OnEmergencyCard);
    m_clearMeterCard = button(1316, QStringLiteral("写清表卡(&L)"), &CSpecialCardDlg::OnClearMeterCard);
    m_refundCard = button(1118, QStringLiteral("写退费卡(&W)"), &CSpecialCardDlg::OnRefundCard);
    m_superCard = button(1029, QStringLiteral("写超级卡(&P)"), &CSpecialCardDlg::OnSuperCard);
    m_superCard->setEnabled(false); // created disabled and never enabled
    QPushButton* read = button(1135, QStringLiteral("读卡(&R)"), &CSpecialCardDlg::OnReadCard);
    QPushButton* clear = button(1319, QStringLiteral("清卡(&E)"), &CSpecialCardDlg::OnClearCard);
    auto* close = CreateControl<QPushButton>(1050);
    close->setText(QStringLiteral("返回"));
    BindClose(close);

    m_port = CreateControl<QComboBox>(1136);
    for (int i = 1; i <= 20; ++i)
        m_port->addItem(QStringLiteral("com%1").arg(i));
    connect(m_port, &QComboBox::currentIndexChanged, this, KvGuarded([this](int) {
                if (IsInitDone())
                    OnPortChanged();
            }));

    auto* port = new QHBoxLayout;
    port->addWidget(new QLabel(QStringLiteral("工作串口"), this));
    port->addWidget(m_port);
    port->addStretch();
    auto* grid = new QGridLayout;
    const QPushButton* order[] = {
        m_settingCard, m_emergencyCard, m_clearMeterCard, m_refundCard, m_superCard, read, clear, close};
    for (int i = 0; i < 8; ++i)
        grid->addWidget(const_cast<QPushButton*>(order[i]), i / 2, i % 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(port);
    layout->addLayout(grid);
}

bool CSpecialCardDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_nPortIndex = GetLocalSysPara()->GetIntPara(QStringLiteral("CardBoxCom"), 0);
    EnableWriteButtons(false);
    UpdateData(false);
    SetInitDone(1);
    return true;
}

bool CSpecialCardDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate)
        m_nPortIndex = m_port->currentIndex();
    else
        m_port->setCurrentIndex(m_nPortIndex);
    return true;
}

void CSpecialCardDlg::EnableWriteButtons(bool enable)
{
    for (QPushButton* b : {m_emergencyCard, m_settingCard, m_refundCard, m_clearMeterCard})
        b->setEnabled(enable);
}

void CSpecialCardDlg::OnPortChanged()
{
    UpdateData(true);
    GetLocalSysPara()->SetIntPara(QStringLiteral("CardBoxCom"), m_nPortIndex);
}

void CSpecialCardDlg::OnReadCard()
{
    CCardWriter writer(Port(), this);
    writer.ReadCard();
    QStringList fields;
    int count = 0;
    writer.GetFields(fields, count);
    const QString message = KvInfraredCardMessage(fields, KvCardTabs::SpecialCardDialog);
    if (message.isEmpty())
        return;
    PromptBox(message, this);
    if (fields.value(1) == QLatin1String("00"))
        EnableWriteButtons(true);
}

void CSpecialCardDlg::OnEmergencyCard()
{
    CEmergencyPowerDlg dlg(nullptr);
    if (RunOperatorDialog(dlg) != IDOK)
        return;
    EnableWriteButtons(false);
    CCardWriter writer(Port(), this);
    writer.WriteEmergencyCard(dlg.GetPower());
}

void CSpecialCardDlg::OnRefundCard()
{
    EnableWriteButtons(false);
    CCardWriter writer(Port(), this);
    writer.WriteRefundCard();
}

void CSpecialCardDlg::OnClearMeterCard()
{
    EnableWriteButtons(false);
    CCardWriter writer(Port(), this);
    writer.WriteClearMeterCard();
}

void CSpecialCardDlg::OnClearCard()
{
    CCardWriter writer(Port(), this);
    writer.ClearCard();
}

void CSpecialCardDlg::OnSettingCard()
{
    CSetCardDlg dlg(nullptr);
    if (RunOperatorDialog(dlg) != IDOK)
        return;
    EnableWriteButtons(false);
    const int alarm = dlg.m_strAlarm.toInt();
    const int cutOff = dlg.m_strCutOff.toInt();
    CCardWriter writer(Port(), this);
    QString result;
    if (dlg.m_nDevType == CSetCardDlg::PrepaidMeter)
        writer.WriteSettingCard(kAnyMeter, dlg.m_strLimit.toInt(), alarm, cutOff, result);
    else
        writer.WriteSettingCardEx(kAnyMeter, alarm, cutOff, dlg.m_strPulses.toInt(), dlg.m_nOutState, result);
}

void CSpecialCardDlg::OnSuperCard()
{
    CCardWriter writer(Port(), this);
    writer.WriteSuperCard();
}

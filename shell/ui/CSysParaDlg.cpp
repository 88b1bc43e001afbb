#include "CSysParaDlg.h"

#include "CAdoConnection.h"
#include "CDynamicLibrary.h"
#include "CKvComboBox.h"
#include "CKvEdit.h"
#include "CNumEdit.h"
#include "CRemoteServerDlg.h"
#include "CSysPara.h"
#include "KvAdminUi.h"
#include "KvMessage.h"
#include "KvNumberField.h"
#include "SysGlobals.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <cstring>

namespace {

const QString kYes = QStringLiteral("是");
const QString kNo = QStringLiteral("否");

QString yesNo(const QCheckBox* box)
{
    return box->isChecked() ? kYes : kNo;
}

// A number text read as atoi reads it: leading blanks, a sign, the digits
// that follow; anything else gives 0.
int textToInt(const QString& text)
{
    const QString trimmed = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed[i] == u'-' || trimmed[i] == u'+'))
        negative = trimmed[i++] == u'-';
    qint64 value = 0;
    for (; i < trimmed.size() && trimmed[i].isDigit() && value <= INT_MAX; ++i)
        value = value * 10 + trimmed[i].digitValue();
    value = qMin<qint64>(value, INT_MAX);
    return static_cast<int>(negative ? -value : value);
}

// Chooses the item whose text equals the stored one exactly; none when no item does.
void selectText(CKvComboBox* box, const QString& text)
{
    box->setCurrentIndex(box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

// A text as the outside library takes it: at most `maxBytes` bytes, whole characters.
QByteArray libraryText(const QString& text, int maxBytes)
{
    QByteArray bytes;
    for (const QChar ch : text) {
        const QByteArray next = QString(ch).toUtf8();
        if (bytes.size() + next.size() > maxBytes)
            break;
        bytes += next;
    }
    return bytes;
}

using GetRemoteServerFn = int (*)(char* address, char* port);
using SaveRemoteServerFn = int (*)(const char* address, const char* port);

} // namespace

CSysParaDlg::CSysParaDlg(QWidget* parent, const QString& caption) : CKvDialog(179, parent, caption)
{
    m_clientName = CreateControl<CKvEdit>(1202);
    m_compRateWater = CreateControl<CNumEdit>(1037);
    m_memNum = CreateControl<CNumEdit>(1198);
    m_buyUnit = CreateControl<CKvComboBox>(1063);
    m_buyUnit->addItems({QStringLiteral("元"), QStringLiteral("度")});
    m_invoiceMode = CreateControl<CKvComboBox>(1064);
    m_invoiceMode->addItems({QStringLiteral("自动"), QStringLiteral("手工录入")});
    m_invoiceNum = CreateControl<CKvEdit>(1065);
    m_invoiceNum->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_invoiceNum));
    m_payModeFlag = makeCheck(1299, QStringLiteral("可选支付方式"));
    m_payMode = CreateControl<CKvComboBox>(1300);
    m_payMode->addItems({QStringLiteral("现金"), QStringLiteral("支票")});
    m_change = makeCheck(1068, QStringLiteral("零钱寄存"));
    m_print = makeCheck(1069, QStringLiteral("即时打印票据"));
    m_prog = makeCheck(1036, QStringLiteral("采用编程器上传抄表数据"));
    m_tell = makeCheck(1150, QStringLiteral("住户报数"));
    m_compWrt = makeCheck(1078, QStringLiteral("补卡直接充值"));
    m_lineLoss = makeCheck(1025, QStringLiteral("计线损"));
    m_lWaste = CreateControl<CNumEdit>(1097);
    m_transLoss = makeCheck(1026, QStringLiteral("计变损"));
    m_autoSetFix = makeCheck(1105, QStringLiteral("用户建档时设置定额收费项"));
    m_remote = makeCheck(1129, QStringLiteral("从其他系统获取收费数据"));
    m_remoteButton = MakeDialogButton(this, 1130, QStringLiteral("远程设置(&S)"));
    QPushButton* ok = MakeConfirmButton(this, QStringLiteral("确定(&O)"));
    OnClickGuarded(m_remoteButton, this, [this] { OnRemoteSetting(); });
    connect(m_lineLoss, &QCheckBox::clicked, this, [this] { applyLineLossRule(); });
    connect(m_remote, &QCheckBox::clicked, this, [this] { applyRemoteRule(); });
    // At most one way of sub-meter readings: each box clears the other.
    connect(m_tell, &QCheckBox::clicked, this, [this] { m_prog->setChecked(false); });
    connect(m_prog, &QCheckBox::clicked, this, [this] { m_tell->setChecked(false); });

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("使用单位名称："), m_clientName);
    auto withUnit = [](QWidget* edit, const QString& unit) {
        auto* row = new QHBoxLayout;
        row->addWidget(edit);
        row->addWidget(new QLabel(unit));
        return row;
    };
    fields->addRow(QStringLiteral("每人每天补助水量："), withUnit(m_compRateWater, QStringLiteral("吨")));
    fields->addRow(QStringLiteral("每宿舍默认人数："), m_memNum);
    fields->addRow(QStringLiteral("申购单位："), m_buyUnit);
    fields->addRow(QStringLiteral("票据号来自："), m_invoiceMode);
    fields->addRow(QStringLiteral("票据联数："), m_invoiceNum);
    fields->addRow(m_payModeFlag);
    fields->addRow(QStringLiteral("默认支付方式："), m_payMode);
    for (QCheckBox* box : {m_change, m_print, m_prog, m_tell, m_compWrt, m_lineLoss})
        fields->addRow(box);
    fields->addRow(QStringLiteral("默认值："), withUnit(m_lWaste, QStringLiteral("%")));
    for (QCheckBox* box : {m_transLoss, m_autoSetFix, m_remote})
        fields->addRow(box);
    LayOutDialog(this, fields, {m_remoteButton}, {ok});
}

QCheckBox* CSysParaDlg::makeCheck(int id, const QString& text)
{
    QCheckBox* box = CreateControl<QCheckBox>(id);
    box->setText(text);
    return box;
}

bool CSysParaDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_compRateWater->SetDecimals(10);
    m_lWaste->SetDecimals(10);
    CSysPara* para = GetMainSysPara();
    m_clientName->setText(para->GetClientName());
    selectText(m_buyUnit, para->GetBuyUnit());
    selectText(m_invoiceMode, para->GetInvoiceNoMode());
    m_invoiceNum->setText(QString::number(para->GetInvoiceNum()));
    selectText(m_payMode, para->GetPayMode());
    m_payModeFlag->setChecked(para->GetPayModeFlag() == kYes);
    m_change->setChecked(para->GetChangeFlag() == kYes);
    m_print->setChecked(para->GetPrintFlag() == kYes);
    m_prog->setChecked(para->GetProgFlag() == kYes);
    m_compWrt->setChecked(para->GetCompWrtFlag() == kYes);
    m_compRateWater->setText(m_compRateWaterShown.Show(para->GetCompRateWater(), 6));
    m_memNum->setText(QString::number(para->GetMemNum()));
    m_autoSetFix->setChecked(para->GetAutoSetFixFlag() == kYes);
    m_remote->setChecked(para->GetRemoteFlag() == kYes);
    m_tell->setChecked(para->GetTellFlag() == kYes);
    m_lineLoss->setChecked(para->GetLineLossFlag() == kYes);
    m_transLoss->setChecked(para->GetTransLossFlag() == kYes);
    m_lWaste->setText(m_lWasteShown.Show(para->GetLWaste(), 2));
    applyLineLossRule();
    applyRemoteRule();
    SetInitDone(1);
    return true;
}

void CSysParaDlg::applyLineLossRule()
{
    if (m_lineLoss->isChecked()) {
        m_lWaste->setReadOnly(false);
        m_lWaste->setFocus();
    } else {
        m_lWaste->setReadOnly(true);
        m_lWasteShown.Forget();
        m_lWaste->setText(QStringLiteral("0.0"));
    }
}

void CSysParaDlg::applyRemoteRule()
{
    m_remoteButton->setEnabled(m_remote->isChecked());
}

void CSysParaDlg::OnOK()
{
    // A text that does not begin as a number is stored as 0; one that does must
    // be wholly a number within its range, or it is refused by the field's name
    // before anything is written.
    const struct
    {
        CNumEdit* edit;
        KvNumberField field;
    } numbers[] = {
        {m_compRateWater, {QStringLiteral("每人每天补助水量"), 0, 999, 10}},
        {m_memNum, {QStringLiteral("每宿舍默认人数"), 0, 999}},
        {m_lWaste, {QStringLiteral("默认线损"), 0, 100, 10}},
    };
    for (const auto& number : numbers) {
        const QString text = number.edit->text();
        double value = 0;
        static const QRegularExpression leadingNumber(QStringLiteral("^\\s*[+-]?\\.?[0-9]"));
        if (leadingNumber.match(text).hasMatch() && !KvReadNumber(text, number.field, &value)) {
            PromptBox(number.field.Refusal(), this);
            number.edit->setFocus();
            return;
        }
    }
    // Each receipt is printed this many times: a number outside 1 to 9 is
    // refused (a text that is no number is still stored as 0).
    const QString invoiceNum = m_invoiceNum->text().trimmed();
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    bool fits = false;
    const qlonglong copies = invoiceNum.toLongLong(&fits);
    if (digits.match(invoiceNum).hasMatch() && (!fits || copies < 1 || copies > 9)) {
        PromptBox(QStringLiteral("票据联数应为1到9！"), this);
        m_invoiceNum->setFocus();
        return;
    }
    const int buyIndex = m_buyUnit->currentIndex();
    const int invoiceIndex = m_invoiceMode->currentIndex();
    const int payIndex = m_payMode->currentIndex();
    CSysPara* para = GetMainSysPara();
    CAdoConnection& db = *para->GetDatabase();
    try {
        // All values or none: a failure part-way leaves every setting as it was.
        CAdoTransaction transaction(db);
        para->SetChangeFlag(yesNo(m_change));
        para->SetPrintFlag(yesNo(m_print));
        para->SetPayModeFlag(yesNo(m_payModeFlag));
        para->SetPayMode(payIndex >= 0 ? m_payMode->itemText(payIndex) : QString());
        para->SetProgFlag(yesNo(m_prog));
        para->SetBuyUnit(buyIndex >= 0 ? m_buyUnit->itemText(buyIndex) : QString());
        para->SetInvoiceNoMode(invoiceIndex >= 0 ? m_invoiceMode->itemText(invoiceIndex) : QString());
        para->SetClientName(m_clientName->text());
        para->SetCompRateWater(m_compRateWaterShown.ValueOf(m_compRateWater->text()));
        para->SetInvoiceNum(textToInt(m_invoiceNum->text()));
        para->SetCompWrtFlag(yesNo(m_compWrt));
        para->SetLineLossFlag(yesNo(m_lineLoss));
        para->SetTransLossFlag(yesNo(m_transLoss));
        para->SetLWaste(m_lWasteShown.ValueOf(m_lWaste->text()));
        para->SetAutoSetFixFlag(yesNo(m_autoSetFix));
        para->SetMemNum(textToInt(m_memNum->text()));
        transaction.Commit();
    } catch (...) {
        // The setters cached the values they could not keep.
        para->ForgetCache();
        GetLocalSysPara()->ForgetCache();
        throw;
    }
    para->SetRemoteFlag(yesNo(m_remote));
    para->SetTellFlag(yesNo(m_tell));
    QDialog::accept();
}

void CSysParaDlg::OnRemoteSetting()
{
    CDynamicLibrary library(QStringLiteral("Raskell.dll"));
    auto getServer = library.GetProc<GetRemoteServerFn>("GetRemoteServer");
    auto saveServer = library.GetProc<SaveRemoteServerFn>("SaveRemoteServer");
    if (!getServer || !saveServer)
        return; // no remote charging on this machine
    char address[20];
    char port[24];
    std::memset(address, 0, sizeof address);
    std::memset(port, 0, sizeof port);
    getServer(address, port);
    // Whatever the library wrote, the texts end inside their buffers.
    address[sizeof address - 1] = '\0';
    port[sizeof port - 1] = '\0';

    CRemoteServerDlg dialog;
    dialog.m_address = QString::fromUtf8(address);
    dialog.m_port = QString::fromUtf8(port);
    dialog.DoModal();
    saveServer(libraryText(dialog.m_address, CRemoteServerDlg::MaxAddressBytes).constData(),
               libraryText(dialog.m_port, CRemoteServerDlg::MaxPortBytes).constData());
}

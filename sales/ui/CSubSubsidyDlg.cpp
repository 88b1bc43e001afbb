#include "CSubSubsidyDlg.h"

#include "CNumEdit.h"
#include "COperator.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvDatePicker.h"
#include "KvMessage.h"
#include "KvNumberCheck.h"
#include "KvSaleDialogButtons.h"
#include "KvSaleFees.h"
#include "SysGlobals.h"

#include <QDateTimeEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int kRightSubsidy = 110; // 补助处理

} // namespace

CSubSubsidyDlg::CSubSubsidyDlg(QWidget* parent, const QString& caption) : CKvDialog(178, parent, caption)
{
    m_subsidy = CreateControl<CNumEdit>(1190);
    const auto shown = [this](int id) {
        auto* edit = CreateControl<QLineEdit>(id);
        edit->setReadOnly(true);
        return edit;
    };
    m_lastRead = shown(1187);
    m_use = shown(1189);
    m_thisRead = shown(1188);
    const auto date = [this](int id) {
        auto* picker = CreateControl<QDateTimeEdit>(id);
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        KvTabLeavesDateBox(picker);
        picker->setEnabled(false);
        return picker;
    };
    m_lastDate = date(1194);
    m_thisDate = date(1195);
    m_rate = shown(1196);
    m_days = shown(1197);
    m_persons = shown(1198);
    m_subNo = shown(1185);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("附表编号："), m_subNo);
    form->addRow(QStringLiteral("上次抄数："), m_lastRead);
    form->addRow(QStringLiteral("本次抄数："), m_thisRead);
    form->addRow(QStringLiteral("本期用量："), m_use);
    form->addRow(QStringLiteral("上次抄表日："), m_lastDate);
    form->addRow(QStringLiteral("本次抄表日："), m_thisDate);
    form->addRow(QStringLiteral("人数："), m_persons);
    form->addRow(QStringLiteral("天数："), m_days);
    form->addRow(QStringLiteral("人日补助："), m_rate);
    form->addRow(QStringLiteral("补助量："), m_subsidy);

    QHBoxLayout* buttons = MakeConfirmCancelRow(*this, QStringLiteral("确认(&O)"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

bool CSubSubsidyDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_subsidy->SetDecimals(4);
    const COperator* op = GetCurrentOperator();
    m_subsidy->setReadOnly(!(op && op->HasRight(kRightSubsidy)));

    const SubsidyProposal proposal =
        ProposeSubsidy(m_LastReadDate, m_ThisReadDate, m_strPersons, GetMainSysPara()->GetCompRateWater());
    m_strDays = QString::asprintf("%d", proposal.days);
    m_strRate = QString::asprintf("%0.4f", proposal.rate);
    m_strSubsidy = QString::asprintf("%0.4f", proposal.subsidy);
    UpdateData(false);
    m_subsidy->setFocus();
    SetInitDone(1);
    return true;
}

bool CSubSubsidyDlg::DoDataExchange(bool saveAndValidate)
{
    const struct
    {
        QString* member;
        QLineEdit* edit;
    } texts[] = {{&m_strSubsidy, m_subsidy},   {&m_strLastRead, m_lastRead}, {&m_strUse, m_use},
                 {&m_strThisRead, m_thisRead}, {&m_strRate, m_rate},         {&m_strDays, m_days},
                 {&m_strPersons, m_persons},   {&m_strSubNo, m_subNo}};
    for (const auto& text : texts) {
        if (saveAndValidate)
            *text.member = text.edit->text();
        else
            text.edit->setText(*text.member);
    }
    if (saveAndValidate) {
        m_LastReadDate = m_lastDate->dateTime();
        m_ThisReadDate = m_thisDate->dateTime();
    } else {
        m_lastDate->setDateTime(m_LastReadDate);
        m_thisDate->setDateTime(m_ThisReadDate);
    }
    return true;
}

void CSubSubsidyDlg::OnOK()
{
    UpdateData(true);
    if (m_strSubsidy.isEmpty()) {
        PromptBox(QStringLiteral("请输入补助量！"), this);
        m_subsidy->setFocus();
        return;
    }
    // The subsidy lowers the reading's charge: below 0 it would charge more
    // than was used, beyond the range it would make everything free. The range
    // is the purchase input's; the proposal has 4 decimals.
    if (!KvCheckNumberFields(this, {{m_strSubsidy, {QStringLiteral("补助量"), 0, 99999999, 4}, m_subsidy}}))
        return;
    CKvDialog::OnOK();
}

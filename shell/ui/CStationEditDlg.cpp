#include "CStationEditDlg.h"

#include "CKvEdit.h"
#include "KvAdminUi.h"
#include "KvMessage.h"
#include "KvUtil.h"

#include <QFormLayout>
#include <QPushButton>
#include <QRegularExpressionValidator>

CStationEditDlg::CStationEditDlg(QWidget* parent, const QString& caption) : CKvDialog(227, parent, caption)
{
    m_noEdit = CreateControl<CKvEdit>(1335);
    m_noEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_noEdit));
    m_nameEdit = CreateControl<CKvEdit>(1334);
    QPushButton* ok = MakeConfirmButton(this, QStringLiteral("确认(&O)"));
    QPushButton* cancel = MakeCloseButton(this, 1021, QStringLiteral("取消(&C)"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("工作站编号："), m_noEdit);
    fields->addRow(QStringLiteral("工作站名称："), m_nameEdit);
    LayOutDialog(this, fields, {}, {ok, cancel});
}

bool CStationEditDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    if (GetCaption() == QStringLiteral("增加工作站")) {
        m_noEdit->setFocus();
    } else {
        m_noEdit->setEnabled(false);
        m_nameEdit->setFocus();
    }
    return true;
}

bool CStationEditDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_stationNo = m_noEdit->text();
        m_stationName = m_nameEdit->text();
    } else {
        m_noEdit->setText(m_stationNo);
        m_nameEdit->setText(m_stationName);
    }
    return true;
}

void CStationEditDlg::OnOK()
{
    UpdateData(true);
    // A name is checked and stored without the blanks around it: blanks alone are no name.
    TrimString(m_stationName);
    QString refusal;
    if (GbkByteLength(m_stationNo) != 2)
        refusal = QStringLiteral("工作站编号长度为2！");
    else if (m_stationNo == QStringLiteral("00"))
        refusal = QStringLiteral("工作站编号不应为00！");
    else if (m_stationNo.toInt() > 20)
        refusal = QStringLiteral("工作站编号不应大于20！");
    else if (m_stationName.isEmpty())
        refusal = QStringLiteral("请输入工作站名称！");
    else if (GbkByteLength(m_stationName) > 20)
        refusal = QStringLiteral("工作站名称长度不应大于20！");
    if (!refusal.isEmpty()) {
        PromptBox(refusal, this);
        return;
    }
    QDialog::accept();
}

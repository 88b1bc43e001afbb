#include "CStationSelectDlg.h"

#include "CKvComboBox.h"
#include "CSysPara.h"
#include "KvAdminUi.h"
#include "SysGlobals.h"

#include <QFormLayout>
#include <QPushButton>

CStationSelectDlg::CStationSelectDlg(QWidget* parent, const QString& caption) : CKvDialog(222, parent, caption)
{
    m_stationBox = CreateControl<CKvComboBox>(1336);
    QPushButton* ok = MakeConfirmButton(this, QStringLiteral("确认(&O)"));
    QPushButton* cancel = MakeCloseButton(this, 1021, QStringLiteral("取消(&C)"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("工作站名称："), m_stationBox);
    LayOutDialog(this, fields, {}, {ok, cancel});
}

bool CStationSelectDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_stationNo =
        QStringLiteral("%1").arg(GetLocalSysPara()->GetIntPara(QStringLiteral("StationNo")), 2, 10, QChar('0'));
    FillStationBox(m_stationBox, m_stations, m_stationNo);
    m_stationBox->setFocus();
    return true;
}

void CStationSelectDlg::OnOK()
{
    const CStation* chosen = ChosenStation(m_stationBox, m_stations);
    m_stationNo = chosen ? chosen->GetStationNo() : QStringLiteral("00");
    GetLocalSysPara()->SetIntPara(QStringLiteral("StationNo"), m_stationNo.toInt());
    QDialog::accept();
}

#include "CStationSelectDlg.h"

#include "CKvComboBox.h"
#include "CSysPara.h"
#include "KvAdminUi.h"
#include "SysGlobals.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

CStationSelectDlg::CStationSelectDlg(QWidget* parent, const QString& caption) : CKvDialog(222, parent, caption)
{
    m_stationBox = CreateControl<CKvComboBox>(1336);
    QPushButton* ok = MakeDialogButton(this, 1000, QStringLiteral("确认(&O)"));
    ok->setDefault(true);
    QPushButton* cancel = MakeDialogButton(this, 1021, QStringLiteral("取消(&C)"));
    BindConfirm(ok);
    BindClose(cancel);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("工作站名称："), m_stationBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

bool CStationSelectDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_stationNo =
        QStringLiteral("%1").arg(GetLocalSysPara()->GetIntPara(QStringLiteral("StationNo")), 2, 10, QChar('0'));
    m_stations.LoadAll();
    m_stationBox->clear();
    int chosen = -1;
    for (int i = 0; i < m_stations.GetCount(); ++i) {
        const CStation* station = m_stations.At(i);
        m_stationBox->addItem(station->GetStationName(), i);
        if (station->GetStationNo() == m_stationNo)
            chosen = i;
    }
    // A list that matches nothing shows no choice (adding the first item chose it).
    m_stationBox->setCurrentIndex(chosen);
    m_stationBox->setFocus();
    return true;
}

void CStationSelectDlg::OnOK()
{
    const int index = m_stationBox->currentIndex();
    m_stationNo =
        index >= 0 ? m_stations.At(m_stationBox->itemData(index).toInt())->GetStationNo() : QStringLiteral("00");
    GetLocalSysPara()->SetIntPara(QStringLiteral("StationNo"), m_stationNo.toInt());
    QDialog::accept();
}

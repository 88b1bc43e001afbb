#include "CStationListDlg.h"

#include "CKvExtList2.h"
#include "CStationEditDlg.h"
#include "KvAdminUi.h"
#include "KvMessage.h"

#include <QPushButton>

CStationListDlg::CStationListDlg(QWidget* parent, const QString& caption) : CKvDialog(226, parent, caption)
{
    m_list = CreateControl<CKvExtList2>(1333);
    QPushButton* add = MakeDialogButton(this, 1024, QStringLiteral("增加(&A)"));
    QPushButton* modify = MakeDialogButton(this, 1025, QStringLiteral("修改(&M)"));
    QPushButton* remove = MakeDialogButton(this, 1026, QStringLiteral("删除(&D)"));
    QPushButton* back = MakeDialogButton(this, 1001, QStringLiteral("返回(&R)"));
    back->setDefault(true);
    BindClose(back);
    OnClickGuarded(add, this, [this] { OnAdd(); });
    OnClickGuarded(modify, this, [this] { OnModify(); });
    OnClickGuarded(remove, this, [this] { OnDelete(); });
    LayOutDialog(this, m_list, {add, modify, remove}, {back});
}

bool CStationListDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    SetUpManagementList(m_list, {QStringLiteral("工作站编号"), QStringLiteral("工作站名称")}, 50);
    fill();
    return true;
}

void CStationListDlg::fill()
{
    m_list->DeleteAllItems();
    m_stations.LoadAll();
    for (int i = 0; i < m_stations.GetCount(); ++i) {
        CStation* station = m_stations.At(i);
        const int row = m_list->InsertRow(i, station->GetStationNo(), station);
        m_list->SetItemText(row, 1, station->GetStationName());
    }
}

CStation* CStationListDlg::selectedStation()
{
    const int row = m_list->GetSelectedRow();
    if (row < 0) {
        PromptBox(QStringLiteral("请选择工作站！"), this);
        return nullptr;
    }
    return static_cast<CStation*>(m_list->GetRowObject(row));
}

void CStationListDlg::OnAdd()
{
    QString stationNo;
    QString stationName;
    for (;;) {
        CStationEditDlg editor(nullptr, QStringLiteral("增加工作站"));
        editor.m_stationNo = stationNo;
        editor.m_stationName = stationName;
        if (editor.DoModal() != IDOK)
            return;
        stationNo = editor.m_stationNo;
        stationName = editor.m_stationName;
        if (CStationList::Exists(stationNo)) {
            PromptBox(QStringLiteral("工作站编号重复！"), this);
            continue;
        }
        m_stations.Add(stationNo, stationName);
        fill();
        return;
    }
}

void CStationListDlg::OnModify()
{
    CStation* station = selectedStation();
    if (!station)
        return;
    CStationEditDlg editor(nullptr, QStringLiteral("修改工作站"));
    editor.m_stationNo = station->GetStationNo();
    editor.m_stationName = station->GetStationName();
    if (editor.DoModal() != IDOK)
        return;
    station->SetStationNo(editor.m_stationNo);
    station->SetStationName(editor.m_stationName);
    m_stations.Modify(station);
    fill();
}

void CStationListDlg::OnDelete()
{
    CStation* station = selectedStation();
    if (!station)
        return;
    if (AskBox(QStringLiteral("请确认是否删除该工作站？"), this) != IDYES)
        return;
    m_stations.Remove(station);
    fill();
}

#include "CClientEditDlg.h"

#include "CKvComboBox.h"
#include "CKvEdit.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "KvNumberField.h"
#include "KvRecordChoice.h"
#include "KvToolText.h"
#include "KvUtil.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

// Items numbered "01" to `last`, after an empty item.
QStringList numberedItems(int last)
{
    QStringList items{QString()};
    for (int i = 1; i <= last; ++i)
        items << QString::asprintf("%02d", i);
    return items;
}

const QStringList kCells = {QStringLiteral("一单元"), QStringLiteral("二单元"), QStringLiteral("三单元"),
                            QStringLiteral("四单元"), QStringLiteral("五单元"), QStringLiteral("六单元"),
                            QStringLiteral("七单元"), QStringLiteral("八单元"), QStringLiteral("九单元"),
                            QStringLiteral("十单元")};

// A code that names something: neither empty nor the reserved "00".
bool isReal(const QString& code)
{
    return !code.isEmpty() && code != QLatin1String("00");
}

} // namespace

CClientEditDlg::CClientEditDlg(QWidget* parent, const QString& caption)
    : CKvDialog(131, parent, caption), m_modify(caption == QStringLiteral("修改用户"))
{
    m_clientNoEdit = CreateControl<CKvEdit>(1002);
    m_blockCombo = CreateControl<CKvComboBox>(1003);
    m_buildingCombo = CreateControl<CKvComboBox>(1004);
    m_layerCombo = CreateControl<CKvComboBox>(1005);
    m_roomCombo = CreateControl<CKvComboBox>(1006);
    m_departmentCombo = CreateControl<CKvComboBox>(1007);
    m_cellCombo = CreateControl<CKvComboBox>(1008);
    m_nameEdit = CreateControl<CKvEdit>(1009);
    m_idEdit = CreateControl<CKvEdit>(1010);
    m_addrEdit = CreateControl<CKvEdit>(1011);
    m_telEdit = CreateControl<CKvEdit>(1012);
    m_descripEdit = CreateControl<QPlainTextEdit>(1014);
    m_memberNumEdit = CreateControl<CKvEdit>(1085);
    m_save = CreateControl<QPushButton>(1000);
    m_save->setText(QStringLiteral("保存(&S)"));
    m_cancel = CreateControl<QPushButton>(1001);
    m_cancel->setText(QStringLiteral("取消(&C)"));

    // The fixed items of the template, in this order and never sorted.
    m_cellCombo->addItems(kCells);
    m_layerCombo->addItems(numberedItems(50));
    m_roomCombo->addItems(numberedItems(99));
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    m_idEdit->setValidator(digits);
    m_memberNumEdit->setValidator(digits);
    m_descripEdit->setTabChangesFocus(true);

    BindConfirm(m_save);
    BindClose(m_cancel);
    // A failure while filling a choice is shown and the dialog stays usable.
    connect(m_blockCombo, &QComboBox::activated, this, KvGuarded([this](int) { OnBlockChange(); }));
    connect(m_buildingCombo, &QComboBox::activated, this, KvGuarded([this](int) { OnBuildingChange(); }));
    connect(m_layerCombo, &QComboBox::activated, this, [this](int) { OnLayerChange(); });
    connect(m_roomCombo, &QComboBox::activated, this, [this](int) { OnRoomChange(); });
    connect(m_cellCombo, &QComboBox::activated, this, [this](int) { OnCellChange(); });
    connect(m_departmentCombo, &QComboBox::activated, this, [this](int) { OnDepartmentChange(); });

    auto* grid = new QGridLayout;
    const auto row = [&](int r, int c, const QString& label, QWidget* control) {
        grid->addWidget(new QLabel(label, this), r, c * 2);
        grid->addWidget(control, r, c * 2 + 1);
    };
    row(0, 0, QStringLiteral("用户编号："), m_clientNoEdit);
    row(0, 1, QStringLiteral("部门："), m_departmentCombo);
    row(1, 0, QStringLiteral("小区名称："), m_blockCombo);
    row(1, 1, QStringLiteral("楼幢名称："), m_buildingCombo);
    row(2, 0, QStringLiteral("单元："), m_cellCombo);
    row(2, 1, QStringLiteral("楼层："), m_layerCombo);
    row(3, 0, QStringLiteral("房号："), m_roomCombo);
    row(3, 1, QStringLiteral("居住人数："), m_memberNumEdit);
    row(4, 0, QStringLiteral("用户姓名："), m_nameEdit);
    row(4, 1, QStringLiteral("证件号码："), m_idEdit);
    row(5, 0, QStringLiteral("详细地址："), m_addrEdit);
    row(5, 1, QStringLiteral("要 约 号："), m_telEdit);
    grid->addWidget(new QLabel(QStringLiteral("备注:"), this), 6, 0, Qt::AlignTop);
    grid->addWidget(m_descripEdit, 6, 1, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

bool CClientEditDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();

    m_blockList.LoadAll();
    KvFillRecordChoice(m_blockCombo, m_blockList, &CBlock::GetBlockNo, &CBlock::GetBlockName, m_BlockNo);
    OnBlockChange();

    m_departmentList.LoadAll();
    KvFillRecordChoice(m_departmentCombo, m_departmentList, &CDepartment::GetDepartmentNo,
                       &CDepartment::GetDepartmentName, m_DepartmentNo);
    OnDepartmentChange();

    m_clientNoEdit->setEnabled(!m_modify);
    if (m_modify)
        m_departmentCombo->setFocus();
    else
        m_clientNoEdit->setFocus();
    UpdateData(false);
    SetInitDone(1);
    return false; // the focus is set
}

void CClientEditDlg::SelectByPrefix(QComboBox* combo, const QString& text)
{
    // An empty text selects an empty item where there is one (floor, room)
    // and nothing otherwise: no unit stays no unit.
    const int index =
        text.isEmpty() ? combo->findText(QString(), Qt::MatchExactly) : combo->findText(text, Qt::MatchStartsWith);
    combo->setCurrentIndex(index);
}

void CClientEditDlg::OnBlockChange()
{
    m_BlockNo = KvChosenCode(m_blockCombo, m_blockList, &CBlock::GetBlockNo);
    m_buildingCombo->setEnabled(isReal(m_BlockNo));

    m_buildingList.LoadByBlock(m_BlockNo);
    KvFillRecordChoice(m_buildingCombo, m_buildingList, &CBuilding::GetBuildingNo, &CBuilding::GetBuildingName,
                       m_BuildingNo);
    OnBuildingChange();
}

void CClientEditDlg::OnBuildingChange()
{
    m_BuildingNo = KvChosenCode(m_buildingCombo, m_buildingList, &CBuilding::GetBuildingNo);
    const bool real = isReal(m_BuildingNo);
    m_layerCombo->setEnabled(real);
    m_cellCombo->setEnabled(real);

    SelectByPrefix(m_layerCombo, m_LayerNo);
    OnLayerChange();
    SelectByPrefix(m_cellCombo, m_Cell);
    m_Cell = m_cellCombo->currentText();
}

void CClientEditDlg::OnLayerChange()
{
    m_LayerNo = m_layerCombo->currentText();
    m_roomCombo->setEnabled(!m_LayerNo.isEmpty());
    SelectByPrefix(m_roomCombo, m_RoomNo);
    m_RoomNo = m_roomCombo->currentText();
}

void CClientEditDlg::OnRoomChange()
{
    m_RoomNo = m_roomCombo->currentText();
}

void CClientEditDlg::OnCellChange()
{
    m_Cell = m_cellCombo->currentText();
}

void CClientEditDlg::OnDepartmentChange()
{
    m_DepartmentNo = KvChosenCode(m_departmentCombo, m_departmentList, &CDepartment::GetDepartmentNo);
}

bool CClientEditDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_ClientNo = m_clientNoEdit->text();
        m_ClientName = m_nameEdit->text();
        m_ClientId = m_idEdit->text();
        m_Addr = m_addrEdit->text();
        m_Tel = m_telEdit->text();
        m_Descrip = m_descripEdit->toPlainText();
        m_MemberNum = m_memberNumEdit->text();
        // A disabled choice keeps its selection, and that value is saved.
        m_BlockNo = KvChosenCode(m_blockCombo, m_blockList, &CBlock::GetBlockNo);
        m_BuildingNo = KvChosenCode(m_buildingCombo, m_buildingList, &CBuilding::GetBuildingNo);
        OnDepartmentChange();
        m_LayerNo = m_layerCombo->currentText();
        m_RoomNo = m_roomCombo->currentText();
        m_Cell = m_cellCombo->currentText();
    } else {
        m_clientNoEdit->setText(m_ClientNo);
        m_nameEdit->setText(m_ClientName);
        m_idEdit->setText(m_ClientId);
        m_addrEdit->setText(m_Addr);
        m_telEdit->setText(m_Tel);
        m_descripEdit->setPlainText(m_Descrip);
        m_memberNumEdit->setText(m_MemberNum);
        // The choices are set by the change handlers, which keep them and
        // the fields in step.
    }
    return true;
}

bool CClientEditDlg::Refuse(const QString& text, QWidget* focus)
{
    PromptBox(text, this);
    focus->setFocus();
    return false;
}

void CClientEditDlg::OnOK()
{
    UpdateData(true);
    // District, building, department, floor, room and unit are not tested:
    // "00" and empty values are accepted.
    const KvNumberField memberField{QStringLiteral("居住人数"), 0, 999};
    int members = 0;
    // The code, name and address reach the outside libraries and the carrier.
    const auto carried = [this](const char* field, const QString& text, QWidget* edit) {
        const QString refusal = ToolTextRefusal(QString::fromUtf8(field), text);
        return refusal.isEmpty() || Refuse(refusal, edit);
    };
    const bool accepted =
        (!m_ClientNo.isEmpty() || Refuse(QStringLiteral("请输入用户代码"), m_clientNoEdit)) &&
        carried("用户代码", m_ClientNo, m_clientNoEdit) &&
        (GbkByteLength(m_ClientNo) <= 20 || Refuse(QStringLiteral("用户代码长度不应大于20"), m_clientNoEdit)) &&
        (!m_ClientName.isEmpty() || Refuse(QStringLiteral("请输入用户姓名！"), m_nameEdit)) &&
        carried("用户姓名", m_ClientName, m_nameEdit) && carried("证件号码", m_ClientId, m_idEdit) &&
        (GbkByteLength(m_ClientId) <= 20 || Refuse(QStringLiteral("证件号码长度不应超过20个英文字母！"), m_idEdit)) &&
        carried("地址", m_Addr, m_addrEdit) &&
        (GbkByteLength(m_Addr) <= 40 || Refuse(QStringLiteral("地址长度不应超过40个英文字母！"), m_addrEdit)) &&
        carried("要约号", m_Tel, m_telEdit) &&
        (GbkByteLength(m_Tel) <= 20 || Refuse(QStringLiteral("要约号长度不应超过20个英文字母！"), m_telEdit)) &&
        (!m_MemberNum.isEmpty() || Refuse(QStringLiteral("请输入居住人数！"), m_memberNumEdit)) &&
        (KvReadNumber(m_MemberNum, memberField, &members) || Refuse(memberField.Refusal(), m_memberNumEdit));
    if (!accepted)
        return;
    UpdateData(false);
    QDialog::accept();
}

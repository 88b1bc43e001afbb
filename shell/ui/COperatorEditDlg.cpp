#include "COperatorEditDlg.h"

#include "CCheckTreeCtrl.h"
#include "CKvComboBox.h"
#include "CKvEdit.h"
#include "KvAdminUi.h"
#include "KvMessage.h"
#include "KvRights.h"
#include "KvToolText.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QFormLayout>
#include <QPalette>
#include <QPushButton>
#include <algorithm>

namespace {

// Rights only the administrator made by the system initialisation holds:
// they are never offered here, so no operator can be given them.
constexpr int kHiddenRights[] = {501, 506, 507, 512, 513, 514, 515, 516, 517, 518};

bool isHiddenRight(int id)
{
    return std::find(std::begin(kHiddenRights), std::end(kHiddenRights), id) != std::end(kHiddenRights);
}

const QString kAdd = QStringLiteral("增加操作员");
const QString kModify = QStringLiteral("修改操作员");
const QString kView = QStringLiteral("查看操作员权限");

} // namespace

COperatorEditDlg::COperatorEditDlg(QWidget* parent, const QString& caption) : CKvDialog(130, parent, caption)
{
    m_stationBox = CreateControl<CKvComboBox>(1040);
    m_nameEdit = CreateControl<CKvEdit>(1032);
    m_codeEdit = CreateControl<CKvEdit>(1031);
    m_tree = CreateControl<CCheckTreeCtrl>(1033);
    QPushButton* save = MakeDialogButton(this, 1020, QStringLiteral("保存(&S)"));
    save->setDefault(true);
    BindConfirm(save);
    QPushButton* back = MakeCloseButton(this, 1001, QStringLiteral("返回(&C)"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("操作员代码："), m_codeEdit);
    fields->addRow(QStringLiteral("操作员姓名："), m_nameEdit);
    fields->addRow(QStringLiteral("工作站名称："), m_stationBox);
    fields->addRow(m_tree);
    LayOutDialog(this, fields, {}, {save, back});
    resize(360, 520);
}

void COperatorEditDlg::SetRights(const int* ids, int count)
{
    m_rightCount = std::clamp(count, 0, COperator::MaxRights);
    std::copy(ids, ids + m_rightCount, m_rights);
}

void COperatorEditDlg::GetRights(int* ids, int& count) const
{
    count = m_rightCount;
    std::copy(m_rights, m_rights + m_rightCount, ids);
}

QTreeWidgetItem* COperatorEditDlg::FindRightItem(int id) const
{
    QTreeWidgetItem* root = m_tree->topLevelItem(0);
    for (int h = 0; root && h < root->childCount(); ++h) {
        QTreeWidgetItem* header = root->child(h);
        for (int e = 0; e < header->childCount(); ++e)
            if (header->child(e)->data(0, Qt::UserRole).toInt() == id)
                return header->child(e);
    }
    return nullptr;
}

bool COperatorEditDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_tree->LoadStateIcons(140, 138, 139, 142);
    QPalette palette = m_tree->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_tree->setPalette(palette);
    m_tree->setIndentation(50);
    m_tree->setStyleSheet(QStringLiteral("QTreeView::item { height: 18px; }"));

    m_tree->clear();
    auto* root = new QTreeWidgetItem(m_tree, QStringList{QStringLiteral("全部权限")});
    m_tree->SetCheckState(root, 1);
    QTreeWidgetItem* header = nullptr;
    const bool presetChecks = GetCaption() != kAdd;
    const int* granted = m_rights;
    for (const KvRightEntry* entry = GetRightTable(); entry->id != 0; ++entry) {
        const QString name = QString::fromUtf8(entry->name);
        if (IsRightGroupHeader(entry->id)) {
            header = new QTreeWidgetItem(root, QStringList{name});
            header->setData(0, Qt::UserRole, entry->id);
            m_tree->SetCheckState(header, 1);
            continue;
        }
        if (isHiddenRight(entry->id) || !header)
            continue;
        auto* item = new QTreeWidgetItem(header, QStringList{name});
        item->setData(0, Qt::UserRole, entry->id);
        m_tree->SetCheckState(item, 1);
        if (presetChecks && std::find(granted, granted + m_rightCount, entry->id) != granted + m_rightCount) {
            m_tree->SetCheckRecursive(item, 2);
            m_tree->UpdateParents(item, item);
        }
    }
    root->setExpanded(true);

    m_stationBox->clear();
    if (GetEdition() == QStringLiteral("网络版"))
        FillStationBox(m_stationBox, m_stations, m_stationNo);

    if (GetCaption() == kModify) {
        m_codeEdit->setEnabled(false);
        if (m_operatorNo == QStringLiteral("qz") || m_operatorNo == QStringLiteral("vx"))
            m_tree->SetLocked(1);
    } else if (GetCaption() == kView) {
        m_codeEdit->setEnabled(false);
        m_nameEdit->setEnabled(false);
        m_stationBox->setEnabled(false);
        m_tree->SetLocked(1);
    }
    SetInitDone(1);
    return true;
}

bool COperatorEditDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_operatorNo = m_codeEdit->text();
        m_operatorName = m_nameEdit->text();
    } else {
        m_codeEdit->setText(m_operatorNo);
        m_nameEdit->setText(m_operatorName);
    }
    return true;
}

void COperatorEditDlg::OnOK()
{
    if (GetCaption() == kView)
        return; // only 返回 closes the view
    UpdateData(true);
    m_operatorNo = m_operatorNo.trimmed();
    if (m_operatorNo.isEmpty()) {
        PromptBox(QStringLiteral("操作员代码不应为空或前后有空格！"), this);
        m_codeEdit->setFocus();
        return;
    }
    // The code is handed to the entry programs on their command line.
    if (const QString refusal = ToolTextRefusal(QStringLiteral("操作员代码"), m_operatorNo); !refusal.isEmpty()) {
        PromptBox(refusal, this);
        m_codeEdit->setFocus();
        return;
    }
    if (GbkByteLength(m_operatorNo) > 10) {
        PromptBox(QStringLiteral("操作员代码长度不应超过10个英文字符或5个汉字！"), this);
        m_codeEdit->setFocus();
        return;
    }
    m_operatorName = m_operatorName.trimmed();
    if (const QString refusal = ToolTextRefusal(QStringLiteral("操作员姓名"), m_operatorName); !refusal.isEmpty()) {
        PromptBox(refusal, this);
        m_nameEdit->setFocus();
        return;
    }
    if (m_operatorName.isEmpty() || GbkByteLength(m_operatorName) > 20) {
        PromptBox(m_operatorName.isEmpty() ? QStringLiteral("操作员姓名不应为空或前后有空格！")
                                           : QStringLiteral("操作员名称长度不应超过20个英文字符或10个汉字！"),
                  this);
        m_nameEdit->setFocus();
        return;
    }
    if (GetEdition() == QStringLiteral("网络版")) {
        const CStation* chosen = ChosenStation(m_stationBox, m_stations);
        if (!chosen) {
            PromptBox(QStringLiteral("请选择工作站！"), this);
            m_stationBox->setFocus();
            return;
        }
        m_stationNo = chosen->GetStationNo();
    } else {
        m_stationNo = QStringLiteral("01");
    }
    m_rightCount = 0;
    QTreeWidgetItem* root = m_tree->topLevelItem(0);
    for (int h = 0; root && h < root->childCount(); ++h) {
        QTreeWidgetItem* header = root->child(h);
        for (int e = 0; e < header->childCount() && m_rightCount < COperator::MaxRights; ++e)
            if (m_tree->GetCheckState(header->child(e)) == 2)
                m_rights[m_rightCount++] = header->child(e)->data(0, Qt::UserRole).toInt();
    }
    UpdateData(false);
    QDialog::accept();
}

#include "CBuildingEditDlg.h"

#include "CKvComboBox.h"
#include "KvRecordChoice.h"

#include <QFormLayout>
#include <QLabel>

CBuildingEditDlg::CBuildingEditDlg(QWidget* parent, const QString& caption)
    : CCodeNameEditDlg(150, parent, caption, QStringLiteral("修改楼幢"),
                       {1055, 1058, -1, -1, QStringLiteral("楼幢编号："), QStringLiteral("楼幢名称：")},
                       {{QStringLiteral("请输入楼幢代码！"), 2, 2, QStringLiteral("楼幢代码长度应为2！"),
                         QStringLiteral("楼幢代码不应为00！")},
                        QStringLiteral("请输入楼幢名称！"),
                        QStringLiteral("楼幢名称长度不应大于20！")})
{
    m_blockCombo = CreateControl<CKvComboBox>(1003);
    Form()->insertRow(0, new QLabel(QStringLiteral("小区名称："), this), m_blockCombo);
}

bool CBuildingEditDlg::OnInitDialog()
{
    m_blockList.LoadWithoutReserved();
    KvFillRecordChoice(m_blockCombo, m_blockList, &CBlock::GetBlockNo, &CBlock::GetBlockName, m_strBlockNo);
    m_blockCombo->setEnabled(!IsModifyMode());
    return CCodeNameEditDlg::OnInitDialog();
}

bool CBuildingEditDlg::CheckBeforeCode()
{
    if (m_blockCombo->currentIndex() < 0)
        return Refuse(QStringLiteral("请选择小区！"), m_blockCombo);
    m_strBlockNo = KvChosenCode(m_blockCombo, m_blockList, &CBlock::GetBlockNo);
    return true;
}

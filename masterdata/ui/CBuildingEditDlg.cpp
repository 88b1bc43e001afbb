#include "CBuildingEditDlg.h"

#include "CKvComboBox.h"

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
    m_blockCombo->clear();
    m_blockList.LoadWithoutReserved();
    int selected = -1;
    for (int i = 0; i < m_blockList.GetCount(); ++i) {
        const CBlock* block = m_blockList.At(i);
        m_blockCombo->addItem(block->GetBlockName());
        if (block->GetBlockNo() == m_strBlockNo)
            selected = i;
    }
    if (selected < 0 && m_blockCombo->count() > 0)
        selected = 0;
    m_blockCombo->setCurrentIndex(selected);
    m_blockCombo->setEnabled(!IsModifyMode());
    return CCodeNameEditDlg::OnInitDialog();
}

bool CBuildingEditDlg::CheckBeforeCode()
{
    const int selected = m_blockCombo->currentIndex();
    if (selected < 0)
        return Refuse(QStringLiteral("请选择小区！"), m_blockCombo);
    m_strBlockNo = m_blockList.At(selected)->GetBlockNo();
    return true;
}

#include "CDepartmentEditDlg.h"

CDepartmentEditDlg::CDepartmentEditDlg(QWidget* parent, const QString& caption)
    : CCodeNameEditDlg(134, parent, caption, QStringLiteral("修改部门"),
                       {1022, 1023, -1, -1, QStringLiteral("部门编号："), QStringLiteral("部门名称：")},
                       {{QStringLiteral("请输入部门代码！"), 0, 10, QStringLiteral("部门代码长度不应大于10！"),
                         QStringLiteral("部门代码不应为00！")},
                        QStringLiteral("请输入部门名称！"),
                        QStringLiteral("部门名称长度不应大于20！")})
{
}

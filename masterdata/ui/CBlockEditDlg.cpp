#include "CBlockEditDlg.h"

CBlockEditDlg::CBlockEditDlg(QWidget* parent, const QString& caption)
    : CCodeNameEditDlg(148, parent, caption, QStringLiteral("修改小区"),
                       {1048, 1049, 1144, 1145, QStringLiteral("小区代码"), QStringLiteral("小区名称")},
                       {{QStringLiteral("请输入小区代码！"), 2, 2, QStringLiteral("小区代码长度应为2！"),
                         QStringLiteral("小区代码不应为00！")},
                        QStringLiteral("请输入小区名称！"),
                        QStringLiteral("小区名称长度不应大于20！")})
{
}

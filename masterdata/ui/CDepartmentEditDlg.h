#pragma once

#include "CCodeNameEditDlg.h"

// Adds or changes one department: "修改部门" is the modify mode, any other
// caption ("增加部门") adds. A code has 1 to 10 bytes.
class CDepartmentEditDlg : public CCodeNameEditDlg
{
    Q_OBJECT

public:
    CDepartmentEditDlg(QWidget* parent, const QString& caption);
};

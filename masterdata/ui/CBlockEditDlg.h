#pragma once

#include "CCodeNameEditDlg.h"

// Adds or changes one district: "修改小区" is the modify mode, any other
// caption ("增加小区") adds.
class CBlockEditDlg : public CCodeNameEditDlg
{
    Q_OBJECT

public:
    CBlockEditDlg(QWidget* parent, const QString& caption);
};

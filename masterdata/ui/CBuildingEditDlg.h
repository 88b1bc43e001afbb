#pragma once

#include "CBlock.h"
#include "CCodeNameEditDlg.h"

class CKvComboBox;

// Adds or changes one building: its district (chosen among the real
// districts), its code and its name. "修改楼幢" is the modify mode, in which
// neither the district nor the code can change; any other caption adds.
class CBuildingEditDlg : public CCodeNameEditDlg
{
    Q_OBJECT

public:
    CBuildingEditDlg(QWidget* parent, const QString& caption);

    // The district code: chooses the district shown first, and after OK the
    // district chosen.
    QString m_strBlockNo;

protected:
    bool OnInitDialog() override;
    // A district must be chosen.
    bool CheckBeforeCode() override;

private:
    CBlockList m_blockList;
    CKvComboBox* m_blockCombo; // 1003
};

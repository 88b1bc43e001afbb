#pragma once

#include "CKvDialog.h"

class QButtonGroup;

// The style chooser: three radio buttons, none chosen at first.
class CStyleDlg : public CKvDialog
{
    Q_OBJECT

public:
    CStyleDlg(QWidget* parent, const QString& caption);

    // 0 默认风格, 1 备选风格1, 2 备选风格2, -1 none chosen.
    int GetStyleChoice() const { return m_styleChoice; }

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    int m_styleChoice = -1;
    QButtonGroup* m_group;
};

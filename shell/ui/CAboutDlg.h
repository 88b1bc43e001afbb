#pragma once

#include <QDialog>

// The About box: the program's icon, its name and version, one button.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

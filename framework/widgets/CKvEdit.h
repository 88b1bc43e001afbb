#pragma once

#include <QLineEdit>

// A plain edit box that dialogs bind to their members.
class CKvEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CKvEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}
};

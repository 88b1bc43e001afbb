#pragma once

#include <QComboBox>

// A plain combo box that dialogs bind to their members.
class CKvComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit CKvComboBox(QWidget* parent = nullptr) : QComboBox(parent) {}
};

#include "CKvEdit.h"

#include "CKvOneLineValidator.h"

CKvEdit::CKvEdit(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new CKvOneLineValidator(this));
}

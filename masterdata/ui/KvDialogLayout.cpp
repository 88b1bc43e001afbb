#include "KvDialogLayout.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWidget>

namespace {

QVBoxLayout* layOutButtons(QWidget* dialog, std::initializer_list<QWidget*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QWidget* button : buttons)
        row->addWidget(button);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(row);
    return layout;
}

} // namespace

void KvLayOutFieldsAndButtons(QWidget* dialog, QLayout* fields, std::initializer_list<QWidget*> buttons)
{
    layOutButtons(dialog, buttons)->insertLayout(0, fields);
}

void KvLayOutFieldsAndButtons(QWidget* dialog, QWidget* fields, std::initializer_list<QWidget*> buttons)
{
    layOutButtons(dialog, buttons)->insertWidget(0, fields, 1);
}

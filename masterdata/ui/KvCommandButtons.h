#pragma once

#include "KvGuard.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <initializer_list>

// A command button of a management dialog: its control number, its text and
// the dialog's handler.
template <class Dialog> struct KvCommandButton
{
    int id;
    const char* text;
    void (Dialog::*handler)();
};

// The button row of a management dialog: the command buttons in order (none
// of them a default button, each handler run guarded so that a failure is
// shown), then at the far right the close button "返回(&R)".
template <class Dialog>
QHBoxLayout* KvCommandButtonRow(Dialog* dialog, std::initializer_list<KvCommandButton<Dialog>> buttons, int closeId)
{
    auto* row = new QHBoxLayout;
    for (const KvCommandButton<Dialog>& command : buttons) {
        auto* button = dialog->template CreateControl<QPushButton>(command.id);
        button->setText(QString::fromUtf8(command.text));
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, dialog,
                         KvGuarded([dialog, handler = command.handler](auto...) { (dialog->*handler)(); }));
        row->addWidget(button);
    }
    auto* close = dialog->template CreateControl<QPushButton>(closeId);
    close->setText(QStringLiteral("返回(&R)"));
    dialog->BindClose(close);
    row->addStretch();
    row->addWidget(close);
    return row;
}

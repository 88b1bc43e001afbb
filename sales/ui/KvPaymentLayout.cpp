#include "KvPaymentLayout.h"

#include "CKvDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

void KvLayOutPaymentDialog(CKvDialog& dialog, const QList<KvPaymentLine>& lines)
{
    auto* grid = new QGridLayout;
    for (int i = 0; i < lines.size(); ++i) {
        const KvPaymentLine& line = lines.at(i);
        grid->addWidget(line.labelControl ? line.labelControl : new QLabel(line.label, &dialog), i, 0);
        grid->addWidget(line.field, i, 1);
        grid->addWidget(new QLabel(line.unit, &dialog), i, 2);
    }
    auto* ok = dialog.CreateControl<QPushButton>(1000);
    ok->setText(QStringLiteral("确认(&O)"));
    dialog.BindConfirm(ok);
    auto* cancel = dialog.CreateControl<QPushButton>(1021);
    cancel->setText(QStringLiteral("取消(&C)"));
    dialog.BindClose(cancel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

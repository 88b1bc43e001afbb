#include "KvSaleDialogButtons.h"

#include "CKvDialog.h"

#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout* MakeConfirmCancelRow(CKvDialog& dialog, const QString& confirmText)
{
    auto* ok = dialog.CreateControl<QPushButton>(1000);
    ok->setText(confirmText);
    dialog.BindConfirm(ok);
    auto* cancel = dialog.CreateControl<QPushButton>(1021);
    cancel->setText(QStringLiteral("取消(&C)"));
    dialog.BindClose(cancel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    return buttons;
}

#include "KvPaymentLayout.h"

#include "CKvDialog.h"
#include "KvSaleDialogButtons.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
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
    QHBoxLayout* buttons = MakeConfirmCancelRow(dialog, QStringLiteral("确认(&O)"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

#include "KvAdminUi.h"

#include "CKvDialog.h"
#include "CKvExtList2.h"
#include "KvGuard.h"

#include <QHeaderView>
#include <QPalette>
#include <QPushButton>

QPushButton* MakeDialogButton(CKvDialog* dialog, int id, const QString& text)
{
    auto* button = dialog->CreateControl<QPushButton>(id);
    button->setText(text);
    return button;
}

void OnClickGuarded(QAbstractButton* button, CKvDialog* dialog, std::function<void()> handler)
{
    QObject::connect(button, &QAbstractButton::clicked, dialog,
                     [dialog, handler = std::move(handler)] { KvGuard(handler, dialog); });
}

void SetUpManagementList(CKvExtList2* list, const QStringList& headings, int extraWidth)
{
    list->SetRowHeight(20);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    list->setPalette(palette);
    const QFontMetrics metrics(list->horizontalHeader()->font());
    for (int i = 0; i < headings.size(); ++i) {
        list->InsertColumn(i, headings.at(i), metrics.horizontalAdvance(headings.at(i)) + extraWidth);
        list->horizontalHeaderItem(i)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
}

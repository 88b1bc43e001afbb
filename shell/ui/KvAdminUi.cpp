#include "KvAdminUi.h"

#include "CKvComboBox.h"
#include "CKvDialog.h"
#include "CKvExtList2.h"
#include "CStation.h"
#include "KvGuard.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

QPushButton* MakeDialogButton(CKvDialog* dialog, int id, const QString& text)
{
    auto* button = dialog->CreateControl<QPushButton>(id);
    button->setText(text);
    return button;
}

QPushButton* MakeConfirmButton(CKvDialog* dialog, const QString& text)
{
    QPushButton* button = MakeDialogButton(dialog, 1000, text);
    button->setDefault(true);
    dialog->BindConfirm(button);
    return button;
}

QPushButton* MakeCloseButton(CKvDialog* dialog, int id, const QString& text)
{
    QPushButton* button = MakeDialogButton(dialog, id, text);
    dialog->BindClose(button);
    return button;
}

namespace {

QVBoxLayout* layOutButtons(CKvDialog* dialog, const QList<QWidget*>& left, const QList<QWidget*>& right)
{
    auto* buttons = new QHBoxLayout;
    for (QWidget* button : left)
        buttons->addWidget(button);
    buttons->addStretch();
    for (QWidget* button : right)
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(buttons);
    return layout;
}

} // namespace

void LayOutDialog(CKvDialog* dialog, QLayout* body, const QList<QWidget*>& left, const QList<QWidget*>& right)
{
    layOutButtons(dialog, left, right)->insertLayout(0, body);
}

void LayOutDialog(CKvDialog* dialog, QWidget* body, const QList<QWidget*>& left, const QList<QWidget*>& right)
{
    layOutButtons(dialog, left, right)->insertWidget(0, body, 1);
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

void FillStationBox(CKvComboBox* box, CStationList& stations, const QString& stationNo)
{
    stations.LoadAll();
    box->clear();
    int chosen = -1;
    for (int i = 0; i < stations.GetCount(); ++i) {
        box->addItem(stations.At(i)->GetStationName(), i);
        if (stations.At(i)->GetStationNo() == stationNo)
            chosen = i;
    }
    // Adding the first item chose it; a number that matches nothing shows no choice.
    box->setCurrentIndex(chosen);
}

CStation* ChosenStation(const CKvComboBox* box, const CStationList& stations)
{
    const int index = box->currentIndex();
    return index >= 0 ? stations.At(box->itemData(index).toInt()) : nullptr;
}

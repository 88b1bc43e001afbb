#pragma once

#include <QList>
#include <QString>

class CKvDialog;
class QWidget;

// One line of a payment dialog: its label (a text, or a label control of the
// dialog), the field and the unit.
struct KvPaymentLine
{
    QString label;
    QWidget* field = nullptr;
    QString unit;
    QWidget* labelControl = nullptr;
};

// Lays out the small payment dialogs alike: the lines, then 确认(&O) (1000)
// and 取消(&C) (1021), bound to the dialog's confirm and close.
void KvLayOutPaymentDialog(CKvDialog& dialog, const QList<KvPaymentLine>& lines);

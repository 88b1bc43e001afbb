#pragma once

#include "KvNumberField.h"

#include <QString>
#include <initializer_list>

class QWidget;

// One number field of a dialog on OK: its text, what it accepts and the
// control that takes the focus when it is refused.
struct KvNumberEntry
{
    QString text;
    KvNumberField field;
    QWidget* focus = nullptr;
};

// Reads the entries in order; the first one refused shows its refusal (an
// information box over `dialog`) and takes the focus. True when all are read.
bool KvCheckNumberFields(QWidget* dialog, std::initializer_list<KvNumberEntry> entries);

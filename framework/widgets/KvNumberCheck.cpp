#include "KvNumberCheck.h"

#include "KvMessage.h"

#include <QWidget>

bool KvCheckNumberFields(QWidget* dialog, std::initializer_list<KvNumberEntry> entries)
{
    for (const KvNumberEntry& entry : entries) {
        double value = 0;
        if (KvReadNumber(entry.text, entry.field, &value))
            continue;
        PromptBox(entry.field.Refusal(), dialog);
        if (entry.focus)
            entry.focus->setFocus();
        return false;
    }
    return true;
}

#pragma once

#include <QComboBox>
#include <QString>

// Drop-down lists whose items stand for the records of a list, item i for
// record i: the districts, buildings and departments a dialog offers.

// Fills the choice with each record's name and selects the first record whose
// code is `code`; when none has it, the first item (if there is one).
template <class List, class Record>
void KvFillRecordChoice(QComboBox* combo, const List& list, const QString& (Record::*code)() const,
                        const QString& (Record::*name)() const, const QString& selectCode)
{
    combo->clear();
    int selected = -1;
    for (int i = 0; i < list.GetCount(); ++i) {
        const Record* record = list.At(i);
        combo->addItem((record->*name)());
        if (selected < 0 && (record->*code)() == selectCode)
            selected = i;
    }
    combo->setCurrentIndex(selected < 0 && combo->count() > 0 ? 0 : selected);
}

// The code of the chosen record, or an empty text when nothing is chosen.
template <class List, class Record>
QString KvChosenCode(const QComboBox* combo, const List& list, const QString& (Record::*code)() const)
{
    const int chosen = combo->currentIndex();
    return chosen >= 0 && chosen < list.GetCount() ? (list.At(chosen)->*code)() : QString();
}

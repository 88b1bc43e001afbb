#pragma once

class CHandReadRaw;
class CHandReadRawList;
class QObject;

// Turns one reading staged from the meter reader into an archived reading:
// checks it against the meter archive and the meter's last reading, moves the
// meter's HandReadBase row on, records a HandRead row with its consumption
// and deletes the staged row, all in one transaction.
class CHandReadArchive
{
public:
    // True when the reading was archived and taken out of `staged`. A check
    // that fails shows its message and returns false; nothing is written and
    // the row stays staged. A failure of the writes rolls them all back and
    // is thrown on.
    static bool ArchiveRow(CHandReadRawList& staged, CHandReadRaw* raw, QObject* parent);
};

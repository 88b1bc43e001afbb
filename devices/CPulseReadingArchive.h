#pragma once

class CSubRaw;
class CSubRawList;
class QObject;

// Turns a staged programmer record into a pulse reading of its sub-meter,
// after checking it against the latest reading already archived for it.
class CPulseReadingArchive
{
public:
    enum Result
    {
        Written,
        Wrong,    // fewer pulses or an earlier date than the latest reading
        Declined, // equal pulses or date, and the operator kept the latest
    };

    // The reading is inserted, a latest reading it replaces deleted and the
    // staged row deleted in one transaction; a failure rolls all of it back
    // and is passed on.
    static Result ArchiveRow(CSubRawList& staged, CSubRaw* raw, QObject* parent);
};

#pragma once

#include "KvReadDataRecord.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// One record of the reading-data library as the staging table takes it.
struct KvReadData
{
    QString meterNo; // left-padded with 0 to at least 8 characters
    QString subX;
    QString dateText;   // "20yy-mm-dd" as built from the record's date text
    QDateTime readDate; // invalid when dateText is no date
    int pulses = 0;
    double baseRead = 0;
};

// Stages what the programmer's tool read: loads the reading-data library
// Hollorin from the program folder, takes its records and inserts one SubRaw
// row per record. The library's array is always given back and the library
// always released, whatever happens while the rows are inserted.
class CReadDataImport
{
public:
    enum Kind
    {
        InitialValues, // records without a valid date are dropped silently
        Readings,      // dropped too, and named to the caller
    };
    enum Result
    {
        Imported,
        NoLibrary,      // "装载DLL失败！"
        NoGetFunction,  // "装载函数1失败"
        NoFreeFunction, // "装载函数2失败"; the rows inserted stay staged
    };

    static QString LibraryName() { return QStringLiteral("Hollorin.dll"); }
    // Removes the file through which the tool hands its records to the
    // library, before an upload: a tool that writes none must not leave an
    // earlier upload's records to be staged again.
    static void RemoveDataFile();
    // The operator's message of a failed result; empty for Imported.
    static QString FailureText(Result result);

    // The record as it is staged. Texts are read within their fields even
    // without a terminator; the date is "20" + its first two characters, its
    // 4th and 5th and its last two, read as yyyy-mm-dd whatever the locale.
    static KvReadData Decode(const ReadDataRecord& record);

    // Loads the library by name and stages its records; `dropped` receives
    // "<meter>_<index>" of every record left out for its date.
    static Result Import(Kind kind, QStringList* dropped);
    // The same with the library's two functions already looked up (null: the
    // export is missing). A failing insert throws after the array is freed;
    // the rows before it stay staged.
    static Result ImportWith(KvGetReadDataFn getReadData, KvFreeReadDataFn freeReadData, Kind kind,
                             QStringList* dropped);
};

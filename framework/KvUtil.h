#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

// Files and programs.
bool FileExists(const QString& path); // a path with wildcards is true when anything matches
inline bool FileExistsStr(const QString& path)
{
    return FileExists(path);
}
// Runs a program and waits for it without a time-out. A missing program throws
// "找不到指定的运行程序: %s！".
void RunProgramAndWait(const QString& program, const QString& parameters);
// The same with the arguments already apart (an empty one is passed as such).
void RunProgramAndWait(const QString& program, const QStringList& arguments);
// Starts a program without waiting for it; false when it could not be started.
bool StartProgram(const QString& program, const QStringList& arguments);
// Opens a document with the desktop's program for its kind (the shell's "open"),
// without waiting; false when the file is missing or could not be handed over.
bool OpenDocument(const QString& path);
bool CopyFileReplace(const QString& source, const QString& target);

// The program folder (no trailing separator): the folder of the executable, or
// the folder set by SetAppDirectory or the QUILLMER_APPDIR environment variable.
QString GetAppDirectory();
void SetAppDirectory(const QString& folder); // empty returns to the default

// How outside programs are started; tests may replace it. The runner gets the
// full program path and its argument list and returns the exit code.
using KvProgramRunner = std::function<int(const QString& program, const QStringList& arguments)>;
KvProgramRunner SetProgramRunner(KvProgramRunner runner); // empty restores the default
// How programs are started without waiting (StartProgram, OpenDocument); tests
// may replace it. The starter gets the program and its arguments and tells
// whether it started.
using KvProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
KvProgramStarter SetProgramStarter(KvProgramStarter starter); // empty restores the default
// Splits a parameter text into arguments as a command line would.
QStringList SplitParameters(const QString& parameters);

// Texts and numbers.
void TrimString(QString& text);
QString MakeBlanks(int count);
// Truncates toward zero and adds one unit away from zero when the dropped part
// is at least 0.499. RoundAmountValue keeps the result in double for amounts
// beyond the int range; RoundAmount saturates there.
double RoundAmountValue(double value);
int RoundAmount(double value);
// The length of a text in GBK bytes, as encoded: a Chinese character counts 2,
// "€" 1, and a character GBK cannot hold 1 (it becomes one '?').
int GbkByteLength(const QString& text);

// Dates.
QDateTime AddDays(const QDateTime& date, int days);
// The program's own forms "%Y-%m-%d[ %H:%M:%S]" whatever the locale; a bad
// text gives an invalid value.
QDateTime ParseDate(const QString& text);
// Adds months to a year-month YYYYMM; a value outside 190001-210012 or a month
// outside 01-12 throws "年月数据类型错误！".
int AddYearMonth(int yearMonth, int months);
int DaysBetween(const QDateTime& a, const QDateTime& b);
bool IsDateValid(const QDateTime& date);

// Amounts in Chinese capital numerals for receipts.
QString DigitToCapital(int digit);
QString AmountToCapitals(double amount, int width);

// Printing to a PDF file counts as an installed printer, so this is always true.
bool IsPrinterInstalled();

// Small lookups.
int LevelNameToCode(QString name);
QString MeterTypeName(const QString& type);

#pragma once

#include <QString>
#include <vector>

class CAdoConnection;

// The stored receipt layouts: tables KvReport, KvLine, KvText and KvField of
// the local database. Positions and sizes are in 0.01 mm with y growing upward
// (a point below the top edge of the paper has a negative y); font heights are
// in tenths of a point. The program only reads these tables.

// The font columns of a text or field row, as the members of a Windows LOGFONT.
struct KvLogFont
{
    int lfHeight = 100;
    int lfWidth = 0;
    int lfEscapement = 0;
    int lfOrientation = 0;
    int lfWeight = 0;
    int lfItalic = 0;
    int lfUnderline = 0;
    int lfStrikeOut = 0;
    int lfCharSet = 1;
    int lfOutPrecision = 0;
    int lfClipPrecision = 0;
    int lfQuality = 0;
    int lfPitchAndFamily = 0;
    QString lfFaceName = QStringLiteral("宋体");
};

// One row of KvLine: a ruled line, its width in 0.1 mm and its kind (1-4).
struct KvLineRow
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int lineWidth = 0;
    int lineType = 0;
};

// One row of KvText: a fixed label.
struct KvTextRow
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    QString text;
    int bkMode = 0;
    int height = 0; // nHeight: kept, not used for drawing
    KvLogFont font;
};

// One row of KvField: a value of the printed document, named by its group
// (KvFieldType) and its name; row groups take their row number from meterNo.
struct KvFieldRow
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    QString fieldName;
    QString caption;
    QString fieldType;
    QString rankNo;
    QString priceNo;
    QString meterNo;
    QString monthNo;
    int bkMode = 0;
    int height = 0;
    KvLogFont font;
};

// Reads the page of a layout: its width and the (negative) length by which each
// further copy moves down. Without a KvReport row the outputs keep the values
// the caller put in and the result is false.
bool LoadReportPageSize(CAdoConnection& db, int reportId, int& width, int& length);

// The rows of a layout, in the order the database returns them.
std::vector<KvLineRow> LoadReportLines(CAdoConnection& db, int reportId);
std::vector<KvTextRow> LoadReportTexts(CAdoConnection& db, int reportId);
std::vector<KvFieldRow> LoadReportFields(CAdoConnection& db, int reportId);

#include "KvReceiptLayout.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvSql.h"

#include <QVariant>

namespace {

// Numbers are read as 32-bit integers whatever type the column holds; a NULL
// counts as 0 and an empty text, so one incomplete row does not stop a receipt.
int IntOf(const CAdoRecordset& rs, const QString& name)
{
    const QVariant value = rs.GetFieldValue(name);
    if (!value.isValid() || value.isNull())
        return 0;
    if (value.typeId() == QMetaType::Double)
        return static_cast<int>(value.toDouble());
    return value.toInt();
}

QString TextOf(const CAdoRecordset& rs, const QString& name)
{
    return rs.GetFieldText(name);
}

KvLogFont FontOf(const CAdoRecordset& rs)
{
    KvLogFont font;
    font.lfHeight = IntOf(rs, QStringLiteral("lfHeight"));
    font.lfWidth = IntOf(rs, QStringLiteral("lfWidth"));
    font.lfEscapement = IntOf(rs, QStringLiteral("lfEscapement"));
    font.lfOrientation = IntOf(rs, QStringLiteral("lfOrientation"));
    font.lfWeight = IntOf(rs, QStringLiteral("lfWeight"));
    font.lfItalic = IntOf(rs, QStringLiteral("lfItalic"));
    font.lfUnderline = IntOf(rs, QStringLiteral("lfUnderline"));
    font.lfStrikeOut = IntOf(rs, QStringLiteral("lfStrikeOut"));
    font.lfCharSet = IntOf(rs, QStringLiteral("lfCharSet"));
    font.lfOutPrecision = IntOf(rs, QStringLiteral("lfOutPrecision"));
    font.lfClipPrecision = IntOf(rs, QStringLiteral("lfClipPrecision"));
    font.lfQuality = IntOf(rs, QStringLiteral("lfQuality"));
    font.lfPitchAndFamily = IntOf(rs, QStringLiteral("lfPitchAndFamily"));
    font.lfFaceName = TextOf(rs, QStringLiteral("lfFaceName"));
    return font;
}

template <typename Row> void ReadBox(const CAdoRecordset& rs, Row& row)
{
    row.left = IntOf(rs, QStringLiteral("KvLeft"));
    row.top = IntOf(rs, QStringLiteral("KvTop"));
    row.right = IntOf(rs, QStringLiteral("KvRight"));
    row.bottom = IntOf(rs, QStringLiteral("KvBottom"));
}

// Runs the select of one layout table and reads every row with `read`.
template <typename Row, typename Read>
std::vector<Row> LoadRows(CAdoConnection& db, const char* select, int reportId, Read read)
{
    std::vector<Row> rows;
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(KvFormatSql(QString::fromUtf8(select), reportId));
    for (; !rs->IsEOF(); rs->MoveNext()) {
        Row row;
        ReadBox(*rs, row);
        read(*rs, row);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

bool LoadReportPageSize(CAdoConnection& db, int reportId, int& width, int& length)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(KvFormatSql(QStringLiteral("select * from KvReport where ReportId = %d"), reportId));
    if (rs->IsEOF())
        return false;
    width = IntOf(*rs, QStringLiteral("KvPageWidth"));
    length = IntOf(*rs, QStringLiteral("KvPageLength"));
    return true;
}

std::vector<KvLineRow> LoadReportLines(CAdoConnection& db, int reportId)
{
    return LoadRows<KvLineRow>(db, "select * from KvLine where ReportId = %d", reportId,
                               [](const CAdoRecordset& rs, KvLineRow& row) {
                                   row.lineWidth = IntOf(rs, QStringLiteral("LineWidth"));
                                   row.lineType = IntOf(rs, QStringLiteral("LineType"));
                               });
}

std::vector<KvTextRow> LoadReportTexts(CAdoConnection& db, int reportId)
{
    return LoadRows<KvTextRow>(db, "select * from KvText where ReportId = %d", reportId,
                               [](const CAdoRecordset& rs, KvTextRow& row) {
                                   row.text = TextOf(rs, QStringLiteral("KvText"));
                                   row.bkMode = IntOf(rs, QStringLiteral("BkMode"));
                                   row.height = IntOf(rs, QStringLiteral("nHeight"));
                                   row.font = FontOf(rs);
                               });
}

std::vector<KvFieldRow> LoadReportFields(CAdoConnection& db, int reportId)
{
    return LoadRows<KvFieldRow>(db, "select * from KvField where ReportId = %d", reportId,
                                [](const CAdoRecordset& rs, KvFieldRow& row) {
                                    row.fieldName = TextOf(rs, QStringLiteral("KvFieldName"));
                                    row.caption = TextOf(rs, QStringLiteral("KvCaption"));
                                    row.fieldType = TextOf(rs, QStringLiteral("KvFieldType"));
                                    row.rankNo = TextOf(rs, QStringLiteral("KvRankNo"));
                                    row.priceNo = TextOf(rs, QStringLiteral("KvPriceNo"));
                                    row.meterNo = TextOf(rs, QStringLiteral("KvMeterNo"));
                                    row.monthNo = TextOf(rs, QStringLiteral("KvMonthNo"));
                                    row.bkMode = IntOf(rs, QStringLiteral("BkMode"));
                                    row.height = IntOf(rs, QStringLiteral("nHeight"));
                                    row.font = FontOf(rs);
                                });
}

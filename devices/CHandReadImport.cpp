#include "CHandReadImport.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CHandReadRaw.h"
#include "CKvException.h"
#include "KvExchangeTable.h"
#include "KvMessage.h"
#include "KvSql.h"
#include "KvUtil.h"

#include <climits>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// The tool writes the time as "yy-mm-dd hh:mm".
constexpr int kReadTimeLength = 14;

[[noreturn]] void refuseFigure(const QString& text, const QString& column, int row)
{
    throw CKvException(QStringLiteral("抄表数据第%1行的%2不是有效的数字：\"%3\"").arg(row).arg(column, text));
}

} // namespace

void CHandReadImport::RemoveExchangeTable()
{
    ::RemoveExchangeTable(TableName());
}

QDateTime CHandReadImport::ParseReadTime(const QString& text)
{
    const QString t = text.trimmed();
    if (t.size() < kReadTimeLength)
        return QDateTime();
    return ParseDate(QStringLiteral("20") + t.mid(0, 2) + u'-' + t.mid(3, 2) + u'-' + t.mid(6, 2) + u' ' + t.right(5) +
                     QStringLiteral(":00"));
}

double CHandReadImport::ToNumber(const QString& text, const QString& column, int row)
{
    bool ok = false;
    const double value = KvParseNumber(text, &ok);
    if (!ok || !std::isfinite(value))
        refuseFigure(text, column, row);
    return value;
}

int CHandReadImport::ToInteger(const QString& text, const QString& column, int row)
{
    const double value = std::round(ToNumber(text, column, row));
    if (value < INT_MIN || value > INT_MAX)
        refuseFigure(text, column, row);
    return static_cast<int>(value);
}

bool CHandReadImport::ImportReadings(QObject* parent)
{
    CAdoConnection exchange;
    if (!OpenExchangeFolder(exchange)) {
        PromptBox(QStringLiteral("无法读取抄表数据！"), parent);
        return false;
    }

    QStringList skipped;
    {
        CAdoLease<CAdoRecordset> rs(exchange.AcquireRecordset());
        rs->Open(QStringLiteral("select * from %1").arg(TableName()));
        const int count = rs->GetRecordCount();
        if (count <= 0)
            return false;
        // A figure that is no number refuses the whole upload: the rows after
        // it would be lost when the next upload replaces the table.
        StageExchangeUpload(TableName(), QStringLiteral("抄表"), [&] {
            std::vector<std::unique_ptr<CHandReadRaw>> readings;
            for (int i = 0; i < count; ++i, rs->MoveNext()) {
                const int row = i + 1;
                QString meterNo = rs->GetFieldText(QStringLiteral("HWNO"));
                TrimString(meterNo);
                if (meterNo == QStringLiteral("0"))
                    continue;
                auto raw = std::make_unique<CHandReadRaw>();
                // The record writes its meter number as given: pad it here.
                raw->SetMeterNo(meterNo.rightJustified(8, u'0'));
                const QDateTime readTime = ParseReadTime(rs->GetFieldText(QStringLiteral("DATETIM")));
                if (!IsDateValid(readTime)) {
                    skipped << raw->GetMeterNo();
                    continue;
                }
                raw->SetReadTime(readTime);
                raw->SetAccuBuy(ToInteger(rs->GetFieldText(QStringLiteral("ZONGM")), QStringLiteral("ZONGM"), row));
                raw->SetAccuRemain(ToNumber(rs->GetFieldText(QStringLiteral("SHENG")), QStringLiteral("SHENG"), row));
                raw->SetAccuUse(ToNumber(rs->GetFieldText(QStringLiteral("LEIJI")), QStringLiteral("LEIJI"), row));
                readings.push_back(std::move(raw));
            }
            for (const auto& raw : readings)
                raw->Save();
        });
    }
    exchange.Close();
    if (!skipped.isEmpty())
        PromptBox(QStringLiteral("以下电表的抄表时间无效，未导入：%1").arg(skipped.join(QStringLiteral("、"))), parent);
    return true;
}

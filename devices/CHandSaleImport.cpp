#include "CHandSaleImport.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CHandRaw.h"
#include "CKvException.h"
#include "KvExchangeTable.h"
#include "KvMessage.h"
#include "KvSql.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QRegularExpression>
#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

QString CHandSaleImport::TablePath()
{
    return ExchangeTablePath(TableName());
}

void CHandSaleImport::RemoveExchangeTable()
{
    ::RemoveExchangeTable(TableName());
}

int CHandSaleImport::LeadingInteger(const QString& text, bool* inRange)
{
    if (inRange)
        *inRange = true;
    static const QRegularExpression leading(QStringLiteral("^\\s*([+-]?\\d+)"));
    const QRegularExpressionMatch match = leading.match(text);
    if (!match.hasMatch())
        return 0;
    bool ok = false;
    qlonglong value = match.captured(1).toLongLong(&ok);
    if (!ok) // more digits than a 64-bit number holds
        value = match.captured(1).startsWith(u'-') ? LLONG_MIN : LLONG_MAX;
    if (inRange && (value < INT_MIN || value > INT_MAX))
        *inRange = false;
    return static_cast<int>(std::clamp<qlonglong>(value, INT_MIN, INT_MAX));
}

double CHandSaleImport::LeadingNumber(const QString& text, bool* inRange)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch match = leading.match(text);
    bool ok = true;
    const double value = match.hasMatch() ? KvParseNumber(match.captured(1), &ok) : 0.0;
    if (inRange)
        *inRange = ok && std::isfinite(value);
    return value;
}

QDateTime CHandSaleImport::ParseOperDate(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{14}$"));
    const QString t = text.trimmed();
    if (!digits.match(t).hasMatch())
        return QDateTime();
    return ParseDate(QStringLiteral("%1-%2-%3 %4:%5:%6")
                         .arg(t.mid(0, 4), t.mid(4, 2), t.mid(6, 2), t.mid(8, 2), t.mid(10, 2), t.mid(12, 2)));
}

namespace {

[[noreturn]] void refuseFigure(const QString& text, const QString& column, int row)
{
    throw CKvException(QStringLiteral("售电数据第%1行的%2超出范围：\"%3\"").arg(row).arg(column, text));
}

// A whole figure of a row: a clamped value would be a wrong sale.
int integerField(const CAdoRecordset& rs, const QString& column, int row)
{
    const QString text = rs.GetFieldText(column);
    bool inRange = true;
    const int value = CHandSaleImport::LeadingInteger(text, &inRange);
    if (!inRange)
        refuseFigure(text, column, row);
    return value;
}

double numberField(const CAdoRecordset& rs, const QString& column, int row)
{
    const QString text = rs.GetFieldText(column);
    bool inRange = true;
    const double value = CHandSaleImport::LeadingNumber(text, &inRange);
    if (!inRange)
        refuseFigure(text, column, row);
    return value;
}

} // namespace

bool CHandSaleImport::ImportSales(QObject* parent)
{
    CAdoConnection exchange;
    if (!OpenExchangeFolder(exchange)) {
        PromptBox(QStringLiteral("无法读取售电数据！"), parent);
        return false;
    }

    QStringList untimed;
    {
        CAdoLease<CAdoRecordset> rs(exchange.AcquireRecordset());
        rs->Open(QStringLiteral("select * from %1").arg(TableName()));
        const int count = rs->GetRecordCount();
        if (count <= 0)
            return false;
        // The machine has written every card of the table already: a row that
        // cannot be staged refuses the whole upload rather than lose the rows
        // after it when the next upload replaces the table.
        StageExchangeUpload(TableName(), QStringLiteral("售电"), [&] {
            std::vector<std::unique_ptr<CHandRaw>> sales;
            for (int i = 0; i < count; ++i, rs->MoveNext()) {
                const int row = i + 1;
                QString meterNo = rs->GetFieldText(QStringLiteral("BIAOHAO"));
                TrimString(meterNo);
                if (meterNo == QStringLiteral("0"))
                    continue;
                // A sale whose time does not parse is staged with the time of
                // this upload, and named, never dropped.
                QDateTime wrtTime = ParseOperDate(rs->GetFieldText(QStringLiteral("OPERDATE")));
                if (!IsDateValid(wrtTime)) {
                    wrtTime = GetServerTime();
                    untimed << meterNo;
                }
                auto raw = std::make_unique<CHandRaw>();
                raw->SetMeterNo(meterNo);
                raw->SetWrtValue(integerField(*rs, QStringLiteral("VALCUR"), row));
                raw->SetWrtNum(integerField(*rs, QStringLiteral("TIMES"), row));
                raw->SetAccuBuy(integerField(*rs, QStringLiteral("VALALL"), row));
                raw->SetAccuUse(numberField(*rs, QStringLiteral("VALUSED"), row));
                raw->SetAccuRemain(raw->GetAccuBuy() - raw->GetAccuUse());
                raw->SetLimitValue(QStringLiteral("200A"));
                raw->SetAlarmShold(30);
                raw->SetCloseShold(20);
                raw->SetOpMode(QStringLiteral("手持机"));
                raw->SetWrtTime(wrtTime);
                sales.push_back(std::move(raw));
            }
            for (const auto& raw : sales)
                raw->Save();
        });
    }
    exchange.Close();
    if (!untimed.isEmpty())
        PromptBox(QStringLiteral("以下电表的售电数据写卡时间无效，已按本次上传时间导入，请核对：%1")
                      .arg(untimed.join(QStringLiteral("、"))),
                  parent);
    return true;
}

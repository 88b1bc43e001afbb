#include "CHandSaleImport.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CHandRaw.h"
#include "KvExchangeTable.h"
#include "KvMessage.h"
#include "KvSql.h"
#include "KvUtil.h"

#include <QRegularExpression>
#include <algorithm>
#include <climits>

QString CHandSaleImport::TablePath()
{
    return ExchangeTablePath(TableName());
}

void CHandSaleImport::RemoveExchangeTable()
{
    ::RemoveExchangeTable(TableName());
}

int CHandSaleImport::LeadingInteger(const QString& text)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*([+-]?\\d+)"));
    const QRegularExpressionMatch match = leading.match(text);
    if (!match.hasMatch())
        return 0;
    bool ok = false;
    const qlonglong value = match.captured(1).toLongLong(&ok);
    if (!ok) // more digits than a 64-bit number holds
        return match.captured(1).startsWith(u'-') ? INT_MIN : INT_MAX;
    return static_cast<int>(std::clamp<qlonglong>(value, INT_MIN, INT_MAX));
}

double CHandSaleImport::LeadingNumber(const QString& text)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch match = leading.match(text);
    return match.hasMatch() ? KvParseNumber(match.captured(1)) : 0.0;
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

bool CHandSaleImport::ImportSales(QObject* parent)
{
    CAdoConnection exchange;
    if (!OpenExchangeFolder(exchange)) {
        PromptBox(QStringLiteral("无法读取售电数据！"), parent);
        return false;
    }

    QStringList skipped;
    {
        CAdoLease<CAdoRecordset> rs(exchange.AcquireRecordset());
        rs->Open(QStringLiteral("select * from %1").arg(TableName()));
        const int count = rs->GetRecordCount();
        if (count <= 0)
            return false;
        for (int i = 0; i < count; ++i, rs->MoveNext()) {
            QString meterNo = rs->GetFieldText(QStringLiteral("BIAOHAO"));
            TrimString(meterNo);
            if (meterNo == QStringLiteral("0"))
                continue;
            // A time that does not parse would be stored as no time at all.
            const QDateTime wrtTime = ParseOperDate(rs->GetFieldText(QStringLiteral("OPERDATE")));
            if (!IsDateValid(wrtTime)) {
                skipped << meterNo;
                continue;
            }
            CHandRaw raw;
            raw.SetMeterNo(meterNo);
            raw.SetWrtValue(LeadingInteger(rs->GetFieldText(QStringLiteral("VALCUR"))));
            raw.SetWrtNum(LeadingInteger(rs->GetFieldText(QStringLiteral("TIMES"))));
            raw.SetAccuBuy(LeadingInteger(rs->GetFieldText(QStringLiteral("VALALL"))));
            raw.SetAccuUse(LeadingNumber(rs->GetFieldText(QStringLiteral("VALUSED"))));
            raw.SetAccuRemain(raw.GetAccuBuy() - raw.GetAccuUse());
            raw.SetLimitValue(QStringLiteral("200A"));
            raw.SetAlarmShold(30);
            raw.SetCloseShold(20);
            raw.SetOpMode(QStringLiteral("手持机"));
            raw.SetWrtTime(wrtTime);
            raw.Save();
        }
    }
    exchange.Close();
    if (!skipped.isEmpty())
        PromptBox(QStringLiteral("以下电表的售电数据写卡时间无效，未导入：%1").arg(skipped.join(QStringLiteral("、"))),
                  parent);
    return true;
}

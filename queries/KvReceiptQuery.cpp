#include "KvReceiptQuery.h"

#include "CAdoRecordset.h"
#include "KvReportText.h"
#include "KvSaleQuerySql.h"

#include <cmath>

namespace {

const char* const kReceiptColumns =
    "a.ClientNo as ClientNo, a.ClientName as ClientName, "
    "a.Addr as Addr, a.Tel as Tel, b.MeterNo as MeterNo, b.ModelId as ModelId, "
    "b.Ct as Ct, b.Pt as Pt, g.InnerMul as InnerMul, c.WrtValue as WrtValue, "
    "c.BuyValue as BuyValue, c.FreeValue as FreeValue, c.LWaste as LWaste, c.WrtIndex as WrtIndex, "
    "c.TWaste as TWaste, c.Price as Price, c.Fee as Fee, c.PrePay as PrePay, e.PriceName as PriceName, "
    "d.PayMode as PayMode, d.ThisBalance as ThisBalance, d.TotFee as TotFee, "
    "d.LastBalance as LastBalance, d.RealPay as RealPay, d.InvoiceNo as InvoiceNo, "
    "c.OpMode as OpMode, c.WrtTime as WrtTime, h.OperatorName as OperatorName";

std::optional<int> optInt(const CAdoRecordset& rs, const QString& name)
{
    if (rs.IsFieldNull(name))
        return std::nullopt;
    return rs.GetFieldInt(name);
}

std::optional<double> optDouble(const CAdoRecordset& rs, const QString& name)
{
    if (rs.IsFieldNull(name))
        return std::nullopt;
    return rs.GetFieldDouble(name);
}

QString intText(const std::optional<int>& v)
{
    return v ? QString::number(*v) : QString();
}

QString numberText(const std::optional<double>& v, int decimals)
{
    return v ? KvFixedText(*v, decimals) : QString();
}

// A sum shown to `decimals` places, rounded there first so that the binary
// error of a long addition never shows in the last place.
QString sumText(double sum, int decimals)
{
    const double scale = decimals == 1 ? 10.0 : 100.0;
    return KvFixedText(std::round(sum * scale) / scale, decimals);
}

} // namespace

QString ReceiptQuerySql(const CSaleCondition& condition)
{
    const CSaleWhere where = BuildSaleWhere(condition, ESaleCaptionStyle::ReceiptQuery);
    return QStringLiteral("select ") + QString::fromUtf8(kReceiptColumns) + SaleFromWhereText() + where.clauses.text +
           QStringLiteral(" order by c.WrtIndex");
}

QString ReceiptListCaption(const CSaleCondition& condition)
{
    const CSaleWhere where = BuildSaleWhere(condition, ESaleCaptionStyle::ReceiptQuery);
    return QStringLiteral("%1(%2)").arg(SaleRecordReportType(), where.caption);
}

QStringList ReceiptColumnTitles()
{
    return {"票据编号", "电表编号", "型    别", "CT",       "PT",       "内部倍率", "写卡电量",
            "购买电量", "补助电量", "线损电量", "变损电量", "单  价",   "金  额",   "预提金额",
            "用电性质", "付款方式", "上次余额", "实付金额", "本次余额", "用户代码", "用户姓名",
            "用户地址", "用户电话", "写卡时间", "操作员",   "操作方式", "",         ""};
}

bool IsReceiptNumericColumn(int column)
{
    return (column >= RcCt && column <= RcPrePay) || (column >= RcLastBalance && column <= RcThisBalance);
}

CReceiptSaleRow ReadReceiptSaleRow(const CAdoRecordset& rs)
{
    CReceiptSaleRow row;
    row.invoiceNo = rs.GetFieldText(QStringLiteral("InvoiceNo"));
    row.meterNo = rs.GetFieldText(QStringLiteral("MeterNo"));
    row.modelId = rs.GetFieldText(QStringLiteral("ModelId"));
    row.ct = optInt(rs, QStringLiteral("Ct"));
    row.pt = optInt(rs, QStringLiteral("Pt"));
    row.innerMul = optInt(rs, QStringLiteral("InnerMul"));
    row.wrtValue = optInt(rs, QStringLiteral("WrtValue"));
    row.buyValue = optInt(rs, QStringLiteral("BuyValue"));
    row.freeValue = optInt(rs, QStringLiteral("FreeValue"));
    row.lWaste = optDouble(rs, QStringLiteral("LWaste"));
    row.tWaste = optDouble(rs, QStringLiteral("TWaste"));
    row.price = optDouble(rs, QStringLiteral("Price"));
    row.fee = optDouble(rs, QStringLiteral("Fee"));
    row.prePay = optDouble(rs, QStringLiteral("PrePay"));
    row.priceName = rs.GetFieldText(QStringLiteral("PriceName"));
    row.payMode = rs.GetFieldText(QStringLiteral("PayMode"));
    row.lastBalance = optDouble(rs, QStringLiteral("LastBalance"));
    row.realPay = optDouble(rs, QStringLiteral("RealPay"));
    row.thisBalance = optDouble(rs, QStringLiteral("ThisBalance"));
    row.clientNo = rs.GetFieldText(QStringLiteral("ClientNo"));
    row.clientName = rs.GetFieldText(QStringLiteral("ClientName"));
    row.addr = rs.GetFieldText(QStringLiteral("Addr"));
    row.tel = rs.GetFieldText(QStringLiteral("Tel"));
    if (!rs.IsFieldNull(QStringLiteral("WrtTime")))
        row.wrtTime = rs.GetFieldDateTime(QStringLiteral("WrtTime"));
    row.operatorName = rs.GetFieldText(QStringLiteral("OperatorName"));
    row.opMode = rs.GetFieldText(QStringLiteral("OpMode"));
    row.totFee = optDouble(rs, QStringLiteral("TotFee"));
    row.wrtIndex = optInt(rs, QStringLiteral("WrtIndex"));
    return row;
}

std::vector<CReceiptSaleRow> ReadReceiptSaleRows(CAdoRecordset& rs)
{
    std::vector<CReceiptSaleRow> rows;
    for (; !rs.IsEOF(); rs.MoveNext())
        rows.push_back(ReadReceiptSaleRow(rs));
    return rows;
}

CReportTable BuildReceiptTable(const std::vector<CReceiptSaleRow>& rows)
{
    CReportTable table;
    table.columns = ReceiptColumnCount;
    table.rows = static_cast<int>(rows.size()) + 1;
    table.titles = ReceiptColumnTitles();
    table.cells.reserve(static_cast<qsizetype>(table.rows) * table.columns);

    // The kWh sums are whole numbers; the amounts add in double and are
    // rounded to cents only when shown, so the total row has exact cents.
    long long buy = 0, free = 0;
    double lWaste = 0, tWaste = 0, fee = 0, prePay = 0, last = 0, real = 0, balance = 0;
    for (const CReceiptSaleRow& r : rows) {
        table.cells << r.invoiceNo << r.meterNo << r.modelId << intText(r.ct) << intText(r.pt) << intText(r.innerMul)
                    << intText(r.wrtValue) << intText(r.buyValue) << intText(r.freeValue) << numberText(r.lWaste, 1)
                    << numberText(r.tWaste, 1) << numberText(r.price, 4) << numberText(r.fee, 2)
                    << numberText(r.prePay, 2) << r.priceName << r.payMode << numberText(r.lastBalance, 2)
                    << numberText(r.realPay, 2) << numberText(r.thisBalance, 2) << r.clientNo << r.clientName << r.addr
                    << r.tel << (r.wrtTime.isValid() ? r.wrtTime.toString(QStringLiteral("yyyy-MM-dd")) : QString())
                    << r.operatorName << r.opMode << numberText(r.totFee, 2) << intText(r.wrtIndex);
        buy += r.buyValue.value_or(0);
        free += r.freeValue.value_or(0);
        lWaste += r.lWaste.value_or(0);
        tWaste += r.tWaste.value_or(0);
        fee += r.fee.value_or(0);
        prePay += r.prePay.value_or(0);
        last += r.lastBalance.value_or(0);
        real += r.realPay.value_or(0);
        balance += r.thisBalance.value_or(0);
    }
    QStringList total;
    for (int c = 0; c < ReceiptColumnCount; ++c)
        total << QString();
    total[RcInvoiceNo] = KV_SUMMARY_CAPTION;
    total[RcBuyValue] = QString::number(buy);
    total[RcFreeValue] = QString::number(free);
    total[RcLWaste] = sumText(lWaste, 1);
    total[RcTWaste] = sumText(tWaste, 1);
    total[RcFee] = sumText(fee, 2);
    total[RcPrePay] = sumText(prePay, 2);
    total[RcLastBalance] = sumText(last, 2);
    total[RcRealPay] = sumText(real, 2);
    total[RcThisBalance] = sumText(balance, 2);
    table.cells << total;
    return table;
}

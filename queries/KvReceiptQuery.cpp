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
        row.wrtDay = KvReportDateText(rs.GetFieldText(QStringLiteral("WrtTime")), false);
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

CReceiptStoreBuilder::CReceiptStoreBuilder() : m_store(ReceiptColumnTitles())
{
    using Kind = CReportStore::EColumnKind;
    struct Shape
    {
        Kind kind;
        int decimals;
    };
    static constexpr Shape kShapes[ReceiptColumnCount] = {
        {Kind::Text, 0},    {Kind::Text, 0},    {Kind::Text, 0},    {Kind::Integer, 0}, {Kind::Integer, 0},
        {Kind::Integer, 0}, {Kind::Integer, 0}, {Kind::Integer, 0}, {Kind::Integer, 0}, {Kind::Fixed, 1},
        {Kind::Fixed, 1},   {Kind::Fixed, 4},   {Kind::Fixed, 2},   {Kind::Fixed, 2},   {Kind::Text, 0},
        {Kind::Text, 0},    {Kind::Fixed, 2},   {Kind::Fixed, 2},   {Kind::Fixed, 2},   {Kind::Text, 0},
        {Kind::Text, 0},    {Kind::Text, 0},    {Kind::Text, 0},    {Kind::Text, 0},    {Kind::Text, 0},
        {Kind::Text, 0},    {Kind::Fixed, 2},   {Kind::Integer, 0},
    };
    for (const Shape& shape : kShapes)
        m_store.AddColumn(shape.kind, shape.decimals);
}

void CReceiptStoreBuilder::Add(const CReceiptSaleRow& r)
{
    const auto number = [this](int column, const auto& value) {
        if (value)
            m_store.AppendNumber(column, static_cast<double>(*value));
        else
            m_store.AppendNull(column);
    };
    m_store.AppendText(RcInvoiceNo, r.invoiceNo);
    m_store.AppendText(RcMeterNo, r.meterNo);
    m_store.AppendText(RcModelId, r.modelId);
    number(RcCt, r.ct);
    number(RcPt, r.pt);
    number(RcInnerMul, r.innerMul);
    number(RcWrtValue, r.wrtValue);
    number(RcBuyValue, r.buyValue);
    number(RcFreeValue, r.freeValue);
    number(RcLWaste, r.lWaste);
    number(RcTWaste, r.tWaste);
    number(RcPrice, r.price);
    number(RcFee, r.fee);
    number(RcPrePay, r.prePay);
    m_store.AppendText(RcPriceName, r.priceName);
    m_store.AppendText(RcPayMode, r.payMode);
    number(RcLastBalance, r.lastBalance);
    number(RcRealPay, r.realPay);
    number(RcThisBalance, r.thisBalance);
    m_store.AppendText(RcClientNo, r.clientNo);
    m_store.AppendText(RcClientName, r.clientName);
    m_store.AppendText(RcAddr, r.addr);
    m_store.AppendText(RcTel, r.tel);
    m_store.AppendText(RcWrtTime, r.wrtDay);
    m_store.AppendText(RcOperatorName, r.operatorName);
    m_store.AppendText(RcOpMode, r.opMode);
    number(RcTotFee, r.totFee);
    number(RcWrtIndex, r.wrtIndex);
    m_store.EndRow();

    // The kWh sums are whole numbers; the amounts add in double and are
    // rounded to cents only when shown, so the total row has exact cents.
    m_buy += r.buyValue.value_or(0);
    m_free += r.freeValue.value_or(0);
    m_lWaste += r.lWaste.value_or(0);
    m_tWaste += r.tWaste.value_or(0);
    m_fee += r.fee.value_or(0);
    m_prePay += r.prePay.value_or(0);
    m_last += r.lastBalance.value_or(0);
    m_real += r.realPay.value_or(0);
    m_balance += r.thisBalance.value_or(0);
}

CReportStore CReceiptStoreBuilder::Finish()
{
    QStringList total;
    for (int c = 0; c < ReceiptColumnCount; ++c)
        total << QString();
    total[RcInvoiceNo] = KV_SUMMARY_CAPTION;
    total[RcBuyValue] = QString::number(m_buy);
    total[RcFreeValue] = QString::number(m_free);
    total[RcLWaste] = sumText(m_lWaste, 1);
    total[RcTWaste] = sumText(m_tWaste, 1);
    total[RcFee] = sumText(m_fee, 2);
    total[RcPrePay] = sumText(m_prePay, 2);
    total[RcLastBalance] = sumText(m_last, 2);
    total[RcRealPay] = sumText(m_real, 2);
    total[RcThisBalance] = sumText(m_balance, 2);
    m_store.SetSummaryRow(total);
    m_store.Finish();
    return std::move(m_store);
}

CReportStore ReadReceiptStore(CAdoRecordset& rs, const QString& sql, int* sales)
{
    CReceiptStoreBuilder builder;
    *sales = rs.ReadEach(sql, [&](CAdoRecordset& row) { builder.Add(ReadReceiptSaleRow(row)); });
    return builder.Finish();
}

CReportStore BuildReceiptStore(const std::vector<CReceiptSaleRow>& rows)
{
    CReceiptStoreBuilder builder;
    for (const CReceiptSaleRow& row : rows)
        builder.Add(row);
    return builder.Finish();
}

CReportTable BuildReceiptTable(const std::vector<CReceiptSaleRow>& rows)
{
    return ReportTableOf(BuildReceiptStore(rows));
}

#include "KvReceiptCompose.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CClientPay.h"
#include "CReceiptFeeSummary.h"
#include "CSysPara.h"
#include "CWrtRecord.h"
#include "KvReceiptQuery.h"
#include "KvReportText.h"
#include "KvSql.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <memory>

namespace {

constexpr int kQuotaFeeItems = 20;

int fieldIndex(const QStringList& names, const char* name)
{
    return static_cast<int>(names.indexOf(QString::fromUtf8(name)));
}

QString money(double value)
{
    return QString::asprintf("%0.2f", value);
}

QString dayText(const QDateTime& date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

double number(const CAdoRecordset& rs, const QString& name)
{
    return rs.IsFieldNull(name) ? 0.0 : rs.GetFieldDouble(name);
}

int integer(const CAdoRecordset& rs, const QString& name)
{
    return rs.IsFieldNull(name) ? 0 : rs.GetFieldInt(name);
}

QDateTime date(const CAdoRecordset& rs, const QString& name)
{
    return rs.IsFieldNull(name) ? QDateTime() : rs.GetFieldDateTime(name);
}

// Runs one statement on a pooled recordset of the main database and hands it
// to `each` row by row; the recordset goes back to the pool on every path.
template <typename Each> int forEachRow(const QString& sql, Each each)
{
    CAdoLease<CAdoRecordset> rs(GetMainDatabase()->AcquireRecordset());
    rs->Open(sql);
    int rows = 0;
    for (; !rs->IsEOF(); rs->MoveNext())
        each(*rs, rows++);
    return rows;
}

template <typename Fill> void forEachCopy(CReceiptCopies copies, Fill fill)
{
    for (int k = 0; k < copies.count; ++k)
        fill(copies.first + k, k);
}

} // namespace

void ComposeReceiptHead(CReceiptValues& values, const QStringList& row, CReceiptCopies copies, bool single,
                        double manualFees, const QString& printer, const QDateTime& printTime)
{
    const auto cell = [&](int column) { return row.value(column); };
    const auto asInt = [&](int column) { return KvAtoi(cell(column)); };
    const auto asNumber = [&](int column) { return KvAtof(cell(column)); };
    const double total = asNumber(RcTotFee);
    const QString writeDate = cell(RcWrtTime);
    const QString printDate = printTime.toString(QStringLiteral("yyyy-MM-dd HH:mm"));

    const QStringList& names = CReceiptValues::CommonNames();
    QList<QPair<int, QString>> head = {
        {fieldIndex(names, "住户姓名"), cell(RcClientName)},
        {fieldIndex(names, "住户编号"), cell(RcClientNo)},
        {fieldIndex(names, "住户住址"), cell(RcAddr)},
        {fieldIndex(names, "住户电话"), cell(RcTel)},
        {fieldIndex(names, "表计编号"), cell(RcMeterNo)},
        {fieldIndex(names, "表计型别"), cell(RcModelId)},
        {fieldIndex(names, "CT倍率"), cell(RcCt)},
        {fieldIndex(names, "PT倍率"), cell(RcPt)},
        {fieldIndex(names, "内部倍率"), cell(RcInnerMul)},
        {fieldIndex(names, "合计倍率"), QString::number(asInt(RcCt) * asInt(RcPt) * asInt(RcInnerMul))},
        {fieldIndex(names, "写卡人"), cell(RcOperatorName)},
        {fieldIndex(names, "写卡方式"), cell(RcOpMode)},
        {fieldIndex(names, "写卡量"), cell(RcWrtValue)},
        {fieldIndex(names, "缴费量"), cell(RcBuyValue)},
        {fieldIndex(names, "补助量"), cell(RcFreeValue)},
        {fieldIndex(names, "可用量"), QString::number(asInt(RcBuyValue) + asInt(RcFreeValue))},
        {fieldIndex(names, "线损量"), cell(RcLWaste)},
        {fieldIndex(names, "变损量"), cell(RcTWaste)},
        {fieldIndex(names, "用电性质"), cell(RcPriceName)},
        {fieldIndex(names, "综合电价"), cell(RcPrice)},
        {fieldIndex(names, "购电金额"), money(asInt(RcBuyValue) * asNumber(RcPrice))},
        {fieldIndex(names, "预提金额"), cell(RcPrePay)},
        {fieldIndex(names, "线损金额"), money(asNumber(RcPrice) * asNumber(RcLWaste))},
        {fieldIndex(names, "变损金额"), money(asNumber(RcPrice) * asNumber(RcTWaste))},
        {fieldIndex(names, "合计金额"), cell(RcFee)},
        {fieldIndex(names, "购电日期"), writeDate},
        {fieldIndex(names, "代收费"), money(manualFees)},
        {fieldIndex(names, "合计小写"), single ? QStringLiteral("￥") + money(total) : money(total)},
        {fieldIndex(names, "合计大写"), AmountToCapitals(total, 5)},
        {fieldIndex(names, "本次余额"), cell(RcThisBalance)},
        {fieldIndex(names, "上次余额"), cell(RcLastBalance)},
        {fieldIndex(names, "实付金额"), cell(RcRealPay)},
        {fieldIndex(names, "打印人"), printer},
        {fieldIndex(names, "打印日期"), printDate},
        {fieldIndex(names, "付款方式"), cell(RcPayMode)},
    };
    if (single) {
        head += {
            {fieldIndex(names, "购电年"), writeDate.left(4)},   {fieldIndex(names, "购电月"), writeDate.mid(5, 2)},
            {fieldIndex(names, "购电日"), writeDate.right(2)},  {fieldIndex(names, "打印年"), printDate.left(4)},
            {fieldIndex(names, "打印月"), printDate.mid(5, 2)}, {fieldIndex(names, "打印日"), printDate.mid(8, 2)},
        };
    }
    const int billField = fieldIndex(names, "票据编号");
    forEachCopy(copies, [&](int receipt, int k) {
        for (const auto& [field, text] : head)
            values.SetCommon(receipt, field, text);
        values.SetCommon(receipt, billField, cell(RcInvoiceNo) + QStringLiteral("_%1").arg(k + 1));
    });
}

bool ComposeReceiptPriceRows(CReceiptValues& values, int wrtIndex, CReceiptCopies copies)
{
    QList<QStringList> rows;
    forEachRow(KvFormatSql(QStringLiteral("select a.PriceNo as PriceNo, a.PriceName as PriceName, "
                                          "\t\tb.Price as Price, c.PricePercent as PricePercent "
                                          "\t\tfrom Price a, PriceVer b, WrtPrice c "
                                          "\t\twhere a.PriceNo = b.PriceNo and b.PriceIndex = c.PriceIndex "
                                          "\t\tand c.WrtIndex = %d order by c.WrtIndex, b.PriceIndex"),
                           wrtIndex),
               [&](const CAdoRecordset& rs, int j) {
                   if (j < CReceiptValues::PriceRows)
                       rows << QStringList{rs.GetFieldText(QStringLiteral("PriceNo")),
                                           rs.GetFieldText(QStringLiteral("PriceName")),
                                           QString::asprintf("%0.4f", number(rs, QStringLiteral("Price"))),
                                           QString::number(integer(rs, QStringLiteral("PricePercent")))};
               });
    if (rows.isEmpty())
        return false;
    forEachCopy(copies, [&](int receipt, int) {
        for (int j = 0; j < rows.size(); ++j)
            for (int c = 0; c < CReceiptValues::PriceColumns; ++c)
                values.SetPrice(receipt, j, c, rows[j][c]);
    });
    return true;
}

void ComposeReceiptReadingRows(CReceiptValues& values, int wrtIndex, CReceiptCopies copies, bool single)
{
    // The fields in the order of the group: 附表编号, 上次抄数, 本次抄数, 实用量,
    // 补助量, 缴费量, 收费性质, 单价, 应缴金额, 抄表日期.
    QList<QStringList> rows;
    const auto reading = [&](const CAdoRecordset& rs, const QString& noColumn) {
        if (rows.size() >= CReceiptValues::SubRows)
            return; // no room left on the receipt
        const auto two = [&](const char* name) { return money(number(rs, QString::fromUtf8(name))); };
        rows << QStringList{rs.GetFieldText(noColumn),
                            two("LastRead"),
                            two("ThisRead"),
                            two("RealUse"),
                            two("FreeValue"),
                            two("BuyValue"),
                            rs.GetFieldText(QStringLiteral("PriceName")),
                            QString::asprintf(single ? "%0.2f" : "%0.4f", number(rs, QStringLiteral("Price"))),
                            two("Fee"),
                            dayText(date(rs, QStringLiteral("ReadTime")))};
    };
    forEachRow(KvFormatSql(QStringLiteral("select a.SubNo as SubNo, a.ThisRead as ThisRead, a.LastRead as LastRead, "
                                          "\t\ta.RealUse as RealUse, "
                                          "\t\ta.FreeValue as FreeValue, a.BuyValue as BuyValue, a.ReadTime as "
                                          "ReadTime, \t\tb.PriceName as PriceName, a.Price as Price, a.Fee as Fee "
                                          "\t\tfrom SubRead a, Price b, PriceVer c "
                                          "\t\twhere a.WrtIndex = %d and a.PriceIndex = c.PriceIndex "
                                          "\t\tand c.PriceNo = b.PriceNo order by a.ReadIndex"),
                           wrtIndex),
               [&](const CAdoRecordset& rs, int) { reading(rs, QStringLiteral("SubNo")); });
    forEachRow(KvFormatSql(QStringLiteral("select * from ManItem where WrtIndex = %d order by ReadIndex"), wrtIndex),
               [&](const CAdoRecordset& rs, int) { reading(rs, QStringLiteral("ManNo")); });
    forEachCopy(copies, [&](int receipt, int) {
        for (int j = 0; j < rows.size(); ++j)
            for (int c = 0; c < CReceiptValues::SubColumns; ++c)
                values.SetSub(receipt, j, c, rows[j][c]);
    });
}

void ComposeReceiptFeeRows(CReceiptValues& values, int wrtIndex, CReceiptCopies copies)
{
    CReceiptFeeSummary summary(kQuotaFeeItems);
    const auto item = [](const CAdoRecordset& rs) {
        return CReceiptFeeItem{rs.GetFieldText(QStringLiteral("PriceName")), date(rs, QStringLiteral("BeginDate")),
                               date(rs, QStringLiteral("EndDate")), integer(rs, QStringLiteral("Days")),
                               number(rs, QStringLiteral("FinalFee"))};
    };
    forEachRow(KvFormatSql(QStringLiteral("select b.PriceName as PriceName, a.YearMon as YearMon, a.BeginDate as "
                                          "BeginDate, \t\ta.EndDate as EndDate, a.Days as Days, a.Price as Price, "
                                          "a.PriceUnits as PriceUnits, \t\ta.PriceFee as PriceFee, a.FinalFee as "
                                          "FinalFee \t\tfrom FixFee a, Price b, PriceVer c "
                                          "\t\twhere a.WrtIndex = %d and a.PriceIndex = c.PriceIndex "
                                          "\t\tand b.PriceNo = c.PriceNo order by a.FeeIndex"),
                           wrtIndex),
               [&](const CAdoRecordset& rs, int) { summary.AddQuota(item(rs)); });
    forEachRow(KvFormatSql(QStringLiteral("select * from OtherItem where WrtIndex = %d order by FeeIndex"), wrtIndex),
               [&](const CAdoRecordset& rs, int) { summary.AddOther(item(rs)); });

    const QStringList& names = CReceiptValues::FeeNames();
    const int nameField = fieldIndex(names, "收费项目"), feeField = fieldIndex(names, "调整金额"),
              beginField = fieldIndex(names, "起始日期"), endField = fieldIndex(names, "截止日期"),
              daysField = fieldIndex(names, "天数");
    const auto& items = summary.Items();
    forEachCopy(copies, [&](int receipt, int) {
        for (int i = 0; i < static_cast<int>(items.size()) && i < CReceiptValues::FeeRows; ++i) {
            const CReceiptFeeItem& fee = items[static_cast<size_t>(i)];
            values.SetFee(receipt, i, nameField, fee.name);
            values.SetFee(receipt, i, beginField, dayText(fee.begin));
            values.SetFee(receipt, i, endField, dayText(fee.end));
            values.SetFee(receipt, i, daysField, QString::number(fee.days));
            values.SetFee(receipt, i, feeField, money(fee.fee));
        }
    });
}

QString MissingSaleText()
{
    return QStringLiteral("该售电记录或其付款记录已不存在！");
}

bool LoadSalePayment(int wrtIndex, CClientPay& pay)
{
    CWrtRecordList sales;
    const CWrtRecord* sale = sales.LoadByWrtIndex(wrtIndex);
    return sale && sale->GetClientPay(pay);
}

void StoreBillNumber(CClientPay& pay, const QString& number)
{
    pay.SetInvoiceNo(number);
    pay.SetState(CKvPersistance::StateChanged);
    pay.Save();
}

QString DrawBillNumber(CClientPay& pay)
{
    CAdoTransaction transaction(*GetMainDatabase());
    const QString number = QString::asprintf("%08d", GetMainSysPara()->GetIntPara(QStringLiteral("InvoiceNo"), 1));
    StoreBillNumber(pay, number);
    transaction.Commit();
    return number;
}

#include "KvReportCatalogues.h"

#include "CReportField.h"

#include <initializer_list>

namespace {

struct FieldRow
{
    const char* caption;
    const char* column;
    const QString& type;
    bool summed;
    int decimals;
};

CReportFieldList& Fill(CReportFieldList& list, std::initializer_list<FieldRow> rows)
{
    list.Clear();
    for (const FieldRow& row : rows) {
        CReportField* field = list.Add(QString::fromUtf8(row.caption), QString::fromLatin1(row.column), row.type);
        if (row.summed)
            field->SetSummed(QStringLiteral("是"));
        field->SetDecimals(row.decimals);
    }
    return list;
}

constexpr bool kSum = true;
constexpr bool kNoSum = false;

} // namespace

CReportFieldList& FillSaleDetailFields()
{
    static CReportFieldList list;
    return Fill(list,
                {
                    {"用户代码", "ClientNo", KV_CHAR, kNoSum, 0},   {"用户姓名", "ClientName", KV_CHAR, kNoSum, 0},
                    {"用户地址", "Addr", KV_CHAR, kNoSum, 0},       {"用户电话", "Tel", KV_CHAR, kNoSum, 0},
                    {"电表编号", "MeterNo", KV_CHAR, kNoSum, 0},    {"电表相线", "Phase", KV_CHAR, kNoSum, 0},
                    {"用电性质", "PriceName", KV_CHAR, kNoSum, 0},  {"购买电量", "BuyValue", KV_LONG, kSum, 0},
                    {"补助电量", "FreeValue", KV_LONG, kSum, 0},    {"线损电量", "LWaste", KV_FLOAT, kSum, 1},
                    {"变损电量", "TWaste", KV_FLOAT, kSum, 1},      {"单 价", "Price", KV_FLOAT, kNoSum, 4},
                    {"电  费", "Fee", KV_FLOAT, kSum, 2},           {"预提金额", "PrePay", KV_FLOAT, kSum, 2},
                    {"附表收费", "SubFee", KV_FLOAT, kSum, 2},      {"物业收费", "FixFee", KV_FLOAT, kSum, 2},
                    {"总金额", "TotFee", KV_FLOAT, kSum, 2},        {"实收金额", "RealPay", KV_FLOAT, kSum, 2},
                    {"上次余额", "LastBalance", KV_FLOAT, kSum, 2}, {"本次余额", "ThisBalance", KV_FLOAT, kSum, 2},
                    {"付款方式", "PayMode", KV_CHAR, kNoSum, 0},    {"票据编号", "InvoiceNo", KV_CHAR, kNoSum, 0},
                    {"操作方式", "OpMode", KV_CHAR, kNoSum, 0},     {"写卡时间", "WrtTime", KV_DT, kNoSum, 0},
                    {"操作员", "OperatorName", KV_CHAR, kNoSum, 0},
                });
}

CReportFieldList& FillSubReadDetailFields()
{
    static CReportFieldList list;
    return Fill(list, {
                          {"用户代码", "ClientNo", KV_CHAR, kNoSum, 0},
                          {"用户姓名", "ClientName", KV_CHAR, kNoSum, 0},
                          {"用户地址", "Addr", KV_CHAR, kNoSum, 0},
                          {"用户电话", "Tel", KV_CHAR, kNoSum, 0},
                          {"附表编号", "SubNo", KV_CHAR, kNoSum, 0},
                          {"计量类别", "PriceType", KV_CHAR, kNoSum, 0},
                          {"收费性质", "PriceName", KV_CHAR, kNoSum, 0},
                          {"上次读数", "LastRead", KV_FLOAT, kNoSum, 1},
                          {"本次读数", "ThisRead", KV_FLOAT, kNoSum, 1},
                          {"实际用量", "RealUse", KV_FLOAT, kSum, 1},
                          {"购买量", "BuyValue", KV_FLOAT, kSum, 1},
                          {"补助量", "FreeValue", KV_FLOAT, kSum, 1},
                          {"单 价", "Price", KV_FLOAT, kNoSum, 4},
                          {"金 额", "Fee", KV_FLOAT, kSum, 2},
                          {"抄表日期", "ReadTime", KV_D, kNoSum, 0},
                          {"操作员", "OperatorName", KV_CHAR, kNoSum, 0},
                      });
}

CReportFieldList& FillSaleStatFields()
{
    static CReportFieldList list;
    return Fill(list,
                {
                    {"用户代码", "ClientNo", KV_CHAR, kNoSum, 0},  {"用户姓名", "ClientName", KV_CHAR, kNoSum, 0},
                    {"电表编号", "MeterNo", KV_CHAR, kNoSum, 0},   {"电卡类型", "CardType", KV_CHAR, kNoSum, 0},
                    {"电价代码", "PriceNo", KV_CHAR, kNoSum, 0},   {"用电性质", "PriceName", KV_CHAR, kNoSum, 0},
                    {"电表相线", "Phase", KV_CHAR, kNoSum, 0},     {"付款方式", "PayMode", KV_CHAR, kNoSum, 0},
                    {"设备类型", "DevType", KV_CHAR, kNoSum, 0},   {"操作员", "OperatorName", KV_CHAR, kNoSum, 0},
                    {"小区名称", "BlockName", KV_CHAR, kNoSum, 0}, {"楼幢名称", "BuildingName", KV_CHAR, kNoSum, 0},
                    {"楼层", "LayerNo", KV_CHAR, kNoSum, 0},       {"房号", "RoomNo", KV_CHAR, kNoSum, 0},
                    {"单元", "Cell", KV_CHAR, kNoSum, 0},          {"部门", "DepartmentName", KV_CHAR, kNoSum, 0},
                    {"操作方式", "OpMode", KV_CHAR, kNoSum, 0},    {"安装级别", "MeterLevel", KV_CHAR, kNoSum, 0},
                    {"上级表号", "SuperNo", KV_CHAR, kNoSum, 0},   {"记录数", "ItemCount", KV_LONG, kSum, 0},
                    {"实购电量", "BuyValue", KV_LONG, kSum, 0},    {"补助电量", "FreeValue", KV_LONG, kSum, 0},
                    {"线损电量", "LWaste", KV_FLOAT, kSum, 1},     {"变损电量", "TWaste", KV_FLOAT, kSum, 1},
                    {"电  费", "Fee", KV_FLOAT, kSum, 2},          {"预提金额", "PrePay", KV_FLOAT, kSum, 2},
                    {"附表收费", "SubFee", KV_FLOAT, kSum, 2},     {"物业收费", "FixFee", KV_FLOAT, kSum, 2},
                    {"总金额", "TotFee", KV_FLOAT, kSum, 2},       {"实收金额", "RealPay", KV_FLOAT, kSum, 2},
                });
}

CReportFieldList& FillSubReadStatFields()
{
    static CReportFieldList list;
    return Fill(list,
                {
                    {"用户代码", "ClientNo", KV_CHAR, kNoSum, 0},     {"用户姓名", "ClientName", KV_CHAR, kNoSum, 0},
                    {"电表编号", "MeterNo", KV_CHAR, kNoSum, 0},      {"附表编号", "SubNo", KV_CHAR, kNoSum, 0},
                    {"计量类别", "PriceType", KV_CHAR, kNoSum, 0},    {"收费性质", "PriceName", KV_CHAR, kNoSum, 0},
                    {"操作员", "OperatorName", KV_CHAR, kNoSum, 0},   {"小区名称", "BlockName", KV_CHAR, kNoSum, 0},
                    {"楼幢名称", "BuildingName", KV_CHAR, kNoSum, 0}, {"楼层", "LayerNo", KV_CHAR, kNoSum, 0},
                    {"房号", "RoomNo", KV_CHAR, kNoSum, 0},           {"单元", "Cell", KV_CHAR, kNoSum, 0},
                    {"部门", "DepartmentName", KV_CHAR, kNoSum, 0},   {"安装级别", "MeterLevel", KV_CHAR, kNoSum, 0},
                    {"上级表号", "SuperNo", KV_CHAR, kNoSum, 0},      {"记录数", "ItemCount", KV_LONG, kSum, 0},
                    {"购买量", "BuyValue", KV_FLOAT, kSum, 1},        {"补助量", "FreeValue", KV_FLOAT, kSum, 1},
                    {"实用量", "RealUse", KV_FLOAT, kSum, 1},         {"合计金额", "Fee", KV_FLOAT, kSum, 2},
                });
}

CReportFieldList& FillBalanceFields()
{
    static CReportFieldList list;
    return Fill(list, {
                          {"用户代码", "ClientNo", KV_CHAR, kNoSum, 0},
                          {"用户姓名", "ClientName", KV_CHAR, kNoSum, 0},
                          {"余  额", "ThisBalance", KV_FLOAT, kSum, 2},
                      });
}

CReportFieldList* GetReportCatalogue(const QString& reportName)
{
    if (reportName == QStringLiteral("售电记录明细表"))
        return &FillSaleDetailFields();
    if (reportName == QStringLiteral("附表抄收明细表"))
        return &FillSubReadDetailFields();
    if (reportName.contains(QStringLiteral("售电记录统计表")))
        return &FillSaleStatFields();
    if (reportName.contains(QStringLiteral("附表抄收统计表")))
        return &FillSubReadStatFields();
    if (reportName.contains(QStringLiteral("余额明细表")))
        return &FillBalanceFields();
    return nullptr;
}

int GetGroupingFieldCount(const QString& reportName)
{
    if (reportName.contains(QStringLiteral("售电记录统计表")))
        return 19;
    if (reportName.contains(QStringLiteral("附表抄收统计表")))
        return 15;
    return 0;
}

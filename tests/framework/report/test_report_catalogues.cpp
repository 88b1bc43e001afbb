#include "CReportField.h"
#include "KvReportCatalogues.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// caption|column|type|summed|decimals of every field, in order.
QStringList Describe(const CReportFieldList& list)
{
    QStringList rows;
    for (int i = 0; i < list.GetCount(); ++i) {
        const CReportField* f = list.At(i);
        rows << QStringLiteral("%1|%2|%3|%4|%5")
                    .arg(f->GetCaption(), f->GetColumnName(), f->GetType(), f->GetSummed())
                    .arg(f->GetDecimals());
    }
    return rows;
}

} // namespace

TEST(ReportCatalogues, EveryCatalogueHoldsItsFieldsInOrderWithTheirExactCaptions)
{
    const QStringList sale = Describe(FillSaleDetailFields());
    ASSERT_EQ(sale.size(), 25);
    EXPECT_EQ(sale.at(0), QStringLiteral("用户代码|ClientNo|KV_CHAR|否|0"));
    EXPECT_EQ(sale.at(7), QStringLiteral("购买电量|BuyValue|KV_LONG|是|0"));
    EXPECT_EQ(sale.at(9), QStringLiteral("线损电量|LWaste|KV_FLOAT|是|1"));
    EXPECT_EQ(sale.at(11), QStringLiteral("单 价|Price|KV_FLOAT|否|4"));
    EXPECT_EQ(sale.at(12), QStringLiteral("电  费|Fee|KV_FLOAT|是|2"));
    EXPECT_EQ(sale.at(23), QStringLiteral("写卡时间|WrtTime|KV_DT|否|0"));
    EXPECT_EQ(sale.at(24), QStringLiteral("操作员|OperatorName|KV_CHAR|否|0"));

    const QStringList sub = Describe(FillSubReadDetailFields());
    ASSERT_EQ(sub.size(), 16);
    EXPECT_EQ(sub.at(12), QStringLiteral("单 价|Price|KV_FLOAT|否|4"));
    EXPECT_EQ(sub.at(13), QStringLiteral("金 额|Fee|KV_FLOAT|是|2"));
    EXPECT_EQ(sub.at(14), QStringLiteral("抄表日期|ReadTime|KV_D|否|0"));

    const QStringList saleStat = Describe(FillSaleStatFields());
    ASSERT_EQ(saleStat.size(), 30);
    EXPECT_EQ(saleStat.at(18), QStringLiteral("上级表号|SuperNo|KV_CHAR|否|0"));
    EXPECT_EQ(saleStat.at(19), QStringLiteral("记录数|ItemCount|KV_LONG|是|0"));
    EXPECT_EQ(saleStat.at(24), QStringLiteral("电  费|Fee|KV_FLOAT|是|2"));
    EXPECT_EQ(saleStat.at(29), QStringLiteral("实收金额|RealPay|KV_FLOAT|是|2"));

    const QStringList subStat = Describe(FillSubReadStatFields());
    ASSERT_EQ(subStat.size(), 20);
    EXPECT_EQ(subStat.at(14), QStringLiteral("上级表号|SuperNo|KV_CHAR|否|0"));
    EXPECT_EQ(subStat.at(16), QStringLiteral("购买量|BuyValue|KV_FLOAT|是|1"));
    EXPECT_EQ(subStat.at(19), QStringLiteral("合计金额|Fee|KV_FLOAT|是|2"));

    EXPECT_EQ(Describe(FillBalanceFields()),
              (QStringList{"用户代码|ClientNo|KV_CHAR|否|0", "用户姓名|ClientName|KV_CHAR|否|0",
                           "余  额|ThisBalance|KV_FLOAT|是|2"}));

    // Refilling never doubles a catalogue.
    FillBalanceFields();
    EXPECT_EQ(FillBalanceFields().GetCount(), 3);
}

TEST(ReportCatalogues, AReportFindsItsCatalogueByNameAndItsGroupingFields)
{
    const struct
    {
        const char* name;
        int fields; // 0: none
        int grouping;
    } cases[] = {
        {"售电记录明细表", 25, 0},
        {"售电记录明细表_旧", 0, 0}, // a detail catalogue only for the exact name
        {"附表抄收明细表", 16, 0},
        {"水量水费明细表", 0, 0},
        {"售电记录统计表_按用户电表", 30, 19},
        {"售电记录统计表", 30, 19},
        {"附表抄收统计表_按小区", 20, 15},
        {"余额明细表", 3, 0},
        {"旧余额明细表", 3, 0},
        {"电表明细", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CReportFieldList* list = GetReportCatalogue(QString::fromUtf8(c.name));
        EXPECT_EQ(list ? list->GetCount() : 0, c.fields);
        EXPECT_EQ(GetGroupingFieldCount(QString::fromUtf8(c.name)), c.grouping);
    }
}

TEST(ReportCatalogues, AFieldIsFoundOnlyByItsExactCaption)
{
    const CReportFieldList& list = FillSaleDetailFields();
    ASSERT_NE(list.FindByCaption(QStringLiteral("电  费")), nullptr);
    EXPECT_EQ(list.FindByCaption(QStringLiteral("电  费"))->GetColumnName(), QStringLiteral("Fee"));
    EXPECT_EQ(list.FindByCaption(QStringLiteral("电费")), nullptr);
    EXPECT_EQ(list.FindByCaption(QStringLiteral("电 费")), nullptr);
    EXPECT_EQ(list.FindByCaption(QStringLiteral("单价")), nullptr);
}

#include "KvNumberField.h"

#include <gtest/gtest.h>

namespace {

const KvNumberField kLimit{QStringLiteral("限电值"), 0, 999};
const KvNumberField kPrice{QStringLiteral("单价"), 0, 99999, 4, true};
const KvNumberField kLoss{QStringLiteral("线损"), 0, 100, 2};

TEST(NumberField, ATextIsReadWhenItIsWhollyANumberOfTheField)
{
    struct Case
    {
        const KvNumberField* field;
        const char* text;
        bool read;
        double value;
    };
    const Case cases[] = {
        {&kLimit, "0", true, 0},        {&kLimit, "999", true, 999},        {&kLimit, " 60 ", true, 60},
        {&kLimit, "1000", false, 0},    {&kLimit, "99999999999", false, 0}, {&kLimit, "2147483648", false, 0},
        {&kLimit, "-1", false, 0},      {&kLimit, "9.9", false, 0},         {&kLimit, "", false, 0},
        {&kLimit, "abc", false, 0},     {&kLimit, "100abc", false, 0},      {&kLimit, "1e3", false, 0},
        {&kLimit, "1e309", false, 0},   {&kLimit, "1,5", false, 0},         {&kLimit, "１２", false, 0},
        {&kLimit, "-", false, 0},       {&kPrice, "0.52", true, 0.52},      {&kPrice, "0.0001", true, 0.0001},
        {&kPrice, "0.00001", false, 0}, {&kPrice, "0", false, 0},           {&kPrice, ".", false, 0},
        {&kPrice, "-0.52", false, 0},   {&kPrice, "99999", true, 99999},    {&kPrice, "99999.0001", false, 0},
        {&kLoss, "0", true, 0},         {&kLoss, "-5", false, 0},           {&kLoss, ".5", true, 0.5},
        {&kLoss, "2.", true, 2},        {&kLoss, "1.2.3", false, 0},
    };
    for (const Case& c : cases) {
        double value = -12345;
        EXPECT_EQ(KvReadNumber(QString::fromUtf8(c.text), *c.field, &value), c.read) << c.text;
        EXPECT_DOUBLE_EQ(value, c.read ? c.value : -12345) << c.text;
    }
}

TEST(NumberField, AWholeNumberComesBackAsAnInt)
{
    const KvNumberField members{QStringLiteral("居住人数"), 0, 99};
    int value = -1;
    EXPECT_TRUE(KvReadNumber(QStringLiteral("12"), members, &value));
    EXPECT_EQ(value, 12);
    EXPECT_FALSE(KvReadNumber(QStringLiteral("2147483648"), members, &value));
    EXPECT_FALSE(KvReadNumber(QStringLiteral("1.5"), KvNumberField{QStringLiteral("x"), 0, 9, 2}, &value));
    EXPECT_EQ(value, 12);
}

TEST(NumberField, TheRefusalNamesTheFieldAndWhatItAccepts)
{
    EXPECT_EQ(kLimit.Refusal(), QStringLiteral("限电值应为0到999之间的整数！"));
    EXPECT_EQ(kPrice.Refusal(), QStringLiteral("单价应为大于0且不超过99999的数，最多4位小数！"));
    EXPECT_EQ(kLoss.Refusal(), QStringLiteral("线损应为0到100之间的数，最多2位小数！"));
    EXPECT_EQ(KvShortNumberText(0.0000001), QStringLiteral("0.0000001"));
}

} // namespace

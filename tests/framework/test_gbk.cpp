#include "KvGbk.h"
#include "KvSql.h"
#include "KvTestSupport.h"
#include "KvToolText.h"
#include "KvUtil.h"

#include <gtest/gtest.h>

TEST(Gbk, RoundTripsTheTextsOfTheExchangeFiles)
{
    const QString texts[] = {
        QStringLiteral("OK!"),
        QStringLiteral("ERROR:读卡器未连接"),
        QStringLiteral("售电01"),
        QString(),
    };
    for (const QString& text : texts) {
        const QByteArray bytes = GbkEncode(text);
        EXPECT_EQ(bytes.size(), GbkByteLength(text)) << text.toStdString();
        EXPECT_EQ(GbkDecode(bytes), text);
    }
    EXPECT_EQ(GbkEncode(QStringLiteral("中文")), QByteArray("\xD6\xD0\xCE\xC4"));
}

TEST(Gbk, WhatGbkCannotHoldIsReplacedNotDropped)
{
    // A character outside GBK becomes '?', and the text around it survives.
    EXPECT_EQ(GbkEncode(QStringLiteral("a😀b")), QByteArray("a?b"));
    EXPECT_EQ(GbkEncode(QStringLiteral("a😀b")).size(), GbkByteLength(QStringLiteral("a😀b")));
    // A stray byte and a character cut off at the end become U+FFFD.
    EXPECT_EQ(GbkDecode(QByteArray("a\xFF"
                                   "b")),
              QStringLiteral("a\uFFFDb"));
    EXPECT_EQ(GbkDecode(QByteArray("ab\xD6")), QStringLiteral("ab\uFFFD"));
}

TEST(KvFormatText, PadsTextsLikeTheSqlFormatButQuotesNothing)
{
    struct Case
    {
        QString got;
        const char* expected;
    } cases[] = {
        {KvFormatText("%08s", QStringLiteral("1234")), "00001234"},
        {KvFormatText("%8s", QStringLiteral("1234")), "    1234"},
        {KvFormatText("%08s", QStringLiteral("123456789")), "123456789"},
        {KvFormatText("%s '%s'", QStringLiteral("a b"), QStringLiteral("O'B")), "a b 'O'B'"},
        {KvFormatText("%04d %03dA %03d%% %1d", 150, 80, 800, 1), "0150 080A 800% 1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, QString::fromUtf8(c.expected));
    EXPECT_THROW(KvFormatText("%d %d", 1), CKvException);
}

TEST(Gbk, ByteCountIsTheEncodedLengthAndLossIsSeen)
{
    struct Case
    {
        const char* text;
        int bytes;
        bool held;
    } cases[] = {
        {"abc", 3, true},  {"张三", 4, true}, {"€", 1, true}, // one byte in GBK
        {"·—　", 6, true}, {"U😀", 2, false},                  // the emoji becomes one '?'
        {"ẞ", 1, false},   {"𠀀", 1, false},  {"¥", 1, false}, {"", 0, true},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(GbkByteLength(text), c.bytes) << c.text;
        EXPECT_EQ(GbkByteLength(text), GbkEncode(text).size()) << c.text;
        EXPECT_EQ(GbkCanHold(text), c.held) << c.text;
        if (c.held) {
            EXPECT_EQ(GbkEncodeExact(text, QStringLiteral("用户代码")), GbkEncode(text)) << c.text;
            EXPECT_TRUE(GbkFirstUnheld(text).isEmpty()) << c.text;
        } else {
            EXPECT_THROW(GbkEncodeExact(text, QStringLiteral("用户代码")), CKvException) << c.text;
        }
    }
    EXPECT_EQ(GbkFirstUnheld(QStringLiteral("张😀ẞ")), QStringLiteral("😀"));
}

TEST(ToolTextRefusal, NamesTheFieldAndTheCharacterItCannotCarry)
{
    struct Case
    {
        const char* text;
        const char* refusal; // empty: accepted
    } cases[] = {
        {"张三 O'Brien-3#", ""},
        {"€100", ""},
        {"U😀", "用户代码含有无法使用的字符“😀”，只能输入汉字、字母、数字和常用符号！"},
        {"张ẞ", "用户代码含有无法使用的字符“ẞ”，只能输入汉字、字母、数字和常用符号！"},
        {"𠀀", "用户代码含有无法使用的字符“𠀀”，只能输入汉字、字母、数字和常用符号！"},
        {"C1\n", "用户代码含有无法使用的换行符，只能输入汉字、字母、数字和常用符号！"},
        {"C\t1", "用户代码含有无法使用的制表符，只能输入汉字、字母、数字和常用符号！"},
        {"C\r", "用户代码含有无法使用的回车符，只能输入汉字、字母、数字和常用符号！"},
        // What shows nothing between quotes is named by its code.
        {"C\u00a01", "用户代码含有无法使用的字符U+00A0，只能输入汉字、字母、数字和常用符号！"},
        {"C\u200b1", "用户代码含有无法使用的字符U+200B，只能输入汉字、字母、数字和常用符号！"},
        {"C\ufeff1", "用户代码含有无法使用的字符U+FEFF，只能输入汉字、字母、数字和常用符号！"},
        // A letter and its accent apart are the letter GBK holds.
        {"Jose\u0301", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToolTextRefusal(QStringLiteral("用户代码"), QString::fromUtf8(c.text)), QString::fromUtf8(c.refusal))
            << c.text;
}

TEST(ToolTextRefusal, ASurrogateWithoutItsPartnerIsNamedByItsCode)
{
    for (const auto& [text, code] :
         {std::pair{QString(QChar(0xD800)) + u'A', "U+D800"}, std::pair{u'A' + QString(QChar(0xDC00)), "U+DC00"}}) {
        EXPECT_EQ(GbkFirstUnheld(text), text.mid(text[0] == u'A' ? 1 : 0, 1));
        EXPECT_EQ(ToolTextRefusal(QStringLiteral("用户代码"), text),
                  QStringLiteral("用户代码含有无法使用的字符%1，只能输入汉字、字母、数字和常用符号！").arg(code));
    }
}

TEST(Gbk, AnExactEncodingTakesTheComposedFormAndNamesWhatItCannotCarry)
{
    const QString decomposed = QStringLiteral("Jose") + QChar(0x0301);
    EXPECT_TRUE(GbkCanHold(decomposed));
    EXPECT_EQ(GbkEncodeExact(decomposed, QStringLiteral("用户代码")), GbkEncode(QStringLiteral("Jos\u00e9")));
    EXPECT_EQ(GbkDecode(GbkEncode(decomposed)), QStringLiteral("Jos\u00e9"));
    EXPECT_EQ(ThrownText([] { GbkEncodeExact(QStringLiteral("C\u00a01"), QStringLiteral("用户代码")); }),
              QStringLiteral("用户代码“C\u00a01”含有无法交给外部程序的字符U+00A0！"));
    EXPECT_EQ(ThrownText([] { GbkEncodeExact(QStringLiteral("U😀"), QStringLiteral("用户代码")); }),
              QStringLiteral("用户代码“U😀”含有无法交给外部程序的字符“😀”！"));
}

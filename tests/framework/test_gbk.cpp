#include "KvGbk.h"
#include "KvSql.h"
#include "KvTestSupport.h"
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

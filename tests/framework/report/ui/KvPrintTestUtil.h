#pragma once

#include "CReceiptDocument.h"
#include "KvUtil.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

// The print tests print into PDF files: they hide any printer of the machine
// from the printing system before the first look-up.
inline const bool kNoPrinterForTests = [] {
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    return true;
}();

// The PDF files in the program folder.
inline QStringList PdfFiles()
{
    return QDir(GetAppDirectory()).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
}

// The pages of a PDF file as the writer stores them.
inline int PdfPageCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(file.readAll());
    return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b(?!s)"))));
}

// The receipt of a sample sale, as the sale fills it, copy k numbered k + 1.
inline void FillSampleSale(CReceiptDocument& doc, int copies)
{
    doc.SetReceiptCount(copies);
    const QStringList common = {"张晓明",
                                "0100230017",
                                "绿园小区 3 栋 2 单元 501",
                                "13800138000",
                                "20080123456",
                                "DDSY102",
                                "1",
                                "1",
                                "1",
                                "1",
                                "操作员甲",
                                "售电服务",
                                "200",
                                "200",
                                "0",
                                "200",
                                "0.0",
                                "0.0",
                                "居民生活用电",
                                "0.5880",
                                "117.60",
                                "0.00",
                                "0.00",
                                "0.00",
                                "117.60",
                                "2026-12-10",
                                "12.00",
                                "150.60",
                                AmountToCapitals(150.60, 0),
                                "0.00",
                                "0.00",
                                "150.60",
                                "操作员甲",
                                "2026-12-10 09:30",
                                "现金",
                                "00000012",
                                "",
                                "",
                                "",
                                "",
                                "",
                                ""};
    for (int k = 0; k < copies; ++k) {
        for (int j = 0; j < common.size(); ++j)
            doc.SetCommonValue(k, j, common[j]);
        doc.SetCommonValue(k, 35, QStringLiteral("00000012_%1").arg(k + 1));
        const QStringList price = {"01", "居民生活用电", "0.5880", "100%"};
        for (int c = 0; c < price.size(); ++c)
            doc.SetPriceValue(k, 0, c, price[c]);
        const QStringList sub = {"S0012001", "1520", "1586", "66", "0", "66", "居民", "0.5880", "38.81", "2026-12-01"};
        for (int c = 0; c < sub.size(); ++c)
            doc.SetSubValue(k, 0, c, sub[c]);
        doc.SetFeeValue(k, 0, 0, QStringLiteral("卫生费"));
        doc.SetFeeValue(k, 0, 3, QStringLiteral("15.00"));
        doc.SetFeeValue(k, 0, 6, QStringLiteral("2026-10-01"));
        doc.SetFeeValue(k, 0, 7, QStringLiteral("2026-12-31"));
        doc.SetFeeValue(k, 0, 8, QStringLiteral("92"));
        doc.SetFeeValue(k, 1, 0, QStringLiteral("路灯费"));
        doc.SetFeeValue(k, 1, 3, QStringLiteral("6.00"));
        doc.SetFeeValue(k, 1, 6, QStringLiteral("2026-12-01"));
        doc.SetFeeValue(k, 1, 7, QStringLiteral("2026-12-31"));
        doc.SetFeeValue(k, 1, 8, QStringLiteral("31"));
    }
}

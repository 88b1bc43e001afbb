#pragma once

// Rows and files the fee-loading tests share: sub-meters with their reading
// state, priced items, and the fee-loading library with its waiting fees.

#include "CAdoConnection.h"
#include "KvSql.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTextStream>
#include <gtest/gtest.h>

// A current sub-meter of a meter at position `subX`, last read at `thisPulses`
// / `thisRead` on `readDate` by the sale of write number `wrtNum`.
struct SubMeterRow
{
    int cliSubIndex;
    QString meterNo;
    QString subX;
    QString subNo;
    int subConst = 100;
    QString priceNo = QStringLiteral("W1");
    int thisPulses = 300;
    double thisRead = 20.5;
    int wrtNum = 0;
    QString readDate = QStringLiteral("2026-12-01");
    QString clientNo = QStringLiteral("C001");
};

inline void AddSubMeterRow(CAdoConnection& db, const SubMeterRow& row)
{
    db.Execute(KvFormatSql("insert into CliSub values(%d, '%s', '%s', '%s', '%s', %d, '%s', 0, 0, '2020-01-01', "
                           "'红外遥控卡', %d, 0, %f, 0, %d, -1, '%s', '二级', '', '', '2020-01-01', '2050-12-31', "
                           "'01', '2020-01-01')",
                           row.cliSubIndex, row.clientNo, row.meterNo, row.subX, row.subNo, row.subConst, row.priceNo,
                           row.thisPulses, row.thisRead, row.wrtNum, row.readDate),
               QString());
}

// A price of its own type with one version valid from 2020 on.
inline void AddTypedPrice(CAdoConnection& db, int priceIndex, const QString& priceNo, const QString& name,
                          const QString& type, double price)
{
    db.Execute(KvFormatSql("insert into Price values('%s', '%s', '%s', '', '预付', '元', '', '', '正常')", priceNo,
                           name, type),
               QString());
    db.Execute(KvFormatSql("insert into PriceVer values(%d, '%s', %f, '2020-01-01', '2050-12-31', '01', '2020-01-01')",
                           priceIndex, priceNo, price),
               QString());
}

// Copies the built fee-loading library into a program folder.
inline void CopyFeeLibrary(const QString& folder)
{
    const QString name = QStringLiteral("libMirabond.so");
    ASSERT_TRUE(QFile::copy(QDir(QStringLiteral(QUILLMER_BUILD_APP_DIR)).filePath(name), QDir(folder).filePath(name)));
}

// The fees waiting in the library's fixture file, one line each.
inline void WriteFeeFixture(const QString& folder, const QStringList& lines)
{
    QFile file(QDir(folder).filePath(QStringLiteral("Mirabond.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QTextStream(&file) << lines.join(u'\n') << '\n';
}

inline QStringList FeeLibraryLog(const QString& folder)
{
    QFile file(QDir(folder).filePath(QStringLiteral("Mirabond.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

#pragma once

#include <QFile>
#include <QString>
#include <gtest/gtest.h>

// Compares a result with tests/queries/golden/<name>.csv byte for byte; with
// QUILLMER_REGENERATE_GOLDEN set the file is written first.
inline void ExpectGoldenCsv(const QString& name, const QString& csv)
{
    const QString golden = QStringLiteral(QUILLMER_SOURCE_DIR "/tests/queries/golden/") + name + ".csv";
    if (qEnvironmentVariableIsSet("QUILLMER_REGENERATE_GOLDEN")) {
        QFile out(golden);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(csv.toUtf8());
    }
    QFile in(golden);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << "set QUILLMER_REGENERATE_GOLDEN=1 to write it";
    EXPECT_EQ(csv, QString::fromUtf8(in.readAll())) << name.toStdString();
}

#pragma once

#include "CCardWriter.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// Copies the built stand-ins of the card tools into a (temporary) program
// folder, where CCardWriter starts them.
inline void CopyCardTools(const QString& folder)
{
    const QDir built(QStringLiteral(QUILLMER_BUILD_APP_DIR));
    for (const QString& tool : {CCardWriter::SaleToolName(), CCardWriter::TransferToolName()})
        ASSERT_TRUE(QFile::copy(built.filePath(tool), QDir(folder).filePath(tool))) << tool.toStdString();
}

#pragma once

// The carrier library's stand-in in a (temporary) program folder, its forced
// answers and its log.

#include "CCarrierLink.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

inline QString CarrierLibraryFile()
{
    return QStringLiteral("libPondrake.so");
}

inline void CopyCarrierLibrary(const QString& folder)
{
    const QDir built(QStringLiteral(QUILLMER_BUILD_APP_DIR));
    ASSERT_TRUE(QFile::copy(built.filePath(CarrierLibraryFile()), QDir(folder).filePath(CarrierLibraryFile())));
}

// Queues forced answers, "<export> <answer>" each.
inline void ForceCarrierAnswers(const QString& folder, const QStringList& lines)
{
    QFile file(QDir(folder).filePath(QStringLiteral("PondrakeScenario.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text));
    file.write((lines.join(u'\n') + u'\n').toUtf8());
}

inline QStringList ReadLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// The calls the library saw, one line each: "<export> <arguments> => <answer>".
inline QStringList CarrierLog(const QString& folder)
{
    return ReadLines(QDir(folder).filePath(QStringLiteral("Pondrake.log")));
}

// The meters the carrier knows: "<meter> <status>".
inline QStringList CarrierMeters(const QString& folder)
{
    return ReadLines(QDir(folder).filePath(QStringLiteral("PondrakeMeters.txt")));
}

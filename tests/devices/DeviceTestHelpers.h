#pragma once

#include "KvUtil.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <functional>

// Makes a folder the current directory while it lives (the device tools and
// their answer files are looked up there).
class CCurrentDirectory
{
public:
    explicit CCurrentDirectory(const QString& folder) : m_previous(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~CCurrentDirectory() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

// Replaces the runner of outside programs while it lives: records each start
// (program, arguments, current directory) and runs `act` in the tool's place.
class CFakeToolRunner
{
public:
    struct Start
    {
        QString program;
        QStringList arguments;
        QString directory;
    };

    explicit CFakeToolRunner(std::function<void()> act = {})
    {
        m_previous = SetProgramRunner([this, act](const QString& program, const QStringList& arguments) {
            m_starts.push_back({program, arguments, QDir::currentPath()});
            if (act)
                act();
            return 0;
        });
    }
    ~CFakeToolRunner() { SetProgramRunner(m_previous); }

    const std::vector<Start>& Starts() const { return m_starts; }

private:
    KvProgramRunner m_previous;
    std::vector<Start> m_starts;
};

inline void WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

// Puts a copy of a built device-tool stand-in into a folder with a scenario
// (lines of its scenario file).
inline void InstallStandin(const QString& folder, const QString& tool, const QStringList& scenario)
{
    const QString target = QDir(folder).filePath(tool);
    QFile::remove(target);
    QFile::copy(QDir(QStringLiteral(QUILLMER_BUILD_APP_DIR)).filePath(tool), target);
    WriteFileBytes(QDir(folder).filePath(tool + QStringLiteral(".scenario")), scenario.join(u'\n').toUtf8());
}

inline QString ReadFileText(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

inline QByteArray ReadFileBytes(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// The copies of an exchange table kept after refused uploads ("<table>_*.dbf").
inline QStringList KeptExchangeTables(const QString& folder, const QString& table)
{
    QStringList paths;
    for (const QString& name : QDir(folder).entryList({table + QStringLiteral("_*.dbf")}, QDir::Files, QDir::Name))
        paths << QDir(folder).filePath(name);
    return paths;
}

// The boxes of an upload the import refused at row 2 for `column`: the tool's
// answer, then the refusal naming the kept copy of `table`. That copy, or ""
// when the boxes are not so.
inline QString RefusedUploadCopy(const QStringList& shown, const QString& folder, const QString& table,
                                 const QString& column)
{
    const QStringList kept = KeptExchangeTables(folder, table);
    if (shown.size() != 2 || shown[0] != QStringLiteral("上传成功") || kept.size() != 1)
        return QString();
    const QString& refusal = shown[1];
    const bool named = refusal.contains(QStringLiteral("第2行")) && refusal.contains(column) &&
                       refusal.contains(QDir::toNativeSeparators(kept[0]));
    return named ? kept[0] : QString();
}

#pragma once

#include "CDbfTable.h"

#include <QString>
#include <QStringList>
#include <functional>

// What the stand-ins of the handheld devices' tools share. A tool is started
// as "<tool> D|U <port> <code>" in the directory where it must leave its
// answer. It appends its arguments and working directory to standins.log in
// its own folder, reads its scenario <tool>.scenario from there, does its
// command's work and leaves the answer: one GBK line ending CR LF.
//
// Scenario: UTF-8 lines "key=value" ('#' starts a comment). Keys every tool
// knows:
//   answer=TEXT         the answer line of both commands
//   answer.D=, answer.U= the answer line of one command (before `answer`)
//   answerfile=line|empty|none   write the line, a zero-length file, or no file
// Without a scenario a tool answers "下载成功" or "上传成功".
class CDeviceToolStandin
{
public:
    CDeviceToolStandin(QString tool, QString answerFile);

    // Runs the command of the arguments; `work` does the tool's own part (it
    // may throw a text, which becomes an ERROR answer). Returns the exit code.
    int Run(int argc, char** argv, const std::function<void(CDeviceToolStandin&)>& work);

    QString Command() const { return m_command; } // "D" or "U"
    int Port() const { return m_port; }
    QString Code() const { return m_code; }

    // The last value of a scenario key, or `fallback`; every value of a key.
    QString Value(const QString& key, const QString& fallback = QString()) const;
    QStringList Values(const QString& key) const;

    // Writes the upload's dBASE table <table>.dbf into the current directory
    // as the scenario says: key `table=write|empty|none` (the records, a table
    // without records, or no table) and one record a `recordKey` line, its
    // field texts separated by '|' in field order, written as they stand (a
    // text that is no number goes raw into a numeric field); a further
    // "|deleted" flags the record deleted.
    void WriteExchangeTable(const QString& table, const QList<CDbfTable::Field>& fields,
                            const QString& recordKey) const;

private:
    void log(const QStringList& arguments) const;
    void readScenario();
    void answer(const QString& line) const;

    QString m_tool;
    QString m_answerFile;
    QString m_folder;
    QString m_command;
    int m_port = 0;
    QString m_code;
    QList<QPair<QString, QString>> m_scenario;
};

#include "CDeviceToolStandin.h"

#include "CKvException.h"
#include "KvGbk.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTextStream>

CDeviceToolStandin::CDeviceToolStandin(QString tool, QString answerFile)
    : m_tool(std::move(tool)), m_answerFile(std::move(answerFile)), m_folder(QCoreApplication::applicationDirPath())
{
}

int CDeviceToolStandin::Run(int argc, char** argv, const std::function<void(CDeviceToolStandin&)>& work)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    log(arguments);
    readScenario();

    bool portOk = false;
    m_command = arguments.value(0);
    m_port = arguments.value(1).toInt(&portOk);
    m_code = arguments.value(2);
    if (arguments.size() != 3 || (m_command != QStringLiteral("D") && m_command != QStringLiteral("U")) || !portOk) {
        answer(QStringLiteral("ERROR: 命令行错误"));
        return 2;
    }
    try {
        work(*this);
    } catch (const CKvException& e) {
        answer(QStringLiteral("ERROR: %1").arg(e.text()));
        return 1;
    }
    const QString fallback = m_command == QStringLiteral("D") ? QStringLiteral("下载成功") : QStringLiteral("上传成功");
    answer(Value(QStringLiteral("answer.") + m_command, Value(QStringLiteral("answer"), fallback)));
    return 0;
}

QString CDeviceToolStandin::Value(const QString& key, const QString& fallback) const
{
    for (auto it = m_scenario.crbegin(); it != m_scenario.crend(); ++it)
        if (it->first == key)
            return it->second;
    return fallback;
}

QStringList CDeviceToolStandin::Values(const QString& key) const
{
    QStringList values;
    for (const auto& entry : m_scenario)
        if (entry.first == key)
            values << entry.second;
    return values;
}

void CDeviceToolStandin::WriteExchangeTable(const QString& table, const QList<CDbfTable::Field>& fields,
                                            const QString& recordKey) const
{
    const QString mode = Value(QStringLiteral("table"), QStringLiteral("write"));
    if (mode == QStringLiteral("none"))
        return;
    auto file = CDbfTable::Create(CDbfTable::PathOf(QStringLiteral("."), table), fields);
    if (mode == QStringLiteral("empty"))
        return;
    for (const QString& record : Values(recordKey)) {
        const QStringList texts = record.split(u'|');
        const int number = file->AppendRecord(texts.mid(0, fields.size()));
        if (texts.value(fields.size()) == QStringLiteral("deleted"))
            file->MarkDeleted(number);
    }
}

void CDeviceToolStandin::log(const QStringList& arguments) const
{
    QFile file(QDir(m_folder).filePath(QStringLiteral("standins.log")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    QTextStream out(&file);
    out << m_tool << " [" << arguments.join(QStringLiteral("] [")) << "] cwd=" << QDir::currentPath() << "\n";
}

void CDeviceToolStandin::readScenario()
{
    QFile file(QDir(m_folder).filePath(m_tool + QStringLiteral(".scenario")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const int eq = line.indexOf(u'=');
        if (line.trimmed().startsWith(u'#') || eq <= 0)
            continue;
        m_scenario.append({line.left(eq).trimmed(), line.mid(eq + 1)});
    }
}

void CDeviceToolStandin::answer(const QString& line) const
{
    const QString mode = Value(QStringLiteral("answerfile"), QStringLiteral("line"));
    if (mode == QStringLiteral("none"))
        return;
    QFile file(m_answerFile); // in the current directory, where the caller looks for it
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    if (mode != QStringLiteral("empty"))
        file.write(GbkEncode(line) + "\r\n");
}

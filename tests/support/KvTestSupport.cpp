#include "KvTestSupport.h"

#include "CAdoConnection.h"
#include "CSqliteEngine.h"
#include "KvUtil.h"

#include <gtest/gtest.h>

CRecordingMessageSink::CRecordingMessageSink() : m_previous(SetMessageSink(this)) {}

CRecordingMessageSink::~CRecordingMessageSink()
{
    SetMessageSink(m_previous);
}

int CRecordingMessageSink::Show(QObject*, const QString& caption, const QString& text, int style)
{
    m_messages.push_back({caption, text, style});
    if (m_answers.empty())
        return KvDefaultAnswer(style);
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

QStringList CRecordingMessageSink::Texts() const
{
    QStringList texts;
    for (const Message& m : m_messages)
        texts << m.text;
    return texts;
}

CTempAppDirectory::CTempAppDirectory()
{
    EXPECT_TRUE(m_dir.isValid());
    SetAppDirectory(m_dir.path());
}

CTempAppDirectory::~CTempAppDirectory()
{
    SetAppDirectory(QString());
}

std::unique_ptr<CAdoConnection> OpenScratchDatabase(const QString& path, const QString& script)
{
    CSqliteEngine::createFile(path, script);
    auto connection = std::make_unique<CAdoConnection>();
    connection->Open(0, QStringLiteral("Data Source=%1").arg(path));
    return connection;
}

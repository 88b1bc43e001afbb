#pragma once

#include "CKvException.h"
#include "KvMessage.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <ostream>
#include <vector>

class CAdoConnection;

// Readable failures for Qt values.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QDateTime& d, std::ostream* os)
{
    *os << d.toString(Qt::ISODate).toStdString();
}

// Records every message box and answers from a queue; when the queue is empty
// the default button of the box's style is pressed. Installed for its lifetime.
class CRecordingMessageSink : public IKvMessageSink
{
public:
    struct Message
    {
        QString caption;
        QString text;
        int style;
    };

    CRecordingMessageSink();
    ~CRecordingMessageSink() override;

    int Show(QObject* parent, const QString& caption, const QString& text, int style) override;

    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    const std::vector<Message>& Messages() const { return m_messages; }
    QStringList Texts() const;
    void Clear() { m_messages.clear(); }

private:
    IKvMessageSink* m_previous;
    std::deque<int> m_answers;
    std::vector<Message> m_messages;
};

// A temporary program folder that GetAppDirectory returns while it lives.
class CTempAppDirectory
{
public:
    CTempAppDirectory();
    ~CTempAppDirectory();

    QString Path() const { return m_dir.path(); }
    QString FilePath(const QString& relative) const { return m_dir.filePath(relative); }

private:
    QTemporaryDir m_dir;
};

// The text a call throws, or "" when it returns.
template <typename Call> QString ThrownText(Call&& call)
{
    try {
        call();
    } catch (const CKvException& e) {
        return e.text();
    }
    return QString();
}

// A new SQLite file made from a script, and a connection open on it.
std::unique_ptr<CAdoConnection> OpenScratchDatabase(const QString& path, const QString& script);

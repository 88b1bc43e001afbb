#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The one failure type of the program: a message text meant for the operator.
// The database layer and the record classes throw it; dialogs catch it and show
// its text. It never carries anything else.
class CKvException : public std::exception
{
public:
    explicit CKvException(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}

    const QString& text() const noexcept { return m_text; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};

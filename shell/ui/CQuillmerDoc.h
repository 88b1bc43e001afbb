#pragma once

#include <QObject>
#include <QString>

class QDataStream;

// The document of the single-document window. It holds nothing; its title is
// empty, so the window title is the program's own.
class CQuillmerDoc : public QObject
{
    Q_OBJECT

public:
    explicit CQuillmerDoc(QObject* parent = nullptr);

    // A new, empty document; true (nothing can fail).
    bool OnNewDocument();
    // Reads and writes nothing.
    void Serialize(QDataStream& stream, bool storing);

    const QString& GetTitle() const { return m_title; }
    void SetTitle(const QString& title) { m_title = title; }

private:
    QString m_title;
};

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

// A dBASE table file (<name>.dbf) exchanged with an outside tool. Texts are
// GBK in the file and QString here. Importers read every field as text;
// the stand-ins of the tools write character (C) and numeric (N) fields.
class CDbfTable
{
public:
    struct Field
    {
        QString name;
        char type = 'C'; // 'C' or 'N'
        int width = 10;
        int decimals = 0;
    };

    ~CDbfTable();
    CDbfTable(const CDbfTable&) = delete;
    CDbfTable& operator=(const CDbfTable&) = delete;

    // The file of a table in a folder: <folder>/<table>.dbf.
    static QString PathOf(const QString& folder, const QString& table);
    // Opens an existing table. A missing file throws "找不到数据表: <path>";
    // an empty, damaged or cut-short file throws a text that says which.
    static std::unique_ptr<CDbfTable> Open(const QString& path);
    // Creates (replaces) a table with these fields and no records.
    static std::unique_ptr<CDbfTable> Create(const QString& path, const QList<Field>& fields);

    QStringList FieldNames() const;
    int FieldCount() const;
    // Every record of the file, deleted ones included.
    int RecordCount() const;
    bool IsDeleted(int record) const;
    // A field's text, without the blanks that pad it.
    QString ReadText(int record, int field) const;
    // The records not flagged deleted, each as its field texts in field order.
    QList<QStringList> ReadRows() const;

    // Appends a record; returns its number. A numeric field takes a text that
    // is a number as a number, any other text as it stands (a tool may write
    // anything there); a character field takes the text, cut at its width.
    int AppendRecord(const QStringList& texts);
    // Writes a field's bytes as they are, padded with blanks or cut at the width.
    void WriteRaw(int record, int field, const QByteArray& bytes);
    void MarkDeleted(int record, bool deleted = true);

private:
    explicit CDbfTable(void* handle, QString path);
    void writeText(int record, int field, const QString& text);

    void* m_handle;
    QString m_path;
};

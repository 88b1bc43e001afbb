#pragma once

#include "CDbResult.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <functional>

class CAdoConnection;

// A pooled query object holding the whole result of its last Open (a static
// client-side cursor). Fields of the current row are read by column name,
// without regard to case.
class CAdoRecordset
{
public:
    explicit CAdoRecordset(CAdoConnection* owner);

    // Converts the statement in place (the owner's dialect step) and runs it.
    void Open(QString& sql);
    void Open(const QString& sql);
    // Rows from the current one to the end, counted by stepping; the cursor is
    // on the first row afterwards.
    int GetRecordCount();
    // Reads a query's rows once, forward, and hands each to `eachRow` as the
    // current row of a recordset of its own. `eachRow` runs on a second thread
    // while the next rows are read, in the order of the rows, and a few blocks
    // of rows are held at a time; so it must not use the connection, nor
    // anything of the window. Its first exception ends the reading and is
    // thrown here, as is the query's. The recordset is closed afterwards.
    // Returns the number of rows.
    int ReadEach(const QString& sql, const std::function<void(CAdoRecordset& rs)>& eachRow);
    void MoveFirst();
    void MoveNext();
    void Close();
    void Release();

    bool IsOpen() const { return m_open; }
    bool IsBOF() const { return !m_open || m_result.rowCount == 0 || m_row < 0; }
    bool IsEOF() const { return !m_open || m_result.rowCount == 0 || m_row >= m_result.rowCount; }
    bool IsInUse() const { return m_inUse; }
    void SetInUse(bool inUse) { m_inUse = inUse; }

    int GetFieldCount() const { return static_cast<int>(m_result.columns.size()); }
    QString GetFieldName(int index) const { return m_result.columns.value(index); }
    // The index of a column, or -1.
    int FindField(const QString& name) const;

    // The raw value of the current row (an invalid QVariant for NULL).
    QVariant GetFieldValue(const QString& name) const;
    QVariant GetFieldValue(int index) const;
    bool IsFieldNull(const QString& name) const;

    // Typed reads: a NULL raises the database error, as a typed read of a
    // NULL field does.
    QString GetFieldString(const QString& name) const;
    int GetFieldInt(const QString& name) const;
    double GetFieldDouble(const QString& name) const;
    QDateTime GetFieldDateTime(const QString& name) const;
    // The NULL-tolerant read: NULL gives the empty text.
    QString GetFieldText(const QString& name) const;

    // Conversions shared by the readers (a value of another stored type is
    // converted, as the engine would).
    QString ValueToText(const CDbResult::Cell& value) const;
    int ValueToInt(const CDbResult::Cell& value) const;
    double ValueToDouble(const CDbResult::Cell& value) const;
    QDateTime ValueToDateTime(const CDbResult::Cell& value) const;

private:
    const CDbResult::Cell& current(const QString& name) const;
    const CDbResult::Cell& currentNotNull(const QString& name) const;

    // Column indexes of names given as string literals, whose text lives as
    // long as the program: reading a row by name then costs no comparisons.
    struct LiteralIndex
    {
        const QChar* text = nullptr;
        qsizetype size = 0;
        int index = -1;
    };
    int indexOf(const QString& name) const;

    CAdoConnection* m_owner;
    mutable LiteralIndex m_literalIndexes[32];
    mutable int m_literalCount = 0;
    mutable int m_lastLiteral = -1; // the entry found last
    bool m_inUse = false;
    bool m_open = false;
    int m_row = 0;
    CDbResult m_result;
};

#pragma once

#include "KvTestSupport.h"

#include <QDateTime>
#include <QMap>
#include <gtest/gtest.h>

class CAdoConnection;

// A temporary program folder holding work/Qrdb.db as a fresh installation
// creates it, opened as the program's local (= main) connection, with the
// clock fixed at `now`. Everything is released again at the end. In the
// network edition's build the main connection is opened on the same file.
class CFreshDatabase
{
public:
    explicit CFreshDatabase(const QDateTime& now = QDateTime(QDate(2026, 12, 10), QTime(9, 30, 0)));
    ~CFreshDatabase();

    CAdoConnection& Db() const;
    QString AppDir() const { return m_app.Path(); }
    // Rows of a query, for assertions.
    int Count(const QString& sql) const;
    // One value of a one-row query, as text ("" for NULL).
    QString Value(const QString& sql) const;
    // The first row of a query, each column's text by its name ("" for NULL).
    QMap<QString, QString> Row(const QString& sql) const;

private:
    CTempAppDirectory m_app;
};

// Opens the program's connections on work/Qrdb.db of the program folder (in
// the network edition's build the main connection too, on the same file).
void OpenProgramDatabase();

// A gtest fixture around CFreshDatabase with a recording message sink.
class FreshDatabaseTest : public ::testing::Test
{
protected:
    CRecordingMessageSink sink;
    CFreshDatabase fresh;
    CAdoConnection& db() { return fresh.Db(); }
};

// Texts of record fields in the form the database gives them back, for
// comparing a loaded record with its stored row column by column.
inline QString FieldText(int value)
{
    return QString::number(value);
}
inline QString FieldText(double value)
{
    return QString::number(value, 'g', 15);
}
inline QString FieldText(const QString& value)
{
    return value;
}
QString FieldText(const QDateTime& value);

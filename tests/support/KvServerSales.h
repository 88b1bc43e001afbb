#pragma once

#include <QStringList>

struct pg_conn;
struct sqlite3;

// The tables the sale statements join, in an order that keeps every row's
// codes before it.
const QStringList& SaleTables();

// Replaces the rows of every sale table on the server (a database with the
// installation's schema) by those of the file, through COPY; returns the
// number of rows copied. Throws CKvException with the server's message.
qint64 CopySaleTablesToServer(sqlite3* file, pg_conn* server);

#pragma once

#include <QDate>
#include <QString>

struct sqlite3;

// Fills a database of the installation's schema with completed sales for the
// sale query plan test and benchmark: districts with buildings, users with one
// meter each (a main price and, for every third meter, a second one), operators,
// and sales spread evenly over the days, each with its payment and one or two
// shares of its meter's main price. As the program would leave them: each
// meter's sales numbered with its card image and the user's balance, the last
// card image and balance rows, the key counters at the last key in use, every
// right for the administrator qz. One transaction, prepared statements.
struct CSaleGeneratorSpec
{
    int sales = 20000;
    int users = 2000;
    int districts = 20;
    int operators = 10;
    QDate firstDay = QDate(2023, 1, 1);
    int days = 365;
};

// The benchmarks' file: a million sales over three years from 2021 among
// `users` users, 20 districts and 10 operators.
CSaleGeneratorSpec MillionSalesSpec(int users = 20000);

void GenerateSales(sqlite3* db, const CSaleGeneratorSpec& spec);

// A fresh installation's file at `path` (made beside it and renamed when
// complete, so that a broken run leaves no half file) with the sales of
// `spec`, without planner statistics; prints how long it took. The benchmarks
// cache it.
void BuildGeneratedSalesFile(const QString& path, const CSaleGeneratorSpec& spec);

// The user (1 to `users`) whose meter sale number `sale` (1 on) is written for:
// the sales walk the users in a scattered but fixed order.
int GeneratedSaleUser(int sale, int users);

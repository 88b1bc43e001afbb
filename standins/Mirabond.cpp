// Stand-in of the fee-loading library: at a sale the program calls
//   int LoadManFee(const char* clientNo, int wrtNum)
//   int LoadOtherFee(const char* clientNo, int wrtNum)
// with the user code in GBK; afterwards the user's ManItem (OtherItem) rows of
// that write number are the sale's. The fees waiting for a user are lines of
// Mirabond.txt beside the library (UTF-8, '|'-separated, '#' comments):
//   ManItem|<user>|<ManNo>|<LastRead>|<ThisRead>|<RealUse>|<ReadTime>|<FreeValue>|<BuyValue>|<PriceName>|<Price>|<Fee>
//   OtherItem|<user>|<PriceName>|<BeginDate>|<EndDate>|<Days>|<Price>|<PriceUnits>|<FinalFee>
// A call inserts the user's waiting lines of its table into the main database
// of the library's folder, as the program opens it (work/Qrdb.db, or in the
// network edition the server that file names: KvMainDatabase.h), with the
// write number given and WrtIndex -1, in one transaction, and takes them out
// of the file. The keys are drawn from a counter of SysPara as the program
// draws its keys (ManItem from ManReadIndex, OtherItem from OhterFeeIndex), so
// that counters loading fees at the same moment never take the same key. No
// file: nothing is inserted. Every call appends a line to Mirabond.log there:
//   LoadManFee <user> <wrtNum> => inserted <n>     or  => ERROR:<text>
// The result is the number of rows inserted, -1 on a failure.
#include "CAdoConnection.h"
#include "CKvException.h"
#include "KvMainDatabase.h"
#include "KvSql.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <fstream>
#include <iconv.h>
#include <sstream>
#include <string>
#include <vector>

#define MIRABOND_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::string Folder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&Folder), &info) && info.dli_fname) {
        const std::string library = info.dli_fname;
        const auto slash = library.rfind('/');
        if (slash != std::string::npos)
            return library.substr(0, slash);
    }
    return ".";
}

std::string GbkToUtf8(const char* text)
{
    if (!text)
        return std::string();
    std::string input(text);
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return input;
    std::string out(input.size() * 3 + 4, '\0');
    char* in = input.data();
    size_t inLeft = input.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1))
        return input;
    out.resize(out.size() - outLeft);
    return out;
}

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(line);
    while (std::getline(stream, part, '|'))
        parts.push_back(part);
    if (!line.empty() && line.back() == '|')
        parts.emplace_back();
    return parts;
}

std::string Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

void Log(const std::string& folder, const std::string& line)
{
    std::ofstream log(folder + "/Mirabond.log", std::ios::app);
    log << line << '\n';
}

struct Table
{
    const char* name;
    const char* key;
    const char* counter; // the SysPara column its keys are drawn from
    size_t fields;       // fields of a fixture line after the table and the user
    const char* insert;
};

// %d the key, the user, the fixture's fields (numbers as numbers), %d the write number.
const Table kManItem{"ManItem", "ReadIndex", "ManReadIndex", 10,
                     "insert into ManItem(ReadIndex, ClientNo, ManNo, LastRead, ThisRead, RealUse, ReadTime, "
                     "FreeValue, BuyValue, PriceName, Price, Fee, WrtIndex, WrtNum) "
                     "values(%d, '%s', '%s', %f, %f, %f, '%s', %f, %f, '%s', %f, %f, -1, %d)"};
// The same with ReadTime (today) before the write number.
const Table kOtherItem{"OtherItem", "FeeIndex", "OhterFeeIndex", 7,
                       "insert into OtherItem(FeeIndex, ClientNo, PriceName, BeginDate, EndDate, Days, Price, "
                       "PriceUnits, FinalFee, ReadTime, WrtIndex, WrtNum) "
                       "values(%d, '%s', '%s', '%s', '%s', %d, %f, %f, %f, '%s', -1, %d)"};

// A fixture text as its column takes it: numbers as numbers, the rest as text.
KvSqlArg FixtureValue(const std::string& text, char kind)
{
    const QString value = QString::fromStdString(text);
    if (kind == 'n')
        return KvSqlArg(KvParseNumber(value));
    if (kind == 'i')
        return KvSqlArg(value.toInt());
    return KvSqlArg(value);
}

// The first of `count` keys of the table, drawn at once. Rows an entry
// program wrote may hold keys the counter has not reached yet: the counter is
// moved past them first.
int DrawKeys(CAdoConnection& db, const Table& table, int count)
{
    db.Execute(KvFormatSql("update SysPara set %s = (select max(%s) + 1 from %s) "
                           "where %s <= (select max(%s) from %s)",
                           table.counter, table.key, table.name, table.counter, table.key, table.name),
               QString());
    return db.DrawCounter(QString::fromLatin1(table.counter), false, count) - count;
}

int LoadFees(const char* exportName, const Table& table, const char* clientNoGbk, int wrtNum)
{
    const std::string folder = Folder();
    const std::string user = GbkToUtf8(clientNoGbk);
    const std::string call = std::string(exportName) + " " + user + " " + std::to_string(wrtNum) + " => ";
    const std::string fixturePath = folder + "/Mirabond.txt";
    std::ifstream fixture(fixturePath);
    if (!fixture) {
        Log(folder, call + "inserted 0");
        return 0;
    }
    std::vector<std::string> kept;
    std::vector<std::vector<std::string>> pending;
    for (std::string line; std::getline(fixture, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::vector<std::string> parts = Split(line);
        if (parts.size() == table.fields + 2 && parts[0] == table.name && parts[1] == user)
            pending.push_back(parts);
        else
            kept.push_back(line);
    }
    fixture.close();
    try {
        if (!pending.empty()) {
            CAdoConnection db;
            KvOpenMainDatabase(db, QString::fromStdString(folder));
            int key = DrawKeys(db, table, static_cast<int>(pending.size()));
            CAdoTransaction transaction(db);
            // The kinds of the fixture's fields: text, number or integer.
            const char* kinds = &table == &kManItem ? "snnnsnnsnn" : "sssinnn";
            for (const auto& parts : pending) {
                QVector<KvSqlArg> args{KvSqlArg(key++), KvSqlArg(QString::fromStdString(user))};
                for (size_t i = 0; i < table.fields; ++i)
                    args << FixtureValue(parts[2 + i], kinds[i]);
                if (&table == &kOtherItem)
                    args << KvSqlArg(QString::fromStdString(Today()));
                args << KvSqlArg(wrtNum);
                db.Execute(KvFormatSqlArgs(QString::fromLatin1(table.insert), args), QString());
            }
            transaction.Commit();
            std::ofstream rest(fixturePath, std::ios::trunc);
            for (const std::string& line : kept)
                rest << line << '\n';
        }
    } catch (const CKvException& e) {
        Log(folder, call + "ERROR:" + e.text().toStdString());
        return -1;
    }
    Log(folder, call + "inserted " + std::to_string(pending.size()));
    return static_cast<int>(pending.size());
}

} // namespace

MIRABOND_EXPORT int LoadManFee(const char* clientNo, int wrtNum)
{
    return LoadFees("LoadManFee", kManItem, clientNo, wrtNum);
}

MIRABOND_EXPORT int LoadOtherFee(const char* clientNo, int wrtNum)
{
    return LoadFees("LoadOtherFee", kOtherItem, clientNo, wrtNum);
}

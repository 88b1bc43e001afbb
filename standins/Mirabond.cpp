// Stand-in of the fee-loading library: at a sale the program calls
//   int LoadManFee(const char* clientNo, int wrtNum)
//   int LoadOtherFee(const char* clientNo, int wrtNum)
// with the user code in GBK; afterwards the user's ManItem (OtherItem) rows of
// that write number are the sale's. The fees waiting for a user are lines of
// Mirabond.txt beside the library (UTF-8, '|'-separated, '#' comments):
//   ManItem|<user>|<ManNo>|<LastRead>|<ThisRead>|<RealUse>|<ReadTime>|<FreeValue>|<BuyValue>|<PriceName>|<Price>|<Fee>
//   OtherItem|<user>|<PriceName>|<BeginDate>|<EndDate>|<Days>|<Price>|<PriceUnits>|<FinalFee>
// A call inserts the user's waiting lines of its table into work/Qrdb.db of the
// library's folder, with the write number given, WrtIndex -1 and the key one
// above the highest, in one transaction, and takes them out of the file. No
// file: nothing is inserted. Every call appends a line to Mirabond.log there:
//   LoadManFee <user> <wrtNum> => inserted <n>     or  => ERROR:<text>
// The result is the number of rows inserted, -1 on a failure.
#include <sqlite3.h>

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
    size_t fields; // fields of a fixture line after the table and the user
    const char* insert;
};

const Table kManItem{"ManItem", "ReadIndex", 10,
                     "insert into ManItem(ReadIndex, ClientNo, ManNo, LastRead, ThisRead, RealUse, ReadTime, "
                     "FreeValue, BuyValue, PriceName, Price, Fee, WrtIndex, WrtNum) "
                     "values(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, -1, ?13)"};
const Table kOtherItem{"OtherItem", "FeeIndex", 7,
                       "insert into OtherItem(FeeIndex, ClientNo, PriceName, BeginDate, EndDate, Days, Price, "
                       "PriceUnits, FinalFee, ReadTime, WrtIndex, WrtNum) "
                       "values(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, -1, ?11)"};

// Binds a fixture text: numbers as numbers, the rest as text.
void BindText(sqlite3_stmt* statement, int index, const std::string& text, bool number)
{
    if (number)
        sqlite3_bind_double(statement, index, std::strtod(text.c_str(), nullptr));
    else
        sqlite3_bind_text(statement, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

class Database
{
public:
    explicit Database(const std::string& path)
    {
        if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            Fail();
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~Database() { sqlite3_close(m_db); }
    void Exec(const char* sql)
    {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            Fail();
    }
    long long MaxKey(const Table& table)
    {
        const std::string sql = std::string("select coalesce(max(") + table.key + "), 0) from " + table.name;
        sqlite3_stmt* statement = Prepare(sql.c_str());
        long long key = 0;
        if (sqlite3_step(statement) == SQLITE_ROW)
            key = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        return key;
    }
    sqlite3_stmt* Prepare(const char* sql)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
            Fail();
        return statement;
    }
    void Step(sqlite3_stmt* statement)
    {
        const int rc = sqlite3_step(statement);
        sqlite3_finalize(statement);
        if (rc != SQLITE_DONE)
            Fail();
    }
    [[noreturn]] void Fail() { throw std::string(m_db ? sqlite3_errmsg(m_db) : "cannot open the database"); }

private:
    sqlite3* m_db = nullptr;
};

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
            Database db(folder + "/work/Qrdb.db");
            db.Exec("begin immediate");
            long long key = db.MaxKey(table);
            for (const auto& parts : pending) {
                sqlite3_stmt* statement = db.Prepare(table.insert);
                sqlite3_bind_int64(statement, 1, ++key);
                BindText(statement, 2, user, false);
                if (&table == &kManItem) {
                    // ManNo, LastRead, ThisRead, RealUse, ReadTime, FreeValue, BuyValue, PriceName, Price, Fee
                    const bool number[] = {false, true, true, true, false, true, true, false, true, true};
                    for (int i = 0; i < 10; ++i)
                        BindText(statement, 3 + i, parts[2 + i], number[i]);
                    sqlite3_bind_int(statement, 13, wrtNum);
                } else {
                    // PriceName, BeginDate, EndDate, Days, Price, PriceUnits, FinalFee
                    const bool number[] = {false, false, false, true, true, true, true};
                    for (int i = 0; i < 7; ++i)
                        BindText(statement, 3 + i, parts[2 + i], number[i]);
                    sqlite3_bind_int(statement, 6, std::atoi(parts[5].c_str()));
                    BindText(statement, 10, Today(), false);
                    sqlite3_bind_int(statement, 11, wrtNum);
                }
                db.Step(statement);
            }
            db.Exec("commit");
            std::ofstream rest(fixturePath, std::ios::trunc);
            for (const std::string& line : kept)
                rest << line << '\n';
        }
    } catch (const std::string& error) {
        Log(folder, call + "ERROR:" + error);
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

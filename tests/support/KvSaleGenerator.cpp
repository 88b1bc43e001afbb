#include "KvSaleGenerator.h"

#include "KvRights.h"
#include "KvSchema.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <sqlite3.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

void exec(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error ? error : "sqlite error";
        sqlite3_free(error);
        throw std::runtime_error(text);
    }
}

// A prepared insert whose values are bound in order and that resets after each row.
class CInsert
{
public:
    CInsert(sqlite3* db, const char* sql) : m_db(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~CInsert() { sqlite3_finalize(m_stmt); }
    CInsert& operator<<(long long v)
    {
        sqlite3_bind_int64(m_stmt, ++m_at, v);
        return *this;
    }
    CInsert& operator<<(int v) { return *this << static_cast<long long>(v); }
    CInsert& operator<<(double v)
    {
        sqlite3_bind_double(m_stmt, ++m_at, v);
        return *this;
    }
    CInsert& operator<<(const QString& v)
    {
        const QByteArray utf8 = v.toUtf8();
        sqlite3_bind_text(m_stmt, ++m_at, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
        return *this;
    }
    CInsert& operator<<(const char* v) { return *this << QString::fromUtf8(v); }
    void Run()
    {
        if (sqlite3_step(m_stmt) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(m_db));
        sqlite3_reset(m_stmt);
        m_at = 0;
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    int m_at = 0;
};

QString two(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

int GeneratedSaleUser(int sale, int users)
{
    // In 64 bits: sale * 7919 leaves the int range past 271,000 sales.
    return 1 + static_cast<int>(static_cast<long long>(sale) * 7919 % users);
}

CSaleGeneratorSpec MillionSalesSpec(int users)
{
    CSaleGeneratorSpec spec;
    spec.sales = 1000000;
    spec.users = users;
    spec.districts = 20;
    spec.operators = 10;
    spec.firstDay = QDate(2021, 1, 1);
    spec.days = 3 * 365;
    return spec;
}

void GenerateSales(sqlite3* db, const CSaleGeneratorSpec& spec)
{
    // The whole file stays in memory until the commit: the random order of the
    // meter keys would otherwise spill and rewrite index pages over and over.
    exec(db, "PRAGMA cache_size = -2000000");
    exec(db, "begin");
    {
        CInsert block(db, "insert into Block (BlockNo, BlockName) values (?, ?)");
        CInsert building(db, "insert into Building (BlockNo, BuildingNo, BuildingName) values (?, ?, ?)");
        for (int b = 1; b <= spec.districts; ++b) {
            block << two(b) << QStringLiteral("小区%1").arg(b);
            block.Run();
            for (int u = 1; u <= 10; ++u) {
                building << two(b) << two(u) << QStringLiteral("%1区%2幢").arg(b).arg(u);
                building.Run();
            }
        }
        exec(db, "insert into Department (DepartmentNo, DepartmentName) values ('01', '一部')");
        CInsert op(db,
                   "insert into Operator (OperatorNo, OperatorName, OperatorPw, StationNo) values (?, ?, '', '01')");
        for (int o = 1; o <= spec.operators; ++o) {
            op << QStringLiteral("g%1").arg(o) << QStringLiteral("收费员%1").arg(o);
            op.Run();
        }
        // Every column the price and meter type dialogs write holds a value.
        exec(db,
             "insert into Price (PriceNo, PriceName, PriceType, PriceCycle, BalMode, Unit, MonthlyBegin, BalDay, "
             "State) values "
             "('P1', '居民生活', '预付费电价', '无', '预付', '度', '', '', '正常'), "
             "('P2', '商业用电', '预付费电价', '无', '预付', '度', '', '', '正常'), "
             "('P3', '附加', '预付费电价', '无', '预付', '度', '', '', '正常');"
             "insert into PriceVer (PriceIndex, PriceNo, Price, BeginDate, EndDate, OperatorNo, ModiTime) values "
             "(1, 'P1', 0.52, '2000-01-01', '2050-12-31', 'qz', '2020-12-01 09:00:00'), "
             "(2, 'P2', 0.85, '2000-01-01', '2050-12-31', 'qz', '2020-12-01 09:00:00'), "
             "(3, 'P3', 0.1, '2000-01-01', '2050-12-31', 'qz', '2020-12-01 09:00:00');"
             "insert into PreModel (ModelId, Model, Spec, InnerMul, DevType, CardType, Phase, MaxLimit, MinLimit, "
             "BaseValue, State, SortIndex, bCt, bPt) values "
             "('1', 'DDSY', '220V 5(30)A', 1, '预付费电表', 'IC片卡', '单相二线', 30, 5, 5, '正常', 1, '否', '否'), "
             "('2', 'DTSY', '3x220/380V 10(40)A', 1, '预付费控制器', 'IC钥匙卡', '三相四线', 40, 10, 10, '正常', 2, "
             "'是', '否')");

        CInsert client(db, "insert into Client (ClientIndex, ClientNo, BlockNo, BuildingNo, LayerNo, RoomNo, Cell, "
                           "DepartmentNo, ClientName, ClientId, Addr, Tel, MemberNum, State, Descrip, OperatorNo, "
                           "BeginDate, EndDate, ModiTime) values (?, ?, ?, ?, ?, ?, '一单元', '01', ?, ?, ?, ?, 3, "
                           "'正常', '', 'qz', '2000-01-01', '2050-12-31', '2020-12-01 09:00:00')");
        CInsert meter(db, "insert into CliPre (CliPreIndex, ClientNo, MeterNo, ModelId, Ct, Pt, PrePayRate, TTWaste, "
                          "TLWaste, MeterLevel, SuperNo, LimitValue, AlarmShold, CloseShold, Pulses, OutState, "
                          "Descrip, State, OperatorNo, BeginDate, EndDate, ModiTime) values (?, ?, ?, ?, 1, 1, 100, 0, "
                          "1, '一级', '', '9999', 10, 0, 1600, '正常', '', '正常', 'qz', '2000-01-01', '2050-12-31', "
                          "'2020-12-01 09:00:00')");
        CInsert share(db, "insert into PrePrice (PrePriceIndex, CliPreIndex, PriceX, PriceNo, PricePercent) values "
                          "(?, ?, ?, ?, ?)");
        int shareIndex = 0;
        for (int i = 1; i <= spec.users; ++i) {
            const QString no = QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0'));
            const int district = 1 + i % spec.districts;
            client << i << no << two(district) << two(1 + (i / spec.districts) % 10) << two(1 + i % 6) << two(1 + i % 4)
                   << QStringLiteral("住户%1").arg(i) << QStringLiteral("3301%1").arg(i, 14, 10, QLatin1Char('0'))
                   << QStringLiteral("%1区%2号").arg(district).arg(i) << QStringLiteral("139%1").arg(i, 8, 10, QLatin1Char('0'));
            client.Run();
            meter << i << no << QStringLiteral("M%1").arg(no) << QString::number(1 + i % 2);
            meter.Run();
            const bool twoPrices = i % 3 == 0;
            share << ++shareIndex << i << 0 << (i % 5 == 0 ? "P2" : "P1") << (twoPrices ? 80 : 100);
            share.Run();
            if (twoPrices) {
                share << ++shareIndex << i << 1 << "P3" << 20;
                share.Run();
            }
        }

        // Each meter's sales are numbered from 1 and carry the card image the
        // meter then holds; each payment moves the user's balance on.
        struct MeterState
        {
            int sales = 0;
            long long accuBuy = 0;
            double balance = 0;
        };
        std::vector<MeterState> meters(static_cast<size_t>(spec.users) + 1);
        CInsert sale(db, "insert into WrtRecord (WrtIndex, MeterNo, CliPreIndex, WrtValue, LimitValue, AlarmShold, "
                         "CloseShold, WrtNum, TotalMul, BuyValue, FreeValue, AccuBuy, AccuUse, AccuRemain, LWaste, "
                         "TWaste, Price, Fee, PrePay, SubFee, FixFee, OpMode, State, OperatorNo, WrtTime) values "
                         "(?, ?, ?, ?, '9999', 10, 0, ?, 1, ?, 0, ?, ?, ?, ?, 0, ?, ?, 0, 0, 0, '正常充值', '收讫', ?, ?)");
        CInsert pay(db, "insert into ClientPay (PayIndex, WrtIndex, WrtNum, TotFee, RealPay, PayMode, ThisBalance, "
                        "LastBalance, InvoiceNo, State) values (?, ?, ?, ?, ?, ?, ?, ?, ?, '收讫')");
        CInsert wrtPrice(db, "insert into WrtPrice (WrtPriceIndex, WrtIndex, PriceIndex, PricePercent) values "
                             "(?, ?, ?, ?)");
        int priceRow = 0;
        const long long secondsPerSale = static_cast<long long>(spec.days) * 86400 / spec.sales;
        const QDateTime start(spec.firstDay, QTime(8, 0));
        for (int w = 1; w <= spec.sales; ++w) {
            const int user = GeneratedSaleUser(w, spec.users);
            MeterState& m = meters[static_cast<size_t>(user)];
            const int kwh = 20 + w % 300;
            const double fee = kwh * (user % 5 == 0 ? 0.85 : 0.52);
            // Paid to the yuan above the fee less the balance; the change stays as balance.
            const double realPay = std::ceil(std::max(0.0, fee - m.balance));
            const double lastBalance = m.balance;
            m.balance = std::round((lastBalance + realPay - fee) * 100) / 100;
            ++m.sales;
            m.accuBuy += kwh;
            const double remain = kwh / 4.0; // a quarter of the purchase before left on the meter
            const QString time =
                start.addSecs(secondsPerSale * (w - 1)).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            sale << w << QStringLiteral("M%1").arg(user, 8, 10, QLatin1Char('0')) << user << kwh << m.sales << kwh
                 << m.accuBuy << static_cast<double>(m.accuBuy) - remain << remain << kwh * 0.01
                 << (user % 5 == 0 ? 0.85 : 0.52) << fee << QStringLiteral("g%1").arg(1 + w % spec.operators) << time;
            sale.Run();
            pay << w << w << m.sales << fee << realPay << (w % 10 == 0 ? "支票" : "现金") << m.balance << lastBalance
                << QStringLiteral("%1").arg(w, 8, 10, QLatin1Char('0'));
            pay.Run();
            const int mainIndex = user % 5 == 0 ? 2 : 1;
            wrtPrice << ++priceRow << w << mainIndex << 100;
            wrtPrice.Run();
            if (user % 3 == 0) {
                wrtPrice << ++priceRow << w << 3 << 20;
                wrtPrice.Run();
            }
        }
        // The last card image of every meter and the balance of every user,
        // as the sales above left them.
        exec(db, "insert into PreLastWrt (MeterNo, VNo, WrtIndex, WrtNum, WrtValue, LimitValue, AlarmShold, "
                 "CloseShold, AccuBuy, AccuUse, AccuRemain, OpMode, WrtTime) "
                 "select c.MeterNo, substr(c.MeterNo, 2), c.WrtIndex, c.WrtNum, c.WrtValue, c.LimitValue, "
                 "c.AlarmShold, c.CloseShold, c.AccuBuy, c.AccuUse, c.AccuRemain, c.OpMode, c.WrtTime "
                 "from WrtRecord c where c.WrtIndex in (select max(WrtIndex) from WrtRecord group by CliPreIndex)");
        exec(db, "insert into CliBalance (ClientNo, PayIndex, WrtNum, TotFee, RealPay, PayMode, ThisBalance, "
                 "LastBalance, InvoiceNo) select b.ClientNo, d.PayIndex, d.WrtNum, d.TotFee, d.RealPay, d.PayMode, "
                 "d.ThisBalance, d.LastBalance, d.InvoiceNo from PreLastWrt l, WrtRecord c, ClientPay d, CliPre b "
                 "where c.WrtIndex = l.WrtIndex and d.WrtIndex = c.WrtIndex and b.CliPreIndex = c.CliPreIndex");
        // Each key counter holds the next key to draw, past the keys in use.
        CInsert counters(db, "update SysPara set ClientIndex = ?1, CliPreIndex = ?1, WrtIndex = ?2, PayIndex = ?2, "
                             "InvoiceNo = ?2, PrePriceIndex = ?3, WrtPriceIndex = ?4, "
                             "PriceIndex = max(ifnull(PriceIndex, 0), 4)");
        counters << spec.users + 1 << spec.sales + 1 << shareIndex + 1 << priceRow + 1;
        counters.Run();
        // The bench's administrator holds every right of the program.
        CInsert right(db, "insert into Permission (OperatorNo, MenuId) select 'qz', ?1 where not exists "
                          "(select 1 from Permission where OperatorNo = 'qz' and MenuId = ?1)");
        for (const KvRightEntry* r = GetRightTable(); r->id != 0; ++r) {
            right << r->id;
            right.Run();
        }
    }
    exec(db, "commit");
}

void BuildGeneratedSalesFile(const QString& path, const CSaleGeneratorSpec& spec)
{
    const QString building = path + QStringLiteral(".building");
    QFile::remove(building);
    CreateFreshDatabase(building, QDateTime(QDate(2023, 12, 31), QTime(12, 0)));
    sqlite3* db = nullptr;
    sqlite3_open(building.toUtf8().constData(), &db);
    QElapsedTimer timer;
    timer.start();
    GenerateSales(db, spec);
    // No ANALYZE: the benches see the file as the program leaves it, which
    // gathers planner statistics only as it closes.
    sqlite3_close(db);
    QFile::rename(building, path);
    std::printf("generated %d sales of %d users in %.1f s -> %s\n", spec.sales, spec.users, timer.elapsed() / 1000.0,
                qPrintable(path));
}

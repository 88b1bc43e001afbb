#include "KvUtil.h"

#include "KvGbk.h"

#include "db/CKvException.h"
#include "db/KvAppFolder.h"
#include "db/KvLocalTime.h"
#include "db/KvSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <climits>
#include <cmath>
#include <filesystem>

namespace {

QString g_appDirectory;

int runWithQProcess(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(-1))
        throw CKvException(QStringLiteral("找不到指定的运行程序: %1！").arg(program));
    process.waitForFinished(-1);
    return process.exitCode();
}

KvProgramRunner& runner()
{
    static KvProgramRunner r = runWithQProcess;
    return r;
}

bool startDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

KvProgramStarter& starter()
{
    static KvProgramStarter s = startDetached;
    return s;
}

} // namespace

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!path.contains(u'*') && !path.contains(u'?'))
        return info.exists();
    const QDir dir = info.dir();
    return !dir.entryList(QStringList{info.fileName()}, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                .isEmpty();
}

QStringList SplitParameters(const QString& parameters)
{
    return QProcess::splitCommand(parameters);
}

void RunProgramAndWait(const QString& program, const QString& parameters)
{
    RunProgramAndWait(program, SplitParameters(parameters));
}

void RunProgramAndWait(const QString& program, const QStringList& arguments)
{
    if (!FileExists(program))
        throw CKvException(QStringLiteral("找不到指定的运行程序: %1！").arg(program));
    runner()(program, arguments);
}

bool StartProgram(const QString& program, const QStringList& arguments)
{
    if (!FileExists(program))
        return false;
    return starter()(program, arguments);
}

bool OpenDocument(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
    return starter()(QStringLiteral("xdg-open"), QStringList{path});
}

KvProgramStarter SetProgramStarter(KvProgramStarter next)
{
    KvProgramStarter previous = starter();
    starter() = next ? std::move(next) : KvProgramStarter(startDetached);
    return previous;
}

KvProgramRunner SetProgramRunner(KvProgramRunner next)
{
    KvProgramRunner previous = runner();
    runner() = next ? std::move(next) : KvProgramRunner(runWithQProcess);
    return previous;
}

bool CopyFileReplace(const QString& source, const QString& target)
{
    if (!QFileInfo(source).isFile())
        return false;
    // Overwrites the target in place. A file copied onto itself fails and stays
    // as it is (removing the target first would have deleted the source).
    std::error_code error;
    const std::filesystem::path from(QFile::encodeName(source).toStdString());
    const std::filesystem::path to(QFile::encodeName(target).toStdString());
    return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error) && !error;
}

QString GetAppDirectory()
{
    return g_appDirectory.isEmpty() ? KvDefaultAppDirectory() : g_appDirectory;
}

void SetAppDirectory(const QString& folder)
{
    g_appDirectory = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
}

void TrimString(QString& text)
{
    text = text.trimmed();
}

QString MakeBlanks(int count)
{
    return count > 0 ? QString(count, u' ') : QString();
}

double RoundAmountValue(double value)
{
    const double t = std::trunc(value);
    if (std::fabs(t - value) >= 0.499)
        return value >= 0 ? t + 1 : t - 1;
    return t;
}

int RoundAmount(double value)
{
    const double r = RoundAmountValue(value);
    if (r >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (r <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(r);
}

int GbkByteLength(const QString& text)
{
    // What the outside tools receive: a character GBK cannot hold is one '?'.
    return static_cast<int>(GbkEncode(text).size());
}

QDateTime AddDays(const QDateTime& date, int days)
{
    // Through the table of local values: addDays would ask the zone again. A
    // day the table gives as invalid (a skipped hour) is left to addDays,
    // which moves such a time past the gap.
    if (date.isValid() && date.timeSpec() == Qt::LocalTime) {
        const QDateTime moved = KvLocalDateTime(date.date().addDays(days), date.time());
        if (moved.isValid())
            return moved;
    }
    return date.addDays(days);
}

QDateTime ParseDate(const QString& text)
{
    return KvParseDateText(text);
}

int AddYearMonth(int yearMonth, int months)
{
    const auto valid = [](int ym) {
        const int month = ym % 100;
        return ym >= 190001 && ym <= 210012 && month >= 1 && month <= 12;
    };
    if (!valid(yearMonth))
        throw CKvException(QStringLiteral("年月数据类型错误！"));
    int ym = yearMonth;
    const long long steps = std::llabs(static_cast<long long>(months));
    // Each step moves one way only, so once outside the range the value never
    // comes back: stop there instead of stepping through a huge count.
    for (long long i = 0; i < steps && valid(ym); ++i) {
        if (months > 0) {
            ++ym;
            if (ym % 100 == 13)
                ym = (ym / 100) * 100 + 101;
        } else {
            --ym;
            if (ym % 100 == 0)
                ym = (ym / 100) * 100 - 88;
        }
    }
    if (!valid(ym))
        throw CKvException(QStringLiteral("年月数据类型错误！"));
    return ym;
}

int DaysBetween(const QDateTime& a, const QDateTime& b)
{
    return static_cast<int>(std::llabs(a.date().daysTo(b.date())));
}

bool IsDateValid(const QDateTime& date)
{
    return date.isValid();
}

QString DigitToCapital(int digit)
{
    static const char16_t* const capitals[] = {u"零", u"壹", u"贰", u"叁", u"肆", u"伍", u"陆", u"柒", u"捌", u"玖"};
    if (digit < 0 || digit > 9)
        return QString();
    return QString::fromUtf16(capitals[digit]);
}

QString AmountToCapitals(double amount, int width)
{
    QString sign = QStringLiteral("￥");
    if (amount < 0) {
        sign = QStringLiteral("负");
        amount = -amount;
    }
    // The range is checked in double: amount × 100 passes the int range long
    // before it passes the nine digits the receipt has room for.
    const double fen = RoundAmountValue(amount * 100);
    if (!std::isfinite(fen) || fen > 999999999.0)
        return QString();
    int c = static_cast<int>(fen);
    int d[10] = {}; // d[1] millions of yuan ... d[9] fen
    for (int i = 9; i >= 1; --i) {
        d[i] = c % 10;
        c /= 10;
    }
    if (width == 0) {
        // Each place: its unit, whether a zero place before it is read out as
        // "零", and whether its unit stands even when the digit is zero (万, 元).
        static const struct
        {
            const char16_t* unit;
            bool zeroBefore;
            bool unitAlone;
        } places[10] = {{},
                        {u"佰", false, false},
                        {u"拾", false, false},
                        {u"万", true, true},
                        {u"仟", false, false},
                        {u"佰", true, false},
                        {u"拾", true, false},
                        {u"元", true, true},
                        {u"角", false, false},
                        {u"分", true, false}};
        QString r;
        for (int i = 1; i <= 9; ++i) {
            const QString unit = QString::fromUtf16(places[i].unit);
            if (d[i] != 0) {
                if (places[i].zeroBefore && !r.isEmpty() && d[i - 1] == 0)
                    r += QStringLiteral("零");
                r += DigitToCapital(d[i]) + unit;
            } else if (places[i].unitAlone && !r.isEmpty()) {
                r += unit;
            }
        }
        return sign + r + QStringLiteral("整");
    }
    // The boxed form: digits into pre-printed cells, blanks between them.
    QString r;
    bool leading = true;
    if (d[1] != 0) {
        r = sign + DigitToCapital(d[1]);
        leading = false;
    } else {
        r = sign + MakeBlanks(width);
    }
    for (int i = 2; i <= 8; ++i) {
        if (leading) {
            if (d[i] == 0) {
                r.prepend(MakeBlanks(width + 2));
            } else {
                r += DigitToCapital(d[i]);
                leading = false;
            }
        } else {
            r += MakeBlanks(width) + DigitToCapital(d[i]);
        }
    }
    r += leading ? DigitToCapital(d[9]) : MakeBlanks(width) + DigitToCapital(d[9]);
    return r;
}

bool IsPrinterInstalled()
{
    return true;
}

int LevelNameToCode(QString name)
{
    if (name == QStringLiteral("一级"))
        return 1;
    if (name == QStringLiteral("二级"))
        return 2;
    return 0;
}

QString MeterTypeName(const QString& type)
{
    if (type.contains(QStringLiteral("DDSY")))
        return QStringLiteral("单功预付");
    if (type.contains(QStringLiteral("DTSY")))
        return QStringLiteral("三功预付");
    return QStringLiteral("单功预付");
}

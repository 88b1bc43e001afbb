#include "CCardToolSim.h"

#include "KvGbk.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTextStream>
#include <algorithm>
#include <cmath>

namespace {

const QString kOk = QStringLiteral("\"OK!\"");
const QString kFail = QStringLiteral("\"FAIL!\"");
const QString kBadCommand = QStringLiteral("ERROR:命令格式错误");

using KeyValues = QMap<QString, QString>;

KeyValues ReadKeyValues(const QString& path)
{
    KeyValues values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString& line : lines) {
        const int eq = line.indexOf(u'=');
        if (eq > 0)
            values.insert(line.left(eq).trimmed().toLower(), line.mid(eq + 1).trimmed());
    }
    return values;
}

void WriteKeyValues(const QString& path, const KeyValues& values)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return;
    QString text;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        text += it.key() + u'=' + it.value() + u'\n';
    file.write(text.toUtf8());
}

// The leading number of a command field: "200A" and "800%" give 200 and 800.
int LeadingNumber(const QString& text)
{
    int end = 0;
    if (end < text.size() && (text[end] == u'-' || text[end] == u'+'))
        ++end;
    while (end < text.size() && text[end].isDigit())
        ++end;
    return text.left(end).toInt();
}

QString MeterText(const QString& text)
{
    return text.size() >= 8 ? text : QString(8 - text.size(), u'0') + text;
}

bool ToBool(const QString& value)
{
    return value == QStringLiteral("1") || value.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0;
}

// What a write does to the card, one row per family and op (README.md shows
// the same table).
enum class MeterRule
{
    Command, // the command's meter number
    Zeros,   // "00000000"
    Keep,
};
enum class CountRule
{
    Zero,
    Keep,
    Next,              // +1
    NextUnlessPending, // +1, but kept on a card whose code is in `pending`
    FromCommand,
};
enum class AmountRule
{
    Command,
    Zero,
    Keep,
};
enum class FigureRule
{
    Zero,         // use, purchase and remaining 0
    Keep,         // the meter's figures as the card last brought them back
    AddAmount,    // purchase and remaining + amount
    ReplaceOrAdd, // on a pending card the old amount is replaced, else AddAmount
    Open,         // purchase and remaining = amount, use 0
    Restart,      // 0, and the meter starts its figures anew with this card
};
enum class SettingRule
{
    Command, // limit, alarm, cut-off (and pulses, output state) from the command
    Clear,
    Keep,
};

struct Effect
{
    int family;
    const char* op;
    int fieldCount;
    const char* code;
    MeterRule meter;
    CountRule count;
    AmountRule amount;
    FigureRule figures;
    SettingRule settings;
    const char* pending; // codes of a top-up not yet in the meter
};

using M = MeterRule;
using C = CountRule;
using A = AmountRule;
using F = FigureRule;
using S = SettingRule;

const Effect kEffects[] = {
    // infrared
    {1, "00", 0, "00", M::Zeros, C::Zero, A::Zero, F::Zero, S::Clear, ""},                          // 清卡
    {1, "02", 5, "01", M::Command, C::Zero, A::Command, F::Zero, S::Command, ""},                   // 开户写卡
    {1, "03", 5, "03", M::Command, C::NextUnlessPending, A::Command, F::Keep, S::Command, "03 06"}, // 充值写卡
    {1, "04", 5, "05", M::Command, C::Zero, A::Zero, F::Zero, S::Command, ""},                      // 写补卡
    {1, "05", 5, "07", M::Command, C::Keep, A::Zero, F::Keep, S::Command, ""},                      // 取消授权
    {1, "06", 5, "08", M::Command, C::Zero, A::Zero, F::Zero, S::Command, ""},                      // 写设置卡
    {1, "07", 2, "10", M::Zeros, C::Zero, A::Command, F::Zero, S::Clear, ""},                       // 写应急卡
    {1, "08", 0, "11", M::Zeros, C::Zero, A::Zero, F::Zero, S::Clear, ""},                          // 写退费卡
    {1, "09", 0, "12", M::Zeros, C::Zero, A::Zero, F::Zero, S::Clear, ""},                          // 写清表卡
    {1, "13", 5, "03", M::Command, C::Next, A::Command, F::Restart, S::Command, ""},                // 续用充值
    {1, "14", 6, "05", M::Command, C::FromCommand, A::Command, F::Zero, S::Command, ""},            // 补卡充值
    {1, "15", 5, "17", M::Command, C::Zero, A::Zero, F::Zero, S::Command, ""},                      // 写超级卡
    {1, "16", 7, "08", M::Command, C::Zero, A::Zero, F::Zero, S::Command, ""}, // 写设置卡 (controller)
    {1, "17", 0, "02", M::Keep, C::Keep, A::Keep, F::Keep, S::Keep, ""},       // 写已用卡
    // IC
    {2, "00", 0, "00", M::Zeros, C::Zero, A::Zero, F::Zero, S::Clear, ""},                               // 清卡
    {2, "02", 5, "01", M::Command, C::Zero, A::Command, F::Open, S::Command, ""},                        // 开户写卡
    {2, "03", 5, "03", M::Command, C::Next, A::Command, F::AddAmount, S::Command, ""},                   // 充值写卡
    {2, "04", 5, "03", M::Command, C::NextUnlessPending, A::Command, F::ReplaceOrAdd, S::Command, "03"}, // 修改充值
    {2, "05", 5, "07", M::Command, C::Keep, A::Zero, F::Keep, S::Command, ""},                           // 取消授权
    {2, "07", 5, "03", M::Command, C::Next, A::Command, F::AddAmount, S::Command, ""},                   // 增容充值
};

const Effect* FindEffect(int family, const QString& op)
{
    for (const Effect& e : kEffects) {
        if (e.family == family && op == QLatin1String(e.op))
            return &e;
    }
    return nullptr;
}

// The values of a write command after the op code.
struct CommandValues
{
    QString meterNo;
    int count = 0;
    int amount = 0;
    int limit = 0;
    int alarm = 0;
    int cutOff = 0;
    int pulses = 0;
    int outState = 0;
};

CommandValues ParseCommand(int family, const QString& op, const QStringList& f)
{
    CommandValues v;
    if (f.isEmpty())
        return v;
    v.meterNo = MeterText(f[0]);
    int next = 1;
    if (family == 1 && op == QStringLiteral("14"))
        v.count = LeadingNumber(f[next++]);
    if (next < f.size())
        v.amount = LeadingNumber(f[next++]);
    if (next < f.size())
        v.limit = LeadingNumber(f[next++]);
    if (next < f.size())
        v.alarm = LeadingNumber(f[next++]);
    if (next < f.size())
        v.cutOff = LeadingNumber(f[next++]);
    if (next < f.size())
        v.pulses = LeadingNumber(f[next++]);
    if (next < f.size())
        v.outState = LeadingNumber(f[next++]);
    return v;
}

QString ReaderPath(const QString& folder, int port)
{
    return QDir(folder).filePath(QStringLiteral("CardSimReader%1.ini").arg(port));
}

} // namespace

bool CSimCard::Set(const QString& key, const QString& value)
{
    const QString k = key.toLower();
    if (k == QStringLiteral("present"))
        present = ToBool(value);
    else if (k == QStringLiteral("family"))
        family = value.toInt();
    else if (k == QStringLiteral("code"))
        code = value;
    else if (k == QStringLiteral("meter"))
        meterNo = MeterText(value);
    else if (k == QStringLiteral("count"))
        count = value.toInt();
    else if (k == QStringLiteral("amount"))
        amount = value.toInt();
    else if (k == QStringLiteral("use"))
        use = value.toDouble();
    else if (k == QStringLiteral("purchase"))
        purchase = value.toDouble();
    else if (k == QStringLiteral("remaining"))
        remaining = value.toDouble();
    else if (k == QStringLiteral("limit"))
        limit = value.toInt();
    else if (k == QStringLiteral("alarm"))
        alarm = value.toInt();
    else if (k == QStringLiteral("cutoff"))
        cutOff = value.toInt();
    else if (k == QStringLiteral("pulses"))
        pulses = value.toInt();
    else if (k == QStringLiteral("outstate"))
        outState = value.toInt();
    else if (k == QStringLiteral("restart"))
        restart = ToBool(value);
    else if (k == QStringLiteral("field0"))
        field0 = value;
    else if (k == QStringLiteral("field9"))
        field9 = value;
    else
        return false;
    return true;
}

bool CSimMeter::Set(const QString& key, const QString& value)
{
    const QString k = key.toLower();
    if (k == QStringLiteral("count"))
        count = value.toInt();
    else if (k == QStringLiteral("purchase"))
        purchase = value.toDouble();
    else if (k == QStringLiteral("use"))
        use = value.toDouble();
    else if (k == QStringLiteral("remaining"))
        remaining = value.toDouble();
    else if (k == QStringLiteral("lastamount"))
        lastAmount = value.toInt();
    else
        return false;
    return true;
}

CCardToolSim::CCardToolSim(const QString& folder) : m_folder(folder) {}

QString CCardToolSim::FilePath(const QString& name) const
{
    return QDir(m_folder).filePath(name);
}

QString CCardToolSim::NumberText(double value)
{
    if (std::fabs(value - std::round(value)) < 1e-9)
        return QString::number(static_cast<long long>(std::llround(value)));
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    return text;
}

CSimCard CCardToolSim::Card(int port) const
{
    CSimCard card;
    const KeyValues values = ReadKeyValues(ReaderPath(m_folder, port));
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        card.Set(it.key(), it.value());
    return card;
}

void CCardToolSim::SetCard(int port, const CSimCard& card)
{
    KeyValues values = ReadKeyValues(ReaderPath(m_folder, port));
    for (auto it = values.begin(); it != values.end();) {
        if (it.key().startsWith(QStringLiteral("reading")))
            ++it;
        else
            it = values.erase(it);
    }
    values.insert(QStringLiteral("present"), card.present ? QStringLiteral("1") : QStringLiteral("0"));
    values.insert(QStringLiteral("family"), QString::number(card.family));
    values.insert(QStringLiteral("code"), card.code);
    values.insert(QStringLiteral("meter"), card.meterNo);
    values.insert(QStringLiteral("count"), QString::number(card.count));
    values.insert(QStringLiteral("amount"), QString::number(card.amount));
    values.insert(QStringLiteral("use"), NumberText(card.use));
    values.insert(QStringLiteral("purchase"), NumberText(card.purchase));
    values.insert(QStringLiteral("remaining"), NumberText(card.remaining));
    values.insert(QStringLiteral("limit"), QString::number(card.limit));
    values.insert(QStringLiteral("alarm"), QString::number(card.alarm));
    values.insert(QStringLiteral("cutoff"), QString::number(card.cutOff));
    values.insert(QStringLiteral("pulses"), QString::number(card.pulses));
    values.insert(QStringLiteral("outstate"), QString::number(card.outState));
    values.insert(QStringLiteral("restart"), card.restart ? QStringLiteral("1") : QStringLiteral("0"));
    values.insert(QStringLiteral("field0"), card.field0);
    values.insert(QStringLiteral("field9"), card.field9);
    WriteKeyValues(ReaderPath(m_folder, port), values);
}

QStringList CCardToolSim::ReadingCards(int port) const
{
    const KeyValues values = ReadKeyValues(ReaderPath(m_folder, port));
    QStringList cards;
    for (int i = 1; values.contains(QStringLiteral("reading%1").arg(i)); ++i)
        cards << values.value(QStringLiteral("reading%1").arg(i));
    return cards;
}

void CCardToolSim::SetReadingCards(int port, const QStringList& replies)
{
    const CSimCard card = Card(port);
    KeyValues values = ReadKeyValues(ReaderPath(m_folder, port));
    for (auto it = values.begin(); it != values.end();)
        it = it.key().startsWith(QStringLiteral("reading")) ? values.erase(it) : std::next(it);
    for (int i = 0; i < replies.size(); ++i)
        values.insert(QStringLiteral("reading%1").arg(i + 1), replies[i]);
    WriteKeyValues(ReaderPath(m_folder, port), values);
    if (!values.contains(QStringLiteral("code")))
        SetCard(port, card); // keep the file whole: a card and its reading cards
}

void CSimReadingCard::SetReading(int k, const QString& date, int pulsesRead, int stealFlag)
{
    positions[k].presence = QStringLiteral("0");
    positions[k].date = date;
    positions[k].pulses = pulsesRead;
    positions[k].steal = stealFlag;
}

QString CSimReadingCard::CardNumber() const
{
    return attached ? QStringLiteral("9") + meterNo.right(7) : meterNo;
}

QString CSimReadingCard::Reply() const
{
    QStringList fields{QStringLiteral("RD:") + CardNumber()};
    QString presence;
    for (const Position& position : positions)
        presence += position.presence.isEmpty() ? QStringLiteral("1") : position.presence.left(1);
    fields << presence;
    for (const Position& position : positions)
        fields << position.date << QString::number(position.pulses) << QString::number(position.steal);
    fields << QStringLiteral("0");
    return fields.join(u';') + u';';
}

void CCardToolSim::AddReadingCard(int port, const CSimReadingCard& card)
{
    SetReadingCards(port, ReadingCards(port) << card.Reply());
}

CSimMeter CCardToolSim::Meter(const QString& meterNo) const
{
    CSimMeter meter;
    const KeyValues values = ReadKeyValues(FilePath(QStringLiteral("CardSimMeter%1.ini").arg(MeterText(meterNo))));
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        meter.Set(it.key(), it.value());
    return meter;
}

void CCardToolSim::SetMeter(const QString& meterNo, const CSimMeter& meter)
{
    KeyValues values;
    values.insert(QStringLiteral("count"), QString::number(meter.count));
    values.insert(QStringLiteral("purchase"), NumberText(meter.purchase));
    values.insert(QStringLiteral("use"), NumberText(meter.use));
    values.insert(QStringLiteral("remaining"), NumberText(meter.remaining));
    values.insert(QStringLiteral("lastamount"), QString::number(meter.lastAmount));
    WriteKeyValues(FilePath(QStringLiteral("CardSimMeter%1.ini").arg(MeterText(meterNo))), values);
}

void CCardToolSim::QueueReply(const QString& scenarioLine)
{
    QFile file(FilePath(QStringLiteral("CardSimScenario.txt")));
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write((scenarioLine + u'\n').toUtf8());
}

QStringList CCardToolSim::PendingReplies() const
{
    QFile file(FilePath(QStringLiteral("CardSimScenario.txt")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    lines.removeIf([](const QString& l) { return l.trimmed().isEmpty(); });
    return lines;
}

QString CCardToolSim::TakeScenarioLine()
{
    QStringList lines = PendingReplies();
    if (lines.isEmpty())
        return QString();
    const QString first = lines.takeFirst().trimmed();
    QFile file(FilePath(QStringLiteral("CardSimScenario.txt")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        for (const QString& l : lines)
            file.write((l + u'\n').toUtf8());
    }
    return first;
}

QStringList CCardToolSim::Log() const
{
    QFile file(FilePath(QStringLiteral("CardSim.log")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void CCardToolSim::AppendLog(const QString& line) const
{
    QFile file(FilePath(QStringLiteral("CardSim.log")));
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write((line + u'\n').toUtf8());
}

QString CCardToolSim::ReadReply(const CSimCard& card)
{
    QStringList f;
    if (card.code == QStringLiteral("08")) {
        // A setting card carries its limit, alarm and cut-off instead of figures.
        f << card.field0 << card.code << card.meterNo << QString::number(card.limit) << QStringLiteral("0")
          << QString::number(card.alarm) << QString::number(card.cutOff) << QString::number(card.pulses)
          << QString::number(card.limit) << QString::number(card.outState);
    } else {
        f << card.field0 << card.code << card.meterNo << QString::number(card.count) << QString::number(card.amount)
          << NumberText(card.use) << NumberText(card.purchase) << NumberText(card.remaining)
          << QString::number(card.limit) << card.field9;
    }
    return f.join(u';') + u';';
}

bool CCardToolSim::WriteReplyFile(const QString& path, const CSimReply& reply)
{
    if (reply.kind == CSimReply::None)
        return true; // whatever an earlier run left stays
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (reply.kind == CSimReply::Line)
        file.write(GbkEncode(reply.line) + "\r\n");
    else if (reply.kind == CSimReply::Torn)
        file.write(GbkEncode(reply.line));
    return true;
}

bool CCardToolSim::ApplyWrite(int family, const QString& op, const QStringList& fields, CSimCard& card) const
{
    const Effect* e = FindEffect(family, op);
    if (!e || fields.size() != e->fieldCount)
        return false;
    const CommandValues v = ParseCommand(family, op, fields);
    const bool pending = QString::fromLatin1(e->pending).split(u' ', Qt::SkipEmptyParts).contains(card.code);
    const int oldAmount = card.amount;

    switch (e->meter) {
    case M::Command:
        card.meterNo = v.meterNo;
        break;
    case M::Zeros:
        card.meterNo = QStringLiteral("00000000");
        break;
    case M::Keep:
        break;
    }
    switch (e->count) {
    case C::Zero:
        card.count = 0;
        break;
    case C::Keep:
        break;
    case C::Next:
        card.count += 1;
        break;
    case C::NextUnlessPending:
        card.count += pending ? 0 : 1;
        break;
    case C::FromCommand:
        card.count = v.count;
        break;
    }
    switch (e->amount) {
    case A::Command:
        card.amount = v.amount;
        break;
    case A::Zero:
        card.amount = 0;
        break;
    case A::Keep:
        break;
    }
    card.restart = false;
    switch (e->figures) {
    case F::Zero:
        card.use = card.purchase = card.remaining = 0;
        break;
    case F::Keep:
        break;
    case F::AddAmount:
        card.purchase += v.amount;
        card.remaining += v.amount;
        break;
    case F::ReplaceOrAdd: {
        const int taken = pending ? oldAmount : 0;
        card.purchase += v.amount - taken;
        card.remaining += v.amount - taken;
        break;
    }
    case F::Open:
        card.use = 0;
        card.purchase = card.remaining = v.amount;
        break;
    case F::Restart:
        card.use = card.purchase = card.remaining = 0;
        card.restart = true;
        break;
    }
    switch (e->settings) {
    case S::Command:
        card.limit = v.limit;
        card.alarm = v.alarm;
        card.cutOff = v.cutOff;
        card.pulses = v.pulses;
        card.outState = v.outState;
        break;
    case S::Clear:
        card.limit = card.alarm = card.cutOff = card.pulses = card.outState = 0;
        break;
    case S::Keep:
        break;
    }
    card.code = QString::fromLatin1(e->code);
    card.family = family;
    card.present = true;
    return true;
}

namespace {

// A forced reply of the scenario, applied over what the tool would answer.
struct Forced
{
    bool active = false;
    CSimReply reply;
    bool write = false;
};

Forced ParseForced(const QString& line, const QString& regular)
{
    Forced f;
    if (line.isEmpty())
        return f;
    f.active = true;
    // A trailing "write" or "nowrite" overrides whether the card changes,
    // also after a raw text of several words.
    QString text = line.trimmed();
    const QString option = text.section(u' ', -1);
    const bool overridden =
        text.contains(u' ') && (option == QStringLiteral("write") || option == QStringLiteral("nowrite"));
    if (overridden)
        text = text.section(u' ', 0, -2);
    const QString word = text.section(u' ', 0, 0);
    static const QStringList words = {QStringLiteral("OK!"), QStringLiteral("FAIL!"), QStringLiteral("ALARM!"),
                                      QStringLiteral("TIMEOUT!")};
    if (words.contains(word)) {
        f.reply.line = u'"' + word + u'"';
        f.write = word != QStringLiteral("FAIL!");
    } else if (text.contains(QStringLiteral("ERROR"))) {
        f.reply.line = text;
    } else if (word == QStringLiteral("RAW")) {
        f.reply.line = text.mid(4);
    } else if (word == QStringLiteral("TORN")) {
        f.reply.kind = CSimReply::Torn;
        f.reply.line = regular.left(std::max<qsizetype>(1, regular.size() / 2));
    } else if (word == QStringLiteral("EMPTY")) {
        f.reply.kind = CSimReply::Empty;
    } else if (word == QStringLiteral("NOFILE")) {
        f.reply.kind = CSimReply::None;
    } else {
        f.reply.line = text; // anything else goes out as it is
    }
    if (overridden)
        f.write = option == QStringLiteral("write");
    return f;
}

QString Describe(const CSimReply& reply)
{
    switch (reply.kind) {
    case CSimReply::Line:
        return reply.line;
    case CSimReply::Torn:
        return QStringLiteral("TORN ") + reply.line;
    case CSimReply::Empty:
        return QStringLiteral("EMPTY");
    case CSimReply::None:
        return QStringLiteral("NOFILE");
    }
    return QString();
}

} // namespace

CCardToolSim::RunStart CCardToolSim::BeginRun()
{
    RunStart start;
    QFile readerNo(FilePath(QStringLiteral("ReaderNo.dat")));
    start.haveReaderNo = readerNo.open(QIODevice::ReadOnly);
    start.machine = start.haveReaderNo ? GbkDecode(readerNo.readAll()) : QStringLiteral("-");
    start.scenario = TakeScenarioLine();
    return start;
}

CSimReply CCardToolSim::RunSaleTool(const QStringList& args)
{
    const RunStart start = BeginRun();

    CSimReply regular;
    bool isWrite = false;
    CSimCard card;
    int port = 0;
    if (!start.haveReaderNo) {
        regular.line = QStringLiteral("ERROR:找不到ReaderNo.dat");
    } else if (args.size() < 5 || args[0] != QStringLiteral("0") || args[2] != QStringLiteral("1")) {
        regular.line = kBadCommand;
    } else {
        const int family = args[1].toInt();
        port = args[3].toInt();
        const QString op = args[4];
        const QStringList fields = args.mid(5);
        card = Card(port);
        if (op == QStringLiteral("01") && fields.isEmpty() && (family == 1 || family == 2)) {
            regular.line = card.present ? ReadReply(card) : QStringLiteral("ERROR:卡座内无卡");
        } else if (family == 2 && op == QStringLiteral("20") && fields.isEmpty()) {
            regular.line = kOk;
        } else if (!card.present) {
            regular.line = kFail;
        } else if (ApplyWrite(family, op, fields, card)) {
            regular.line = kOk;
            isWrite = true;
        } else {
            regular.line = kBadCommand;
        }
    }

    const Forced forced = ParseForced(start.scenario, regular.line);
    const CSimReply reply = forced.active ? forced.reply : regular;
    if (isWrite && (!forced.active || forced.write))
        SetCard(port, card);
    else
        isWrite = false;
    AppendLog(
        QStringLiteral("Tarlisk [%1] %2 => %3%4")
            .arg(start.machine, args.join(u' '), Describe(reply), isWrite ? QStringLiteral(" (written)") : QString()));
    return reply;
}

CSimReply CCardToolSim::RunTransferTool(const QStringList& args)
{
    const RunStart start = BeginRun();

    CSimReply regular;
    if (!start.haveReaderNo) {
        regular.line = QStringLiteral("ERROR:找不到ReaderNo.dat");
    } else if (args.size() != 4 || args[0] != QStringLiteral("0") || args[1] != QStringLiteral("0") ||
               args[2] != QStringLiteral("0")) {
        regular.line = kBadCommand;
    } else {
        const int port = args[3].toInt();
        QStringList cards = ReadingCards(port);
        if (cards.isEmpty()) {
            regular.line = QStringLiteral("ERROR:无抄表卡");
        } else {
            regular.line = cards.first();
            if (cards.size() > 1) {
                cards.removeFirst();
                SetReadingCards(port, cards);
            }
        }
    }
    const Forced forced = ParseForced(start.scenario, regular.line);
    const CSimReply reply = forced.active ? forced.reply : regular;
    AppendLog(QStringLiteral("Membrel [%1] %2 => %3").arg(start.machine, args.join(u' '), Describe(reply)));
    return reply;
}

QString CCardToolSim::InsertCard(int port)
{
    CSimCard card = Card(port);
    if (!card.present)
        return QStringLiteral("no card");
    CSimMeter meter = Meter(card.meterNo);
    const QString code = card.code;
    const auto load = [&]() {
        if (card.restart) {
            meter.purchase = card.amount;
            meter.use = 0;
            meter.remaining = card.amount;
        } else if (card.count > meter.count) {
            meter.purchase += card.amount;
            meter.remaining += card.amount;
        } else {
            return; // a write the meter has loaded before
        }
        meter.count = card.count;
        meter.lastAmount = card.amount;
    };
    if (code == QStringLiteral("01")) {
        // A new account: the meter starts from the opening amount.
        meter.count = card.count;
        meter.purchase = meter.remaining = card.amount;
        meter.use = 0;
        meter.lastAmount = card.amount;
        card.code = QStringLiteral("02");
    } else if (code == QStringLiteral("03") || code == QStringLiteral("14")) {
        load();
        card.code = code == QStringLiteral("03") ? QStringLiteral("04") : QStringLiteral("13");
    } else if (code == QStringLiteral("05")) {
        if (card.amount > 0 && card.count > meter.count) {
            load();
        } else if (card.family == 1) {
            // An infrared replacement card reads one write ahead of the meter.
            card.count = meter.count + 1;
            card.amount = 0;
        } else {
            card.count = meter.count;
            card.amount = meter.lastAmount;
        }
        card.code = QStringLiteral("06");
    } else if (code != QStringLiteral("02") && code != QStringLiteral("04") && code != QStringLiteral("06") &&
               code != QStringLiteral("13")) {
        return QStringLiteral("the meter does not take a card of code %1").arg(code);
    }
    // An infrared card brings the meter's figures back; an IC card already
    // carries its own (its writes add the amount at once), so the meter
    // changes only its code. Only an IC replacement card reads level with the
    // meter, as above.
    if (card.family != 2 || code == QStringLiteral("05")) {
        card.use = meter.use;
        card.purchase = meter.purchase;
        card.remaining = meter.remaining;
    }
    card.restart = false;
    SetMeter(card.meterNo, meter);
    SetCard(port, card);
    return QStringLiteral("card %1 -> %2, meter %3 count %4 purchase %5 use %6 remaining %7")
        .arg(code, card.code, card.meterNo)
        .arg(meter.count)
        .arg(NumberText(meter.purchase), NumberText(meter.use), NumberText(meter.remaining));
}

double CCardToolSim::UseEnergy(const QString& meterNo, double kWh)
{
    CSimMeter meter = Meter(meterNo);
    const double taken = std::clamp(kWh, 0.0, meter.remaining);
    meter.use += taken;
    meter.remaining -= taken;
    SetMeter(meterNo, meter);
    return taken;
}

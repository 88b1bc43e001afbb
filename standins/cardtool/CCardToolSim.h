#pragma once

#include <QString>
#include <QStringList>

// The simulated card reader behind the stand-ins of the card tools (Tarlisk,
// Membrel). Everything lives in files of one folder, the program folder, so
// that one run of a tool sees what the runs before it wrote:
//   CardSimReader<port>.ini   the card in the reader on that port, and the
//                             meter-reading cards waiting there
//   CardSimMeter<meter>.ini   the meter a card of that number is put into
//   CardSimScenario.txt       forced replies, one a line, one used per run
//   CardSim.log               one line per run or side command
// See standins/README.md for the table of what each write does to the card.

// The card in a reader. Codes and figures as the read reply carries them.
struct CSimCard
{
    bool present = true;
    int family = 1; // 1 infrared, 2 IC: the family of the last write
    QString code = QStringLiteral("00");
    QString meterNo = QStringLiteral("00000000");
    int count = 0;  // write count
    int amount = 0; // last written amount (energy of an emergency card)
    double use = 0;
    double purchase = 0;
    double remaining = 0;
    int limit = 0;
    int alarm = 0;
    int cutOff = 0;
    int pulses = 0;
    int outState = 0;
    bool restart = false; // a continued-use top-up: the meter starts its figures anew
    QString field0 = QStringLiteral("KV");
    QString field9 = QStringLiteral("0");

    // Sets one value by its key as the state file and the --card side command
    // name it (family, code, meter, count, amount, use, purchase, remaining, limit,
    // alarm, cutoff, pulses, outstate, restart, present, field0, field9);
    // false for an unknown key.
    bool Set(const QString& key, const QString& value);
};

// A meter-reading card as the transfer tool uploads it: the main card of a
// meter (its number is the meter's) or the attached card that carries
// positions 5 to 8 ("9" + the last 7 characters of the meter number), each
// with four positions. Its reply has 15 fields, each ended by ";": the card
// number after three characters the program drops, the presence text (one
// character a position, "0": the position holds a reading), then date, pulse
// count and steal flag of each position, and a last field the program does not
// read.
struct CSimReadingCard
{
    struct Position
    {
        QString presence = QStringLiteral("1"); // no reading
        QString date;
        int pulses = 0;
        int steal = 0;
    };
    QString meterNo;
    bool attached = false;
    Position positions[4];

    // Position k (0 to 3) holds a reading of that date, pulse count and flag.
    void SetReading(int k, const QString& date, int pulses, int steal = 0);
    QString CardNumber() const;
    QString Reply() const;
};

// A meter's own figures: what it has loaded and used.
struct CSimMeter
{
    int count = -1; // write count of the last card it loaded; -1: never opened
    double purchase = 0;
    double use = 0;
    double remaining = 0;
    int lastAmount = 0;

    bool Set(const QString& key, const QString& value);
};

// A reply as the tool leaves it in its reply file.
struct CSimReply
{
    enum Kind
    {
        Line,  // the line and a line end
        Torn,  // the line without its line end (already cut short)
        Empty, // an empty file
        None,  // no file at all
    };
    Kind kind = Line;
    QString line;
};

class CCardToolSim
{
public:
    explicit CCardToolSim(const QString& folder);

    CSimCard Card(int port) const;
    void SetCard(int port, const CSimCard& card);
    // Meter-reading cards in the reader, first one first: each upload reads the
    // first; the last one stays in the reader.
    QStringList ReadingCards(int port) const;
    void SetReadingCards(int port, const QStringList& replies);
    // Puts a meter-reading card behind the ones already waiting on the port.
    void AddReadingCard(int port, const CSimReadingCard& card);
    CSimMeter Meter(const QString& meterNo) const;
    void SetMeter(const QString& meterNo, const CSimMeter& meter);

    // Forced replies (see README): "OK!", "FAIL!", "ALARM!", "TIMEOUT!" with an
    // optional "write" or "nowrite", a line holding "ERROR", "RAW <line>",
    // "TORN", "EMPTY", "NOFILE".
    void QueueReply(const QString& scenarioLine);
    QStringList PendingReplies() const;
    QStringList Log() const;
    void AppendLog(const QString& line) const;

    // One run of a tool with its arguments (as the program gets them).
    CSimReply RunSaleTool(const QStringList& arguments);
    CSimReply RunTransferTool(const QStringList& arguments);

    // Side commands. InsertCard puts the card of the port into its meter and
    // returns what happened; UseEnergy takes up to `kWh` from the remaining
    // energy of the meter and returns what it took.
    QString InsertCard(int port);
    double UseEnergy(const QString& meterNo, double kWh);

    // The read reply of a card, fields ended by ";".
    static QString ReadReply(const CSimCard& card);
    // Writes the reply file.
    static bool WriteReplyFile(const QString& path, const CSimReply& reply);
    // Numbers as the tools write them: no decimals for a whole number.
    static QString NumberText(double value);

private:
    QString FilePath(const QString& name) const;
    QString TakeScenarioLine();
    // What every run starts with: the machine code of ReaderNo.dat and the
    // forced reply of the scenario, if any.
    struct RunStart
    {
        bool haveReaderNo = false;
        QString machine;
        QString scenario;
    };
    RunStart BeginRun();
    // Applies the write of one command to the card; false for a command the
    // tool does not know (wrong op or number of fields).
    bool ApplyWrite(int family, const QString& op, const QStringList& fields, CSimCard& card) const;

    QString m_folder;
};

// The main of both stand-in programs: a side command (an argument starting
// with "--") or one tool run, answered in the reply file of the program folder.
int RunCardToolStandIn(int argc, char** argv, bool transferTool);

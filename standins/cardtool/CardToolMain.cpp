#include "CCardToolSim.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

int Usage(QTextStream& err)
{
    err << "usage: <tool> 0 <command>            one run of the tool\n"
           "       <tool> --card <port> key=value...   set the card in the reader\n"
           "       <tool> --reading <port> <reply>     add a meter-reading card to the reader\n"
           "       <tool> --readingcard <port> <meter> main|attached [<k>=<date>,<pulses>[,<steal>]]...\n"
           "                                           add a meter-reading card, positions k 1 to 4\n"
           "       <tool> --meter <meter> key=value... set a meter's figures\n"
           "       <tool> --reply <scenario line>      force the reply of a coming run\n"
           "       <tool> --insert <port>              put the card into its meter\n"
           "       <tool> --use <meter> <kWh>          use energy on a meter\n"
           "       <tool> --show <port>                print the card as a read shows it\n";
    return 2;
}

template <typename Target> bool SetAll(Target& target, const QStringList& pairs, QTextStream& err)
{
    for (const QString& pair : pairs) {
        const int eq = pair.indexOf(u'=');
        if (eq <= 0 || !target.Set(pair.left(eq), pair.mid(eq + 1))) {
            err << "unknown setting: " << pair << "\n";
            return false;
        }
    }
    return true;
}

int SideCommand(CCardToolSim& sim, const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString command = args[0];
    const QString target = args.value(1);
    QString done;
    if (command == QStringLiteral("--card") && args.size() >= 2) {
        CSimCard card = sim.Card(target.toInt());
        if (!SetAll(card, args.mid(2), err))
            return 2;
        sim.SetCard(target.toInt(), card);
        done = CCardToolSim::ReadReply(card);
    } else if (command == QStringLiteral("--reading") && args.size() == 3) {
        sim.SetReadingCards(target.toInt(), sim.ReadingCards(target.toInt()) << args[2]);
        done = args[2];
    } else if (command == QStringLiteral("--readingcard") && args.size() >= 4 &&
               (args[3] == QStringLiteral("main") || args[3] == QStringLiteral("attached"))) {
        CSimReadingCard card;
        card.meterNo = args[2];
        card.attached = args[3] == QStringLiteral("attached");
        for (const QString& position : args.mid(4)) {
            const int eq = position.indexOf(u'=');
            const int k = position.left(eq).toInt();
            const QStringList values = position.mid(eq + 1).split(u',');
            if (eq <= 0 || k < 1 || k > 4 || values.size() < 2) {
                err << "bad position: " << position << "\n";
                return 2;
            }
            card.SetReading(k - 1, values[0], values[1].toInt(), values.value(2).toInt());
        }
        sim.AddReadingCard(target.toInt(), card);
        done = card.Reply();
    } else if (command == QStringLiteral("--meter") && args.size() >= 2) {
        CSimMeter meter = sim.Meter(target);
        if (!SetAll(meter, args.mid(2), err))
            return 2;
        sim.SetMeter(target, meter);
        done = QStringLiteral("meter set");
    } else if (command == QStringLiteral("--reply") && args.size() >= 2) {
        sim.QueueReply(args.mid(1).join(u' '));
        done = args.mid(1).join(u' ');
    } else if (command == QStringLiteral("--insert") && args.size() == 2) {
        done = sim.InsertCard(target.toInt());
    } else if (command == QStringLiteral("--use") && args.size() == 3) {
        done = QStringLiteral("used %1").arg(CCardToolSim::NumberText(sim.UseEnergy(target, args[2].toDouble())));
    } else if (command == QStringLiteral("--show") && args.size() == 2) {
        done = CCardToolSim::ReadReply(sim.Card(target.toInt()));
    } else {
        return Usage(err);
    }
    sim.AppendLog(QStringLiteral("%1 %2 => %3").arg(QCoreApplication::applicationName(), args.join(u' '), done));
    out << done << "\n";
    return 0;
}

} // namespace

int RunCardToolStandIn(int argc, char** argv, bool transferTool)
{
    QCoreApplication app(argc, argv);
    // The tools keep their files beside themselves, in the program folder.
    const QString folder = QCoreApplication::applicationDirPath();
    CCardToolSim sim(folder);
    const QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args[0].startsWith(QStringLiteral("--")))
        return SideCommand(sim, args);
    const CSimReply reply = transferTool ? sim.RunTransferTool(args) : sim.RunSaleTool(args);
    const QString file = transferTool ? QStringLiteral("TempTran.dat") : QStringLiteral("TempSale.dat");
    return CCardToolSim::WriteReplyFile(QDir(folder).filePath(file), reply) ? 0 : 1;
}

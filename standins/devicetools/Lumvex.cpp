// Stand-in of the meter reader's tool. D: answers in Lumvex.dat. U: writes
// the reader's readings into ReadCB.dbf in the current directory, then
// answers.
//
// Its own scenario keys (Lumvex.scenario):
//   reading=HWNO|DATETIM|ZONGM|SHENG|LEIJI[|deleted]
//        one reading a line, in order; DATETIM is "yy-mm-dd hh:mm"; texts are
//        written as they stand (a text that is no number goes raw into a
//        numeric field, a short or odd time stays as given); "deleted" flags
//        the record deleted
//   table=write|empty|none   the readings, a table without records, or no table
#include "CDeviceToolStandin.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CDeviceToolStandin tool(QStringLiteral("Lumvex"), QStringLiteral("Lumvex.dat"));
    return tool.Run(argc, argv, [](CDeviceToolStandin& t) {
        if (t.Command() == QStringLiteral("U"))
            t.WriteExchangeTable(QStringLiteral("ReadCB"),
                                 {
                                     {QStringLiteral("HWNO"), 'C', 20, 0},
                                     {QStringLiteral("DATETIM"), 'C', 14, 0},
                                     {QStringLiteral("ZONGM"), 'N', 10, 0},
                                     {QStringLiteral("SHENG"), 'N', 12, 2},
                                     {QStringLiteral("LEIJI"), 'N', 12, 2},
                                 },
                                 QStringLiteral("reading"));
    });
}

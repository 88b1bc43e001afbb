// Stand-in of the handheld sale machine's tool. D: answers. U: writes the
// machine's sales into ReadTempA.dbf in the current directory, then answers.
//
// Its own scenario keys (Gostrel.scenario):
//   sale=BIAOHAO|VALCUR|TIMES|VALALL|VALUSED|OPERDATE[|deleted]
//        one sale a line, in order; texts are written as they stand (a text
//        that is no number goes raw into a numeric field); "deleted" flags
//        the record deleted
//   table=write|empty|none   the sales, a table without records, or no table
#include "CDeviceToolStandin.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CDeviceToolStandin tool(QStringLiteral("Gostrel"), QStringLiteral("Drossel.dat"));
    return tool.Run(argc, argv, [](CDeviceToolStandin& t) {
        if (t.Command() == QStringLiteral("U"))
            t.WriteExchangeTable(QStringLiteral("ReadTempA"),
                                 {
                                     {QStringLiteral("BIAOHAO"), 'C', 20, 0},
                                     {QStringLiteral("VALCUR"), 'N', 10, 0},
                                     {QStringLiteral("TIMES"), 'N', 10, 0},
                                     {QStringLiteral("VALALL"), 'N', 10, 0},
                                     {QStringLiteral("VALUSED"), 'N', 12, 2},
                                     {QStringLiteral("OPERDATE"), 'C', 14, 0},
                                 },
                                 QStringLiteral("sale"));
    });
}

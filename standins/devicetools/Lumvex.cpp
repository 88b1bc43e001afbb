// Stand-in of the meter reader's tool: answers D and U in Lumvex.dat. The
// readings it uploads are not written here.
#include "CDeviceToolStandin.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CDeviceToolStandin tool(QStringLiteral("Lumvex"), QStringLiteral("Lumvex.dat"));
    return tool.Run(argc, argv, [](CDeviceToolStandin&) {});
}

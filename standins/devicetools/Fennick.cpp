// Stand-in of the programmer's tool: answers D and U in Drossel.dat. The
// readings it uploads are not handed over here.
#include "CDeviceToolStandin.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CDeviceToolStandin tool(QStringLiteral("Fennick"), QStringLiteral("Drossel.dat"));
    return tool.Run(argc, argv, [](CDeviceToolStandin&) {});
}

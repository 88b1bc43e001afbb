// Stand-in of the transfer tool: uploads the meter-reading card of a port.
#include "CCardToolSim.h"

int main(int argc, char** argv)
{
    return RunCardToolStandIn(argc, argv, true);
}

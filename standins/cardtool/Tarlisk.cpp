// Stand-in of the sale tool: reads and writes the simulated card of a port.
#include "CCardToolSim.h"

int main(int argc, char** argv)
{
    return RunCardToolStandIn(argc, argv, false);
}

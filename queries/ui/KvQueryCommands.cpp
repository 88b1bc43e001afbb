#include "KvQueryCommands.h"

#include "CMainFrame.h"

void InstallQueryCommands(CMainFrame& frame)
{
    (void)frame;
}

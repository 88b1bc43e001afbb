#include "KvDeviceCommands.h"

#include "CMainFrame.h"

void InstallDeviceCommands(CMainFrame& frame)
{
    (void)frame;
}

#include "KvMasterDataCommands.h"

#include "CMainFrame.h"

void InstallMasterDataCommands(CMainFrame& frame)
{
    (void)frame;
}

#include "KvSalesCommands.h"

#include "CMainFrame.h"

void InstallSalesCommands(CMainFrame& frame)
{
    (void)frame;
}

#pragma once

class CMainFrame;

// Installs the handlers of the master-data menu commands on the main frame.
void InstallMasterDataCommands(CMainFrame& frame);

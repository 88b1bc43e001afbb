#pragma once

class CMainFrame;

// Installs the handlers of the sales menu commands on the main frame.
void InstallSalesCommands(CMainFrame& frame);

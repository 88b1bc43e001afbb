#pragma once

class CMainFrame;

// Installs the handlers of the query and statistics menu commands on the main frame.
void InstallQueryCommands(CMainFrame& frame);

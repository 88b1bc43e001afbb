#pragma once

class CMainFrame;

// Installs the handlers of the handheld-device menu commands on the main frame.
void InstallDeviceCommands(CMainFrame& frame);

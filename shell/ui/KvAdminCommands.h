#pragma once

class CMainFrame;

// The administration commands of the main frame: workstations and server,
// operators, system parameters, system initialisation, backup and restore,
// help and the two entry programs.
void InstallAdminCommands(CMainFrame& frame);

// The handlers, one a command.
void OnStations();
void OnSelectStation(CMainFrame& frame); // sets the window title again afterwards
void OnServer();
void OnOperators();
void OnSysPara();
void OnSystemInit(CMainFrame& frame);
void OnBackup(CMainFrame& frame);
void OnRestore(CMainFrame& frame);
void OnHelpFile(CMainFrame& frame);
// Starts an entry program of the program folder with the operator's code.
void StartEntryProgram(const char* program);

#include "KvDeviceCommands.h"

#include "CHandReadDlg.h"
#include "CHandSaleArchive.h"
#include "CHandheldSaleDlg.h"
#include "CMainFrame.h"
#include "CSubProgrammerDlg.h"
#include "KvMainCommands.h"

void InstallDeviceCommands(CMainFrame& frame)
{
    // The archive of uploaded sales opens the frame's new-account wizard for
    // a meter missing from the archive.
    CHandSaleArchive::SetNewAccountOpener([&frame](const QString& meterNo) { frame.OpenNewAccount(meterNo); });
    // No right of this name is granted, so the command stays greyed.
    frame.SetCommandHandler(ID_HANDHELD_SALE, [] {
        CHandheldSaleDlg dialog(nullptr, QStringLiteral("手持售电机"));
        dialog.DoModal();
    });
    frame.SetCommandHandler(ID_METER_READER, [] {
        CHandReadDlg dialog(nullptr, QStringLiteral("电表抄表器管理"));
        dialog.DoModal();
    });
    frame.SetCommandHandler(ID_SUB_PROGRAMMER, [] {
        CSubProgrammerDlg dialog(nullptr, QStringLiteral("附表抄表器管理"));
        dialog.DoModal();
    });
}

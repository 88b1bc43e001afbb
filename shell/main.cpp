#include "CKvApplication.h"
#include "CKvMessageBoxSink.h"
#include "CQuillmerApp.h"
#include "KvDeviceCommands.h"
#include "KvMasterDataCommands.h"
#include "KvMessage.h"
#include "KvQueryCommands.h"
#include "KvSalesCommands.h"
#include "Ostrakon.h"

int main(int argc, char* argv[])
{
    CKvApplication app(argc, argv);
    // The boxes and dialogs of the start-up come and go before the main window
    // exists; none of them may end the program by being the last window closed.
    QApplication::setQuitOnLastWindowClosed(false);

    CKvMessageBoxSink sink;
    SetMessageSink(&sink);

    CQuillmerApp quillmer([] {
        InitialOstrakon();
        QuillmerUpdateDatabase();
        ClrOstrakon();
    });
    quillmer.SetCommandInstaller([](CMainFrame& frame) {
        InstallMasterDataCommands(frame);
        InstallSalesCommands(frame);
        InstallQueryCommands(frame);
        InstallDeviceCommands(frame);
    });
    int exitCode = 0;
    if (quillmer.InitInstance()) {
        QApplication::setQuitOnLastWindowClosed(true);
        exitCode = app.exec();
    }
    exitCode = quillmer.ExitInstance(exitCode);
    SetMessageSink(nullptr);
    return exitCode;
}

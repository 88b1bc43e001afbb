#include "CKvMessageBoxSink.h"
#include "KvMessage.h"
#include "Ostrakon.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    CKvMessageBoxSink sink;
    SetMessageSink(&sink);

    InitialOstrakon();
    QuillmerUpdateDatabase();
    ClrOstrakon();

    QMainWindow window;
    window.setObjectName(QStringLiteral("mainFrame"));
    window.setWindowTitle(QStringLiteral("Quillmer"));
    window.showMaximized();
    const int rc = app.exec();
    SetMessageSink(nullptr);
    return rc;
}

#include "CKvApplication.h"

#include "CKvStyle.h"
#include "KvGuard.h"
#include "KvImages.h"

#include <QWidget>

CKvApplication::CKvApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setWindowIcon(KvProgramIcon()); // every window and the About box
    setStyle(new CKvStyle);
}

bool CKvApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        QWidget* owner = activeModalWidget();
        if (!owner)
            owner = activeWindow();
        KvReportFailure(std::current_exception(), owner);
        return false;
    }
}

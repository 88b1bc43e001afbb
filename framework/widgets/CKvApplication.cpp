#include "CKvApplication.h"

#include "CKvStyle.h"
#include "KvGuard.h"
#include "KvImages.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QWidget>

CKvApplication::CKvApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setWindowIcon(KvProgramIcon()); // every window and the About box
    setStyle(new CKvStyle);
    LoadQtTranslations(this);
}

QTranslator* CKvApplication::LoadQtTranslations(QObject* owner)
{
    auto* translator = new QTranslator(owner);
    // "qt" is the catalogue that brings in qtbase's and the other modules' own.
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator))
        return translator;
    delete translator;
    return nullptr;
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

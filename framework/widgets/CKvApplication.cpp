#include "CKvApplication.h"

#include "CKvStyle.h"
#include "KvGuard.h"
#include "KvImages.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QWidget>
#include <clocale>

CKvApplication::CKvApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    UseProgramLocale();
    setWindowIcon(KvProgramIcon()); // every window and the About box
    setStyle(new CKvStyle);
    LoadQtTranslations(this);
}

QLocale CKvApplication::ProgramLocale()
{
    return QLocale(QLocale::Chinese, QLocale::China);
}

void CKvApplication::UseProgramLocale()
{
    // The widgets' default: calendars and day names in the program's language
    // whatever the system's. Numbers for SQL and files never take it (they are
    // written and read in the C locale), nor does the C library, which
    // QApplication has just set from the environment: its printf and strtod,
    // used by the dBASE tables, keep the point.
    QLocale::setDefault(ProgramLocale());
    std::setlocale(LC_NUMERIC, "C");
}

QTranslator* CKvApplication::LoadQtTranslations(QObject* owner)
{
    auto* translator = new QTranslator(owner);
    // "qt" is the catalogue that brings in qtbase's and the other modules' own.
    if (translator->load(ProgramLocale(), QStringLiteral("qt"), QStringLiteral("_"),
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

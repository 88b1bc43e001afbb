#pragma once

#include <QApplication>
#include <QLocale>

class QTranslator;

// The program's application object. A failure thrown by a handler that nobody
// caught stops here, at the one place every event passes: it is shown in an
// error box with its text and the event loop keeps running.
class CKvApplication : public QApplication
{
    Q_OBJECT

public:
    CKvApplication(int& argc, char** argv);

    // The program's language, Chinese (China), whatever the system's.
    static QLocale ProgramLocale();
    // Makes it the default locale of the widgets (date pickers' calendars);
    // the C library's numbers stay in the C locale. Done at start-up.
    static void UseProgramLocale();

    // Qt's own texts (file dialogs, standard buttons, edit menus) in the
    // program's language, Chinese, from the translations installed with Qt.
    // The translator is owned by owner; null where none is installed.
    static QTranslator* LoadQtTranslations(QObject* owner);

    bool notify(QObject* receiver, QEvent* event) override;
};

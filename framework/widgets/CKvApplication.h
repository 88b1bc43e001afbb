#pragma once

#include <QApplication>

// The program's application object. A failure thrown by a handler that nobody
// caught stops here, at the one place every event passes: it is shown in an
// error box with its text and the event loop keeps running.
class CKvApplication : public QApplication
{
    Q_OBJECT

public:
    CKvApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

#pragma once

#include <QObject>
#include <QTimer>

// The display the widget tests run on. Offscreen by default; with
// QUILLMER_TEST_X11=1 each test program starts an X server of its own (Xvfb)
// and runs on it through the xcb platform, so focus, activation and the lock
// keys behave as on a desktop. A server per process keeps the test programs
// that ctest runs side by side from sharing focus.
class CTestDisplay
{
public:
    // Sets QT_QPA_PLATFORM (and DISPLAY when an X server is asked for); call
    // before the application object is made. Exits the process when an X
    // server was asked for and cannot be started.
    static void StartIfAsked();
};

// A modal window that no test answers would stop the suite until ctest's
// timeout; this closes any modal window still open after a while and fails
// the running test, naming the window.
class CUnansweredModalGuard : public QObject
{
public:
    explicit CUnansweredModalGuard(int patienceMs = 20000);

private:
    void check();

    QTimer m_timer;
    int m_patienceMs;
    QObject* m_seen = nullptr;
    int m_seenForMs = 0;
};

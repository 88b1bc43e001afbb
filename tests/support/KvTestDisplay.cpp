#include "KvTestDisplay.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int kPollMs = 200;

// Starts Xvfb on a display number it chooses itself and returns that number
// (-1 when it could not start). The server ends with this process.
int startXvfb()
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        close(fds[0]);
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1600x1000x24", "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char ch;
    while (read(fds[0], &ch, 1) == 1 && ch != '\n')
        number += ch;
    close(fds[0]);
    return number.empty() ? -1 : std::atoi(number.c_str());
}

} // namespace

void CTestDisplay::StartIfAsked()
{
    if (qgetenv("QUILLMER_TEST_X11") != "1") {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return;
    }
    const int display = startXvfb();
    if (display < 0) {
        std::fprintf(stderr, "QUILLMER_TEST_X11=1 but Xvfb could not be started\n");
        std::exit(2);
    }
    qputenv("DISPLAY", QByteArray(":") + QByteArray::number(display));
    qputenv("QT_QPA_PLATFORM", "xcb");
}

CUnansweredModalGuard::CUnansweredModalGuard(int patienceMs)
    : m_patienceMs(patienceMs)
{
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &CUnansweredModalGuard::check);
    m_timer.start();
}

void CUnansweredModalGuard::check()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != m_seen) {
        m_seen = modal;
        m_seenForMs = 0;
        return;
    }
    if (!modal)
        return;
    m_seenForMs += kPollMs;
    if (m_seenForMs < m_patienceMs)
        return;
    ADD_FAILURE() << "a modal window nobody answered was closed: \"" << modal->windowTitle().toStdString() << "\" ("
                  << modal->metaObject()->className() << ")";
    m_seen = nullptr;
    m_seenForMs = 0;
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

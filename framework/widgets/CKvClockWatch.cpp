#include "CKvClockWatch.h"

#include "CKvDialog.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>
#endif

CKvClockWatch& CKvClockWatch::Instance()
{
    static CKvClockWatch* watch = new CKvClockWatch; // lives until the process ends
    return *watch;
}

CKvClockWatch::CKvClockWatch() : m_baseline(SystemOffset())
{
#ifdef Q_OS_LINUX
    // A timer far in the future armed with TFD_TIMER_CANCEL_ON_SET is cancelled
    // by the kernel whenever the clock is set (or resumes), which makes the
    // descriptor readable with ECANCELED.
    m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0 || !Arm())
        return;
    auto* notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this] { OnReadable(); });
#endif
}

qint64 CKvClockWatch::SystemOffset()
{
#ifdef Q_OS_LINUX
    timespec wall{};
    timespec boot{};
    clock_gettime(CLOCK_REALTIME, &wall);
    clock_gettime(CLOCK_BOOTTIME, &boot);
    return (qint64(wall.tv_sec) - qint64(boot.tv_sec)) * 1000 + (qint64(wall.tv_nsec) - qint64(boot.tv_nsec)) / 1000000;
#else
    return 0;
#endif
}

qint64 CKvClockWatch::ReadOffset() const
{
    return m_reader ? m_reader() : SystemOffset();
}

void CKvClockWatch::SetOffsetReader(OffsetReader reader)
{
    m_reader = std::move(reader);
    m_baseline = ReadOffset();
}

void CKvClockWatch::OnClockReport()
{
    const qint64 offset = ReadOffset();
    const qint64 moved = offset - m_baseline;
    m_baseline = offset;
    if (moved > kToleranceMs || moved < -kToleranceMs)
        Broadcast();
}

void CKvClockWatch::Broadcast()
{
    // Only dialogs on screen close: one built but not shown has no window yet.
    // Closing one may close or delete others on the way, hence the guards.
    const QList<QPointer<CKvDialog>> dialogs(m_dialogs.cbegin(), m_dialogs.cend());
    for (const QPointer<CKvDialog>& dialog : dialogs)
        if (dialog && dialog->isVisible())
            dialog->OnTimeChange();
}

#ifdef Q_OS_LINUX
bool CKvClockWatch::Arm()
{
    itimerspec timer{};
    timer.it_value.tv_sec = static_cast<time_t>(INT32_MAX) * 2; // far beyond any real date
    return timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &timer, nullptr) == 0;
}

void CKvClockWatch::OnReadable()
{
    std::uint64_t expirations = 0;
    const ssize_t n = read(m_fd, &expirations, sizeof expirations);
    const bool reported = n < 0 && errno == ECANCELED;
    if (n < 0 && !reported)
        return;
    Arm(); // a cancelled timer stays cancelled until it is set again
    if (reported)
        OnClockReport();
}
#endif

#pragma once

#include <QList>
#include <QtGlobal>
#include <functional>

class CKvDialog;

// One watch of the system clock for all dialogs. The kernel reports when the
// wall clock is set, and also when the machine wakes from suspend (the wall
// clock then jumps by the time asleep). Only a real change closes the open
// dialogs: the wall clock moved against the boot clock, which counts the time
// asleep too, by more than a second.
class CKvClockWatch
{
public:
    // The wall clock minus the boot clock, in milliseconds.
    using OffsetReader = std::function<qint64()>;

    static constexpr qint64 kToleranceMs = 1000;

    static CKvClockWatch& Instance();

    void Add(CKvDialog* dialog) { m_dialogs.append(dialog); }
    void Remove(CKvDialog* dialog) { m_dialogs.removeAll(dialog); }

    // Tells every dialog on screen that the clock was changed.
    void Broadcast();
    // What the kernel's report leads to: a broadcast when the offset moved,
    // nothing after a resume. The seam through which tests feed reports.
    void OnClockReport();

    // Replaces the offset reader (tests); null brings back the system's. The
    // offset read now is the new baseline.
    void SetOffsetReader(OffsetReader reader);
    static qint64 SystemOffset();

private:
    CKvClockWatch();
    qint64 ReadOffset() const;
#ifdef Q_OS_LINUX
    bool Arm();
    void OnReadable();
    int m_fd = -1;
#endif

    QList<CKvDialog*> m_dialogs;
    OffsetReader m_reader;
    qint64 m_baseline = 0;
};

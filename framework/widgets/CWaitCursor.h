#pragma once

#include <QApplication>
#include <QCursor>

// The wait cursor for the lifetime of the object, taken away on every way out.
class CWaitCursor
{
public:
    CWaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

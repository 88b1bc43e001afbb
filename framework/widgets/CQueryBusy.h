#pragma once

#include "CWaitCursor.h"

#include <QElapsedTimer>

class CAdoConnection;

// While a query or statistic runs on the window's thread (a minute over years
// of sales): the wait cursor, and the windows go on repainting about ten
// times a second, so the program never looks hung. Keys and clicks wait until
// the statement is done. Nested objects leave the outermost one in charge.
class CQueryBusy
{
public:
    explicit CQueryBusy(CAdoConnection* db);
    ~CQueryBusy();
    CQueryBusy(const CQueryBusy&) = delete;
    CQueryBusy& operator=(const CQueryBusy&) = delete;

private:
    void repaintNow();

    CWaitCursor m_cursor;
    CAdoConnection* m_db = nullptr; // null when an outer object is in charge
    QElapsedTimer m_sinceRepaint;
};

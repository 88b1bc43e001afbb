#include "CQueryBusy.h"

#include "CAdoConnection.h"
#include "CDbEngine.h"

#include <QCoreApplication>

namespace {

int g_depth = 0;

} // namespace

CQueryBusy::CQueryBusy(CAdoConnection* db)
{
    // The cursor shows before the statement holds the thread.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (g_depth++ > 0 || !db || !db->GetEngine())
        return;
    m_db = db;
    m_sinceRepaint.start();
    m_db->GetEngine()->setProgressHandler([this] {
        if (m_sinceRepaint.elapsed() >= 100)
            repaintNow();
    });
}

CQueryBusy::~CQueryBusy()
{
    --g_depth;
    if (m_db && m_db->GetEngine())
        m_db->GetEngine()->setProgressHandler({});
}

void CQueryBusy::repaintNow()
{
    // Keys and clicks are held back until the statement is done, so no
    // command can start another statement on the connection meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_sinceRepaint.restart();
}

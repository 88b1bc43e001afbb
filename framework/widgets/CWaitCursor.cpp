#include "CWaitCursor.h"

#include "CAdoConnection.h"
#include "CDbEngine.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QEvent>

namespace {

// The object in charge of the wait, if any.
CWaitCursor* g_inCharge = nullptr;

} // namespace

CWaitCursor::CWaitCursor(CAdoConnection* db)
{
    if (g_inCharge)
        return;
    g_inCharge = this;
    m_inCharge = true;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    // The cursor shows before the command holds the thread.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // The dialog that shows the outcome ends the wait, wherever the command
    // makes it.
    qApp->installEventFilter(this);
    if (db && db->GetEngine()) {
        m_db = db;
        m_sinceRepaint.start();
        m_db->GetEngine()->setProgressHandler([this] {
            if (m_sinceRepaint.elapsed() >= 100)
                repaintNow();
        });
    }
}

CWaitCursor::~CWaitCursor()
{
    End();
}

void CWaitCursor::End()
{
    if (!m_inCharge)
        return;
    m_inCharge = false;
    g_inCharge = nullptr;
    qApp->removeEventFilter(this);
    if (m_db && m_db->GetEngine())
        m_db->GetEngine()->setProgressHandler({});
    m_db = nullptr;
    QApplication::restoreOverrideCursor();
}

bool CWaitCursor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && qobject_cast<QDialog*>(watched))
        End();
    return false;
}

void CWaitCursor::repaintNow()
{
    // Keys and clicks are held back until the statement is done, so no
    // command can start another statement on the connection meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_sinceRepaint.restart();
}

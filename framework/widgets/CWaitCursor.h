#pragma once

#include <QElapsedTimer>
#include <QObject>

class CAdoConnection;

// The wait cursor of a command that can take more than a moment (a query over
// years of sales, the archive of every user, a month's quota fees, a backup),
// from its start until the operator has something to look at: it ends when
// the first dialog is shown meanwhile (the list of rows once it is filled, a
// message) or with the object, whichever comes first. A list is filled before
// its dialog shows, so the cursor stays while the rows are laid out.
//
// Given a connection, the windows go on repainting about ten times a second
// while a statement of that connection runs on the window's thread, so the
// program never looks hung; keys and clicks wait until the statement is done.
// Nested objects leave the outermost one in charge.
class CWaitCursor : public QObject
{
public:
    explicit CWaitCursor(CAdoConnection* db = nullptr);
    ~CWaitCursor() override;
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    // Ends the wait now (a second call does nothing).
    void End();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void repaintNow();

    bool m_inCharge = false;
    CAdoConnection* m_db = nullptr;
    QElapsedTimer m_sinceRepaint;
};

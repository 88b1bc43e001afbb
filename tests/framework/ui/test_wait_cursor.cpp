#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CSqliteEngine.h"
#include "CWaitCursor.h"
#include "KvCursorWatch.h"

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace {

class CPaintWatcher : public QWidget
{
public:
    std::function<void()> onPaint;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (onPaint)
            onPaint();
    }
};

// A statement that keeps the thread for about a second.
const QString kLongQuery = QStringLiteral(
    "with recursive n(i) as (select 1 union all select i + 1 from n where i < 4000000) select count(*) from n");

} // namespace

// A long statement on the window's thread: the window repaints meanwhile under
// the wait cursor, and the cursor is taken away afterwards.
TEST(WaitCursor, TheWindowRepaintsUnderTheWaitCursorWhileAStatementRuns)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("busy.db"));
    CSqliteEngine::createFile(path, QStringLiteral("create table T (x integer);"));
    CAdoConnection db;
    db.Open(0, path);

    CPaintWatcher window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();

    bool running = false;
    int paintsWhileRunning = 0;
    Qt::CursorShape cursorWhilePainting = Qt::ArrowCursor;
    window.onPaint = [&] {
        if (!running)
            return;
        ++paintsWhileRunning;
        if (QApplication::overrideCursor())
            cursorWhilePainting = QApplication::overrideCursor()->shape();
    };
    {
        CWaitCursor busy(&db);
        running = true;
        window.update();
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(kLongQuery);
        EXPECT_EQ(rs->GetRecordCount(), 1);
        running = false;
    }
    EXPECT_GT(paintsWhileRunning, 0);
    EXPECT_EQ(cursorWhilePainting, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Once it is over the connection calls nobody back.
    window.onPaint = [&] { ++paintsWhileRunning; };
    paintsWhileRunning = 0;
    running = true;
    window.update();
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(kLongQuery);
    EXPECT_EQ(paintsWhileRunning, 0);
}

namespace {

// A dialog that fills its list as it is first shown, as the program's do.
class CFilledOnShow : public QDialog
{
public:
    CFilledOnShow() { new QListWidget(this); }
    QStringList rows;
    QString cursorWhileFilling;

    void setVisible(bool visible) override
    {
        if (visible && rows.isEmpty()) {
            cursorWhileFilling = CCursorWatch::CursorNow();
            rows << QStringLiteral("a") << QStringLiteral("b");
        }
        QDialog::setVisible(visible);
    }
};

} // namespace

// The wait lasts while the command's dialog fills its list and ends as the
// dialog shows, while the command still runs; an inner wait leaves the outer
// one in charge, and ending twice ends once.
TEST(WaitCursor, TheWaitEndsWhenTheFilledDialogShows)
{
    CFilledOnShow dialog;
    dialog.setObjectName(QStringLiteral("result"));
    CCursorWatch watch([](QDialog* d) { return QString::number(static_cast<CFilledOnShow*>(d)->rows.size()); });
    QString whileShown;
    {
        CWaitCursor wait;
        {
            CWaitCursor inner;
            inner.End();
            EXPECT_EQ(CCursorWatch::CursorNow(), QStringLiteral("wait")) << "the outer wait is in charge";
        }
        EXPECT_EQ(CCursorWatch::CursorNow(), QStringLiteral("wait"));
        dialog.show();
        whileShown = CCursorWatch::CursorNow();
        dialog.hide();
        wait.End();
    }
    EXPECT_EQ(dialog.cursorWhileFilling, QStringLiteral("wait"));
    EXPECT_EQ(watch.Seen(), QStringList{QStringLiteral("result wait 2")});
    EXPECT_EQ(whileShown, QStringLiteral("none"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

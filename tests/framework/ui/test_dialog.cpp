#include "CKvApplication.h"
#include "CKvClockWatch.h"
#include "CKvDialog.h"
#include "CKvEdit.h"
#include "KvTestSupport.h"
#include "KvUiTestUtil.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A dialog with one bound edit, the confirm button and the three close buttons.
class CNameDlg : public CKvDialog
{
public:
    explicit CNameDlg(const QString& caption) : CKvDialog(164, nullptr, caption)
    {
        m_edit = CreateControl<CKvEdit>(1032);
        m_edit->move(10, 10);
        connect(m_edit, &QLineEdit::textChanged, this, [this] {
            if (IsInitDone())
                ++m_reactions;
        });
        int x = 10;
        for (int id : {1000, 1021, 1001, 1050}) {
            auto* button = CreateControl<QPushButton>(id);
            button->setGeometry(x, 50, 60, 24);
            x += 70;
            if (id == 1000)
                BindConfirm(button);
            else
                BindClose(button);
        }
        resize(320, 100);
    }

    bool OnInitDialog() override
    {
        CKvDialog::OnInitDialog();
        m_edit->setText(QStringLiteral("初值")); // filled before the flag is set: no reaction
        SetInitDone(1);
        return true;
    }

    QString m_name = QStringLiteral("原值");
    int m_reactions = 0;
    int m_saves = 0;
    CKvEdit* m_edit = nullptr;

protected:
    bool DoDataExchange(bool save) override
    {
        if (save) {
            ++m_saves;
            m_name = m_edit->text();
        } else {
            m_edit->setText(m_name);
        }
        return true;
    }
};

// Runs the dialog modally while `drive` acts on it; a guard closes it should
// the drive leave it open, so the test can never block.
int RunModal(CKvDialog& dialog, const std::function<void()>& drive)
{
    QTimer::singleShot(0, &dialog, drive);
    QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(99); });
    return dialog.DoModal();
}

QPushButton* Button(QWidget& dialog, int id)
{
    return dialog.findChild<QPushButton*>(CKvDialog::ControlName(id));
}

TEST(KvDialog, CaptionIsTheTitleAndInitialisationTriggersNoReactions)
{
    CNameDlg dialog(QStringLiteral("修改操作员"));
    EXPECT_EQ(dialog.GetCaption(), QStringLiteral("修改操作员"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("修改操作员"));
    EXPECT_EQ(dialog.IsInitDone(), 0);
    dialog.EnsureInitialised();
    EXPECT_EQ(dialog.m_edit->text(), QStringLiteral("初值"));
    EXPECT_EQ(dialog.m_reactions, 0);
    EXPECT_EQ(dialog.IsInitDone(), 1);
    dialog.m_edit->setText(QStringLiteral("张三"));
    EXPECT_EQ(dialog.m_reactions, 1);
}

TEST(KvDialog, ConfirmReadsTheControlsAndClosesWithOk)
{
    CNameDlg dialog(QStringLiteral("增加操作员"));
    const int result = RunModal(dialog, [&dialog] {
        dialog.m_edit->setText(QStringLiteral("李四"));
        MouseClick(Button(dialog, 1000));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_name, QStringLiteral("李四"));
}

TEST(KvDialog, EnterInAFieldConfirmsWhateverOrderTheButtonsWereMadeIn)
{
    // The closing button is made first: it must still not be the one Enter presses.
    CKvDialog dialog(165, nullptr, QStringLiteral("修改操作员"));
    auto* close = dialog.CreateControl<QPushButton>(1021);
    auto* confirm = dialog.CreateControl<QPushButton>(1000);
    auto* edit = dialog.CreateControl<CKvEdit>(1032);
    dialog.BindClose(close);
    dialog.BindConfirm(confirm);
    const int result = RunModal(dialog, [&] {
        edit->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
    });
    EXPECT_EQ(result, IDOK);
}

TEST(KvDialog, CloseButtonsEndWithCancelAndReadNothing)
{
    for (int id : {1021, 1001, 1050}) {
        CNameDlg dialog(QStringLiteral("增加操作员"));
        const int result = RunModal(dialog, [&dialog, id] {
            dialog.m_edit->setText(QStringLiteral("李四"));
            MouseClick(Button(dialog, id));
        });
        EXPECT_EQ(result, IDCANCEL) << id;
        EXPECT_EQ(dialog.m_saves, 0) << id;
        EXPECT_EQ(dialog.m_name, QStringLiteral("原值")) << id;
    }
}

TEST(KvDialog, ClockChangeClosesEveryOpenDialogAsCancelled)
{
    // An open dialog that opened a second one over itself, and a third that is
    // built but not shown: the change closes the two open ones and nothing else.
    CNameDlg outer(QStringLiteral("修改操作员"));
    CNameDlg inner(QStringLiteral("查看操作员权限"));
    CNameDlg waiting(QStringLiteral("增加操作员"));
    int waitingClosed = 0;
    QObject::connect(&waiting, &QDialog::finished, [&waitingClosed] { ++waitingClosed; });
    bool bothOpen = false;
    int innerResult = 0;
    const int outerResult = RunModal(outer, [&] {
        innerResult = RunModal(inner, [&] {
            bothOpen = outer.isVisible() && inner.isVisible();
            outer.m_edit->setText(QStringLiteral("李四"));
            inner.m_edit->setText(QStringLiteral("王五"));
            CKvDialog::BroadcastTimeChange();
        });
    });
    EXPECT_TRUE(bothOpen);
    EXPECT_EQ(innerResult, IDCANCEL);
    EXPECT_EQ(outerResult, IDCANCEL);
    for (CNameDlg* dialog : {&outer, &inner}) {
        EXPECT_EQ(dialog->m_saves, 0);
        EXPECT_EQ(dialog->m_name, QStringLiteral("原值"));
    }
    EXPECT_EQ(waitingClosed, 0);
    EXPECT_FALSE(waiting.isVisible());
}

TEST(KvDialog, AResumeFromSuspendKeepsTheDialogOpenAndARealClockChangeClosesIt)
{
    // The kernel reports both alike; the watch tells them apart by the wall
    // clock's distance to the boot clock, which the seam feeds here.
    qint64 offset = 1'700'000'000'000;
    CKvClockWatch& watch = CKvClockWatch::Instance();
    watch.SetOffsetReader([&offset] { return offset; });
    CNameDlg dialog(QStringLiteral("修改操作员"));
    bool openAfterResume = false;
    bool openAfterSmallStep = false;
    const int result = RunModal(dialog, [&] {
        dialog.m_edit->setText(QStringLiteral("李四"));
        watch.OnClockReport(); // woke up: wall and boot clock moved together
        openAfterResume = dialog.isVisible();
        offset += 400; // a step smaller than a second
        watch.OnClockReport();
        openAfterSmallStep = dialog.isVisible();
        offset -= 3600 * 1000; // set back an hour
        watch.OnClockReport();
    });
    watch.SetOffsetReader(nullptr);
    EXPECT_TRUE(openAfterResume);
    EXPECT_TRUE(openAfterSmallStep);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.m_saves, 0);
    EXPECT_EQ(dialog.m_name, QStringLiteral("原值"));
}

TEST(KvDialog, CentresOnTheMainWindowsView)
{
    QMainWindow frame;
    auto* view = new QWidget;
    frame.setCentralWidget(view);
    frame.setGeometry(100, 80, 900, 700);
    frame.show();
    QApplication::processEvents();

    CNameDlg dialog(QStringLiteral("修改操作员"));
    QPoint dialogCentre;
    RunModal(dialog, [&] {
        dialogCentre = dialog.frameGeometry().center();
        dialog.OnTimeChange();
    });
    const QPoint viewCentre = QRect(view->mapToGlobal(QPoint(0, 0)), view->size()).center();
    // Placed before the window exists, so the window frame may shift it by its width.
    EXPECT_LE((dialogCentre - viewCentre).manhattanLength(), 8)
        << dialogCentre.x() << "," << dialogCentre.y() << " vs " << viewCentre.x() << "," << viewCentre.y();
}

} // namespace

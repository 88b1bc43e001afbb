#include "CKvApplication.h"
#include "CKvClockWatch.h"
#include "CKvDialog.h"
#include "CKvEdit.h"
#include "KvTestSupport.h"
#include "KvUiTestUtil.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
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

TEST(KvDialog, EnterPressesTheButtonTheOperatorTabbedTo)
{
    // The field, then the buttons in the order they were made: a command button
    // that is no auto-default one, the confirm button and the three closers.
    struct Case
    {
        int tabs;
        int id;
        int result;
        int commands;
    };
    const Case cases[] = {
        {1, 1025, 99, 1},       // the command runs, nothing else: the dialog stays open
        {2, 1000, IDOK, 0},     // the confirm button
        {3, 1021, IDCANCEL, 0}, // every closing button closes
        {4, 1001, IDCANCEL, 0}, {5, 1050, IDCANCEL, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        CNameDlg dialog(QStringLiteral("修改操作员"));
        auto* command = dialog.CreateControl<QPushButton>(1025);
        command->setAutoDefault(false);
        command->setGeometry(10, 80, 60, 24);
        QWidget::setTabOrder(dialog.m_edit, command);
        QWidget::setTabOrder(command, Button(dialog, 1000));
        int commands = 0;
        QObject::connect(command, &QPushButton::clicked, [&commands] { ++commands; });
        bool focused = false;
        const int result = RunModal(dialog, [&] {
            ASSERT_TRUE(ShowActive(&dialog));
            dialog.m_edit->setFocus(Qt::TabFocusReason);
            for (int i = 0; i < c.tabs; ++i)
                PressKey(QApplication::focusWidget(), Qt::Key_Tab);
            focused = QApplication::focusWidget() == Button(dialog, c.id);
            PressKey(QApplication::focusWidget(), Qt::Key_Return);
            if (dialog.isVisible())
                dialog.done(99);
        });
        EXPECT_TRUE(focused);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(commands, c.commands);
        EXPECT_EQ(dialog.m_saves, c.result == IDOK ? 1 : 0);
    }
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

// A dialog that takes its size in its initialisation, as the print preview
// takes the screen's.
class CSizedDlg : public CKvDialog
{
public:
    CSizedDlg(QWidget* parent, const QSize& size) : CKvDialog(155, parent, QStringLiteral("打印预览")), m_size(size) {}

    bool OnInitDialog() override
    {
        CKvDialog::OnInitDialog();
        resize(m_size);
        return true;
    }

private:
    QSize m_size;
};

TEST(KvDialog, OpensInsideTheScreenCentredOnTheMainViewWhereItFits)
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case
    {
        const char* what;
        QRect frame; // the main window; empty: none
        QSize dialog;
    };
    const Case cases[] = {
        {"larger than the screen, no main window", QRect(), available.size() + QSize(800, 360)},
        {"as wide as the screen, main window low", QRect(available.topLeft() + QPoint(40, 200), QSize(600, 400)),
         QSize(available.width(), available.height() * 96 / 100)},
        {"small, main window near the right edge", QRect(available.topRight() - QPoint(300, -100), QSize(400, 300)),
         QSize(300, 200)},
        {"small, in the middle of the main window", QRect(available.topLeft() + QPoint(50, 50), QSize(500, 400)),
         QSize(200, 100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<QMainWindow> frame;
        QWidget* view = nullptr;
        if (!c.frame.isEmpty()) {
            frame = std::make_unique<QMainWindow>();
            view = new QWidget;
            frame->setCentralWidget(view);
            frame->setGeometry(c.frame);
            frame->show();
            QApplication::processEvents();
        }
        CSizedDlg dialog(frame.get(), c.dialog);
        QRect placed;
        RunModal(dialog, [&] {
            placed = dialog.frameGeometry();
            dialog.OnTimeChange();
        });
        EXPECT_TRUE(available.contains(placed))
            << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height();
        if (view && c.dialog.width() < available.width() / 2) {
            // Centred on the view as far as the screen allows.
            const QRect area(view->mapToGlobal(QPoint(0, 0)), view->size());
            const QRect ideal =
                QRect(QPoint(), placed.size()).translated(area.center() - QRect(QPoint(), placed.size()).center());
            EXPECT_EQ(placed.topLeft(),
                      QPoint(std::clamp(ideal.left(), available.left(), available.right() + 1 - placed.width()),
                             std::clamp(ideal.top(), available.top(), available.bottom() + 1 - placed.height())));
        }
    }
}

// Fields made in one order and laid out in another: a grid of two columns,
// a group box beneath with its own fields, then the buttons.
class CGridDlg : public CKvDialog
{
public:
    CGridDlg() : CKvDialog(131, nullptr, QStringLiteral("增加用户"))
    {
        // Made column by column, as the old template listed them.
        for (int id : {1002, 1003, 1005, 1007, 1004, 1006, 1008, 1009, 1000, 1001})
            CreateControl<CKvEdit>(id);
        auto* grid = new QGridLayout;
        const int cells[3][2] = {{1002, 1004}, {1003, 1005}, {1006, 1007}};
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 2; ++column)
                grid->addWidget(Field(cells[row][column]), row, column);
        auto* group = new QGroupBox(QStringLiteral("阶梯价"), this);
        auto* inGroup = new QHBoxLayout(group);
        inGroup->addWidget(Field(1009));
        inGroup->addWidget(Field(1008));
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(grid);
        layout->addWidget(group);
        layout->addWidget(Field(1000));
        layout->addWidget(Field(1001));
    }

    QWidget* Field(int id) { return findChild<QWidget*>(ControlName(id)); }
};

TEST(KvDialog, TabGoesRowByRowAsTheLayoutPlacesTheFields)
{
    CGridDlg dialog;
    QStringList visited;
    RunModal(dialog, [&] {
        ASSERT_TRUE(ShowActive(&dialog));
        for (int i = 0; i < 10 && QApplication::focusWidget(); ++i) {
            visited << QApplication::focusWidget()->objectName();
            PressKey(QApplication::focusWidget(), Qt::Key_Tab);
        }
        dialog.OnTimeChange();
    });
    EXPECT_EQ(visited,
              QStringList({"c1002", "c1004", "c1003", "c1005", "c1006", "c1007", "c1009", "c1008", "c1000", "c1001"}));
}

} // namespace

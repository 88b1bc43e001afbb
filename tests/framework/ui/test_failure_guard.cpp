#include "CKvApplication.h"
#include "CKvDialog.h"
#include "CKvException.h"
#include "KvGuard.h"
#include "KvTestSupport.h"
#include "KvUiTestUtil.h"

#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// A dialog whose save button fails the way an uncaught database failure does.
class CFailingDlg : public CKvDialog
{
public:
    explicit CFailingDlg(std::function<void()> save) : CKvDialog(131, nullptr, QStringLiteral("增加小区"))
    {
        m_save = CreateControl<QPushButton>(1000);
        connect(m_save, &QPushButton::clicked, this, std::move(save));
        BindClose(CreateControl<QPushButton>(1021));
    }
    QPushButton* m_save;
};

TEST(FailureGuard, GuardShowsTheTextOrTheGenericText)
{
    struct Case
    {
        std::function<void()> fail;
        QString shown;
    };
    const std::vector<Case> cases{
        {[] { throw CKvException(QStringLiteral("向数据库增加小区时发生错误！")); },
         QStringLiteral("向数据库增加小区时发生错误！")},
        {[] { throw CKvException(QString()); }, KvGenericFailureText()},
        {[] { throw std::runtime_error("disk I/O error"); }, QStringLiteral("disk I/O error")},
        {[] { throw 42; }, KvGenericFailureText()},
    };
    for (const Case& c : cases) {
        CRecordingMessageSink sink;
        EXPECT_FALSE(KvGuard(c.fail));
        ASSERT_EQ(sink.Messages().size(), 1u);
        EXPECT_EQ(sink.Messages()[0].caption, QStringLiteral("错误"));
        EXPECT_EQ(sink.Messages()[0].text, c.shown);
    }
    CRecordingMessageSink sink;
    EXPECT_TRUE(KvGuard([] {}));
    EXPECT_TRUE(sink.Messages().empty());
}

TEST(FailureGuard, GuardedSlotGetsTheSignalsArguments)
{
    CRecordingMessageSink sink;
    QPushButton button;
    button.setCheckable(true);
    bool seen = false;
    QObject::connect(&button, &QPushButton::toggled, &button, KvGuarded([&seen](bool on) {
        seen = on;
        throw CKvException(QStringLiteral("从数据库删除小区时发生错误！"));
    }));
    button.toggle();
    EXPECT_TRUE(seen);
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("从数据库删除小区时发生错误！")});
}

// The program's application object catches what a handler let escape. The
// failure happens inside a modal dialog's own event loop, which must survive it.
TEST(FailureGuard, UncaughtFailureInAHandlerIsShownAndTheDialogRunsOn)
{
    ASSERT_NE(qobject_cast<CKvApplication*>(qApp), nullptr) << "the GUI tests run under the program's application";
    CRecordingMessageSink sink;
    int attempts = 0;
    CFailingDlg dialog([&attempts] {
        ++attempts;
        throw CKvException(QStringLiteral("向数据库增加小区时发生错误！"));
    });
    bool stillOpen = false;
    QTimer::singleShot(0, &dialog, [&] { MouseClick(dialog.m_save); });
    QTimer::singleShot(10, &dialog, [&] { MouseClick(dialog.m_save); });
    QTimer::singleShot(20, &dialog, [&] {
        stillOpen = dialog.isVisible();
        MouseClick(dialog.findChild<QPushButton*>(QStringLiteral("c1021")));
    });
    QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(99); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(attempts, 2);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(sink.Texts(), (QStringList{QStringLiteral("向数据库增加小区时发生错误！"),
                                         QStringLiteral("向数据库增加小区时发生错误！")}));
}

} // namespace

#include "CKvMessageBoxSink.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>

namespace {

using ButtonTexts = std::map<int, QString>; // answer number -> button text

ButtonTexts Buttons(QMessageBox& box)
{
    ButtonTexts shown;
    for (QAbstractButton* button : box.buttons())
        shown[CKvMessageBoxSink::AnswerOf(box.standardButton(button))] = button->text();
    return shown;
}

TEST(KvMessageBoxSink, ButtonsOfEachStyleCarryTheProgramsTexts)
{
    const QString yes = QStringLiteral("是(&Y)"), no = QStringLiteral("否(&N)"), ok = QStringLiteral("确定"),
                  cancel = QStringLiteral("取消");
    struct Case
    {
        int style;
        ButtonTexts buttons;
        QMessageBox::Icon icon;
    };
    for (const Case& c : {Case{MB_OK | MB_ICONINFORMATION, {{IDOK, ok}}, QMessageBox::Information},
                          Case{MB_OK | MB_ICONERROR, {{IDOK, ok}}, QMessageBox::Critical},
                          Case{MB_OKCANCEL | MB_ICONWARNING, {{IDOK, ok}, {IDCANCEL, cancel}}, QMessageBox::Warning},
                          Case{MB_YESNO | MB_ICONQUESTION, {{IDYES, yes}, {IDNO, no}}, QMessageBox::Question},
                          Case{MB_YESNOCANCEL, {{IDYES, yes}, {IDNO, no}, {IDCANCEL, cancel}}, QMessageBox::NoIcon}}) {
        QMessageBox box;
        CKvMessageBoxSink::SetUpBox(box, QStringLiteral("提示"), QStringLiteral("是否删除？"), c.style);
        EXPECT_EQ(Buttons(box), c.buttons) << c.style;
        EXPECT_EQ(box.icon(), c.icon) << c.style;
        EXPECT_EQ(box.windowTitle(), QStringLiteral("提示"));
        EXPECT_EQ(box.text(), QStringLiteral("是否删除？"));
    }
}

// Shows a real box through the sink; a timer presses the button with the given
// text (or Escape when it is empty). A second timer closes any box still open,
// so the test can never block.
int AnswerShownBox(int style, const QString& press)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->stop();
        if (press.isEmpty()) {
            box->close(); // the window's close button: the box's escape button answers
            return;
        }
        for (QAbstractButton* button : box->buttons())
            if (button->text() == press)
                button->click();
    });
    poll->start();
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && !box->buttons().isEmpty())
            box->buttons().first()->click();
    });
    guard.start(5000);
    CKvMessageBoxSink sink;
    const int answer = sink.Show(nullptr, QStringLiteral("请选择"), QStringLiteral("是否继续？"), style);
    delete poll;
    return answer;
}

TEST(KvMessageBoxSink, ShownBoxAnswersWithTheCallersNumbers)
{
    struct Case
    {
        int style;
        const char* press;
        int answer;
    };
    for (const Case& c : {Case{MB_YESNO | MB_ICONQUESTION, "是(&Y)", IDYES},
                          Case{MB_YESNO | MB_ICONQUESTION, "否(&N)", IDNO}, Case{MB_YESNOCANCEL, "取消", IDCANCEL},
                          Case{MB_OKCANCEL, "确定", IDOK}, Case{MB_OKCANCEL, "", IDCANCEL}, Case{MB_OK, "", IDOK}})
        EXPECT_EQ(AnswerShownBox(c.style, QString::fromUtf8(c.press)), c.answer) << c.style << " " << c.press;
}

} // namespace

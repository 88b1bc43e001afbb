#include "KvMessage.h"
#include "KvTestSupport.h"

#include <gtest/gtest.h>

TEST(MessageBoxes, FixedCaptionsThroughTheSink)
{
    CRecordingMessageSink sink;
    sink.QueueAnswer(IDNO);
    EXPECT_EQ(AskBox(QStringLiteral("系统时间正确吗？")), IDNO);
    EXPECT_EQ(PromptBox(QStringLiteral("a")), IDOK);
    EXPECT_EQ(ErrorBox(QStringLiteral("b")), IDOK);
    EXPECT_EQ(WarningBoxStr(QStringLiteral("c")), IDOK);
    EXPECT_EQ(AskBoxStr(QStringLiteral("d")), IDYES) << "an empty queue presses the default button";
    ASSERT_EQ(sink.Messages().size(), 5u);
    const char* captions[] = {"请选择", "提示", "错误", "警告", "请选择"};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(sink.Messages()[i].caption, QString::fromUtf8(captions[i]));
    EXPECT_EQ(sink.Messages()[0].style, MB_YESNO | MB_ICONQUESTION);
}

TEST(MessageBoxes, SinkIsRestoredWhenTheRecorderGoes)
{
    IKvMessageSink* before = GetMessageSink();
    {
        CRecordingMessageSink sink;
        EXPECT_EQ(GetMessageSink(), &sink);
    }
    EXPECT_EQ(GetMessageSink(), before);
}

#include "KvMessage.h"

#include <cstdio>

namespace {

class StreamSink : public IKvMessageSink
{
public:
    int Show(QObject*, const QString& caption, const QString& text, int style) override
    {
        std::fprintf(stderr, "[%s] %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
        return KvDefaultAnswer(style);
    }
};

StreamSink g_streamSink;
IKvMessageSink* g_sink = &g_streamSink;

int show(const QString& caption, const QString& text, QObject* parent, int style)
{
    return g_sink->Show(parent, caption, text, style);
}

} // namespace

IKvMessageSink* SetMessageSink(IKvMessageSink* sink)
{
    IKvMessageSink* previous = g_sink;
    g_sink = sink ? sink : &g_streamSink;
    return previous == &g_streamSink ? nullptr : previous;
}

IKvMessageSink* GetMessageSink()
{
    return g_sink;
}

int KvDefaultAnswer(int style)
{
    switch (style & 0x0F) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    default:
        return IDOK;
    }
}

int PromptBox(const QString& text, QObject* parent, int style)
{
    return show(QStringLiteral("提示"), text, parent, style);
}

int ErrorBox(const QString& text, QObject* parent, int style)
{
    return show(QStringLiteral("错误"), text, parent, style);
}

int WarningBox(const QString& text, QObject* parent, int style)
{
    return show(QStringLiteral("警告"), text, parent, style);
}

int AskBox(const QString& text, QObject* parent, int style)
{
    return show(QStringLiteral("请选择"), text, parent, style);
}

#pragma once

#include <QString>

class QObject;

// Message-box styles and answers, with the numbers the program's callers test.
enum KvMessageStyle : int
{
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};

enum KvMessageAnswer : int
{
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7,
};

// Every message box of the program goes through one sink. The program installs
// one that shows a real box; tests install one that records and answers.
class IKvMessageSink
{
public:
    virtual ~IKvMessageSink() = default;
    // Shows a box and returns the button pressed (IDOK, IDCANCEL, IDYES, IDNO).
    virtual int Show(QObject* parent, const QString& caption, const QString& text, int style) = 0;
};

// Installs a sink (null restores the default) and returns the one it replaced.
// The default sink writes to the error stream and answers with the first button.
IKvMessageSink* SetMessageSink(IKvMessageSink* sink);
IKvMessageSink* GetMessageSink();

// The default button of a style: IDOK for OK styles, IDYES for questions.
int KvDefaultAnswer(int style);

// Boxes with fixed captions: "提示", "错误", "警告", "请选择".
int PromptBox(const QString& text, QObject* parent = nullptr, int style = MB_OK | MB_ICONINFORMATION);
int ErrorBox(const QString& text, QObject* parent = nullptr, int style = MB_OK | MB_ICONERROR);
int WarningBox(const QString& text, QObject* parent = nullptr, int style = MB_OK | MB_ICONWARNING);
int AskBox(const QString& text, QObject* parent = nullptr, int style = MB_YESNO | MB_ICONQUESTION);
inline int PromptBoxStr(const QString& text, QObject* parent = nullptr, int style = MB_OK | MB_ICONINFORMATION)
{
    return PromptBox(text, parent, style);
}
inline int WarningBoxStr(const QString& text, QObject* parent = nullptr, int style = MB_OK | MB_ICONWARNING)
{
    return WarningBox(text, parent, style);
}
inline int AskBoxStr(const QString& text, QObject* parent = nullptr, int style = MB_YESNO | MB_ICONQUESTION)
{
    return AskBox(text, parent, style);
}

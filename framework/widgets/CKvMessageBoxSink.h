#pragma once

#include "KvMessage.h"

class QMessageBox;

// The program's sink: a real QMessageBox with the caption and the icon and
// buttons of the style, answering with the button numbers callers test. The
// buttons carry the program's own texts (是(&Y), 否(&N), 确定, 取消).
class CKvMessageBoxSink : public IKvMessageSink
{
public:
    int Show(QObject* parent, const QString& caption, const QString& text, int style) override;

    // Gives a box the caption, text, icon and buttons of a style.
    static void SetUpBox(QMessageBox& box, const QString& caption, const QString& text, int style);
    // The answer number of the box's button (a QMessageBox::StandardButton);
    // IDOK for a box closed without a button of its own.
    static int AnswerOf(int standardButton);
};

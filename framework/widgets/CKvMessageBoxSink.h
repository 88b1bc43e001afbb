#pragma once

#include "KvMessage.h"

// The program's sink: a real QMessageBox with the caption and the icon and
// buttons of the style, answering with the button numbers callers test.
class CKvMessageBoxSink : public IKvMessageSink
{
public:
    int Show(QObject* parent, const QString& caption, const QString& text, int style) override;
};

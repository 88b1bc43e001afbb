#pragma once

#include <QString>

// The input rules of the edit dialogs of districts, buildings and departments:
// a typed code and a name, lengths counted in GBK bytes. Each returns the text
// of the first rule the value breaks, or an empty text when it is accepted.

struct KvCodeRule
{
    QString emptyText;    // no code typed
    int exactBytes = 0;   // the only length allowed, or 0 when only a maximum applies
    int maxBytes = 0;     // the longest code allowed when no exact length applies
    QString lengthText;   // the length is wrong
    QString reservedText; // "00", the code of the reserved row
};

QString KvCodeRefusal(const QString& code, const KvCodeRule& rule);

// A name is required and at most 20 bytes long.
QString KvNameRefusal(const QString& name, const QString& emptyText, const QString& tooLongText);

#pragma once

#include <QByteArray>
#include <QString>

// Text in the GBK code page, the form of every file exchanged with the outside
// tools (card tools, device tools). The program itself works in UTF-8.

// A character that GBK cannot hold becomes one '?'.
QByteArray GbkEncode(const QString& text);
// A byte that does not start a GBK character becomes U+FFFD; a character cut
// off at the end of the bytes too.
QString GbkDecode(const QByteArray& bytes);

// True when GBK carries every character of the text, so that the outside tool
// reads back exactly what was typed.
bool GbkCanHold(const QString& text);
// The first character of the text that GBK cannot carry; empty when there is none.
QString GbkFirstUnheld(const QString& text);
// The GBK bytes of a text handed to an outside tool or library. A character
// GBK cannot carry throws CKvException naming `what` instead of becoming a '?'
// that may name another user or meter.
QByteArray GbkEncodeExact(const QString& text, const QString& what);

#pragma once

#include <QByteArray>
#include <QString>

// Text in the GBK code page, the form of every file exchanged with the outside
// tools (card tools, device tools). The program itself works in UTF-8.

// A character that GBK cannot hold becomes one '?'. The text is taken in its
// composed form (NFC): "e" + U+0301 is written as the "é" GBK holds.
QByteArray GbkEncode(const QString& text);
// A byte that does not start a GBK character becomes U+FFFD; a character cut
// off at the end of the bytes too.
QString GbkDecode(const QByteArray& bytes);

// True when GBK carries every character of the text (in composed form), so
// that the outside tool reads back what was typed.
bool GbkCanHold(const QString& text);
// The first character of the text that GBK cannot carry; empty when there is
// none. A surrogate without its partner is one character.
QString GbkFirstUnheld(const QString& text);
// A character as a message names it: in quotes (“ẞ”), or by its code (U+00A0)
// when it shows nothing there: a blank, a zero-width or control character, a
// lone accent, a surrogate without its partner.
QString GbkCharacterName(const QString& character);
// The GBK bytes of a text handed to an outside tool or library. A character
// GBK cannot carry throws CKvException naming `what` instead of becoming a '?'
// that may name another user or meter.
QByteArray GbkEncodeExact(const QString& text, const QString& what);

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

#pragma once

#include <QString>

// The check of a field whose text reaches an outside tool, library or exchange
// file (user code, name, address, meter and parent meter numbers, ...). Those
// take GBK, one line of it: a character GBK cannot hold would reach them as
// '?' (and "U?" is another user), a line feed or tab would split the line of
// an exchange file.
//
// Empty when the text can be carried as typed; otherwise the message that
// refuses it, naming the field, the character and what the field accepts.
QString ToolTextRefusal(const QString& fieldName, const QString& text);

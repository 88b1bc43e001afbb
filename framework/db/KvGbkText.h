#pragma once

#include <QByteArray>
#include <QString>

// Texts exchanged with the outside tools are GBK. Bytes that are no GBK become
// U+FFFD when read; characters without a GBK form are replaced when written.
QString KvGbkToText(const QByteArray& bytes);
QByteArray KvTextToGbk(const QString& text);

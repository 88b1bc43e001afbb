#pragma once

#include <QString>
#include <QStringList>

// What a read card is, told to the operator as the card and special-card
// dialogs tell it. `fields` are the reply fields of the read (1 the card
// code, 2 to 8 the card's data).

// The head followed by the card's data: meter number, write count, amount,
// cumulative use, purchase, remaining and limit ("%08s" and the like pad with
// 0 on the left). `tabs` follow the head.
QString KvCardDataMessage(const QString& head, const QStringList& fields, const QString& tabs);

// The message of an infrared card code; empty for a code that tells nothing.
// The card dialog puts three tabs after the heads of the data messages but
// one after the refund-marked ones (13, 14); the special-card dialog one
// after every head.
enum class KvCardTabs
{
    CardDialog,
    SpecialCardDialog,
};
QString KvInfraredCardMessage(const QStringList& fields, KvCardTabs tabs);

// The head of a data message for a code (01 to 07, 13, 14); empty for others.
QString KvCardDataHead(const QString& code);

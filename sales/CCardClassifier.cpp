#include "CCardClassifier.h"

#include "KvMessage.h"
#include "KvUtil.h"

#include <QRegularExpression>
#include <array>

namespace {

// "%08s" of the counter's messages: the figure padded with zeros on the left.
QString ZeroPadded(const QString& text, int width)
{
    return text.rightJustified(width, u'0');
}

QString Field(const CardFigures& card, int index)
{
    return index < card.fields.size() ? card.fields.at(index) : QString();
}

// The card of a refund-marked code (13, 14) told with its figures.
QString RefundMarkedText(const QString& kind, const CardFigures& card)
{
    return kind + QStringLiteral("\t\n\n表计卡号：%1\n\n写卡次数：%2\n\n充值数据：%3\n\n累计用量：%4\n\n"
                                 "累计购量：%5\n\n累计剩余：%6\n\n限电值：%7A")
                      .arg(ZeroPadded(Field(card, 2), 8), ZeroPadded(Field(card, 3), 3), ZeroPadded(Field(card, 4), 4),
                           ZeroPadded(Field(card, 5), 6), ZeroPadded(Field(card, 6), 6), ZeroPadded(Field(card, 7), 6),
                           Field(card, 8));
}

bool CumulativeDataHold(const CardFigures& card)
{
    return RoundAmount(card.cardUse + card.cardRemaining) == card.cardPurchase;
}

struct CardCheck
{
    bool holds;
    QString text;
};

// The four comparisons of card and archive, in the order they are told; the
// caller decides what the purchase must equal.
std::array<CardCheck, 4> CardChecks(const CardFigures& card, int purchaseToMatch)
{
    return {{
        {CumulativeDataHold(card), QStringLiteral("卡上累计数据校验失败！")},
        {card.cardWriteCount == card.archiveWriteCount, QStringLiteral("卡上写卡次数与档案写卡次数不一致！")},
        {card.cardAmount == card.archiveAmount, QStringLiteral("卡上写卡量与档案写卡量不一致！")},
        {purchaseToMatch == card.archivePurchase, QStringLiteral("卡上累计购电量与档案累计购电量不一致！")},
    }};
}

CardClassification State(int state, bool ic, bool enableWrite = false)
{
    return CardClassification{ic ? state + 100 : state, enableWrite};
}

} // namespace

int CCardClassifier::CellInt(const QString& text)
{
    static const QRegularExpression prefix(QStringLiteral("^\\s*[+-]?\\d+"));
    const QRegularExpressionMatch match = prefix.match(text);
    return match.hasMatch() ? match.captured().trimmed().toInt() : 0;
}

double CCardClassifier::CellFloat(const QString& text)
{
    static const QRegularExpression prefix(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch match = prefix.match(text);
    return match.hasMatch() ? match.captured().trimmed().toDouble() : 0;
}

CardClassification CCardClassifier::Classify(const CardFigures& card, const CardContext& context,
                                             ICardClassifyHost& host, QObject* parent)
{
    const bool ic = context.ic;
    const QString& code = card.code;

    if (code == QLatin1String("00")) {
        PromptBox(QStringLiteral("该卡为空白卡！"), parent);
        return State(0, ic);
    }
    if (code == QLatin1String("01")) {
        PromptBox(QStringLiteral("该卡为未用开户卡！"), parent);
        return State(1, ic);
    }
    if (code == QLatin1String("02")) {
        PromptBox(QStringLiteral("该卡为已用开户卡！"), parent);
        if (!UsedCardChecks(card, context, host, QStringLiteral("开户"), parent))
            return {};
        return State(2, ic, true);
    }
    if (code == QLatin1String("03")) {
        PromptBox(QStringLiteral("该卡为未用充值卡！"), parent);
        if (context.refundMode)
            return State(3, ic);
        if (!context.hasModifyRight) {
            PromptBox(QStringLiteral("请重新与电表通讯！"), parent);
            return State(3, ic);
        }
        if (!UnusedCardChecks(card, context, parent))
            return {};
        return State(3, ic, true);
    }
    if (code == QLatin1String("04")) {
        PromptBox(QStringLiteral("该卡为已用充值卡！"), parent);
        if (!UsedCardChecks(card, context, host, QStringLiteral("正常充值"), parent))
            return {};
        return State(4, ic, true);
    }
    if (code == QLatin1String("05")) {
        PromptBox(QStringLiteral("该卡为未用补卡！"), parent);
        return State(5, ic);
    }
    if (code == QLatin1String("06")) {
        PromptBox(QStringLiteral("该卡为已用补卡！"), parent);
        return ReplacementCard(card, context, host, parent);
    }
    if (code == QLatin1String("07")) {
        PromptBox(QStringLiteral("该卡为取消授权卡！"), parent);
        return State(7, ic);
    }
    if (code == QLatin1String("08")) {
        PromptBox(QStringLiteral("该卡为设置卡！"), parent);
        return State(8, ic);
    }
    if (code == QLatin1String("09")) {
        host.ClearArchiveDisplay();
        PromptBox(QStringLiteral("该卡为未知卡，请对该卡清空后再操作！"), parent);
        return State(9, ic);
    }
    if (ic)
        return {}; // the codes below exist on infrared cards only

    if (code == QLatin1String("10")) {
        host.ClearArchiveDisplay();
        PromptBox(QStringLiteral("该卡为应急卡！\n\n电量为：%1").arg(Field(card, 4)), parent);
        return State(10, false);
    }
    if (code == QLatin1String("11")) {
        PromptBox(QStringLiteral("该卡为退费卡！"), parent);
        return State(11, false);
    }
    if (code == QLatin1String("12")) {
        PromptBox(QStringLiteral("该卡为清表卡！"), parent);
        return State(12, false);
    }
    if (code == QLatin1String("13")) {
        PromptBox(RefundMarkedText(QStringLiteral("该卡为带退费标记的已用充值卡！"), card), parent);
        return State(13, false, true);
    }
    if (code == QLatin1String("14")) {
        PromptBox(RefundMarkedText(QStringLiteral("该卡为带退费标记的未用充值卡！"), card), parent);
        return State(14, false);
    }
    if (code == QLatin1String("17")) {
        PromptBox(QStringLiteral("该卡为超级取消授权卡！"), parent);
        return State(17, false);
    }
    return {}; // "15", "16", "0z" (no meter on file), an empty code after a failed read
}

bool CCardClassifier::UsedCardChecks(const CardFigures& card, const CardContext& context, ICardClassifyHost& host,
                                     const QString& opWord, QObject* parent)
{
    bool repair = false;
    for (const CardCheck& check : CardChecks(card, card.cardPurchase)) {
        if (check.holds)
            continue;
        // A meter with sales behind it keeps its archive: only a meter with at
        // most the totals row may be rewritten from the card.
        if (context.historyCount > 1) {
            PromptBox(check.text, parent);
            return false;
        }
        if (AskBox(check.text + QStringLiteral("继续吗？"), parent) != IDYES)
            return false;
        repair = true;
    }
    return !repair || host.RepairArchive(opWord);
}

bool CCardClassifier::UnusedCardChecks(const CardFigures& card, const CardContext& context, QObject* parent)
{
    // An infrared card carries the new amount outside its purchase until it
    // goes into the meter; an IC card has added it already.
    const int purchase = context.ic ? card.cardPurchase : card.cardPurchase + card.cardAmount;
    for (const CardCheck& check : CardChecks(card, purchase)) {
        if (!check.holds) {
            PromptBox(check.text, parent);
            return false;
        }
    }
    return true;
}

CardClassification CCardClassifier::ReplacementCard(const CardFigures& card, const CardContext& context,
                                                    ICardClassifyHost& host, QObject* parent)
{
    const bool ic = context.ic;
    // The old card's purchase is not yet in the meter: the archive counts it,
    // the replacement card does not.
    const bool notYetInMeter = (ic ? card.cardWriteCount + 1 : card.cardWriteCount) == card.archiveWriteCount &&
                               card.archiveAmount + card.cardPurchase == card.archivePurchase;
    const bool alreadyInMeter = ic ? card.cardWriteCount == card.archiveWriteCount &&
                                         card.cardPurchase == card.archivePurchase &&
                                         card.cardAmount == card.archiveAmount
                                   : card.cardWriteCount - 1 == card.archiveWriteCount &&
                                         card.cardPurchase == card.archivePurchase && card.cardAmount == 0;

    int state = 6;
    if (notYetInMeter) {
        PromptBox(QStringLiteral("原卡电量尚未送入电表！"), parent);
        state = 56;
    } else if (alreadyInMeter) {
        PromptBox(QStringLiteral("原卡电量已送入电表！"), parent);
    } else {
        const QString text = QStringLiteral("卡上数据与档案数据不符！");
        const bool hardMismatch = ic ? context.historyCount > 0 : context.historyCount > 1;
        if (hardMismatch) {
            PromptBox(text, parent);
            return {};
        }
        if (AskBox(text + QStringLiteral("继续吗？"), parent) != IDYES)
            return {};
        if (!host.RepairArchive(QStringLiteral("正常充值")))
            return {};
    }
    // Topping up what the old card still carries is a sale, not a refund.
    const bool enable = !context.refundMode || state == 6;
    return State(state, ic, enable);
}

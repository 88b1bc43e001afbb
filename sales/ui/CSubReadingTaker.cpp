#include "CSubReadingTaker.h"

#include "CCardWriter.h"
#include "CCliSub.h"
#include "CNumEdit.h"
#include "COperator.h"
#include "CPriceVer.h"
#include "CProgRead.h"
#include "CSubRead.h"
#include "CSubReadingBatch.h"
#include "CSubReadingDlg.h"
#include "CSubSubsidyDlg.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvDialogRunner.h"
#include "KvMessage.h"
#include "KvSaleFees.h"
#include "KvUtil.h"
#include "SysGlobals.h"

namespace {

constexpr int kRightTopUpUnread = 112; // 未抄表充值
constexpr int kRightRemoveSub = 223;   // 拆除附表

bool HasRight(int right)
{
    const COperator* op = GetCurrentOperator();
    return op && op->HasRight(right);
}

QString Fixed2(double value)
{
    return QString::asprintf("%0.2f", value);
}

QDateTime DayOf(const QDateTime& value)
{
    return QDateTime(value.date(), QTime(0, 0));
}

} // namespace

CSubReadingTaker::CSubReadingTaker(const Context& context)
    : m_context(context), m_batch(std::make_unique<CSubReadingBatch>())
{
}

CSubReadingTaker::~CSubReadingTaker() = default;

bool CSubReadingTaker::MayPassOver() const
{
    return HasRight(kRightTopUpUnread) && !m_context.refundMode;
}

bool CSubReadingTaker::TakeReadings(CSubReadList& readings)
{
    CCliSubList& subs = *m_context.subMeters;
    bool upload = false;
    if (GetMainSysPara()->GetTellFlag() != QStringLiteral("是")) {
        if (subs.At(0)->GetThisPulses() == -1 && subs.GetCount() == 1) {
            if (AskBox(
                    QStringLiteral("上次是手工录入附表数据，必须先用编程器设置并归档后，才能采用遥控卡上传。继续吗？"),
                    nullptr) != IDYES)
                return false;
        } else if (AskBox(QStringLiteral("请准备附表数据！自动上传附表数据吗？"), m_context.owner) == IDYES) {
            if (!UploadCards())
                return false;
            upload = true;
        }
    }
    // Done flags per sub-meter: two sub-meters of one position (archive data)
    // are still asked for one by one.
    std::vector<bool> done(static_cast<size_t>(subs.GetCount()), false);
    bool deferred = false;
    if (!Pass(upload, done, deferred))
        return false;
    if (upload && deferred && !Pass(false, done, deferred))
        return false;
    m_batch->Commit(readings);
    return true;
}

bool CSubReadingTaker::UploadCards()
{
    const QString mismatch = QStringLiteral("抄表卡与购电卡不一致！");
    CCardWriter writer(m_context.port, m_context.owner);
    int count = 0;
    writer.UploadReadingCard();
    writer.GetTransferFields(m_mainCard, count);
    if (m_mainCard.value(0) != m_context.meterNo) {
        PromptBox(mismatch, m_context.owner);
        return false;
    }
    if (m_context.subMeters->GetCount() > 4) {
        PromptBox(QStringLiteral("请准备上传附卡数据！"), m_context.owner);
        writer.UploadReadingCard();
        writer.GetTransferFields(m_attachedCard, count);
        if (m_attachedCard.value(0) != QStringLiteral("9") + m_context.meterNo.right(7)) {
            PromptBox(mismatch, m_context.owner);
            return false;
        }
        m_haveAttached = true;
    }
    return true;
}

bool CSubReadingTaker::PositionData(const CCliSub& sub, CardPosition& position) const
{
    // A position outside 1 to 8, or on the attached card of a meter that
    // needed none, has no card data.
    bool ok = false;
    const int x = sub.GetSubX().trimmed().toInt(&ok);
    if (!ok || x < 1 || x > 8)
        return false;
    const int p = x - 1;
    if (p >= 4 && !m_haveAttached)
        return false;
    const QStringList& fields = p < 4 ? m_mainCard : m_attachedCard;
    const int k = p < 4 ? p : p - 4;
    const QString presence = fields.value(1);
    if (k >= presence.size())
        return false;
    position.presence = presence.mid(k, 1);
    position.date = fields.value(2 + 3 * k);
    position.pulses = fields.value(3 + 3 * k);
    position.steal = fields.value(4 + 3 * k);
    return true;
}

bool CSubReadingTaker::Pass(bool upload, std::vector<bool>& done, bool& deferred)
{
    CCliSubList& subs = *m_context.subMeters;
    for (int i = 0; i < subs.GetCount(); ++i) {
        if (done[static_cast<size_t>(i)])
            continue;
        CCliSub& sub = *subs.At(i);
        switch (upload ? ReadFromCard(sub) : TypeReading(sub)) {
        case Stored:
        case Skipped:
            done[static_cast<size_t>(i)] = true;
            break;
        case Deferred:
            deferred = true;
            break;
        case Again: // not returned by the two steps: they enter anew themselves
        case Abandon:
            return false;
        }
    }
    return true;
}

CSubReadingTaker::Outcome CSubReadingTaker::TypeReading(CCliSub& sub)
{
    Price price;
    if (!PriceOf(sub, price))
        return Abandon;
    for (;;) {
        CSubReadingDlg dialog(m_context.owner);
        dialog.m_strSubNo = sub.GetSubNo();
        dialog.m_strLastRead = Fixed2(sub.GetThisRead());
        if (RunOperatorDialog(dialog) != IDOK) {
            if (AskBox(QStringLiteral("确实要放弃对该表录入数据吗？"), m_context.owner) != IDYES)
                continue;
            if ((HasRight(kRightTopUpUnread) || HasRight(kRightRemoveSub)) && !m_context.refundMode)
                return AskBox(QStringLiteral("是否继续执行其他操作？"), m_context.owner) == IDYES ? Skipped : Abandon;
            return Abandon;
        }
        std::unique_ptr<CSubRead> reading = CSubReadingBatch::NewReading(sub, m_context.wrtNum);
        reading->SetThisPulses(-1);
        reading->SetThisRead(CNumEdit::TextToDouble(dialog.m_strThisRead));
        reading->SetStealFlag(0);
        reading->SetReadTime(DayOf(dialog.m_ReadDate));
        if (RoundAmount(reading->GetThisRead() * 100) < RoundAmount(reading->GetLastRead() * 100)) {
            PromptBox(QStringLiteral("本次读数小于上次读数！"), m_context.owner);
            continue;
        }
        const Outcome outcome = AskSubsidy(sub, std::move(reading), QStringLiteral("输入补助量"), price);
        if (outcome != Again)
            return outcome;
    }
}

CSubReadingTaker::Outcome CSubReadingTaker::ReadFromCard(CCliSub& sub)
{
    if (sub.GetThisPulses() == -1) {
        const QString text =
            QStringLiteral("由于附表%1上次抄表是手工录入，必须先用编程器设置并归档后，才能采用遥控卡上传。继续吗？")
                .arg(sub.GetSubNo());
        return AskBox(text, m_context.owner) == IDYES ? Deferred : Abandon;
    }
    CardPosition position;
    if (!PositionData(sub, position) || position.presence != QStringLiteral("0")) {
        const QString text = QStringLiteral("在指定的附表位置没有抄表数据！");
        if (MayPassOver())
            return AskBox(text + QStringLiteral("是否继续？"), m_context.owner) == IDYES ? Skipped : Abandon;
        PromptBox(text, m_context.owner);
        return Abandon;
    }
    const int number = sub.GetSubX().trimmed().toInt();
    const QDateTime readDate = DayOf(ParseDate(position.date.trimmed()));
    const QString dayFormat = QStringLiteral("yyyyMMdd");
    if (readDate.toString(dayFormat) != GetServerDate().toString(dayFormat)) {
        const QString text = QString::asprintf("%d 号附表的抄表日期不是今天！", number);
        if (!MayPassOver()) {
            PromptBox(text, m_context.owner);
            return Abandon;
        }
        if (AskBox(text + QStringLiteral("是否继续？"), m_context.owner) != IDYES)
            return Abandon;
    }
    Price price;
    for (;;) {
        std::unique_ptr<CSubRead> reading = CSubReadingBatch::NewReading(sub, m_context.wrtNum);
        reading->SetThisPulses(position.pulses.trimmed().toInt());
        reading->SetStealFlag(position.steal.trimmed().toInt());
        if (reading->GetThisPulses() < reading->GetLastPulses()) {
            PromptBox(QString::asprintf("%d 号附表的本次脉冲数小于上次脉冲数！", number), nullptr);
            return MayPassOver() ? Skipped : Abandon;
        }
        if (!SetReadingFromPulses(sub, *reading) || (price.index < 0 && !PriceOf(sub, price)))
            return Abandon;
        reading->SetReadTime(readDate);
        const Outcome outcome = AskSubsidy(sub, std::move(reading), QStringLiteral("输入补助量"), price);
        if (outcome != Again)
            return outcome;
    }
}

CSubReadingTaker::Outcome CSubReadingTaker::AskSubsidy(CCliSub& sub, std::unique_ptr<CSubRead> reading,
                                                       const QString& caption, const Price& price, CProgRead* consumed,
                                                       CProgReadList* from)
{
    CSubSubsidyDlg dialog(m_context.owner, caption);
    dialog.m_strSubNo = sub.GetSubNo();
    dialog.m_strLastRead = Fixed2(reading->GetLastRead());
    dialog.m_strThisRead = Fixed2(reading->GetThisRead());
    dialog.m_strUse = Fixed2(reading->GetThisRead() - reading->GetLastRead());
    dialog.m_LastReadDate = sub.GetReadDate();
    dialog.m_ThisReadDate = reading->GetReadTime();
    dialog.m_strPersons = QString::asprintf("%d", m_context.memberNum);
    if (RunOperatorDialog(dialog) != IDOK)
        return AskBox(QStringLiteral("是否重输？"), m_context.owner) == IDYES ? Again : Abandon;
    ChargeReading(*reading, CNumEdit::TextToDouble(dialog.m_strUse), CNumEdit::TextToDouble(dialog.m_strSubsidy),
                  price.index, price.price);
    m_batch->Add(std::move(reading), sub, consumed, from);
    return Stored;
}

bool CSubReadingTaker::PriceOf(const CCliSub& sub, Price& price) const
{
    CPriceVerList prices;
    const CPriceVer* version = prices.FindValidTodayByPriceNo(sub.GetPriceNo());
    if (!version) {
        PromptBox(QStringLiteral("附表%1的价格今天无效，不能计费！").arg(sub.GetSubNo()), m_context.owner);
        return false;
    }
    price.index = version->GetPriceIndex();
    price.price = version->GetPrice();
    return true;
}

bool CSubReadingTaker::SetReadingFromPulses(const CCliSub& sub, CSubRead& reading) const
{
    double thisRead = 0;
    if (!ReadingFromPulses(reading.GetLastRead(), reading.GetLastPulses(), reading.GetThisPulses(), sub.GetSubConst(),
                           thisRead)) {
        PromptBox(QStringLiteral("附表%1的脉冲常数为0，不能由脉冲数计算读数！").arg(sub.GetSubNo()), m_context.owner);
        return false;
    }
    reading.SetThisRead(thisRead);
    return true;
}

bool CSubReadingTaker::TakeProgrammerReadings(CSubReadList& readings)
{
    CCliSubList& subs = *m_context.subMeters;
    if (subs.At(0)->GetThisPulses() == -1) {
        PromptBox(QStringLiteral("由于上次抄表是手工录入，必须先用编程器设置并归档。"), m_context.owner);
        return false;
    }
    for (int i = 0; i < subs.GetCount(); ++i) {
        CCliSub& sub = *subs.At(i);
        CProgReadList& progs = m_batch->NewProgReadList();
        progs.LoadBySubNo(sub.GetSubNo());
        if (progs.GetCount() == 0) {
            const QString text = QStringLiteral("没有附表%1的抄表数据！").arg(sub.GetSubNo());
            if (HasRight(kRightTopUpUnread)) {
                if (AskBox(text + QStringLiteral("是否继续？"), m_context.owner) == IDYES)
                    continue;
                return false;
            }
            PromptBox(text, m_context.owner);
            return false;
        }
        Price price;
        if (!PriceOf(sub, price))
            return false;
        for (int r = 0; r < progs.GetCount(); ++r) {
            CProgRead* prog = progs.At(r);
            Outcome outcome = Again;
            while (outcome == Again) {
                std::unique_ptr<CSubRead> reading = CSubReadingBatch::NewReading(sub, m_context.wrtNum);
                reading->SetThisPulses(prog->GetReadPulses());
                reading->SetReadTime(DayOf(prog->GetReadDate()));
                if (!SetReadingFromPulses(sub, *reading))
                    return false;
                outcome = AskSubsidy(sub, std::move(reading), QStringLiteral("输入补助水量"), price, prog, &progs);
            }
            if (outcome == Abandon)
                return false;
        }
    }
    m_batch->Commit(readings);
    return true;
}

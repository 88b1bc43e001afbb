#include "CPulseReadingArchive.h"

#include "CAdoConnection.h"
#include "CProgRead.h"
#include "CSubRaw.h"
#include "KvMessage.h"
#include "SysGlobals.h"

namespace {

QString Comparison(const CProgRead& last, const CProgRead& next)
{
    return QStringLiteral("上次脉冲数为：%1，上次抄表时间是：%2\n\n本次脉冲数为：%3，本次抄表时间是：%4")
        .arg(last.GetReadPulses())
        .arg(last.GetReadDate().toString(QStringLiteral("yyyy-MM-dd")))
        .arg(next.GetReadPulses())
        .arg(next.GetReadDate().toString(QStringLiteral("yyyy-MM-dd")));
}

} // namespace

CPulseReadingArchive::Result CPulseReadingArchive::ArchiveRow(CSubRawList& staged, CSubRaw* raw, QObject* parent)
{
    CProgRead reading;
    reading.SetSubNo(raw->GetMeterNo() + u'_' + raw->GetSubX());
    reading.SetReadPulses(raw->GetReadPulses());
    reading.SetReadDate(raw->GetReadDate());

    CProgReadList earlier;
    earlier.LoadBySubNo(reading.GetSubNo());
    // Oldest first: the last one is the latest (among equal dates, the last
    // returned).
    auto* last = static_cast<CProgRead*>(earlier.GetTail());
    bool replace = false;
    if (last) {
        const QDate lastDate = last->GetReadDate().date();
        const QDate newDate = reading.GetReadDate().date();
        if (last->GetReadPulses() > reading.GetReadPulses() || lastDate > newDate) {
            PromptBox(Comparison(*last, reading) + QStringLiteral("\n\n数据有误！"), parent);
            return Wrong;
        }
        if (last->GetReadPulses() == reading.GetReadPulses() || lastDate == newDate) {
            if (AskBox(Comparison(*last, reading) + QStringLiteral("\n\n用本次抄数替换上次抄数吗？"), parent) == IDNO)
                return Declined;
            replace = true;
        }
    }

    // The replaced reading goes in the same transaction, so that a failed
    // write keeps it.
    {
        CAdoTransaction transaction(*GetMainDatabase());
        if (replace)
            earlier.Remove(last);
        reading.Save();
        staged.DeleteRow(raw);
        transaction.Commit();
    }
    // Only a committed archive frees the staged record.
    staged.Forget(raw);
    return Written;
}

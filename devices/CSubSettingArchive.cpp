#include "CSubSettingArchive.h"

#include "CAdoConnection.h"
#include "CCliSub.h"
#include "CPreLastWrt.h"
#include "CSubRaw.h"
#include "KvMessage.h"
#include "SysGlobals.h"

#include <memory>

namespace {

bool IsCardNumber(const QString& meterNo)
{
    return meterNo.startsWith(u'9');
}

} // namespace

QString CSubSettingArchive::MeterNoOf(const QString& stagedMeterNo)
{
    return IsCardNumber(stagedMeterNo) ? CPreLastWrtList::FindMeterNoByVNo(stagedMeterNo) : stagedMeterNo;
}

QString CSubSettingArchive::SubXOf(const QString& stagedMeterNo, const QString& stagedSubX)
{
    return IsCardNumber(stagedMeterNo) ? QString::number(stagedSubX.toInt() + 4) : stagedSubX;
}

bool CSubSettingArchive::WriteRow(CSubRawList& staged, CSubRaw* raw, CCliSubList& current, const KvSubSetting& setting,
                                  QObject* parent)
{
    auto record = std::make_unique<CCliSub>();
    record->SetClientNo(setting.clientNo);
    record->SetMeterNo(setting.meterNo);
    record->SetSubX(setting.subX);
    record->SetSubNo(setting.subNo);
    record->SetMeterLevel(setting.level);
    record->SetPriceNo(setting.priceNo);
    record->SetSuperNo(setting.superNo);
    record->SetSubConst(setting.subConst.toInt());
    record->SetReadMode(setting.readMode);
    record->SetInitPulses(setting.initPulses.toInt());
    record->SetInitRead(setting.baseRead.toDouble());
    record->SetThisPulses(record->GetInitPulses());
    record->SetLastPulses(record->GetThisPulses());
    record->SetThisRead(setting.baseRead.toDouble());
    record->SetLastRead(record->GetThisRead());
    record->SetReadDate(setting.readDate);
    record->SetWrtNum(-1);

    CCliSub* existing = nullptr;
    for (CKvObject* object : current.GetObList()) {
        auto* sub = static_cast<CCliSub*>(object);
        if (sub->GetSubX() == setting.subX) {
            existing = sub;
            break;
        }
    }
    if (existing && AskBox(QStringLiteral("附表编号重复！是否用新数据更新旧数据？"), parent) == IDNO)
        return false;

    {
        CAdoTransaction transaction(*GetMainDatabase());
        if (existing) {
            current.UpdateRecord(record.release(), existing); // the list takes the record over
        } else {
            record->Save();
            current.AddRecord(record.release(), nullptr);
        }
        staged.DeleteRow(raw);
        transaction.Commit();
    }
    // Only a committed archive frees the staged record: a failed one leaves
    // it listed, as its row stays staged.
    staged.Forget(raw);
    return true;
}

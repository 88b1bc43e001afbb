#include "CHandReadArchive.h"

#include "CAdoConnection.h"
#include "CCliPre.h"
#include "CHandRead.h"
#include "CHandReadBase.h"
#include "CHandReadRaw.h"
#include "CPreModel.h"
#include "KvMessage.h"
#include "KvUtil.h"
#include "SysGlobals.h"

namespace {

bool refuse(const char* text, const QString& meterNo, QObject* parent)
{
    PromptBox(QString::fromUtf8(text).arg(meterNo), parent);
    return false;
}

} // namespace

bool CHandReadArchive::ArchiveRow(CHandReadRawList& staged, CHandReadRaw* raw, QObject* parent)
{
    const QString meterNo = raw->GetMeterNo();
    CCliPreList meters;
    const CCliPre* meter = meters.FindCurrentByMeterNo(meterNo);
    if (!meter)
        return refuse("没有表号为%1的电表档案！", meterNo, parent);
    CPreModelList models;
    const CPreModel* model = models.FindByModelId(meter->GetModelId());
    if (!model)
        return refuse("表号为%1的电表类型错误！", meterNo, parent);
    const int mul = model->GetInnerMul() * meter->GetCt() * meter->GetPt();

    CHandReadBaseList bases;
    CHandReadBase* base = bases.LoadByMeterNo(meter->GetMeterNo());
    if (!base)
        return refuse("表号为%1的电表没有抄表档案", meterNo, parent);
    // -1 marks a meter never read; any other value below zero can only be a
    // broken row, and would inflate the consumption.
    if (RoundAmount(base->GetThisRead()) < 0)
        return refuse("表号为%1的电表的上次抄表量小于0！可能是没有对电表开户。", meterNo, parent);
    // Readings keep every digit the meter shows: a six-figure reading held in
    // single precision would lose its decimals, and the use with them.
    const double lastRead = base->GetThisRead();
    const double thisRead = raw->GetAccuUse();
    if (lastRead > thisRead)
        return refuse("表号为%1的电表的本次抄表量少于上次抄表量！", meterNo, parent);

    base->SetLastReadTime(base->GetThisReadTime());
    base->SetThisReadTime(raw->GetReadTime());
    base->SetLastRead(lastRead);
    base->SetThisRead(thisRead);
    base->SetState(CKvPersistance::StateChanged);

    CHandRead reading;
    reading.SetMeterNo(meter->GetMeterNo());
    reading.SetCliPreIndex(meter->GetCliPreIndex());
    reading.SetMul(mul);
    reading.SetLastRead(lastRead);
    reading.SetThisRead(thisRead);
    reading.SetLastReadTime(base->GetLastReadTime());
    reading.SetThisReadTime(base->GetThisReadTime());
    reading.SetRealUse((thisRead - lastRead) * mul);

    {
        CAdoTransaction transaction(*GetMainDatabase());
        base->Save();
        reading.Save();
        // The staged row goes with the reading: a failure keeps both, so a
        // reading is never archived twice.
        raw->Delete();
        transaction.Commit();
    }
    staged.Remove(raw);
    return true;
}

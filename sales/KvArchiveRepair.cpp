#include "KvArchiveRepair.h"

#include "CCardClassifier.h"
#include "CCliPre.h"
#include "CPreLastWrt.h"
#include "SysGlobals.h"

void RepairImageFromCard(CPreLastWrt& image, const CCliPre& meter, const CardFigures& card, const QString& opWord)
{
    image.SetMeterNo(meter.GetMeterNo());
    image.SetWrtNum(card.cardWriteCount);
    image.SetWrtValue(card.cardAmount);
    image.SetLimitValue(meter.GetLimitValue());
    image.SetAlarmShold(meter.GetAlarmShold());
    image.SetCloseShold(meter.GetCloseShold());
    image.SetAccuBuy(card.cardPurchase);
    image.SetAccuUse(card.cardUse);
    image.SetAccuRemain(card.cardRemaining);
    image.SetWrtTime(GetServerTime());
    image.SetOpMode(opWord);
    image.SetState(CPreLastWrtList::ExistsMeterNo(meter.GetMeterNo()) ? CKvPersistance::StateChanged
                                                                      : CKvPersistance::StateNew);
    image.Save();
}

#include "CCarrierLink.h"

#include "CCliPre.h"
#include "CClient.h"
#include "KvGbk.h"
#include "KvUtil.h"

#include <cstring>

namespace {

// The library gets GBK; a character it cannot hold is refused, not sent as '?'.
QByteArray Gbk(const QString& text, const QString& what)
{
    return GbkEncodeExact(text, what);
}

const QString kMeterNo = QStringLiteral("电表编号");

} // namespace

CCarrierLink::CCarrierLink() : m_library(LibraryName()) {}

void CCarrierLink::CopyText(char* field, int size, const QString& text, const QString& what)
{
    std::memset(field, 0, static_cast<size_t>(size));
    const QByteArray bytes = Gbk(text, what);
    // A lead byte of 0x81 or more starts a two-byte character.
    int length = 0;
    while (length < bytes.size()) {
        const int step = static_cast<unsigned char>(bytes[length]) >= 0x81 ? 2 : 1;
        if (length + step > size - 1)
            break;
        length += step;
    }
    std::memcpy(field, bytes.constData(), static_cast<size_t>(length));
}

CarrierMeterInfo CCarrierLink::MakeMeterInfo(const CCliPre& meter, const CClient* user)
{
    CarrierMeterInfo record;
    std::memset(&record, 0, sizeof record);
    CopyText(record.meterNo, sizeof record.meterNo, meter.GetMeterNo(), kMeterNo);
    CopyText(record.clientNo, sizeof record.clientNo, meter.GetClientNo(), QStringLiteral("用户代码"));
    CopyText(record.clientName, sizeof record.clientName, user ? user->GetClientName() : QString(),
             QStringLiteral("用户姓名"));
    CopyText(record.address, sizeof record.address, user ? user->GetAddr() : QString(), QStringLiteral("地址"));
    const QString modelId = meter.GetModelId();
    const QString kind = !modelId.contains(QLatin1String("DDSY")) && modelId.contains(QLatin1String("DTSY"))
                             ? QStringLiteral("三功预付")
                             : QStringLiteral("单功预付");
    CopyText(record.meterKind, sizeof record.meterKind, kind, QStringLiteral("电表种类"));
    record.ctPt = meter.GetCt() * meter.GetPt();
    const QString level = meter.GetMeterLevel();
    record.level = level == QStringLiteral("一级") ? 1 : level == QStringLiteral("二级") ? 2 : 0;
    CopyText(record.superNo, sizeof record.superNo, meter.GetSuperNo(), QStringLiteral("上级表号"));
    return record;
}

QStringList CCarrierLink::CutTexts(const CClient* user)
{
    QStringList cut;
    if (!user)
        return cut;
    // Room for the terminator: a field of n bytes keeps n - 1.
    if (GbkByteLength(user->GetClientName()) > int(sizeof CarrierMeterInfo::clientName) - 1)
        cut << QStringLiteral("用户姓名");
    if (GbkByteLength(user->GetAddr()) > int(sizeof CarrierMeterInfo::address) - 1)
        cut << QStringLiteral("地址");
    return cut;
}

bool CCarrierLink::AgreeToAdd(CarrierMeterInfo& record)
{
    auto toTmp = m_library.GetProc<KvPondrakeToTmpFn>("PondrakeToTmp");
    if (!toTmp)
        return true;
    const int answer = toTmp(&record);
    if (answer > 0)
        return true;
    if (answer != -5)
        return false;
    auto edit = m_library.GetProc<KvEditMeterInfoFromCarrierFn>("EditMeterInfoFromCarrier");
    return edit && edit(&record, GbkEncode(QStringLiteral("启用")).constData()) > 0;
}

bool CCarrierLink::AgreeToModify(CarrierMeterInfo& record)
{
    auto edit = m_library.GetProc<KvEditMeterInfoFromCarrierFn>("EditMeterInfoFromCarrier");
    return !edit || edit(&record, "0") > 0;
}

void CCarrierLink::ForgetAdded(const QString& meterNo)
{
    if (auto forget = m_library.GetProc<KvDeleteMeterInfoFromTmpFn>("DeleteMeterInfoFromTmp"))
        forget(Gbk(meterNo, kMeterNo).constData());
}

void CCarrierLink::DeleteMeter(const QString& meterNo)
{
    if (auto remove = m_library.GetProc<KvDeleteMeterFromCarrierFn>("DeleteMeterFromCarrier"))
        remove(Gbk(meterNo, kMeterNo).constData());
}

bool CCarrierLink::PauseMeter(const QString& meterNo)
{
    auto pause = m_library.GetProc<KvPauseMeterFromCarrierFn>("PauseMeterFromCarrier");
    return !pause || pause(Gbk(meterNo, kMeterNo).constData(), GbkEncode(QStringLiteral("停用")).constData()) > 0;
}

bool CCarrierLink::ReOpenAccount(const QString& meterNo, double used)
{
    auto reopen = m_library.GetProc<KvReOpenAccountInCarrierFn>("ReOpenAccountInCarrier");
    return !reopen || reopen(Gbk(meterNo, kMeterNo).constData(), used, 0, 0) > 0;
}

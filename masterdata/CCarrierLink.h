#pragma once

#include "CDynamicLibrary.h"
#include "CarrierMeterInfo.h"

#include <QString>
#include <QStringList>

class CCliPre;
class CClient;

// The carrier reading program's view of our meters, kept through its library
// "Pondrake.dll". Built for one meter operation: the library is loaded then
// and freed when the link goes, on every path. A missing library or export
// counts as agreement, so the operation goes on without the carrier.
class CCarrierLink
{
public:
    static QString LibraryName() { return QStringLiteral("Pondrake.dll"); }

    CCarrierLink();

    CCarrierLink(const CCarrierLink&) = delete;
    CCarrierLink& operator=(const CCarrierLink&) = delete;

    // The record of a meter and its user. A text longer than its field is cut
    // at a whole GBK character, with room left for the terminator; a text GBK
    // cannot hold throws CKvException naming the field (`what`).
    static CarrierMeterInfo MakeMeterInfo(const CCliPre& meter, const CClient* user);
    static void CopyText(char* field, int size, const QString& text, const QString& what = QStringLiteral("文字"));
    // The names of the user's texts that the record would cut ("用户姓名",
    // "地址"): the operator is told before the carrier is asked.
    static QStringList CutTexts(const CClient* user);

    // A new meter: true when it may be saved. A number the carrier already
    // knows (-5) is enabled again ("启用"); without that export it is refused.
    bool AgreeToAdd(CarrierMeterInfo& record);
    // A modified meter (status "0"): true when it may be saved.
    bool AgreeToModify(CarrierMeterInfo& record);
    // The added meter could not be saved: the carrier forgets it.
    void ForgetAdded(const QString& meterNo);
    // Before the meter is deleted from the database; the answer is not looked at.
    void DeleteMeter(const QString& meterNo);
    // Removing a meter ("停用"): true when it may be closed.
    bool PauseMeter(const QString& meterNo);
    // An account opening with the energy already used on the meter: true
    // when it may go on.
    bool ReOpenAccount(const QString& meterNo, double used);

private:
    CDynamicLibrary m_library;
};

#include "CSubRead.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CSysPara.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

CSubRead::CSubRead() : m_ReadTime(GetServerDate()) {}

void CSubRead::InsertNew()
{
    m_ReadIndex = GetMainSysPara()->GetIntPara(QStringLiteral("SubReadIndex"), 1);
    Insert();
}

void CSubRead::Insert()
{
    // The key goes in quoted; the INTEGER column converts it to a number.
    GetMainDatabase()->Execute(
        KvFormatSql(
            QStringLiteral("insert into SubRead(ReadIndex, SubNo, CliSubIndex, WrtIndex, WrtNum, LastRead, ThisRead, "
                           "\t\t\tThisPulses, LastPulses, RealUse, StealFlag, ReadTime, FreeValue, BuyValue, "
                           "PriceIndex, Price, Fee) "
                           "\t\t\tvalues('%d', '%s', %d, %d, %d, %f, %f, %d, %d, %f, %d, CDate('%s'), %f, %f, %d, "
                           "%f, %f)"),
            m_ReadIndex, m_SubNo, m_CliSubIndex, m_WrtIndex, m_WrtNum, m_LastRead, m_ThisRead, m_ThisPulses,
            m_LastPulses, m_RealUse, m_StealFlag, KvDateText(m_ReadTime.date()), m_FreeValue, m_BuyValue, m_PriceIndex,
            m_Price, m_Fee),
        QString());
    SetState(StateStored);
}

void CSubRead::Delete()
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from SubRead where ReadIndex = %d"), m_ReadIndex),
                               QString());
}

void CSubRead::SetWrtIndex(int wrtIndex)
{
    m_WrtIndex = wrtIndex;
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("update SubRead set WrtIndex = %d where ReadIndex = %d"), m_WrtIndex, m_ReadIndex),
        QString());
}

QList<CKvObject*>& CSubReadList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto read = std::make_unique<CSubRead>();
        read->SetReadIndex(rs.GetFieldInt(QStringLiteral("ReadIndex")));
        read->SetSubNo(rs.GetFieldString(QStringLiteral("SubNo")));
        read->SetCliSubIndex(rs.GetFieldInt(QStringLiteral("CliSubIndex")));
        read->m_WrtIndex = rs.GetFieldInt(QStringLiteral("WrtIndex"));
        read->SetWrtNum(rs.GetFieldInt(QStringLiteral("WrtNum")));
        read->SetLastRead(rs.GetFieldDouble(QStringLiteral("LastRead")));
        read->SetThisRead(rs.GetFieldDouble(QStringLiteral("ThisRead")));
        read->SetThisPulses(rs.GetFieldInt(QStringLiteral("ThisPulses")));
        read->SetLastPulses(rs.GetFieldInt(QStringLiteral("LastPulses")));
        read->SetRealUse(rs.GetFieldDouble(QStringLiteral("RealUse")));
        read->SetStealFlag(rs.GetFieldInt(QStringLiteral("StealFlag")));
        read->SetReadTime(rs.GetFieldDateTime(QStringLiteral("ReadTime")));
        read->SetFreeValue(rs.GetFieldDouble(QStringLiteral("FreeValue")));
        read->SetBuyValue(rs.GetFieldDouble(QStringLiteral("BuyValue")));
        read->SetPriceIndex(rs.GetFieldInt(QStringLiteral("PriceIndex")));
        read->SetPrice(rs.GetFieldDouble(QStringLiteral("Price")));
        read->SetFee(rs.GetFieldDouble(QStringLiteral("Fee")));
        return read.release();
    });
}

QList<CKvObject*>& CSubReadList::LoadByWrtNum(const QString& meterNo, int wrtNum)
{
    return Load(KvFormatSql(QStringLiteral("select * from SubRead where WrtNum = %d and CliSubIndex in "
                                           "\t\t(select CliSubIndex from CliSub where MeterNo = '%s') order by SubNo"),
                            wrtNum, meterNo));
}

CSubRead* CSubReadList::FindBySubNo(const QString& subNo, const CSubRead* start) const
{
    CKvObject* object = start ? GetNext(start) : GetHead();
    for (; object; object = GetNext(object)) {
        auto* read = static_cast<CSubRead*>(object);
        if (read->GetSubNo() == subNo)
            return read;
    }
    return nullptr;
}

void CSubReadList::DeleteBySubNo(const QString& subNo)
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from SubRead where SubNo = '%s'"), subNo), QString());
}

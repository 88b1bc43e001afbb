#include "CCliSub.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "COperator.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "KvUtil.h"
#include "KvVersionChange.h"
#include "SysGlobals.h"

#include <memory>

namespace {

const QString kUpdateFailed = QStringLiteral("向数据库更新附表时发生错误！");
const QString kDeleteFailed = QStringLiteral("从数据库删除附表时发生错误！");

} // namespace

CCliSub::CCliSub()
    : m_InitDate(GetServerDate()), m_ReadDate(GetServerDate()), m_BeginDate(GetServerDate()),
      m_EndDate(ParseDate(QStringLiteral("2050-12-31"))), m_OperatorNo(GetCurrentOperator()->GetOperatorNo()),
      m_ModiTime(GetServerTime())
{
}

void CCliSub::InsertNew()
{
    m_CliSubIndex = GetMainSysPara()->GetIntPara(QStringLiteral("CliSubIndex"), 1);
    Insert();
}

void CCliSub::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into CliSub(CliSubIndex, ClientNo, MeterNo, SubX, SubNo, SubConst, "
                                   "PriceNo, \t\tInitPulses, InitRead, InitDate, ReadMode, ThisPulses, LastPulses, "
                                   "ThisRead, LastRead, \t\tWrtNum, WrtIndex, ReadDate, MeterLevel, SuperNo, Descrip, "
                                   "BeginDate, EndDate, OperatorNo, ModiTime) \t\tvalues(%d, '%s', '%s', '%s', "
                                   "'%s', %d, '%s', %d, %f, CDate('%s'), '%s', %d, %d, %f, %f, %d, %d, CDate('%s'), "
                                   "'%s', '%s', '%s', CDate('%s'), CDate('%s'), '%s', CDate('%s'))"),
                    m_CliSubIndex, m_ClientNo, m_MeterNo, m_SubX, m_SubNo, m_SubConst, m_PriceNo, m_InitPulses,
                    m_InitRead, KvDateText(m_InitDate.date()), m_ReadMode, m_ThisPulses, m_LastPulses, m_ThisRead,
                    m_LastRead, m_WrtNum, m_WrtIndex, KvDateText(m_ReadDate.date()), m_MeterLevel, m_SuperNo, m_Descrip,
                    KvDateText(m_BeginDate.date()), KvDateText(m_EndDate.date()), m_OperatorNo, KvDateText(m_ModiTime)),
        QString());
    SetState(StateStored);
}

void CCliSub::Delete()
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from CliSub where CliSubIndex = %d"), m_CliSubIndex),
                       QString(), kDeleteFailed);
}

void CCliSub::Update()
{
    KvCloseVersionRow(QStringLiteral("CliSub"), QStringLiteral("CliSubIndex"), m_CliSubIndex, m_EndDate, m_OperatorNo,
                      m_ModiTime, QString(), kUpdateFailed);
    SetState(StateStored);
}

bool CCliSub::IsEqual(const CCliSub& other) const
{
    return m_MeterLevel == other.m_MeterLevel && m_SuperNo == other.m_SuperNo && m_PriceNo == other.m_PriceNo &&
           m_SubConst == other.m_SubConst && m_ReadMode == other.m_ReadMode;
}

bool CCliSub::IsCurrent() const
{
    return m_EndDate.date() == QDate(2050, 12, 31);
}

void CCliSub::CloseToday()
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("update CliSub set EndDate = CDate('%s') where CliSubIndex = %d"),
                                   KvDateText(GetServerDate().date()), m_CliSubIndex),
                       QString(), kUpdateFailed);
}

void CCliSub::UpdateReading(const SubReading& reading)
{
    m_WrtIndex = reading.m_WrtIndex;
    m_WrtNum = reading.m_WrtNum;
    m_ThisPulses = reading.m_ThisPulses;
    m_LastPulses = reading.m_LastPulses;
    m_ThisRead = reading.m_ThisRead;
    m_LastRead = reading.m_LastRead;
    m_ReadDate = reading.m_ReadDate;
    KvExecuteRowChange(KvFormatSql(QStringLiteral("update CliSub set WrtNum = %d, WrtIndex = %d, ThisPulses = %d, "
                                                  "LastPulses = %d, \t\tThisRead = %f, LastRead = %f, ReadDate = "
                                                  "CDate('%s') where CliSubIndex = %d"),
                                   m_WrtNum, m_WrtIndex, m_ThisPulses, m_LastPulses, m_ThisRead, m_LastRead,
                                   KvDateText(m_ReadDate.date()), m_CliSubIndex),
                       QString(), kUpdateFailed);
}

QList<CKvObject*>& CCliSubList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto sub = std::make_unique<CCliSub>();
        sub->SetCliSubIndex(rs.GetFieldInt(QStringLiteral("CliSubIndex")));
        sub->SetClientNo(rs.GetFieldString(QStringLiteral("ClientNo")));
        sub->SetMeterNo(rs.GetFieldString(QStringLiteral("MeterNo")));
        sub->SetSubX(rs.GetFieldString(QStringLiteral("SubX")));
        sub->SetSubNo(rs.GetFieldString(QStringLiteral("SubNo")));
        sub->SetSubConst(rs.GetFieldInt(QStringLiteral("SubConst")));
        sub->SetPriceNo(rs.GetFieldString(QStringLiteral("PriceNo")));
        sub->SetInitPulses(rs.GetFieldInt(QStringLiteral("InitPulses")));
        sub->SetInitRead(rs.GetFieldDouble(QStringLiteral("InitRead")));
        sub->SetInitDate(rs.GetFieldDateTime(QStringLiteral("InitDate")));
        sub->SetReadMode(rs.GetFieldString(QStringLiteral("ReadMode")));
        sub->SetThisPulses(rs.GetFieldInt(QStringLiteral("ThisPulses")));
        sub->SetLastPulses(rs.GetFieldInt(QStringLiteral("LastPulses")));
        sub->SetThisRead(rs.GetFieldDouble(QStringLiteral("ThisRead")));
        sub->SetLastRead(rs.GetFieldDouble(QStringLiteral("LastRead")));
        sub->SetWrtNum(rs.GetFieldInt(QStringLiteral("WrtNum")));
        sub->SetWrtIndex(rs.GetFieldInt(QStringLiteral("WrtIndex")));
        sub->SetReadDate(rs.GetFieldDateTime(QStringLiteral("ReadDate")));
        sub->SetMeterLevel(rs.GetFieldString(QStringLiteral("MeterLevel")));
        sub->SetSuperNo(rs.GetFieldString(QStringLiteral("SuperNo")));
        sub->SetDescrip(rs.GetFieldString(QStringLiteral("Descrip")));
        sub->SetBeginDate(rs.GetFieldDateTime(QStringLiteral("BeginDate")));
        sub->SetEndDate(rs.GetFieldDateTime(QStringLiteral("EndDate")));
        sub->SetOperatorNo(rs.GetFieldString(QStringLiteral("OperatorNo")));
        sub->SetModiTime(rs.GetFieldDateTime(QStringLiteral("ModiTime")));
        return sub.release();
    });
}

QList<CKvObject*>& CCliSubList::LoadCurrentByMeterNo(const QString& meterNo)
{
    return Load(KvFormatSql(QStringLiteral("select * from CliSub where MeterNo = '%s' and BeginDate <= CDate('%s') "
                                           "\t\tand EndDate = CDate('2050-12-31') order by SubNo"),
                            meterNo, KvDateText(GetServerDate().date())));
}

void CCliSubList::UpdateRecord(CCliSub* newRecord, CCliSub* oldRecord)
{
    KvChangeVersion(*this, newRecord, oldRecord, QStringLiteral("向数据库更新附表发生位置错误！"));
}

bool CCliSubList::PriceNoInUse(const QString& priceNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select SubNo from CliSub where PriceNo = '%s'"), priceNo), QString());
}

bool CCliSubList::ExistsForMeterNo(const QString& meterNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select SubNo from CliSub where MeterNo = '%s'"), meterNo), QString());
}

bool CCliSubList::ExistsCurrentForMeterNo(const QString& meterNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select SubNo from CliSub where MeterNo = '%s' and EndDate = CDate('2050-12-31')"),
                    meterNo),
        QString());
}

void CCliSubList::DeleteBySubNo(const QString& subNo)
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from CliSub where SubNo = '%s'"), subNo), QString(),
                       kDeleteFailed);
}

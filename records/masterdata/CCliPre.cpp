#include "CCliPre.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "COperator.h"
#include "CPreLastWrt.h"
#include "CSysPara.h"
#include "CWrtRecord.h"
#include "CurrentOperator.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "KvUtil.h"
#include "KvVersionChange.h"
#include "SysGlobals.h"

#include <memory>

CCliPre::CCliPre()
    : m_OperatorNo(GetCurrentOperator()->GetOperatorNo()), m_BeginDate(GetServerDate()),
      m_EndDate(ParseDate(QStringLiteral("2050-12-31"))), m_ModiTime(GetServerTime())
{
    m_prices.SetOwnerRecord(this);
}

void CCliPre::InsertNew()
{
    if (m_ClientNo.isEmpty() || m_MeterNo.isEmpty() || m_ModelId.isEmpty())
        throw CKvException(QStringLiteral("向数据库添加电表时发生错误！"));
    m_CliPreIndex = GetMainSysPara()->GetIntPara(QStringLiteral("CliPreIndex"), 1);
    Insert();
}

void CCliPre::Insert()
{
    KvWriteWithChildren(m_prices, QStringLiteral("向数据库增加预付费表时发生错误！"), [&] {
        GetMainDatabase()->Execute(
            KvFormatSql(QStringLiteral("insert into CliPre(CliPreIndex, ClientNo, MeterNo, ModelId, Ct, Pt, "
                                       "PrePayRate, \t\tTTWaste, TLWaste, MeterLevel, SuperNo, LimitValue, AlarmShold, "
                                       "CloseShold, Pulses, \t\tOutState, Descrip, State, OperatorNo, BeginDate, "
                                       "EndDate, ModiTime) \t\tvalues(%d, '%s', '%s', '%s', %d, %d, %d, %f, %f, "
                                       "'%s', '%s', '%s', %d, %d, %d, '%s', '%s', '%s', '%s', CDate('%s'), "
                                       "CDate('%s'), CDate('%s'))"),
                        m_CliPreIndex, m_ClientNo, m_MeterNo, m_ModelId, m_Ct, m_Pt, m_PrePayRate, m_TTWaste, m_TLWaste,
                        m_MeterLevel, m_SuperNo, m_LimitValue, m_AlarmShold, m_CloseShold, m_Pulses, m_OutState,
                        m_Descrip, m_State, m_OperatorNo, KvDateText(m_BeginDate.date()), KvDateText(m_EndDate.date()),
                        KvDateText(m_ModiTime)),
            QString());
        m_prices.SaveAll();
    });
    SetState(StateStored);
}

void CCliPre::Delete()
{
    KvWriteWithChildren(m_prices, QStringLiteral("向数据库删除电表时发生错误！"), [&] {
        CWrtRecordList::DeleteByCliPreIndex(m_CliPreIndex);
        m_prices.DeleteAll();
        KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from CliPre where CliPreIndex = %d"), m_CliPreIndex),
                           QString());
    });
}

void CCliPre::Update()
{
    KvCloseVersionRow(QStringLiteral("CliPre"), QStringLiteral("CliPreIndex"), m_CliPreIndex, m_EndDate, m_OperatorNo,
                      m_ModiTime, QString(), QStringLiteral("向数据库更新电表时发生错误！"));
    SetState(StateStored);
}

void CCliPre::CloseToday()
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("update CliPre set EndDate = CDate('%s') where CliPreIndex = %d"),
                                   KvDateText(GetServerDate()), m_CliPreIndex),
                       QString(), QStringLiteral("向数据库更新电表时发生错误！"));
}

bool CCliPre::IsEqual(const CCliPre& other) const
{
    const auto cents = [](double value) { return RoundAmount(value * 100); };
    if (m_ClientNo != other.m_ClientNo || m_MeterNo != other.m_MeterNo || m_ModelId != other.m_ModelId ||
        m_Ct != other.m_Ct || m_Pt != other.m_Pt || m_PrePayRate != other.m_PrePayRate ||
        cents(m_TTWaste) != cents(other.m_TTWaste) || cents(m_TLWaste) != cents(other.m_TLWaste) ||
        m_MeterLevel != other.m_MeterLevel || m_SuperNo != other.m_SuperNo || m_LimitValue != other.m_LimitValue ||
        m_AlarmShold != other.m_AlarmShold || m_CloseShold != other.m_CloseShold || m_Pulses != other.m_Pulses ||
        m_OutState != other.m_OutState || m_Descrip != other.m_Descrip)
        return false;
    if (m_prices.GetCount() != other.m_prices.GetCount())
        return false;
    for (int i = 0; i < m_prices.GetCount(); ++i) {
        if (m_prices.At(i)->GetPriceNo() != other.m_prices.At(i)->GetPriceNo() ||
            m_prices.At(i)->GetPricePercent() != other.m_prices.At(i)->GetPricePercent())
            return false;
    }
    return true;
}

int CCliPre::GetPreLastWrt(CPreLastWrt& out) const
{
    CPreLastWrtList list;
    const CPreLastWrt* found = list.LoadByMeterNo(m_MeterNo);
    if (!found)
        return 0;
    out = *found;
    return 1;
}

void CCliPre::SetPrePrices(const CPrePrice* shares, int count)
{
    m_prices.Clear();
    for (int i = 0; i < count; ++i) {
        auto* share = new CPrePrice;
        share->SetPriceX(shares[i].GetPriceX());
        share->SetPriceNo(shares[i].GetPriceNo());
        share->SetPricePercent(shares[i].GetPricePercent());
        m_prices.AppendRecord(share);
    }
}

QList<CKvObject*>& CCliPreList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto meter = std::make_unique<CCliPre>();
        meter->SetCliPreIndex(rs.GetFieldInt(QStringLiteral("CliPreIndex")));
        meter->SetClientNo(rs.GetFieldString(QStringLiteral("ClientNo")));
        meter->SetMeterNo(rs.GetFieldString(QStringLiteral("MeterNo")));
        meter->SetModelId(rs.GetFieldString(QStringLiteral("ModelId")));
        meter->SetCt(rs.GetFieldInt(QStringLiteral("Ct")));
        meter->SetPt(rs.GetFieldInt(QStringLiteral("Pt")));
        meter->SetPrePayRate(rs.GetFieldInt(QStringLiteral("PrePayRate")));
        meter->SetTTWaste(rs.GetFieldDouble(QStringLiteral("TTWaste")));
        meter->SetTLWaste(rs.GetFieldDouble(QStringLiteral("TLWaste")));
        meter->SetMeterLevel(rs.GetFieldString(QStringLiteral("MeterLevel")));
        meter->SetSuperNo(rs.GetFieldString(QStringLiteral("SuperNo")));
        meter->SetLimitValue(rs.GetFieldString(QStringLiteral("LimitValue")));
        meter->SetAlarmShold(rs.GetFieldInt(QStringLiteral("AlarmShold")));
        meter->SetCloseShold(rs.GetFieldInt(QStringLiteral("CloseShold")));
        meter->SetPulses(rs.GetFieldInt(QStringLiteral("Pulses")));
        meter->SetOutState(rs.GetFieldString(QStringLiteral("OutState")));
        meter->SetDescrip(rs.GetFieldString(QStringLiteral("Descrip")));
        meter->SetState(rs.GetFieldString(QStringLiteral("State")));
        meter->SetOperatorNo(rs.GetFieldString(QStringLiteral("OperatorNo")));
        meter->SetBeginDate(rs.GetFieldDateTime(QStringLiteral("BeginDate")));
        meter->SetEndDate(rs.GetFieldDateTime(QStringLiteral("EndDate")));
        meter->SetModiTime(rs.GetFieldDateTime(QStringLiteral("ModiTime")));
        meter->GetPrePriceList().LoadByCliPreIndex(meter->GetCliPreIndex());
        return meter.release();
    });
}

QList<CKvObject*>& CCliPreList::LoadCurrentByClientNo(const QString& clientNo)
{
    return Load(KvFormatSql(QStringLiteral("select * from CliPre where ClientNo = '%s' and \t\tEndDate = "
                                           "CDate('2050-12-31') order by MeterNo, CliPreIndex"),
                            clientNo));
}

CCliPre* CCliPreList::FindCurrentByMeterNo(const QString& meterNo)
{
    Load(KvFormatSql(QStringLiteral("select * from CliPre where MeterNo = '%s' \t\tand EndDate = CDate('2050-12-31')"),
                     meterNo));
    return static_cast<CCliPre*>(GetHead());
}

void CCliPreList::UpdateVersion(CCliPre* newRecord, CCliPre* oldRecord)
{
    KvChangeVersion(*this, newRecord, oldRecord, QStringLiteral("向数据库更新用户配表发生位置错误！"));
}

namespace {

bool meterRowExists(const QString& condition, const QString& value)
{
    return GetMainDatabase()->RecordExists(KvFormatSql(QStringLiteral("select CliPreIndex from CliPre where %s"),
                                                       KvSqlFragment{KvFormatSql(condition, value)}),
                                           QString());
}

} // namespace

bool CCliPreList::ExistsCurrentMeterNo(const QString& meterNo)
{
    return meterRowExists(QStringLiteral("MeterNo = '%s' and EndDate = CDate('2050-12-31')"), meterNo);
}

bool CCliPreList::ExistsForClient(const QString& clientNo)
{
    return meterRowExists(QStringLiteral("ClientNo = '%s'"), clientNo);
}

bool CCliPreList::ExistsForOperator(const QString& operatorNo)
{
    return meterRowExists(QStringLiteral("OperatorNo = '%s'"), operatorNo);
}

bool CCliPreList::ExistsForModel(const QString& modelId)
{
    return meterRowExists(QStringLiteral("ModelId = '%s'"), modelId);
}

void CCliPreList::DeleteByClientAndMeter(const QString& clientNo, const QString& meterNo)
{
    KvExecuteRowChange(
        KvFormatSql(QStringLiteral("delete from CliPre where ClientNo = '%s' and MeterNo = '%s'"), clientNo, meterNo),
        QString(), QStringLiteral("从数据库删除电表时发生错误！"));
}

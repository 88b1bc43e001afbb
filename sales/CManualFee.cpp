#include "CManualFee.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvSql.h"
#include "SysGlobals.h"

CManualFee::CManualFee() : m_WrtTime(GetServerTime()) {}

void CManualFee::Update()
{
    GetMainDatabase()->Execute(
        KvFormatSql(
            QStringLiteral("update ManualFee set         MeterNo = '%s', WrtNum = %d, WrtIndex = %d, "
                           "ClientName = '%s',          Department = '%s', ClientNo = '%s', YearMonth = '%s', "
                           "SubRead = %f,          ElecRead = %f, SubFee = %f, ElecFee = %f, TenementArea = %f, "
                           "         Fee = %f, TotalFee = %f, TeneFee = %f, State = '%s', WrtTime = CDate('%s'), "
                           "OperatorName = '%s'         where ManualIndex = %d"),
            m_MeterNo, m_WrtNum, m_WrtIndex, m_ClientName, m_Department, m_ClientNo, m_YearMonth, m_SubRead, m_ElecRead,
            m_SubFee, m_ElecFee, m_TenementArea, m_Fee, m_TotalFee, m_TeneFee, m_State, KvDateText(m_WrtTime),
            m_OperatorName, m_ManualIndex),
        QString());
    SetState(StateStored);
}

void CManualFee::MarkCollected(int wrtIndex, const QDateTime& wrtTime, const QString& operatorName)
{
    m_WrtIndex = wrtIndex;
    m_State = QStringLiteral("已收费");
    m_WrtTime = wrtTime;
    m_OperatorName = operatorName;
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("update ManualFee set WrtIndex = %d, State = '%s', WrtTime = CDate('%s'), "
                                   "OperatorName = '%s' \t\twhere ManualIndex = %d"),
                    m_WrtIndex, m_State, KvDateText(m_WrtTime), m_OperatorName, m_ManualIndex),
        QString());
}

QList<CKvObject*>& CManualFeeList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto* fee = new CManualFee;
        fee->SetManualIndex(rs.GetFieldInt(QStringLiteral("ManualIndex")));
        fee->SetMeterNo(rs.GetFieldString(QStringLiteral("MeterNo")));
        fee->SetWrtNum(rs.GetFieldInt(QStringLiteral("WrtNum")));
        fee->SetWrtIndex(rs.GetFieldInt(QStringLiteral("WrtIndex")));
        fee->SetClientName(rs.GetFieldString(QStringLiteral("ClientName")));
        fee->SetDepartment(rs.GetFieldString(QStringLiteral("Department")));
        fee->SetClientNo(rs.GetFieldString(QStringLiteral("ClientNo")));
        fee->SetYearMonth(rs.GetFieldString(QStringLiteral("YearMonth")));
        fee->SetSubRead(rs.GetFieldDouble(QStringLiteral("SubRead")));
        fee->SetElecRead(rs.GetFieldDouble(QStringLiteral("ElecRead")));
        fee->SetSubFee(rs.GetFieldDouble(QStringLiteral("SubFee")));
        fee->SetElecFee(rs.GetFieldDouble(QStringLiteral("ElecFee")));
        fee->SetTenementArea(rs.GetFieldDouble(QStringLiteral("TenementArea")));
        fee->SetFee(rs.GetFieldDouble(QStringLiteral("Fee")));
        fee->SetTotalFee(rs.GetFieldDouble(QStringLiteral("TotalFee")));
        fee->SetTeneFee(rs.GetFieldDouble(QStringLiteral("TeneFee")));
        fee->SetState(rs.GetFieldString(QStringLiteral("State")));
        return fee;
    });
}

QList<CKvObject*>& CManualFeeList::LoadByClientMeterWrtNum(const QString& clientNo, const QString& meterNo, int wrtNum)
{
    return Load(
        KvFormatSql(QStringLiteral("select * from ManualFee where ClientNo = '%s' and MeterNo = '%s' and WrtNum = %d"),
                    clientNo, meterNo, wrtNum));
}

void CManualFeeList::RebindUnpaid(const QString& clientNo, const QString& meterNo, int wrtNum)
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("update ManualFee set MeterNo = '%s', WrtNum = %d "
                                                          "where ClientNo = '%s' and State = '未收费'"),
                                           meterNo, wrtNum, clientNo),
                               QString());
}

double CManualFeeList::SumTotalFee(int wrtIndex)
{
    CAdoLease<CAdoRecordset> rs(GetMainDatabase()->AcquireRecordset());
    rs->Open(KvFormatSql(QStringLiteral("select TotalFee from ManualFee where WrtIndex = %d"), wrtIndex));
    double total = 0;
    for (; !rs->IsEOF(); rs->MoveNext())
        total += rs->GetFieldDouble(QStringLiteral("TotalFee"));
    return total;
}

#include "CManualFee.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvSalesRows.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

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
    // Outside programs write these rows and may leave columns empty (an
    // uncollected fee has no sale yet): an empty column keeps a new record's
    // value instead of failing the whole sale.
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto fee = std::make_unique<CManualFee>();
        fee->SetManualIndex(GetFieldIntOr(rs, QStringLiteral("ManualIndex"), 0));
        fee->SetMeterNo(rs.GetFieldText(QStringLiteral("MeterNo")));
        fee->SetWrtNum(GetFieldIntOr(rs, QStringLiteral("WrtNum"), -1));
        fee->SetWrtIndex(GetFieldIntOr(rs, QStringLiteral("WrtIndex"), -1));
        fee->SetClientName(rs.GetFieldText(QStringLiteral("ClientName")));
        fee->SetDepartment(rs.GetFieldText(QStringLiteral("Department")));
        fee->SetClientNo(rs.GetFieldText(QStringLiteral("ClientNo")));
        fee->SetYearMonth(rs.GetFieldText(QStringLiteral("YearMonth")));
        fee->SetSubRead(GetFieldDoubleOr(rs, QStringLiteral("SubRead")));
        fee->SetElecRead(GetFieldDoubleOr(rs, QStringLiteral("ElecRead")));
        fee->SetSubFee(GetFieldDoubleOr(rs, QStringLiteral("SubFee")));
        fee->SetElecFee(GetFieldDoubleOr(rs, QStringLiteral("ElecFee")));
        fee->SetTenementArea(GetFieldDoubleOr(rs, QStringLiteral("TenementArea")));
        fee->SetFee(GetFieldDoubleOr(rs, QStringLiteral("Fee")));
        fee->SetTotalFee(GetFieldDoubleOr(rs, QStringLiteral("TotalFee")));
        fee->SetTeneFee(GetFieldDoubleOr(rs, QStringLiteral("TeneFee")));
        fee->SetState(rs.GetFieldText(QStringLiteral("State")));
        return fee.release();
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
        total += GetFieldDoubleOr(*rs, QStringLiteral("TotalFee")); // an empty amount adds nothing, as in a SQL sum
    return total;
}

#include "CPreLastWrt.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CWrtRecord.h"
#include "KvSalesRows.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

CPreLastWrt::CPreLastWrt() : m_WrtTime(GetServerTime()) {}

QString CPreLastWrt::MakeVNo(const QString& meterNo)
{
    return QStringLiteral("9") + meterNo.right(7);
}

void CPreLastWrt::SetMeterNo(const QString& value)
{
    m_MeterNo = value;
    m_VNo = MakeVNo(value);
}

void CPreLastWrt::UpdateFromWrtRecord(const CWrtRecord& sale)
{
    m_WrtIndex = sale.GetWrtIndex();
    m_WrtNum = sale.GetWrtNum();
    m_WrtValue = sale.GetWrtValue();
    m_LimitValue = sale.GetLimitValue();
    m_AlarmShold = sale.GetAlarmShold();
    m_CloseShold = sale.GetCloseShold();
    m_AccuBuy = sale.GetAccuBuy();
    m_AccuUse = sale.GetAccuUse();
    m_AccuRemain = sale.GetAccuRemain();
    m_OpMode = sale.GetOpMode();
    m_WrtTime = sale.GetWrtTime();
    // A default image (a meter without an image row yet) names no meter: the
    // sale's does, and its row is then inserted.
    if (m_MeterNo.isEmpty())
        SetMeterNo(sale.GetMeterNo());
    InsertUnlessUpdated(*this, m_MeterNo, updateRow());
}

void CPreLastWrt::InsertNew()
{
    if (m_MeterNo.isEmpty())
        throw CKvException(QStringLiteral("向数据库增加最近写卡数据时发生错误！"));
    Insert();
}

void CPreLastWrt::Insert()
{
    m_VNo = MakeVNo(m_MeterNo);
    GetMainDatabase()->Execute(
        KvFormatSql(
            QStringLiteral("insert into PreLastWrt(MeterNo, VNo, WrtIndex, WrtNum, WrtValue, "
                           "\t\t\tLimitValue, AlarmShold, CloseShold, AccuBuy, AccuUse, AccuRemain, OpMode, WrtTime) "
                           "\t\t\tvalues('%s', '%s', %d, %d, %d, '%s', %d, %d, %d, %f, %f, '%s', CDate('%s'))"),
            m_MeterNo, m_VNo, m_WrtIndex, m_WrtNum, m_WrtValue, m_LimitValue, m_AlarmShold, m_CloseShold, m_AccuBuy,
            m_AccuUse, m_AccuRemain, m_OpMode, KvDateText(m_WrtTime)),
        QStringLiteral("向数据库增加最近写卡数据时发生错误！"));
    SetState(StateStored);
}

void CPreLastWrt::Delete()
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from PreLastWrt where MeterNo = '%s'"), m_MeterNo),
                               QStringLiteral("从数据库删除最近写卡数据时发生错误！"));
}

int CPreLastWrt::updateRow()
{
    return GetMainDatabase()->Execute(
        KvFormatSql(
            QStringLiteral("update PreLastWrt set WrtIndex = %d, WrtNum = %d, WrtValue = %d, "
                           "\t\t\tLimitValue = '%s', AlarmShold = %d, CloseShold = %d, AccuBuy = %d, AccuUse = %f, "
                           "\t\t\tAccuRemain = %f, OpMode = '%s', "
                           "\t\t\tWrtTime = CDate('%s') where MeterNo = '%s'"),
            m_WrtIndex, m_WrtNum, m_WrtValue, m_LimitValue, m_AlarmShold, m_CloseShold, m_AccuBuy, m_AccuUse,
            m_AccuRemain, m_OpMode, KvDateText(m_WrtTime), m_MeterNo),
        QStringLiteral("向数据库更新最近写卡数据时发生错误!"));
}

void CPreLastWrt::Update()
{
    updateRow();
    SetState(StateStored);
}

QList<CKvObject*>& CPreLastWrtList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto image = std::make_unique<CPreLastWrt>();
        image->SetMeterNo(rs.GetFieldString(QStringLiteral("MeterNo")));
        image->SetVNo(rs.GetFieldString(QStringLiteral("VNo")));
        image->SetWrtIndex(rs.GetFieldInt(QStringLiteral("WrtIndex")));
        image->SetWrtNum(rs.GetFieldInt(QStringLiteral("WrtNum")));
        image->SetWrtValue(rs.GetFieldInt(QStringLiteral("WrtValue")));
        image->SetLimitValue(rs.GetFieldString(QStringLiteral("LimitValue")));
        image->SetAlarmShold(rs.GetFieldInt(QStringLiteral("AlarmShold")));
        image->SetCloseShold(rs.GetFieldInt(QStringLiteral("CloseShold")));
        image->SetAccuBuy(rs.GetFieldInt(QStringLiteral("AccuBuy")));
        image->SetAccuUse(rs.GetFieldDouble(QStringLiteral("AccuUse")));
        image->SetAccuRemain(rs.GetFieldDouble(QStringLiteral("AccuRemain")));
        image->SetOpMode(rs.GetFieldString(QStringLiteral("OpMode")));
        image->SetWrtTime(rs.GetFieldDateTime(QStringLiteral("WrtTime")));
        return image.release();
    });
}

CPreLastWrt* CPreLastWrtList::LoadByMeterNo(const QString& meterNo)
{
    Load(KvFormatSql(QStringLiteral("select * from PreLastWrt where MeterNo = '%s'"), meterNo));
    return static_cast<CPreLastWrt*>(GetHead());
}

QString CPreLastWrtList::FindMeterNoByVNo(const QString& vNo)
{
    CPreLastWrtList list;
    list.Load(KvFormatSql(QStringLiteral("select * from PreLastWrt where VNo = '%s'"), vNo));
    const CPreLastWrt* first = static_cast<const CPreLastWrt*>(list.GetHead());
    return first ? first->GetMeterNo() : QString();
}

bool CPreLastWrtList::ExistsMeterNo(const QString& meterNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select MeterNo from PreLastWrt where MeterNo = '%s'"), meterNo), QString());
}

void CPreLastWrtList::DeleteByMeterNo(const QString& meterNo)
{
    CPreLastWrt image;
    image.SetMeterNo(meterNo);
    image.Delete();
}

#include "CCliFix.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "COperator.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <memory>

CCliFix::CCliFix()
    : m_BeginDate(GetServerDate()), m_EndDate(ParseDate(QStringLiteral("2050-12-31"))),
      m_LastTermEndDate(AddDays(m_BeginDate, -1)), m_ModiTime(GetServerTime()),
      m_OperatorNo(GetCurrentOperator()->GetOperatorNo())
{
}

CCliFix::CCliFix(LoadedRow) {}

void CCliFix::InsertNew()
{
    if (m_ClientNo.isEmpty() || m_PriceNo.isEmpty())
        throw CKvException(QStringLiteral("向数据库增加定额收费项发生错误！"));
    m_CliFixIndex = GetMainSysPara()->GetIntPara(QStringLiteral("CliFixIndex"), 1);
    Insert();
}

void CCliFix::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into CliFix(CliFixIndex, ClientNo, PriceNo, Units, BeginDate, EndDate, "
                                   "\t\tLastTermEndDate, OperatorNo, ModiTime, State) \t\tvalues(%d, '%s', '%s', %f, "
                                   "CDate('%s'), CDate('%s'), CDate('%s'), '%s', CDate('%s'), '%s')"),
                    m_CliFixIndex, m_ClientNo, m_PriceNo, m_Units, KvDateText(m_BeginDate.date()),
                    KvDateText(m_EndDate.date()), KvDateText(m_LastTermEndDate.date()), m_OperatorNo,
                    KvDateText(m_ModiTime), m_State),
        QStringLiteral("向数据库增加定额收费项时发生错误！"));
    SetState(StateStored);
}

void CCliFix::Delete()
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from CliFix where CliFixIndex = %d"), m_CliFixIndex),
                       QString(), QStringLiteral("从数据库删除定额收费项时发生错误！"));
}

void CCliFix::Update()
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("update CliFix set EndDate = CDate('%s'), OperatorNo = '%s', "
                                                  "\t\tModiTime = CDate('%s') where CliFixIndex = %d"),
                                   KvDateText(m_EndDate.date()), m_OperatorNo, KvDateText(m_ModiTime), m_CliFixIndex),
                       QString(), QStringLiteral("向数据库更新定额收费项时发生错误！"));
    SetState(StateStored);
}

QList<CKvObject*>& CCliFixList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto item = std::make_unique<CCliFix>(CCliFix::LoadedRow{});
        item->SetCliFixIndex(rs.GetFieldInt(QStringLiteral("CliFixIndex")));
        item->SetClientNo(rs.GetFieldString(QStringLiteral("ClientNo")));
        item->SetPriceNo(rs.GetFieldString(QStringLiteral("PriceNo")));
        item->SetOperatorNo(rs.GetFieldString(QStringLiteral("OperatorNo")));
        item->SetUnits(rs.GetFieldDouble(QStringLiteral("Units")));
        item->SetBeginDate(rs.GetFieldDateTime(QStringLiteral("BeginDate")));
        item->SetEndDate(rs.GetFieldDateTime(QStringLiteral("EndDate")));
        item->SetLastTermEndDate(rs.GetFieldDateTime(QStringLiteral("LastTermEndDate")));
        item->SetModiTime(rs.GetFieldDateTime(QStringLiteral("ModiTime")));
        item->SetState(rs.GetFieldString(QStringLiteral("State")));
        return item.release();
    });
}

QList<CKvObject*>& CCliFixList::LoadByClient(const QString& clientNo)
{
    return Load(
        KvFormatSql(QStringLiteral("select * from CliFix where ClientNo = '%s' order by CliFixIndex"), clientNo));
}

QList<CKvObject*>& CCliFixList::LoadActiveInPeriod(const QDateTime& from, const QDateTime& to)
{
    return Load(ActiveInPeriodSql(from, to));
}

QString CCliFixList::ActiveInPeriodSql(const QDateTime& from, const QDateTime& to)
{
    return KvFormatSql(QStringLiteral("select * from CliFix where BeginDate < CDate('%s') and \t\tEndDate >= "
                                      "CDate('%s') order by ClientNo, CliFixIndex"),
                       KvDateText(to.date()), KvDateText(from.date()));
}

void CCliFixList::StopItem(const QString& clientNo, const QString& priceNo, const QDateTime& date)
{
    const QString day = KvDateText(date.date());
    CAdoTransaction transaction(*GetMainDatabase());
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("update CliFix set EndDate = CDate('%s') where ClientNo = "
                                                          "'%s' and \t\tPriceNo = '%s' and EndDate > CDate('%s')"),
                                           day, clientNo, priceNo, day),
                               QString());
    GetMainDatabase()->Execute(QStringLiteral("delete from CliFix where BeginDate > EndDate"), QString());
    transaction.Commit();
}

void CCliFixList::DeleteByClientPrice(const QString& clientNo, const QString& priceNo)
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("delete from CliFix where ClientNo = '%s' and PriceNo = '%s'"), clientNo, priceNo),
        QString());
}

bool CCliFixList::ExistsForClient(const QString& clientNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select CliFixIndex from CliFix where ClientNo = '%s'"), clientNo), QString());
}

bool CCliFixList::ExistsForPrice(const QString& priceNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select CliFixIndex from CliFix where PriceNo = '%s'"), priceNo), QString());
}

bool ManualMeterExistsForClient(const QString& clientNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select CliManIndex from CliMan where ClientNo = '%s'"), clientNo), QString());
}

bool ManualMeterExistsForPrice(const QString& priceNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select CliManIndex from CliMan where PriceNo = '%s'"), priceNo), QString());
}

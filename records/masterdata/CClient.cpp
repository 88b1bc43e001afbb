#include "CClient.h"

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

CClient::CClient()
    : m_MemberNum(GetMainSysPara()->GetMemNum()), m_OperatorNo(GetCurrentOperator()->GetOperatorNo()),
      m_BeginDate(GetServerDate()), m_EndDate(ParseDate(QStringLiteral("2050-12-31"))), m_ModiTime(GetServerTime())
{
}

CClient::CClient(LoadedRow) {}

void CClient::InsertNew()
{
    m_ClientIndex = GetMainSysPara()->GetIntPara(QStringLiteral("ClientIndex"), 1);
    Insert();
}

void CClient::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(
            QStringLiteral("insert into Client(ClientIndex, ClientNo, BlockNo, BuildingNo, LayerNo, RoomNo, "
                           "Cell, \t\tDepartmentNo, ClientName, ClientId, Addr, Tel, MemberNum, State, Descrip, "
                           "\t\tOperatorNo, BeginDate, EndDate, ModiTime) \t\tvalues(%d, '%s', '%s', '%s', "
                           "'%s', '%s', '%s', '%s', '%s', '%s', '%s', '%s', %d, '%s', '%s', '%s', CDate('%s'), "
                           "CDate('%s'), CDate('%s'))"),
            m_ClientIndex, m_ClientNo, m_BlockNo, m_BuildingNo, m_LayerNo, m_RoomNo, m_Cell, m_DepartmentNo,
            m_ClientName, m_ClientId, m_Addr, m_Tel, m_MemberNum, m_State, m_Descrip, m_OperatorNo,
            KvDateText(m_BeginDate.date()), KvDateText(m_EndDate.date()), KvDateText(m_ModiTime)),
        QStringLiteral("向数据库增加用户时发生错误！"));
    SetState(StateStored);
}

void CClient::Delete()
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from Client where ClientIndex = %d"), m_ClientIndex),
                       QStringLiteral("从数据库删除用户时发生错误！"));
}

void CClient::Update()
{
    KvCloseVersionRow(QStringLiteral("Client"), QStringLiteral("ClientIndex"), m_ClientIndex, m_EndDate, m_OperatorNo,
                      m_ModiTime, QStringLiteral("向数据库更新用户时发生错误！"),
                      QStringLiteral("向数据库更新用户时发生错误！"));
    SetState(StateStored);
}

bool CClient::IsEqual(const CClient& other) const
{
    return m_BlockNo == other.m_BlockNo && m_BuildingNo == other.m_BuildingNo && m_LayerNo == other.m_LayerNo &&
           m_RoomNo == other.m_RoomNo && m_Cell == other.m_Cell && m_ClientName == other.m_ClientName &&
           m_ClientId == other.m_ClientId && m_Addr == other.m_Addr && m_Tel == other.m_Tel &&
           m_MemberNum == other.m_MemberNum && m_DepartmentNo == other.m_DepartmentNo && m_Descrip == other.m_Descrip;
}

CCliBalance* CClient::cachedBalance()
{
    if (m_balance.GetCount() == 0)
        m_balance.LoadByClientNo(m_ClientNo);
    return static_cast<CCliBalance*>(m_balance.GetHead());
}

int CClient::GetBalance(CCliBalance& out)
{
    const CCliBalance* balance = cachedBalance();
    if (!balance)
        return 0;
    out = *balance;
    return 1;
}

int CClient::SetBalance(const CCliBalance& balance)
{
    CCliBalance* cached = cachedBalance();
    if (!cached)
        return 0;
    *cached = balance;
    return 1;
}

QList<CKvObject*>& CClientList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        std::unique_ptr<CClient> user(new CClient(CClient::LoadedRow{}));
        user->SetClientIndex(rs.GetFieldInt(QStringLiteral("ClientIndex")));
        user->SetClientNo(rs.GetFieldString(QStringLiteral("ClientNo")));
        user->SetBlockNo(rs.GetFieldString(QStringLiteral("BlockNo")));
        user->SetBuildingNo(rs.GetFieldString(QStringLiteral("BuildingNo")));
        user->SetLayerNo(rs.GetFieldString(QStringLiteral("LayerNo")));
        user->SetRoomNo(rs.GetFieldString(QStringLiteral("RoomNo")));
        user->SetCell(rs.GetFieldString(QStringLiteral("Cell")));
        user->SetDepartmentNo(rs.GetFieldString(QStringLiteral("DepartmentNo")));
        user->SetClientName(rs.GetFieldString(QStringLiteral("ClientName")));
        user->SetClientId(rs.GetFieldString(QStringLiteral("ClientId")));
        user->SetAddr(rs.GetFieldString(QStringLiteral("Addr")));
        user->SetTel(rs.GetFieldString(QStringLiteral("Tel")));
        user->SetMemberNum(rs.GetFieldInt(QStringLiteral("MemberNum")));
        user->SetState(rs.GetFieldString(QStringLiteral("State")));
        user->SetDescrip(rs.GetFieldString(QStringLiteral("Descrip")));
        user->SetOperatorNo(rs.GetFieldString(QStringLiteral("OperatorNo")));
        user->SetBeginDate(rs.GetFieldDateTime(QStringLiteral("BeginDate")));
        user->SetEndDate(rs.GetFieldDateTime(QStringLiteral("EndDate")));
        user->SetModiTime(rs.GetFieldDateTime(QStringLiteral("ModiTime")));
        return user.release();
    });
}

QList<CKvObject*>& CClientList::LoadByNoPrefix(const QString& prefix)
{
    return Load(
        KvFormatSql(QStringLiteral("select * from Client where ClientNo like '%s%%' escape '\\' and \t\tEndDate = "
                                   "CDate('2050-12-31') order by ClientNo"),
                    KvLikeLiteral(prefix)));
}

QList<CKvObject*>& CClientList::LoadByNamePrefix(const QString& prefix)
{
    return Load(
        KvFormatSql(QStringLiteral("select * from Client where ClientName like '%s%%' escape '\\' and \t\tEndDate = "
                                   "CDate('2050-12-31') order by ClientNo"),
                    KvLikeLiteral(prefix)));
}

CClient* CClientList::FindByClientNo(const QString& clientNo)
{
    Load(KvFormatSql(QStringLiteral("select * from Client where ClientNo = '%s' and \t\tEndDate = CDate('2050-12-31')"),
                     clientNo));
    return static_cast<CClient*>(GetHead());
}

void CClientList::ChangeVersion(CClient* newRecord, CClient* oldRecord)
{
    KvChangeVersion(*this, newRecord, oldRecord, QStringLiteral("向数据库更新用户时发生位置错误！"));
}

void CClientList::DeleteAllVersions(const QString& clientNo)
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from Client where ClientNo = '%s'"), clientNo),
                       QStringLiteral("从数据库删除用户时发生错误！"));
}

namespace {

bool userRowExists(const QString& sql)
{
    return GetMainDatabase()->RecordExists(sql, QString());
}

} // namespace

bool CClientList::ExistsClientNo(const QString& clientNo)
{
    return userRowExists(KvFormatSql(QStringLiteral("select ClientNo from Client where ClientNo = '%s'"), clientNo));
}

bool CClientList::ExistsInBlock(const QString& blockNo)
{
    return userRowExists(KvFormatSql(QStringLiteral("select ClientNo from Client where BlockNo = '%s'"), blockNo));
}

bool CClientList::ExistsInBuilding(const QString& blockNo, const QString& buildingNo)
{
    return userRowExists(KvFormatSql(QStringLiteral("select ClientNo from Client where BlockNo = '%s' and "
                                                    "BuildingNo = '%s'"),
                                     blockNo, buildingNo));
}

bool CClientList::ExistsInDepartment(const QString& departmentNo)
{
    return userRowExists(
        KvFormatSql(QStringLiteral("select ClientNo from Client where DepartmentNo = '%s'"), departmentNo));
}

bool CClientList::ExistsForOperator(const QString& operatorNo)
{
    return userRowExists(
        KvFormatSql(QStringLiteral("select ClientNo from Client where OperatorNo = '%s'"), operatorNo));
}

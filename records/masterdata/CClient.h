#pragma once

#include "CCliBalance.h"
#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>

// A user, a household that buys electricity (table Client). Rows keep
// history: the current version of a user code ends on 2050-12-31, and a
// change closes it and inserts a new one (CClientList::ChangeVersion). The
// record caches the user's balance row once it has one.
class CClient : public CKvPersistance
{
public:
    CClient();
    CClient(const CClient&) = delete;
    CClient& operator=(const CClient&) = delete;

    // Draws ClientIndex, then inserts.
    void InsertNew() override;
    void Insert() override;
    // One version only; a user goes with CClientList::DeleteAllVersions.
    void Delete() override;
    // Closes the version: writes EndDate, OperatorNo and ModiTime.
    void Update() override;

    // The same user as far as the user dialog edits it: the place, the
    // department, name, identity, address, offer number, residents and remark.
    bool IsEqual(const CClient& other) const;

    // The user's balance row into `out` (an inert copy): 1, or 0 with `out`
    // untouched when the user has none. Read from the database until a row
    // is found, from the cache afterwards.
    int GetBalance(CCliBalance& out);
    // Brings the cached balance up to date (nothing is written): 1, or 0 when
    // the user has no balance row.
    int SetBalance(const CCliBalance& balance);

    int GetClientIndex() const { return m_ClientIndex; }
    QString GetClientNo() const { return m_ClientNo; }
    QString GetBlockNo() const { return m_BlockNo; }
    QString GetBuildingNo() const { return m_BuildingNo; }
    QString GetLayerNo() const { return m_LayerNo; }
    QString GetRoomNo() const { return m_RoomNo; }
    QString GetCell() const { return m_Cell; }
    QString GetDepartmentNo() const { return m_DepartmentNo; }
    QString GetClientName() const { return m_ClientName; }
    QString GetClientId() const { return m_ClientId; }
    QString GetAddr() const { return m_Addr; }
    QString GetTel() const { return m_Tel; }
    int GetMemberNum() const { return m_MemberNum; }
    // The state word of the row ("正常"), not the save state.
    QString GetStateWord() const { return m_State; }
    QString GetDescrip() const { return m_Descrip; }
    QString GetOperatorNo() const { return m_OperatorNo; }
    QDateTime GetBeginDate() const { return m_BeginDate; }
    QDateTime GetEndDate() const { return m_EndDate; }
    QDateTime GetModiTime() const { return m_ModiTime; }

    void SetClientIndex(int value) { m_ClientIndex = value; }
    void SetClientNo(const QString& value) { m_ClientNo = value; }
    void SetBlockNo(const QString& value) { m_BlockNo = value; }
    void SetBuildingNo(const QString& value) { m_BuildingNo = value; }
    void SetLayerNo(const QString& value) { m_LayerNo = value; }
    void SetRoomNo(const QString& value) { m_RoomNo = value; }
    void SetCell(const QString& value) { m_Cell = value; }
    void SetDepartmentNo(const QString& value) { m_DepartmentNo = value; }
    void SetClientName(const QString& value) { m_ClientName = value; }
    void SetClientId(const QString& value) { m_ClientId = value; }
    void SetAddr(const QString& value) { m_Addr = value; }
    void SetTel(const QString& value) { m_Tel = value; }
    void SetMemberNum(int value) { m_MemberNum = value; }
    void SetState(const QString& value) { m_State = value; }
    using CKvPersistance::SetState;
    void SetDescrip(const QString& value) { m_Descrip = value; }
    void SetOperatorNo(const QString& value) { m_OperatorNo = value; }
    void SetBeginDate(const QDateTime& value) { m_BeginDate = value; }
    void SetEndDate(const QDateTime& value) { m_EndDate = value; }
    void SetModiTime(const QDateTime& value) { m_ModiTime = value; }

private:
    friend class CClientList;
    struct LoadedRow
    {
    };
    // A record that a load fills at once: the defaults that read the
    // database are skipped.
    explicit CClient(LoadedRow);
    CCliBalance* cachedBalance();

    int m_ClientIndex = -1;
    QString m_ClientNo;
    QString m_BlockNo = QStringLiteral("00");
    QString m_BuildingNo = QStringLiteral("00");
    QString m_LayerNo;
    QString m_RoomNo;
    QString m_Cell;
    QString m_DepartmentNo = QStringLiteral("00");
    QString m_ClientName;
    QString m_ClientId;
    QString m_Addr;
    QString m_Tel;
    int m_MemberNum = 0;
    QString m_State = QStringLiteral("正常");
    QString m_Descrip;
    QString m_OperatorNo;
    QDateTime m_BeginDate;
    QDateTime m_EndDate;
    QDateTime m_ModiTime;
    CCliBalanceList m_balance;
};

class CClientList : public CKvRecordList<CClient>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    // Current users whose code or name begins with the text, by code.
    QList<CKvObject*>& LoadByNoPrefix(const QString& prefix);
    QList<CKvObject*>& LoadByNamePrefix(const QString& prefix);
    // The current version of a user, or null.
    CClient* FindByClientNo(const QString& clientNo);

    // A changed user as a new version after `oldRecord`, a member of this
    // list; see KvChangeVersion (the list takes `newRecord` over).
    void ChangeVersion(CClient* newRecord, CClient* oldRecord);

    // Every version of the user; runs inside the caller's transaction.
    static void DeleteAllVersions(const QString& clientNo);
    // These look at every version, closed ones included.
    static bool ExistsClientNo(const QString& clientNo);
    static bool ExistsInBlock(const QString& blockNo);
    static bool ExistsInBuilding(const QString& blockNo, const QString& buildingNo);
    static bool ExistsInDepartment(const QString& departmentNo);
    static bool ExistsForOperator(const QString& operatorNo);
};

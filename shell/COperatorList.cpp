#include "COperatorList.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvPassword.h"
#include "KvSql.h"
#include "SysGlobals.h"

QList<CKvObject*>& COperatorList::Load(const QString& sql)
{
    CAdoConnection& db = *GetMainDatabase();
    CAdoLease<CAdoRecordset> rights(db.AcquireRecordset());
    return LoadRows(db, sql, [&](const CAdoRecordset& rs) -> CKvObject* {
        auto* op = new COperator;
        op->SetOperatorNo(rs.GetFieldText(QStringLiteral("OperatorNo")));
        op->SetOperatorName(rs.GetFieldText(QStringLiteral("OperatorName")));
        op->SetStoredPw(rs.GetFieldText(QStringLiteral("OperatorPw")));
        op->SetStationNo(rs.GetFieldText(QStringLiteral("StationNo")));
        QVector<int> ids;
        try {
            rights->Open(KvFormatSql(QStringLiteral("select MenuId from Permission where OperatorNo = '%s'"),
                                     op->GetOperatorNo()));
            for (; !rights->IsEOF(); rights->MoveNext())
                ids.append(rights->GetFieldInt(QStringLiteral("MenuId")));
        } catch (...) {
            delete op;
            throw;
        }
        op->SetRights(ids);
        return op;
    });
}

QList<CKvObject*>& COperatorList::LoadAll()
{
    return Load(QStringLiteral("select * from Operator"));
}

COperator* COperatorList::FindByNo(const QString& operatorNo)
{
    Load(KvFormatSql(QStringLiteral("select * from Operator where OperatorNo = '%s'"), operatorNo));
    return GetCount() > 0 ? At(0) : nullptr;
}

bool COperatorList::Exists(const QString& operatorNo)
{
    CAdoLease<CAdoRecordset> rs(GetMainDatabase()->AcquireRecordset());
    rs->Open(KvFormatSql(QStringLiteral("select OperatorNo from Operator where OperatorNo = '%s'"), operatorNo));
    return !rs->IsEOF();
}

bool COperatorList::Add(const QString& operatorNo, const QString& operatorName, const QString& stationNo,
                        const QVector<int>& rights)
{
    auto* op = new COperator;
    op->SetOperatorNo(operatorNo);
    op->SetOperatorName(operatorName);
    op->SetStationNo(stationNo);
    op->SetOperatorPw(DefaultPassword());
    op->SetRights(rights);
    op->SetState(CKvPersistance::StateNewKeyed);
    try {
        op->Save();
    } catch (...) {
        delete op;
        throw;
    }
    return CKvObjectList::Add(op);
}

bool COperatorList::Remove(COperator* op)
{
    op->SetState(CKvPersistance::StateDelete);
    op->Save();
    return CKvObjectList::Remove(op);
}

bool COperatorList::VerifyLogin()
{
    COperator& current = *GetCurrentOperator();
    const COperator* found = FindByNo(current.GetOperatorNo());
    if (!found)
        return false;
    const COperator& stored = *found;
    if (!KvVerifyPassword(stored.GetOperatorPw(), current.GetOperatorPw()))
        return false;
    if (GetEdition() == QStringLiteral("网络版") && stored.GetOperatorNo() != QStringLiteral("qz")) {
        const QString station = QString::asprintf("%02d", GetLocalSysPara()->GetIntPara(QStringLiteral("StationNo")));
        if (stored.GetStationNo() != station)
            return false;
    }

    if (!KvIsPasswordHash(stored.GetOperatorPw())) {
        // A password from before hashing: now that it is known to be right,
        // store its hash instead. Should the write fail, the plain value still
        // works and is replaced at the next login.
        try {
            GetMainDatabase()->Execute(
                KvFormatSql(QStringLiteral("update Operator set OperatorPw = '%s' where OperatorNo = '%s'"),
                            KvHashPassword(current.GetOperatorPw()), stored.GetOperatorNo()),
                QString());
        } catch (const CKvException&) {
        }
    }

    // The stored code, not the typed one: "QZ" logs in as qz, and every record
    // written afterwards carries the code the operator is stored under.
    current.SetOperatorNo(stored.GetOperatorNo());
    current.SetOperatorName(stored.GetOperatorName());
    current.SetStationNo(stored.GetStationNo());
    current.SetRights(stored.DuplicateRights());
    return true;
}

#include "CPreModel.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

void CPreModel::InsertNew()
{
    if (m_ModelId.isEmpty())
        throw CKvException(QStringLiteral("向数据库添加表型发生错误！"));
    Insert();
}

void CPreModel::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(
            QStringLiteral("insert into PreModel(ModelId, Model, Spec, InnerMul, DevType, \t\t\tCardType, "
                           "Phase, MaxLimit, MinLimit, BaseValue, State, SortIndex, bCt, bPt) \t\t\tvalues('%s', "
                           "'%s', '%s', %d, '%s', '%s', '%s', %f, %f, %f, '%s', %d, '%s', '%s')"),
            m_ModelId, m_Model, m_Spec, m_InnerMul, m_DevType, m_CardType, m_Phase, m_MaxLimit, m_MinLimit, m_BaseValue,
            m_State, m_SortIndex, m_bCt, m_bPt),
        QStringLiteral("向数据库增加表型时发生错误！"));
    SetState(StateStored);
}

void CPreModel::Delete()
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from PreModel where ModelId = '%s'"), m_ModelId),
                       QStringLiteral("从数据库删除表型时发生错误！"));
}

void CPreModel::Update()
{
    KvExecuteRowChange(
        KvFormatSql(QStringLiteral("update PreModel set Model = '%s', Spec = '%s', InnerMul = %d, DevType = '%s', "
                                   "\t\t\tCardType = '%s', Phase = '%s', MaxLimit = %f, MinLimit = %f, BaseValue = %f, "
                                   "\t\t\tState = '%s', SortIndex = %d, bCt = '%s', bPt = '%s' where ModelId = '%s'"),
                    m_Model, m_Spec, m_InnerMul, m_DevType, m_CardType, m_Phase, m_MaxLimit, m_MinLimit, m_BaseValue,
                    m_State, m_SortIndex, m_bCt, m_bPt, m_ModelId),
        QStringLiteral("向数据库更新表型发生错误!"));
    SetState(StateStored);
}

QList<CKvObject*>& CPreModelList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto model = std::make_unique<CPreModel>();
        model->SetModelId(rs.GetFieldString(QStringLiteral("ModelId")));
        model->SetModel(rs.GetFieldString(QStringLiteral("Model")));
        model->SetSpec(rs.GetFieldString(QStringLiteral("Spec")));
        model->SetInnerMul(rs.GetFieldInt(QStringLiteral("InnerMul")));
        model->SetDevType(rs.GetFieldString(QStringLiteral("DevType")));
        model->SetCardType(rs.GetFieldString(QStringLiteral("CardType")));
        model->SetPhase(rs.GetFieldString(QStringLiteral("Phase")));
        model->SetMaxLimit(rs.GetFieldDouble(QStringLiteral("MaxLimit")));
        model->SetMinLimit(rs.GetFieldDouble(QStringLiteral("MinLimit")));
        model->SetBaseValue(rs.GetFieldDouble(QStringLiteral("BaseValue")));
        model->SetStateWord(rs.GetFieldString(QStringLiteral("State")));
        model->SetSortIndex(rs.GetFieldInt(QStringLiteral("SortIndex")));
        model->SetbCt(rs.GetFieldString(QStringLiteral("bCt")));
        model->SetbPt(rs.GetFieldString(QStringLiteral("bPt")));
        return model.release();
    });
}

QList<CKvObject*>& CPreModelList::LoadAll()
{
    return Load(QStringLiteral("select * from PreModel order by SortIndex, CardType, ModelId"));
}

QList<CKvObject*>& CPreModelList::LoadOffered()
{
    return Load(
        QStringLiteral("select * from PreModel where SortIndex <> 10000 order by SortIndex, CardType, ModelId"));
}

CPreModel* CPreModelList::FindByModelId(const QString& modelId)
{
    Load(KvFormatSql(QStringLiteral("select * from PreModel where ModelId = '%s'"), modelId));
    return GetCount() > 0 ? At(0) : nullptr;
}

bool CPreModelList::ModelIdExists(const QString& modelId)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select ModelId from PreModel where ModelId = '%s'"), modelId), QString());
}

void CPreModelList::UpdateRecord(CPreModel* model)
{
    if (!Contains(model))
        throw CKvException(QStringLiteral("向数据库更新表型发生位置错误！"));
    model->SetState(CKvPersistance::StateChanged);
    model->Save();
}

void CPreModelList::RemoveRecord(CPreModel* model)
{
    if (!Contains(model))
        throw CKvException(QStringLiteral("从数据库删除表型发生位置错误！"));
    model->SetState(CKvPersistance::StateDelete);
    model->Save();
    Remove(model);
}

void CPreModelList::SaveOrder(const QList<CPreModel*>& withdrawn, const QList<CPreModel*>& offered)
{
    CAdoTransaction transaction(*GetMainDatabase());
    for (CPreModel* model : withdrawn)
        model->SetSortIndex(CPreModel::NotOffered);
    for (int i = 0; i < offered.size(); ++i)
        offered.at(i)->SetSortIndex(i);
    for (const QList<CPreModel*>* side : {&withdrawn, &offered}) {
        for (CPreModel* model : *side) {
            model->SetState(CKvPersistance::StateChanged);
            model->Save();
        }
    }
    transaction.Commit();
}

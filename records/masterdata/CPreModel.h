#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QString>

// A meter type (table PreModel): a model of prepaid meter or controller with
// its multiplier, card kind, wiring and current limits. The type code is typed
// by the user and never changes. A type is offered to the meter dialog only
// while its SortIndex is not NotOffered.
class CPreModel : public CKvPersistance
{
public:
    static constexpr int NotOffered = 10000;

    CPreModel() = default;

    // Refuses a type without code; no key is drawn.
    void InsertNew() override;
    void Insert() override;
    void Delete() override;
    // Rewrites every column but the code.
    void Update() override;

    bool IsOffered() const { return m_SortIndex != NotOffered; }

    QString GetModelId() const { return m_ModelId; }
    QString GetModel() const { return m_Model; }
    QString GetSpec() const { return m_Spec; }
    int GetInnerMul() const { return m_InnerMul; }
    QString GetDevType() const { return m_DevType; }
    QString GetCardType() const { return m_CardType; }
    QString GetPhase() const { return m_Phase; }
    double GetMaxLimit() const { return m_MaxLimit; }
    double GetMinLimit() const { return m_MinLimit; }
    double GetBaseValue() const { return m_BaseValue; }
    int GetSortIndex() const { return m_SortIndex; }
    QString GetStateWord() const { return m_State; }
    QString GetbCt() const { return m_bCt; }
    QString GetbPt() const { return m_bPt; }

    void SetModelId(const QString& value) { m_ModelId = value; }
    void SetModel(const QString& value) { m_Model = value; }
    void SetSpec(const QString& value) { m_Spec = value; }
    void SetInnerMul(int value) { m_InnerMul = value; }
    void SetDevType(const QString& value) { m_DevType = value; }
    void SetCardType(const QString& value) { m_CardType = value; }
    void SetPhase(const QString& value) { m_Phase = value; }
    void SetMaxLimit(double value) { m_MaxLimit = value; }
    void SetMinLimit(double value) { m_MinLimit = value; }
    void SetBaseValue(double value) { m_BaseValue = value; }
    void SetSortIndex(int value) { m_SortIndex = value; }
    void SetStateWord(const QString& value) { m_State = value; }
    void SetbCt(const QString& value) { m_bCt = value; }
    void SetbPt(const QString& value) { m_bPt = value; }

private:
    QString m_ModelId;
    QString m_Model;
    QString m_Spec;
    int m_InnerMul = 1;
    QString m_DevType;
    QString m_CardType;
    QString m_Phase;
    double m_MaxLimit = 30.0;
    double m_MinLimit = 5.0;
    double m_BaseValue = 1.0;
    int m_SortIndex = NotOffered;
    QString m_State = QStringLiteral("正常");
    QString m_bCt = QStringLiteral("否");
    QString m_bPt = QStringLiteral("否");
};

class CPreModelList : public CKvRecordList<CPreModel>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    // Every type, the offered ones in their order, then those not offered.
    QList<CKvObject*>& LoadAll();
    // The types the meter dialog offers, in their order.
    QList<CKvObject*>& LoadOffered();
    // Loads the type of a code and returns it, or null.
    CPreModel* FindByModelId(const QString& modelId);

    static bool ModelIdExists(const QString& modelId);

    // A member of this list written back (state 3) or deleted and removed; a
    // type of another list is refused before anything is written.
    void UpdateRecord(CPreModel* model);
    void RemoveRecord(CPreModel* model);
    // Stores the offered order: the types of `withdrawn` are no longer offered,
    // those of `offered` take the positions 0, 1, 2 ... in their order. One
    // transaction, so that a failure leaves the order as it was.
    static void SaveOrder(const QList<CPreModel*>& withdrawn, const QList<CPreModel*>& offered);
};

#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QString>

// A district (table Block): a two-character code and a name. The row "00" with
// an empty name stands for no district; it is written by the initialisation only.
class CBlock : public CKvPersistance
{
public:
    CBlock() = default;

    const QString& GetBlockNo() const { return m_BlockNo; }
    const QString& GetBlockName() const { return m_BlockName; }
    void SetBlockNo(const QString& blockNo) { m_BlockNo = blockNo; }
    void SetBlockName(const QString& blockName) { m_BlockName = blockName; }

    // The code is typed by the operator, so a new district is only inserted.
    void InsertNew() override { Insert(); }
    void Insert() override;
    void Delete() override;
    // Writes the name only: the code is the key.
    void Update() override;

private:
    QString m_BlockNo;
    QString m_BlockName;
};

class CBlockList : public CKvRecordList<CBlock>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    // Every district, the reserved one included (pick lists offer it as "none").
    QList<CKvObject*>& LoadAll();
    // The real districts, for the management list.
    QList<CKvObject*>& LoadWithoutReserved();
    // The district of that code, or null.
    CBlock* FindByBlockNo(const QString& blockNo);

    // A record of another list throws and nothing is written.
    void DeleteRecord(CBlock* block);
    void UpdateRecord(CBlock* block);

    static bool ExistsBlockNo(const QString& blockNo);
};

#pragma once

#include "CBlock.h"
#include "CMasterListDlg.h"

// The districts (command 小区管理): every real district with its code and name.
// A district that users or buildings name is not deleted.
class CBlockListDlg : public CMasterListDlg
{
    Q_OBJECT

public:
    CBlockListDlg(QWidget* parent, const QString& caption);

protected:
    void FillRows(CKvExtList2& list) override;
    void OnAdd() override;
    bool ModifyRecord(CKvObject* record) override;
    QString DeleteRefusal(CKvObject* record) override;
    void DeleteRecord(CKvObject* record) override;

private:
    // Runs the edit dialog on the record's values; after OK the record holds
    // what was typed.
    bool EditBlock(CBlock& block, const QString& caption);

    CBlockList m_blockList;
};

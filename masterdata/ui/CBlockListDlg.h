#pragma once

#include "CBlock.h"
#include "CMasterListDlg.h"

// The districts (command 小区管理): every real district with its code and name.
// A district that users or buildings name is not deleted.
class CBlockListDlg : public CRecordListDlg<CBlock, CBlockList>
{
    Q_OBJECT

public:
    CBlockListDlg(QWidget* parent, const QString& caption);

protected:
    void FillRows(CKvExtList2& list) override;
    void OnAdd() override;
    QString DeleteRefusal(CKvObject* record) override;
    bool Edit(CBlock& block, const QString& caption) override;
};

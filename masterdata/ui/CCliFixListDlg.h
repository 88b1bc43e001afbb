#pragma once

#include "CCliFix.h"
#include "CKvDialog.h"
#include "CPriceVer.h"

#include <QDateTime>
#include <QString>
#include <memory>
#include <vector>

class CKvExtList;
class QLineEdit;
class QPushButton;

// The fixed-fee items of one user ("定额收费项目管理", dialog 189): one row per
// quota price valid today, ticked while the user's item of that price runs
// today. Ticking sets an item up, unticking stops it, "修改收费项" changes the
// quantity or start of a running item: these changes wait in the dialog until
// "保存返回" writes them together. "删除收费项" deletes an item with all its
// fees at once.
class CCliFixListDlg : public CKvDialog
{
    Q_OBJECT

public:
    CCliFixListDlg(QWidget* parent, const QString& caption);
    ~CCliFixListDlg() override;

    // Set by the caller before the dialog runs.
    QString m_ClientNo;
    QString m_ClientName;

    bool OnInitDialog() override;
    CKvExtList* GetListCtrl() const { return m_list; }

protected:
    // Writes every pending change in one transaction and closes; a failure
    // rolls back and leaves the dialog open with its changes still pending.
    void OnOK() override;

private:
    // What a row holds besides what it shows.
    struct Entry
    {
        CCliFix* stored = nullptr;        // shown in the row, owned by m_items
        std::unique_ptr<CCliFix> pending; // a new version not yet stored
        QDateTime stopDate;               // the stored item's last day as it is to be
    };

    void Fill();
    void OnCheckClicked(int row);
    void SetUpItem(int row);
    void StopItem(int row);
    void OnModify();
    void OnDelete();
    // Asks for a new version's start and quantity until the start is in this
    // month and not after today; false when cancelled.
    bool AskNewVersion(int row, const QDateTime& presetStop, QString& units, QDateTime& begin, QDateTime& end);
    void SetPending(int row, const QString& units, const QDateTime& begin, const QDateTime& end);
    void ShowDates(int row, const QString& units, const QDateTime& begin, const QDateTime& end);

    CKvExtList* m_list;          // 1106
    QLineEdit* m_clientNoEdit;   // 1002
    QLineEdit* m_clientNameEdit; // 1009
    CPriceVerList m_prices;
    CCliFixList m_items;
    std::vector<Entry> m_entries;
};

#pragma once

#include "CKvDialog.h"
#include "CKvObject.h"
#include "CKvShownNumber.h"
#include "CPriceType.h"
#include "CRankPrice.h"

#include <QDateTime>
#include <array>
#include <memory>
#include <vector>

class CKvComboBox;
class CKvEdit;
class CKvExtList2;
class CNumEdit;
class QDateEdit;
class QPushButton;

// One price version with its item and tiers, entered or shown. The dialog
// never writes the database: its caller fills the members before it runs and
// builds a version from them after OK. The caption chooses the mode:
// "修改价目" (a new version of a code: name, unit, start, price and tiers),
// "查看价目" (nothing editable), anything else adds a code.
class CPriceEditDlg : public CKvDialog
{
    Q_OBJECT

public:
    static constexpr int kMaxTiers = 20;

    CPriceEditDlg(QWidget* parent, const QString& caption);

    // Takes a version's tiers into the tier table; more than 20 throw "阶梯太多！".
    void LoadTiers(const CRankPriceList& tiers);

    bool OnInitDialog() override;

    // The values exchanged with the caller.
    QString m_strPriceNo;
    QString m_strPriceName;
    QString m_strUnit;
    QString m_strPrice;
    // The stored base price the caller showed in m_strPrice: an untouched
    // price text gives it back whole.
    CKvShownNumber m_PriceShown;
    QDateTime m_BeginDate; // the start day (00:00:00 after OK)
    QString m_strPriceType;
    QString m_strPriceCycle;
    QString m_strBalMode;
    int m_nTierCount = 0;
    std::array<CRankPrice, kMaxTiers> m_Tiers;

    // Tier buttons.
    void OnAppendTier();
    void OnInsertTier();
    void OnDeleteTier();
    // The type list's selection changed.
    void OnTypeChanged();

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    enum Mode
    {
        AddMode,
        ModifyMode,
        ViewMode
    };

    void applyTypeRule();
    bool checkStartDate();
    bool checkTiers();
    // Selects the item equal to `text`, else the first that begins with it.
    // Returns false when none does.
    static bool selectItem(CKvComboBox* combo, const QString& text);
    bool refuse(const QString& text, QWidget* focus, bool owned = true);
    // The tier table is full: refused at entry.
    bool tiersFull();

    // The stored floor and price a tier row was filled with: a cell left as
    // shown ("%0.1f", "%0.4f") keeps the stored value. Rows the operator adds
    // carry none.
    struct ShownTier : CKvObject
    {
        CKvShownNumber floor;
        CKvShownNumber price;
    };

    Mode m_mode;
    CPriceTypeList m_types;
    std::vector<std::unique_ptr<ShownTier>> m_shownTiers;

    CKvEdit* m_codeEdit;         // 1065
    CKvEdit* m_nameEdit;         // 1066
    CKvComboBox* m_typeCombo;    // 1067
    CKvEdit* m_unitEdit;         // 1068
    CKvComboBox* m_cycleCombo;   // 1001
    CKvComboBox* m_modeCombo;    // 1005
    QDateEdit* m_dateEdit;       // 1069
    CNumEdit* m_priceEdit;       // 1000
    CKvExtList2* m_tierList;     // 1070
    QPushButton* m_appendButton; // 1024
    QPushButton* m_insertButton; // 1003
    QPushButton* m_deleteButton; // 1026
};

#pragma once

#include "CKvDialog.h"
#include "CKvShownNumber.h"
#include "CPreModel.h"
#include "CPrePrice.h"

#include <QString>

class CKvCellDC;
class CKvComboBox;
class CKvEdit;
class CKvExtList2;
class CMenuButton;
class CNumEdit;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;
struct CKvColumnInfo;

// One meter of a user: number, level, losses, withheld share, type with the
// type's parameters, the meter's own card parameters and its price mix. The
// caption tells the mode: "增加电表", "修改配表" or "查看配表". The dialog
// edits what its caller hands in and writes nothing to the database.
class CCliPreEditDlg : public CKvDialog
{
    Q_OBJECT

public:
    static constexpr int kMaxShares = 20;
    // The rows of the meter parameter list, in order.
    enum Param
    {
        ParamCt,
        ParamPt,
        ParamLimit,
        ParamAlarm,
        ParamClose,
        ParamPulses,
        ParamOutState,
        ParamCount
    };
    // Price-row commands of the menu button and the list's pop-up menu.
    enum PriceCommand
    {
        ID_PRICE_APPEND = 32786,
        ID_PRICE_INSERT = 32790,
        ID_PRICE_DELETE = 32788,
    };

    CCliPreEditDlg(QWidget* parent, const QString& caption);

    // A modified meter's mix, copied into the share array; more than
    // kMaxShares shares throw "组合电价太多！".
    void SetPriceShares(const CPrePriceList& shares);

    bool OnInitDialog() override;
    void OnModelChange();
    void OnPriceNameChanged(int row);
    void OnPriceCommand(int command);
    void OnLineLossBox();
    void OnTransLossBox();

    // Whether a value cell of the parameter list is editable under the chosen
    // type; a fixed cell gets its fixed value.
    bool ParamEditKind(int row, CKvColumnInfo& info);
    void ParamCellColour(CKvCellDC& dc, int row, int column) const;
    void PriceCellColour(CKvCellDC& dc, int row, int column) const;

    CKvExtList2* GetTypeList() const { return m_typeList; }
    CKvExtList2* GetParamList() const { return m_paramList; }
    CKvExtList2* GetPriceList() const { return m_priceList; }

    QString m_strClientNo;
    QString m_strClientName;
    QString m_strMeterNo;
    QString m_strLevel;
    QString m_strSuperNo;
    int m_bLineLoss = 0;
    QString m_strLineLoss = QStringLiteral("0.00");
    int m_bTransLoss = 0;
    QString m_strTransLoss = QStringLiteral("0.00");
    // The stored losses behind the two loss texts: a text left as shown saves
    // the stored value, not its rounded text.
    CKvShownNumber m_LineLossShown;
    CKvShownNumber m_TransLossShown;
    QString m_strPrePayRate = QStringLiteral("0");
    QString m_strModelId;
    QString m_strParams[ParamCount];
    CPrePrice m_PriceShares[kMaxShares];
    int m_nPriceCount = 0;
    QString m_strDescrip;

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

    const CPreModel* selectedModel() const;
    // Whether the rules of the chosen type fix a parameter, and at which value
    // (null: left as it is).
    bool paramFixed(int row, QString* value) const;
    bool refuse(const QString& text, QWidget* focus);
    bool refuseCell(const QString& text, CKvExtList2* list, int row, int column);
    // The parameter checks of the OK table; false at the first that fails.
    bool checkParams();
    bool checkPrices();
    bool priceRowsFull();
    void setPriceRow(int row, const QString& name);
    QString offeredPriceNames() const;

    Mode m_mode;
    CPreModelList m_models;
    const CPreModel* m_pApplied = nullptr;
    bool m_firstFill = true;
    QStringList m_priceNames;

    CKvEdit* m_clientNoEdit;       // 1002
    CKvEdit* m_clientNameEdit;     // 1009
    CKvEdit* m_meterNoEdit;        // 1105
    CKvComboBox* m_levelCombo;     // 1010
    CKvEdit* m_superNoEdit;        // 1011
    QCheckBox* m_lineLossBox;      // 1025
    CNumEdit* m_lineLossEdit;      // 1022
    QCheckBox* m_transLossBox;     // 1026
    CNumEdit* m_transLossEdit;     // 1023
    CKvEdit* m_prePayEdit;         // 1157
    CKvComboBox* m_modelCombo;     // 1111
    CKvExtList2* m_typeList;       // 1113
    CKvExtList2* m_paramList;      // 1110
    CKvExtList2* m_priceList;      // 1074
    QPlainTextEdit* m_descripEdit; // 1014
    QPushButton* m_okButton;       // 1000
    CMenuButton* m_priceButton;    // 1050
};

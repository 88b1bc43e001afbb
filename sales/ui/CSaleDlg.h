#pragma once

#include "CCardClassifier.h"
#include "CCliBalance.h"
#include "CCliPre.h"
#include "CCliSub.h"
#include "CClient.h"
#include "CFixFee.h"
#include "CKvDialog.h"
#include "CManItem.h"
#include "CManualFee.h"
#include "COtherItem.h"
#include "CPreLastWrt.h"
#include "CPreModel.h"
#include "CPriceVer.h"
#include "CSaleWriteEngine.h"
#include "CSubRead.h"
#include "CWrtRecord.h"
#include "KvArchiveRepair.h"

#include <QString>
#include <QStringList>
#include <vector>

class CKvCellDC;
class CKvExtList2;
class CSubReadingTaker;
class QComboBox;
class QHBoxLayout;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

// The point of sale (售电服务), and the return-card refund of one meter
// (返卡退费): the operator reads a customer's card, sees it beside the archive
// (meter, meter type, user, price mix, sale history, sub-meter readings and
// fees due) and writes the top-up. The mode is the caption.
//
// A read resets everything that belongs to a card: the card state, the
// current meter and user, the card image and balance records and every list
// of records; the classification then sets the card state and alone enables
// the write button. The figures that later steps need stay in the list cells
// as shown, and are read back from there.
class CSaleDlg : public CKvDialog, private ICardClassifyHost, private ISaleWriteHost
{
    Q_OBJECT

public:
    CSaleDlg(QWidget* parent, const QString& mode);
    ~CSaleDlg() override;

    bool OnInitDialog() override;

    void OnReadCard();
    void OnWriteCard();
    void OnClearCard();
    void OnPortChanged();
    void OnTestPort();

    // Called by the classification and the write operations.
    void ShowCard(QStringList& fields);
    void ClearArchiveDisplay() override;
    void FillWriteHistory();
    void SumFeeLists(double& subCharges, double& feeCharges) const;
    void SumManualFees(double& sum) const;
    // Links every fee record of the sub-meter and fee lists to the sale; runs
    // inside the caller's transaction.
    void LinkFeesToSale(const CWrtRecord& sale);
    void ShowBalanceMessage(double balance);

    static void LabelColumnColour(CKvCellDC& dc, int row, int column, CKvExtList2* list);
    static void ValueColour(CKvCellDC& dc, int row, int column, CKvExtList2* list);

    // The writes: the infrared dispatch by card state, the ordinary top-up
    // and its three variants. Each picks a descriptor and runs the engine.
    void WriteInfraredCard();
    void WriteTopUp();
    void WriteTopUpByEnergy();
    void WriteTopUpByMoney();
    void WriteTopUpRemote();
    void RunWrite(const SaleWriteDescriptor& descriptor);

    // The other writes, each a thin entry that picks its descriptor: the
    // rewrite of a top-up not yet used, the return-card refund, the
    // replacement-card and continued-use top-ups and the IC writes.
    void ReturnCardRefund();
    void WriteModifyTopUp();
    void WriteModifyTopUpByEnergy();
    void WriteModifyTopUpByMoney();
    void WriteReissueTopUp();
    void WriteReissueTopUpRemote();
    void WriteReissueTopUpByEnergy();
    void WriteReissueTopUpByMoney();
    void WriteReissueRestore();
    void WriteContinuedUse();
    void WriteContinuedUseRemote();
    void WriteContinuedUseByEnergy();
    void WriteContinuedUseByMoney();
    void WriteIcCard();
    void WriteIcTopUpRemote();
    void WriteIcTopUpByEnergy();
    void WriteIcTopUpByMoney();
    void WriteIcModifyTopUp();
    void WriteIcModifyTopUpByEnergy();
    void WriteIcModifyTopUpByMoney();
    void WriteIcReissueTopUp();
    void WriteIcReissueTopUpRemote();
    void WriteIcReissueTopUpByEnergy();
    void WriteIcReissueTopUpByMoney();
    void WriteIcReissueRestore();

    // The purchase inputs (1 filled, 0 cancelled or refused) and the payments.
    int InputPurchaseByEnergy(PurchaseFigures& figures, int purpose) override;
    int InputPurchaseByMoney(PurchaseFigures& figures) override;
    int InputPurchaseRemote(PurchaseFigures& figures) override;
    void TakePaymentByEnergy(double due, double& change, double& paid, const QString& mode) override;
    void TakePaymentByMoney(double due, double& change, double money) override;
    void ConfirmRemotePayment(double& due, double& change, double paid) override;
    // The price shares of the price list; "没有电价！" when it is empty.
    void BuildWrtPrices(std::vector<CWrtPrice>& shares) override;
    // The receipt number, and the receipt previewed when receipts are printed.
    void PrintReceipt(CWrtRecord& sale, CClientPay& pay) override;

    bool IsSaleMode() const;
    CCliPre* GetMeter() const { return m_pMeter; }
    CClient* GetClient() const { return m_pClient; }
    const CPreLastWrt& GetLastWrt() const { return m_LastWrt; }
    const CCliBalance& GetBalance() const { return m_Balance; }

    int m_nCardState = -1;
    int m_nRemotePayIndex = -1;
    QString m_strRefundMeterNo;
    QString m_strRefundMode;
    CCliBalance m_Balance;
    CPreLastWrt m_LastWrt;
    double m_WeightedPrice = 0;
    int m_nPortIndex = -1;
    QString m_strRemark;

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    void ClassifyInfraredCard();
    void ClassifyIcCard();
    // Reads the card of the family, shows it and classifies it.
    void ClassifyCard(bool ic);
    CardFigures CardFiguresFromList(const QStringList& fields) const;

    void ShowCardFields(const QStringList& fields);
    void ShowArchiveImage();
    void FillMeterTypeList();
    void FillUserList();
    void FillPriceList();
    // Empties every list of records of the previous card, the rows that point
    // at them first.
    void ResetCard();
    // Shares the dialog among the lists by what they hold and grows it to show that.
    void FitListsToTheirFacts();

    // The fees due, in the order the read takes them. A failure on the way
    // is told and leaves no card to write to: false.
    bool LoadFeesDue(bool withManualFees);
    void LoadSubReadings();
    void LoadFixFees();
    void LoadManItemFees();
    void LoadOtherItemFees();
    void LoadManualFees();
    // The steps of the fee loading (CSaleDlgFees.cpp). The two Take steps
    // answer whether their batch of readings was written.
    bool TakeSubReadings(const QString& cardKind);
    bool TakeProgrammerReadings(const QString& cardKind);
    bool FinishSubReadings(bool (CSubReadingTaker::*take)(CSubReadList&), const QString& cardKind);
    void ShowSubReadings();
    void ShowFixFees(int wrtNum);
    void ShowManItems(int wrtNum);
    void ShowOtherItems(int wrtNum);
    void ShowManualFees(int wrtNum);
    CCliPre& RequireMeter() const;
    int CardWriteCount() const;
    QString UserNoOfList() const;

    bool RepairArchive(const QString& opWord) override;
    bool RepairInfraredArchive(const QString& opWord);
    void RepairIcArchive(const QString& opWord);
    // Dialog 220 for every current sub-meter of the meter, in order; false at
    // the first cancel.
    bool AskSubMeterReadings(std::vector<SubMeterLastReading>& readings);

    // What the write engine reads of the dialog.
    QObject* WriteParent() override { return this; }
    SaleCard ReadSaleCard() const override;
    int TotalMultiplier() const override;
    double LineLossPercent() const override;
    void GetHistoryTotals(int& bought, int& free) const override;
    CCliPre& SaleMeter() override { return *m_pMeter; }
    CClient& SaleClient() override { return *m_pClient; }
    CCliBalance& SaleBalance() override { return m_Balance; }
    CPreLastWrt& SaleLastWrt() override { return m_LastWrt; }
    CWrtRecordList& SaleHistory() override { return m_history; }
    double WeightedPrice() const override { return m_WeightedPrice; }
    int CardPort() const override { return m_nPortIndex + 1; }
    int RemotePayIndex() const override { return m_nRemotePayIndex; }
    void ShowBalance(double balance) override;
    // The purchase dialog 224 with its defaults; false when cancelled.
    bool RunPurchaseInput(const QString& caption, const QString& unit, double& amount, double& transLoss, int& subsidy);
    // 1 for a filled purchase, else the refusal told and 0.
    int PurchaseOutcome(PurchaseResult result, const QString& tooLittle);
    // Tells the change of a payment, or keeps it on the balance (bChange).
    void HandChange(double& change);
    void FillReceipt(CWrtRecord& sale);

    void SetCell(CKvExtList2* list, int row, int column, const QString& text);
    void EnableWrite(bool enable);

    CWrtRecordList m_history;
    CPriceVerList m_prices;
    CCliPreList m_meters;
    CClientList m_clients;
    CCliPre* m_pMeter = nullptr;
    CClient* m_pClient = nullptr;
    CCliSubList m_subMeters;
    CSubReadList m_subReads;
    CFixFeeList m_fixFees;
    CManItemList m_manItems;
    COtherItemList m_otherItems;
    CManualFeeList m_manualFees;
    bool m_icRead = false; // the family of the card being classified
    CardFigures m_card;    // the figures of the card being classified

    QPushButton* m_read;
    QPushButton* m_write;
    QPushButton* m_clear;
    QPushButton* m_close;
    QPushButton* m_test;
    QComboBox* m_cardType;
    QComboBox* m_port;
    QPlainTextEdit* m_remark;
    CKvExtList2* m_cardList;    // 1155
    CKvExtList2* m_typeList;    // 1113
    CKvExtList2* m_userList;    // 1086
    CKvExtList2* m_priceList;   // 1074
    CKvExtList2* m_feeList;     // 1106
    CKvExtList2* m_subList;     // 1170
    CKvExtList2* m_historyList; // 1152
    QVBoxLayout* m_leftColumn;  // the card, meter-type and user lists, the remark
    QHBoxLayout* m_columns;     // the left column and the right one
};

#pragma once

#include "CCliBalance.h"
#include "CKvDialog.h"
#include "CPreLastWrt.h"
#include "CPriceVer.h"
#include "CSaleWriteEngine.h"
#include "CWrtRecord.h"

#include <QString>
#include <QStringList>

class CCardWriter;
class CCliPre;
class CClient;
class CKvExtList2;
class QComboBox;
class QPushButton;

// The card dialog (162): writes one card for one meter of a user. The
// operation word is the caption: "电表开户", "取消授权", "写补卡", "写设置卡",
// "附卡开户" or "写抄表卡". The dialog shows the meter's type, its archive
// values and its price mix; a read of an acceptable card enables the write
// button, and every write or read disables it again.
//
// The caller sets the meter and the user (not owned) before the dialog runs;
// afterwards the balance member holds the user's balance as the writes left it.
class CCardWriteDlg : public CKvDialog, public ISaleWriteHost
{
    Q_OBJECT

public:
    CCardWriteDlg(QWidget* parent, const QString& operation);
    ~CCardWriteDlg() override;

    // Fails with "电价不存在！" when a price share of the meter has no
    // prepaid price valid today.
    bool OnInitDialog() override;

    void OnReadCard();
    void OnWriteCard();
    void OnClearCard();
    void OnSelectPort();
    void OnTestPort();

    CCliPre* m_pMeter = nullptr;  // not owned
    CClient* m_pClient = nullptr; // not owned
    CCliBalance m_Balance;
    CPreLastWrt m_LastWrt;
    CWrtRecordList m_WrtRecords;
    CPriceVerList m_Prices;
    QString m_CardType;
    double m_WeightedPrice = 0;
    int m_PortIndex = -1;

    // The account opening (电表开户) of the card type chosen, in kWh when
    // BuyUnit is "度", else in money.
    void OpenAccount();
    void OpenIcAccount();

    // The replacement card with a purchase (写补卡 with bCompWrt "是"): the
    // operator's background picks a new top-up or the last purchase again.
    // The meter's history is loaded first.
    void WriteReplacementWithTopUp();
    // A new paid top-up (补卡充值2) under the next write number, in kWh when
    // BuyUnit is "度", else in money; the flag only tells the dispatch's path.
    void ReplacementTopUp(int flag);
    void ReplacementTopUpByEnergy();
    void ReplacementTopUpByMoney();
    // The last write (flag 1), or the one before a failed 补卡充值2 (flag 0,
    // which is voided), written again unpaid as 补卡补值2.
    void ResupplyLastPurchase(int flag);
    // The purchase of a replacement's top-up when sales are not in kWh: by
    // money when BuyUnit is "元", else kWh with the subsidy kept within them.
    int InputReplacementPurchase(PurchaseFigures& figures);

    // What the write sequence asks of the dialog.
    QObject* WriteParent() override { return this; }
    SaleCard ReadSaleCard() const override;
    int TotalMultiplier() const override;
    double LineLossPercent() const override;
    void GetHistoryTotals(int& bought, int& free) const override;
    CCliPre& SaleMeter() override { return *m_pMeter; }
    CClient& SaleClient() override { return *m_pClient; }
    CCliBalance& SaleBalance() override { return m_Balance; }
    CPreLastWrt& SaleLastWrt() override { return m_LastWrt; }
    CWrtRecordList& SaleHistory() override { return m_WrtRecords; }
    double WeightedPrice() const override { return m_WeightedPrice; }
    int CardPort() const override { return m_PortIndex + 1; }
    int RemotePayIndex() const override { return -1; }
    void SumFeeLists(double& subCharges, double& feeCharges) const override;
    int InputPurchaseByEnergy(PurchaseFigures& figures, int purpose) override;
    int InputPurchaseByMoney(PurchaseFigures& figures) override;
    int InputPurchaseRemote(PurchaseFigures& figures) override;
    void BuildWrtPrices(std::vector<CWrtPrice>& shares) override;
    void TakePaymentByEnergy(double due, double& change, double& paid, const QString& mode) override;
    void TakePaymentByMoney(double due, double& change, double money) override;
    void ConfirmRemotePayment(double& due, double& change, double paid) override;
    void LinkFeesToSale(const CWrtRecord&) override {}
    void ShowBalance(double) override {}
    void PrintReceipt(CWrtRecord& sale, CClientPay& pay) override;
    void FillWriteHistory() override {}

    CKvExtList2* GetPriceList() const { return m_priceList; }
    CKvExtList2* GetArchiveList() const { return m_archiveList; }
    CKvExtList2* GetTypeList() const { return m_typeList; }

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    QString Operation() const { return GetCaption(); }
    void FillTypeList();
    void FillArchiveList(bool hasLastWrt);
    void FillPriceList();
    void ReadInfraredCard(CCardWriter& writer);
    void ReadIcCard(CCardWriter& writer);
    // The open card of an attached or reading card for `cardNo` (amount 0),
    // then a read and the used card; nothing after a failed open.
    void WriteOpenAndUsedCard(CCardWriter& writer, const QString& cardNo);
    void WriteSettingCard(CCardWriter& writer, const QString& meterNo);
    bool WriteOpenAccount(const QString& meterNo);
    // The opening's write: infrared or IC card, by kWh or by money.
    void RunOpening(bool ic, bool byEnergy);
    // The amounts of an opening (and of a replacement's top-up): a
    // withholding is paid at the counter, not from the balance.
    static void OpeningAmounts(SaleWriteContext& context);
    // The opening's breakdown under its own first line.
    static QString OpeningBreakdown(const SaleWriteContext& context, const QString& firstLine);
    // The meter's last write, which must carry the last card image's write
    // number; null after telling the operator why not.
    CWrtRecord* CheckedLastWrite();
    void RunReplacementTopUp(SalePayment payment);
    // The receipt's values from the write, the balance and the lists.
    void FillReceipt(const CWrtRecord& sale);

    QPushButton* m_clear;       // 1134
    CKvExtList2* m_priceList;   // 1074
    QPushButton* m_write;       // 1132
    QComboBox* m_cardTypeBox;   // 1133
    CKvExtList2* m_archiveList; // 1110
    CKvExtList2* m_typeList;    // 1113
    QComboBox* m_port;          // 1136
    QPushButton* m_read;        // 1135
    QPushButton* m_test;        // 1162
};

#pragma once

#include "CCliBalance.h"
#include "CKvDialog.h"
#include "CPreLastWrt.h"
#include "CPriceVer.h"
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
class CCardWriteDlg : public CKvDialog
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
    // The account opening and the replacement with a top-up come with the
    // opening of an account; until then they tell so and write nothing.
    bool WriteOpenAccount(const QString& meterNo);
    bool WriteReplacementWithTopUp(const QString& meterNo);

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

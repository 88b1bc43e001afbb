#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>

// An other-fee item of a user (table OtherItem), charged with a sale. The
// rows are written by the other-fee entry program and the fee-loading
// library; this program only reads them and links them to the sale that
// charged them, so the save operations write nothing.
class COtherItem : public CKvPersistance
{
public:
    COtherItem();

    QString GetClassName() const override { return QStringLiteral("COtherItem"); }
    void InsertNew() override {}
    void Insert() override {}
    void Delete() override {}
    void Update() override {}

    // Links the item to the sale at once, whatever the save state.
    void SetWrtIndex(int wrtIndex);

    int GetFeeIndex() const { return m_FeeIndex; }
    QString GetClientNo() const { return m_ClientNo; }
    QString GetPriceName() const { return m_PriceName; }
    QDateTime GetBeginDate() const { return m_BeginDate; }
    QDateTime GetEndDate() const { return m_EndDate; }
    int GetDays() const { return m_Days; }
    double GetPrice() const { return m_Price; }
    double GetPriceUnits() const { return m_PriceUnits; }
    double GetFinalFee() const { return m_FinalFee; }
    QDateTime GetReadTime() const { return m_ReadTime; }
    int GetWrtIndex() const { return m_WrtIndex; }
    int GetWrtNum() const { return m_WrtNum; }

    void SetFeeIndex(int value) { m_FeeIndex = value; }
    void SetClientNo(const QString& value) { m_ClientNo = value; }
    void SetPriceName(const QString& value) { m_PriceName = value; }
    void SetBeginDate(const QDateTime& value) { m_BeginDate = value; }
    void SetEndDate(const QDateTime& value) { m_EndDate = value; }
    void SetDays(int value) { m_Days = value; }
    void SetPrice(double value) { m_Price = value; }
    void SetPriceUnits(double value) { m_PriceUnits = value; }
    void SetFinalFee(double value) { m_FinalFee = value; }
    void SetReadTime(const QDateTime& value) { m_ReadTime = value; }
    void SetWrtNum(int value) { m_WrtNum = value; }

private:
    friend class COtherItemList; // loads WrtIndex without the linking statement

    int m_FeeIndex = -1;
    QString m_ClientNo;
    QString m_PriceName;
    QDateTime m_BeginDate;
    QDateTime m_EndDate;
    int m_Days = 0;
    double m_Price = 0;
    double m_PriceUnits = 0;
    double m_FinalFee = 0;
    QDateTime m_ReadTime;
    int m_WrtIndex = -1;
    int m_WrtNum = -1;
};

class COtherItemList : public CKvRecordList<COtherItem>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    // The user's items that belong to that write number.
    QList<CKvObject*>& LoadByClientAndWrtNum(const QString& clientNo, int wrtNum);
};

// Whether other fees (table OtherFee) name the user, or any version of the
// price code; a user or price with such fees is not deleted.
bool ExistsOtherFeeOfClient(const QString& clientNo);
bool ExistsOtherFeeOfPrice(const QString& priceNo);

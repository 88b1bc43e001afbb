#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>

// A manually read sub-meter charged with a sale (table ManItem). Rows come
// from outside programs; this system links them to the sale, and may delete one.
class CManItem : public CKvPersistance
{
public:
    CManItem();

    QString GetClassName() const override { return QStringLiteral("CManItem"); }
    void InsertNew() override {} // rows are made outside
    void Insert() override {}
    void Delete() override;
    void Update() override {}

    // Links the row to the sale at once.
    void SetWrtIndex(int wrtIndex);

    int GetReadIndex() const { return m_ReadIndex; }
    QString GetClientNo() const { return m_ClientNo; }
    QString GetManNo() const { return m_ManNo; }
    double GetLastRead() const { return m_LastRead; }
    double GetThisRead() const { return m_ThisRead; }
    double GetRealUse() const { return m_RealUse; }
    QDateTime GetReadTime() const { return m_ReadTime; }
    double GetFreeValue() const { return m_FreeValue; }
    double GetBuyValue() const { return m_BuyValue; }
    QString GetPriceName() const { return m_PriceName; }
    double GetPrice() const { return m_Price; }
    double GetFee() const { return m_Fee; }
    int GetWrtIndex() const { return m_WrtIndex; }
    int GetWrtNum() const { return m_WrtNum; }

    void SetReadIndex(int value) { m_ReadIndex = value; }
    void SetClientNo(const QString& value) { m_ClientNo = value; }
    void SetManNo(const QString& value) { m_ManNo = value; }
    void SetLastRead(double value) { m_LastRead = value; }
    void SetThisRead(double value) { m_ThisRead = value; }
    void SetRealUse(double value) { m_RealUse = value; }
    void SetReadTime(const QDateTime& value) { m_ReadTime = value; }
    void SetFreeValue(double value) { m_FreeValue = value; }
    void SetBuyValue(double value) { m_BuyValue = value; }
    void SetPriceName(const QString& value) { m_PriceName = value; }
    void SetPrice(double value) { m_Price = value; }
    void SetFee(double value) { m_Fee = value; }
    void SetWrtNum(int value) { m_WrtNum = value; }

private:
    friend class CManItemList; // loads WrtIndex without the linking statement

    int m_ReadIndex = -1;
    QString m_ClientNo;
    QString m_ManNo;
    double m_LastRead = 0;
    double m_ThisRead = 0;
    double m_RealUse = 0;
    QDateTime m_ReadTime;
    double m_FreeValue = 0;
    double m_BuyValue = 0;
    QString m_PriceName;
    double m_Price = 0;
    double m_Fee = 0;
    int m_WrtIndex = -1;
    int m_WrtNum = -1;
};

class CManItemList : public CKvRecordList<CManItem>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    QList<CKvObject*>& LoadByClientAndWrtNum(const QString& clientNo, int wrtNum);
};

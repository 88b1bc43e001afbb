#pragma once

#include "CKvObjectList.h"
#include "CKvPersistance.h"

#include <QDateTime>
#include <QString>

// One sub-meter reading charged with a sale (table SubRead). A reading is
// never rewritten; only its link to the sale changes, by its own statement.
class CSubRead : public CKvPersistance
{
public:
    CSubRead();

    QString GetClassName() const override { return QStringLiteral("CSubRead"); }
    // ReadIndex is the counter SubReadIndex itself.
    void InsertNew() override;
    void Insert() override;
    void Delete() override;
    void Update() override {}

    // Links the reading to the sale at once.
    void SetWrtIndex(int wrtIndex);

    int GetReadIndex() const { return m_ReadIndex; }
    QString GetSubNo() const { return m_SubNo; }
    int GetCliSubIndex() const { return m_CliSubIndex; }
    int GetWrtIndex() const { return m_WrtIndex; }
    int GetWrtNum() const { return m_WrtNum; }
    int GetThisPulses() const { return m_ThisPulses; }
    int GetLastPulses() const { return m_LastPulses; }
    double GetLastRead() const { return m_LastRead; }
    double GetThisRead() const { return m_ThisRead; }
    double GetRealUse() const { return m_RealUse; }
    int GetStealFlag() const { return m_StealFlag; }
    QDateTime GetReadTime() const { return m_ReadTime; }
    double GetFreeValue() const { return m_FreeValue; }
    double GetBuyValue() const { return m_BuyValue; }
    int GetPriceIndex() const { return m_PriceIndex; }
    double GetPrice() const { return m_Price; }
    double GetFee() const { return m_Fee; }

    void SetReadIndex(int value) { m_ReadIndex = value; }
    void SetSubNo(const QString& value) { m_SubNo = value; }
    void SetCliSubIndex(int value) { m_CliSubIndex = value; }
    void SetWrtNum(int value) { m_WrtNum = value; }
    void SetThisPulses(int value) { m_ThisPulses = value; }
    void SetLastPulses(int value) { m_LastPulses = value; }
    void SetLastRead(double value) { m_LastRead = value; }
    void SetThisRead(double value) { m_ThisRead = value; }
    void SetRealUse(double value) { m_RealUse = value; }
    void SetStealFlag(int value) { m_StealFlag = value; }
    void SetReadTime(const QDateTime& value) { m_ReadTime = value; }
    void SetFreeValue(double value) { m_FreeValue = value; }
    void SetBuyValue(double value) { m_BuyValue = value; }
    void SetPriceIndex(int value) { m_PriceIndex = value; }
    void SetPrice(double value) { m_Price = value; }
    void SetFee(double value) { m_Fee = value; }

private:
    friend class CSubReadList; // loads WrtIndex without the linking statement

    int m_ReadIndex = -1;
    QString m_SubNo;
    int m_CliSubIndex = -1;
    int m_WrtIndex = -1;
    int m_WrtNum = -1;
    int m_ThisPulses = 0;
    int m_LastPulses = 0;
    double m_LastRead = 0;
    double m_ThisRead = 0;
    double m_RealUse = 0;
    int m_StealFlag = -1;
    QDateTime m_ReadTime;
    double m_FreeValue = 0;
    double m_BuyValue = 0;
    int m_PriceIndex = -1;
    double m_Price = 0;
    double m_Fee = 0;
};

class CSubReadList : public CKvRecordList<CSubRead>
{
public:
    QList<CKvObject*>& Load(const QString& sql) override;
    // The readings of every sub-meter row of the meter, current or closed,
    // charged with that write number, in sub-meter number order.
    QList<CKvObject*>& LoadByWrtNum(const QString& meterNo, int wrtNum);
    // Searches the loaded list from the head, or from after `start`.
    CSubRead* FindBySubNo(const QString& subNo, const CSubRead* start = nullptr) const;

    static void DeleteBySubNo(const QString& subNo);
};

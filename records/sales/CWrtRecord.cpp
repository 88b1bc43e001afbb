#include "CWrtRecord.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CClientPay.h"
#include "CKvException.h"
#include "COperator.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

namespace {

const QString kWaiting = QStringLiteral("待写");
const QString kWritten = QStringLiteral("写卡成功");
const QString kTransferred = QStringLiteral("补值成功");
const QString kPaid = QStringLiteral("收讫");

} // namespace

CWrtRecord::CWrtRecord()
    : m_State(kWaiting), m_OperatorNo(GetCurrentOperator()->GetOperatorNo()), m_WrtTime(GetServerTime())
{
    m_prices.SetOwnerRecord(this);
}

void CWrtRecord::InsertNew()
{
    if (m_MeterNo.isEmpty() || m_OpMode.isEmpty())
        throw CKvException(QStringLiteral("向数据库添加售电记录发生错误！"));
    m_WrtIndex = GetMainSysPara()->GetIntPara(QStringLiteral("WrtIndex"), 1) + 100000000;
    Insert();
}

void CWrtRecord::Insert()
{
    CAdoConnection* db = GetMainDatabase();
    const QString sql = KvFormatSql(
        QStringLiteral("insert into WrtRecord(WrtIndex, MeterNo, CliPreIndex, WrtValue, LimitValue, AlarmShold, "
                       "\t\tCloseShold, WrtNum, TotalMul, BuyValue, FreeValue, AccuBuy, AccuUse, AccuRemain, "
                       "\t\tLWaste, TWaste, Price, Fee, PrePay, SubFee, FixFee, OpMode, State, OperatorNo, WrtTime) "
                       "\t\tvalues(%d, '%s', %d, %d, '%s', %d, %d, %d, %d, %d, %d, %d, %f, %f, "
                       "\t\t%f, %f, %f, %f, %f, %f, %f, '%s', '%s', '%s', CDate('%s'))"),
        m_WrtIndex, m_MeterNo, m_CliPreIndex, m_WrtValue, m_LimitValue, m_AlarmShold, m_CloseShold, m_WrtNum,
        m_TotalMul, m_BuyValue, m_FreeValue, m_AccuBuy, m_AccuUse, m_AccuRemain, m_LWaste, m_TWaste, m_Price, m_Fee,
        m_PrePay, m_SubFee, m_FixFee, m_OpMode, m_State, m_OperatorNo, KvDateText(m_WrtTime));

    // A share saved inside a transaction that is then rolled back must be saved
    // again by a retry, so the shares' states are put back on failure.
    QList<int> shareStates;
    for (const CKvObject* object : m_prices.GetObList())
        shareStates << static_cast<const CWrtPrice*>(object)->GetState();
    QString reason;
    try {
        CAdoTransaction transaction(*db);
        db->Execute(sql, QString());
        for (CKvObject* object : m_prices.GetObList())
            static_cast<CWrtPrice*>(object)->Save();
        transaction.Commit();
        SetState(StateStored);
        return;
    } catch (const CKvException& e) {
        reason = e.text();
    } catch (...) {
    }
    for (int i = 0; i < shareStates.size() && i < m_prices.GetCount(); ++i)
        m_prices.At(i)->SetState(shareStates.at(i));
    throw CKvException(db->FailureText(QStringLiteral("向数据库增加写卡记录发生错误！"), reason));
}

void CWrtRecord::Delete()
{
    CAdoConnection* db = GetMainDatabase();
    try {
        CAdoTransaction transaction(*db);
        CClientPayList::DeleteByWrtIndex(m_WrtIndex);
        for (CKvObject* object : m_prices.GetObList()) {
            auto* share = static_cast<CWrtPrice*>(object);
            share->SetState(StateDelete);
            share->Save();
        }
        // A pending row that is no longer there was settled elsewhere: not a removal.
        if (db->Execute(KvFormatSql(QStringLiteral("delete from WrtRecord where WrtIndex = %d"), m_WrtIndex),
                        QString()) != 1)
            throw CKvException(QStringLiteral("向数据库删除售电记录发生错误！"));
        transaction.Commit();
    } catch (const CKvException& e) {
        throw CKvException(db->FailureText(QStringLiteral("向数据库删除售电记录发生错误！"), e.text()));
    } catch (...) {
        throw CKvException(QStringLiteral("向数据库删除售电记录发生错误！"));
    }
}

void CWrtRecord::Update()
{
    const QString failed = QStringLiteral("更新写卡记录失败！");
    // No row changed: the sale was never saved or was deleted meanwhile, and
    // reporting it stored would let a payment be recorded against nothing.
    if (GetMainDatabase()->Execute(
            KvFormatSql(QStringLiteral("update WrtRecord set State = '%s' where WrtIndex = %d"), m_State, m_WrtIndex),
            failed) == 0)
        throw CKvException(failed);
    SetState(StateStored);
}

void CWrtRecord::writeState(const QString& word, const QString& refused)
{
    // A record that was never stored has no row to change; saving it as
    // changed would skip its insert for good.
    if (GetState() == StateNew || GetState() == StateNewKeyed)
        throw CKvException(refused);
    m_State = word;
    SetState(StateChanged);
    Save();
}

void CWrtRecord::ConfirmWritten()
{
    if (m_State == kPaid || m_State == kWritten || m_State == kTransferred)
        throw CKvException(QStringLiteral("确认写卡成功发生错误！"));
    const bool transfer = m_OpMode == QStringLiteral("补卡补值") || m_OpMode == QStringLiteral("补卡补值2");
    writeState(transfer ? kTransferred : kWritten, QStringLiteral("确认写卡成功发生错误！"));
}

void CWrtRecord::ConfirmPaid()
{
    if (m_State != kWritten)
        throw CKvException(QStringLiteral("收讫发生错误！"));
    writeState(kPaid, QStringLiteral("收讫发生错误！"));
}

void CWrtRecord::SetVoid()
{
    writeState(QStringLiteral("作废"), QStringLiteral("更新写卡记录失败！"));
}

CWrtPrice* CWrtRecord::appendShare(const CWrtPrice& from)
{
    auto* share = new CWrtPrice;
    share->SetPriceIndex(from.GetPriceIndex());
    share->SetPricePercent(from.GetPricePercent());
    m_prices.AppendRecord(share);
    return share;
}

void CWrtRecord::SetWrtPrices(const CWrtPrice* shares, int count)
{
    m_prices.Clear();
    for (int i = 0; i < count; ++i)
        appendShare(shares[i]);
}

void CWrtRecord::SetPriceList(const CWrtPriceList* source)
{
    m_prices.Clear();
    if (!source)
        return;
    for (const CKvObject* object : source->GetObList()) {
        const auto* from = static_cast<const CWrtPrice*>(object);
        appendShare(*from)->SetWrtIndex(from->GetWrtIndex());
    }
}

bool CWrtRecord::GetClientPay(CClientPay& pay) const
{
    CClientPayList list;
    const CClientPay* found = list.LoadByWrtIndex(m_WrtIndex);
    if (!found)
        return false;
    pay = *found;
    return true;
}

QList<CKvObject*>& CWrtRecordList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto r = std::make_unique<CWrtRecord>();
        r->SetWrtIndex(rs.GetFieldInt(QStringLiteral("WrtIndex")));
        r->SetMeterNo(rs.GetFieldString(QStringLiteral("MeterNo")));
        r->SetCliPreIndex(rs.GetFieldInt(QStringLiteral("CliPreIndex")));
        r->SetWrtValue(rs.GetFieldInt(QStringLiteral("WrtValue")));
        r->SetLimitValue(rs.GetFieldString(QStringLiteral("LimitValue")));
        r->SetAlarmShold(rs.GetFieldInt(QStringLiteral("AlarmShold")));
        r->SetCloseShold(rs.GetFieldInt(QStringLiteral("CloseShold")));
        r->SetWrtNum(rs.GetFieldInt(QStringLiteral("WrtNum")));
        r->SetTotalMul(rs.GetFieldInt(QStringLiteral("TotalMul")));
        r->SetBuyValue(rs.GetFieldInt(QStringLiteral("BuyValue")));
        r->SetFreeValue(rs.GetFieldInt(QStringLiteral("FreeValue")));
        r->SetAccuBuy(rs.GetFieldInt(QStringLiteral("AccuBuy")));
        r->SetAccuUse(rs.GetFieldDouble(QStringLiteral("AccuUse")));
        r->SetAccuRemain(rs.GetFieldDouble(QStringLiteral("AccuRemain")));
        r->SetLWaste(rs.GetFieldDouble(QStringLiteral("LWaste")));
        r->SetTWaste(rs.GetFieldDouble(QStringLiteral("TWaste")));
        r->SetPrice(rs.GetFieldDouble(QStringLiteral("Price")));
        r->SetFee(rs.GetFieldDouble(QStringLiteral("Fee")));
        r->SetPrePay(rs.GetFieldDouble(QStringLiteral("PrePay")));
        r->SetSubFee(rs.GetFieldDouble(QStringLiteral("SubFee")));
        r->SetFixFee(rs.GetFieldDouble(QStringLiteral("FixFee")));
        r->SetOpMode(rs.GetFieldString(QStringLiteral("OpMode")));
        r->SetState(rs.GetFieldString(QStringLiteral("State")));
        r->SetOperatorNo(rs.GetFieldString(QStringLiteral("OperatorNo")));
        r->SetWrtTime(rs.GetFieldDateTime(QStringLiteral("WrtTime")));
        r->GetPriceList().LoadByWrtIndex(r->GetWrtIndex());
        return r.release();
    });
}

CWrtRecord* CWrtRecordList::LoadByWrtIndex(int wrtIndex)
{
    Load(KvFormatSql(QStringLiteral("select * from WrtRecord where WrtIndex = %d"), wrtIndex));
    return static_cast<CWrtRecord*>(GetHead());
}

QList<CKvObject*>& CWrtRecordList::LoadMeterHistory(const QString& clientNo, const QString& meterNo)
{
    return Load(KvFormatSql(QStringLiteral("select * from WrtRecord where MeterNo = '%s' and WrtNum >= 0 and "
                                           "\t\t(State = '收讫' or State = '写卡成功') and CliPreIndex in "
                                           "\t\t(select CliPreIndex from CliPre where ClientNo = '%s') "
                                           "\t\torder by WrtIndex"),
                            meterNo, clientNo));
}

void CWrtRecordList::DeleteRecord(CWrtRecord* record)
{
    if (!Contains(record))
        throw CKvException(QStringLiteral("从数据库删除售电记录发生位置错误！"));
    record->SetState(CKvPersistance::StateDelete);
    record->Save();
    Remove(record);
}

void CWrtRecordList::UpdateState(CWrtRecord* record, const QString& state)
{
    if (!Contains(record))
        throw CKvException(QStringLiteral("向数据库更新售电记录发生位置错误！"));
    record->SetState(state);
    record->SetState(CKvPersistance::StateChanged);
    record->Save();
}

void CWrtRecordList::DeleteByCliPreIndex(int cliPreIndex)
{
    CAdoConnection* db = GetMainDatabase();
    CAdoTransaction transaction(*db);
    db->Execute(KvFormatSql(QStringLiteral("delete from ClientPay where WrtIndex in "
                                           "\t\t\t(select WrtIndex from WrtRecord where CliPreIndex = %d)"),
                            cliPreIndex),
                QString());
    db->Execute(KvFormatSql(QStringLiteral("delete from WrtPrice where WrtIndex in "
                                           "\t\t\t(select WrtIndex from WrtRecord where CliPreIndex = %d)"),
                            cliPreIndex),
                QString());
    db->Execute(KvFormatSql(QStringLiteral("delete from WrtRecord where CliPreIndex = %d"), cliPreIndex), QString());
    transaction.Commit();
}

void CWrtRecordList::DeleteByClientMeter(const QString& clientNo, const QString& meterNo)
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from WrtRecord where CliPreIndex in "
                                                          "\t\t(select CliPreIndex from CliPre where ClientNo = '%s' "
                                                          "and MeterNo = '%s')"),
                                           clientNo, meterNo),
                               QString());
}

bool CWrtRecordList::ExistsForOperator(const QString& operatorNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select WrtIndex from WrtRecord where OperatorNo = '%s'"), operatorNo), QString());
}

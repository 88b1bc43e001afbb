#include "CPriceVer.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "COperator.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "KvUtil.h"
#include "KvVersionChange.h"
#include "SysGlobals.h"

#include <QHash>
#include <memory>

namespace {

const QString kLatestEnd = QStringLiteral("2050-12-31");

QString todayText()
{
    return KvDateText(GetServerDate());
}

} // namespace

CPriceVer::CPriceVer()
    : m_BeginDate(GetServerDate()), m_EndDate(ParseDate(kLatestEnd)),
      m_OperatorNo(GetCurrentOperator()->GetOperatorNo()), m_ModiTime(GetServerTime())
{
    m_tiers.SetOwnerRecord(this);
}

void CPriceVer::InsertNew()
{
    if (m_PriceNo.isEmpty() || m_PriceName.isEmpty())
        throw CKvException(QStringLiteral("向数据库添加价目时发生错误！"));
    m_PriceIndex = GetMainSysPara()->GetIntPara(QStringLiteral("PriceIndex"), 1);
    Insert();
}

void CPriceVer::Insert()
{
    CAdoConnection* db = GetMainDatabase();
    KvWriteWithChildren(m_tiers, QStringLiteral("向数据库增加价目时发生错误！"), [&] {
        if (m_State == QStringLiteral("正常")) {
            db->Execute(KvFormatSql(QStringLiteral("insert into Price(PriceNo, PriceName, PriceType, PriceCycle, "
                                                   "BalMode, \t\t\t\tUnit, MonthlyBegin, BalDay, State) \t\t\t\t"
                                                   "values('%s', '%s', '%s', '%s', '%s', '%s', '%s', '%s', '%s')"),
                                    m_PriceNo, m_PriceName, m_PriceType, m_PriceCycle, m_BalMode, m_Unit,
                                    m_MonthlyBegin, m_BalDay, m_State),
                        QString());
        } else {
            // The item of a new version must exist: an update that finds no
            // row would store a version without its item.
            KvExecuteRowChange(
                KvFormatSql(QStringLiteral("update Price set PriceName = '%s', PriceType = '%s', "
                                           "PriceCycle = '%s', \t\t\t\tUnit = '%s' where PriceNo = '%s'"),
                            m_PriceName, m_PriceType, m_PriceCycle, m_Unit, m_PriceNo),
                QString());
        }
        db->Execute(KvFormatSql(QStringLiteral("insert into PriceVer(PriceIndex, PriceNo, Price, BeginDate, EndDate, "
                                               "OperatorNo, ModiTime) \t\t\tvalues(%d, '%s', %f, CDate('%s'), "
                                               "CDate('%s'), '%s', CDate('%s'))"),
                                m_PriceIndex, m_PriceNo, m_Price, KvDateText(m_BeginDate.date()),
                                KvDateText(m_EndDate.date()), m_OperatorNo, KvDateText(m_ModiTime)),
                    QString());
        m_tiers.SaveAll();
    });
    SetState(StateStored);
}

void CPriceVer::Delete()
{
    KvWriteWithChildren(m_tiers, QStringLiteral("向数据库删除价目时发生错误！"), [&] {
        m_tiers.DeleteAll();
        KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from PriceVer where PriceIndex = %d"), m_PriceIndex),
                           QString());
        GetMainDatabase()->Execute(
            QStringLiteral("delete from Price where PriceNo not in (select PriceNo from PriceVer)"), QString());
    });
}

void CPriceVer::Update()
{
    KvCloseVersionRow(QStringLiteral("PriceVer"), QStringLiteral("PriceIndex"), m_PriceIndex, m_EndDate, m_OperatorNo,
                      m_ModiTime, QStringLiteral("向数据库更新价目时发生错误！"),
                      QStringLiteral("向数据库更新价目时发生错误！"));
    SetState(StateStored);
}

void CPriceVer::SetTiers(const CRankPrice* tiers, int count)
{
    m_tiers.Clear();
    for (int i = 0; i < count; ++i) {
        auto* tier = new CRankPrice(tiers[i]);
        tier->SetState(StateNew);
        m_tiers.AppendRecord(tier);
    }
}

bool CPriceVer::IsSame(const CPriceVer& other) const
{
    if (m_PriceNo != other.m_PriceNo || m_PriceName != other.m_PriceName || m_PriceType != other.m_PriceType ||
        m_PriceCycle != other.m_PriceCycle || m_Unit != other.m_Unit)
        return false;
    if (RoundAmount(m_Price * 100) != RoundAmount(other.m_Price * 100))
        return false;
    if (m_BeginDate.isValid() != other.m_BeginDate.isValid() || m_BeginDate != other.m_BeginDate)
        return false;
    if (m_tiers.GetCount() != other.m_tiers.GetCount())
        return false;
    for (int i = 0; i < m_tiers.GetCount(); ++i) {
        const CRankPrice* a = m_tiers.At(i);
        const CRankPrice* b = other.m_tiers.At(i);
        if (a->GetPriceIndex() != b->GetPriceIndex() || a->GetRankX() != b->GetRankX() ||
            a->GetRankPrice() != b->GetRankPrice() || a->GetThreshold() != b->GetThreshold())
            return false;
    }
    return true;
}

CPriceVerList::CPriceVerList()
{
    SetSql2(QStringLiteral("select a.PriceIndex as PriceIndex, a.PriceNo as PriceNo, a.Price as Price, "
                           "\t\ta.BeginDate as BeginDate, a.EndDate as EndDate, a.OperatorNo as OperatorNo, "
                           "\t\ta.ModiTime as ModiTime, b.PriceName as PriceName, b.PriceType as PriceType, "
                           "\t\tb.PriceCycle as PriceCycle, b.BalMode as BalMode, b.Unit as Unit, "
                           "\t\tb.MonthlyBegin as MonthlyBegin, b.BalDay as BalDay, b.State as State "
                           "\t\tfrom PriceVer a, Price b where a.PriceNo = b.PriceNo"));
}

QList<CKvObject*>& CPriceVerList::Load(const QString& sql)
{
    // All tiers are read once; each version takes those of its key, in order.
    QHash<int, QList<const CRankPrice*>> tiersByVersion;
    CRankPriceList allTiers;
    if (!sql.isEmpty()) {
        allTiers.LoadAll();
        for (const CKvObject* object : allTiers.GetObList()) {
            const auto* tier = static_cast<const CRankPrice*>(object);
            tiersByVersion[tier->GetPriceIndex()].append(tier);
        }
    }
    return LoadRows(*GetMainDatabase(), sql, [&tiersByVersion](const CAdoRecordset& rs) {
        auto version = std::make_unique<CPriceVer>();
        version->SetPriceIndex(rs.GetFieldInt(QStringLiteral("PriceIndex")));
        version->SetPriceNo(rs.GetFieldString(QStringLiteral("PriceNo")));
        version->SetPrice(rs.GetFieldDouble(QStringLiteral("Price")));
        version->SetBeginDate(rs.GetFieldDateTime(QStringLiteral("BeginDate")));
        version->SetEndDate(rs.GetFieldDateTime(QStringLiteral("EndDate")));
        version->SetOperatorNo(rs.GetFieldString(QStringLiteral("OperatorNo")));
        version->SetModiTime(rs.GetFieldDateTime(QStringLiteral("ModiTime")));
        version->SetPriceName(rs.GetFieldString(QStringLiteral("PriceName")));
        version->SetPriceType(rs.GetFieldString(QStringLiteral("PriceType")));
        version->SetPriceCycle(rs.GetFieldString(QStringLiteral("PriceCycle")));
        version->SetBalMode(rs.GetFieldString(QStringLiteral("BalMode")));
        version->SetUnit(rs.GetFieldString(QStringLiteral("Unit")));
        version->SetMonthlyBegin(rs.GetFieldString(QStringLiteral("MonthlyBegin")));
        version->SetBalDay(rs.GetFieldString(QStringLiteral("BalDay")));
        version->SetState(rs.GetFieldString(QStringLiteral("State")));
        for (const CRankPrice* from : tiersByVersion.value(version->GetPriceIndex())) {
            auto* tier = new CRankPrice(*from);
            tier->SetState(CKvPersistance::StateStored);
            version->GetTiers().AppendRecord(tier);
        }
        return version.release();
    });
}

QList<CKvObject*>& CPriceVerList::loadWhere(const QString& conditions)
{
    return Load(GetSql2() + conditions);
}

QList<CKvObject*>& CPriceVerList::LoadAll()
{
    return loadWhere(QStringLiteral(" order by a.PriceNo, PriceIndex"));
}

QList<CKvObject*>& CPriceVerList::LoadValidOfType(const QString& priceType)
{
    return loadWhere(KvFormatSql(QStringLiteral(" and BeginDate <= CDate('%s') and \t\tEndDate >= CDate('%s') "
                                                "and PriceType = '%s' order by a.PriceNo"),
                                 todayText(), todayText(), priceType));
}

QList<CKvObject*>& CPriceVerList::LoadValidExceptPrepaidAndQuota()
{
    return loadWhere(KvFormatSql(QStringLiteral(" and BeginDate <= CDate('%s') and \t\tEndDate >= CDate('%s') "
                                                "and PriceType <> '预付费电价' and PriceType <> '定额收费价' "
                                                "order by a.PriceNo"),
                                 todayText(), todayText()));
}

QList<CKvObject*>& CPriceVerList::LoadValidToday()
{
    return loadWhere(KvFormatSql(QStringLiteral(" and  BeginDate <= CDate('%s') and \t\tEndDate >= CDate('%s')"),
                                 todayText(), todayText()));
}

CPriceVer* CPriceVerList::FindValidByPriceNo(const QString& priceNo, const QDateTime& date)
{
    const QString day = KvDateText(date.date());
    loadWhere(KvFormatSql(QStringLiteral(" and Begindate <= CDate('%s') and \t\tEndDate >= CDate('%s') and "
                                         "a.PriceNo = '%s'"),
                          day, day, priceNo));
    return static_cast<CPriceVer*>(GetHead());
}

CPriceVer* CPriceVerList::FindValidTodayByPriceNo(const QString& priceNo)
{
    LoadValidToday();
    return FindLoadedByPriceNo(priceNo);
}

CPriceVer* CPriceVerList::FindValidTodayByPriceName(const QString& priceName)
{
    LoadValidToday();
    for (int i = 0; i < GetCount(); ++i)
        if (At(i)->GetPriceName() == priceName)
            return At(i);
    return nullptr;
}

CPriceVer* CPriceVerList::FindByPriceIndex(int priceIndex)
{
    loadWhere(KvFormatSql(QStringLiteral(" and PriceIndex = %d"), priceIndex));
    return static_cast<CPriceVer*>(GetHead());
}

CPriceVer* CPriceVerList::FindLoadedByPriceNo(const QString& priceNo) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (At(i)->GetPriceNo() == priceNo)
            return At(i);
    return nullptr;
}

void CPriceVerList::AddVersion(CPriceVer* newVersion, CPriceVer* oldVersion)
{
    KvChangeVersion(*this, newVersion, oldVersion, QStringLiteral("向数据库更新用户价目发生位置错误！"),
                    KvOldVersion::ReplaceIfPending);
}

void CPriceVerList::DeleteByPriceNo(const QString& priceNo)
{
    CAdoConnection* db = GetMainDatabase();
    CAdoTransaction transaction(*db);
    db->Execute(KvFormatSql(QStringLiteral("delete from RankPrice where PriceIndex in \t\t\t(select PriceIndex "
                                           "from PriceVer where PriceNo = '%s')"),
                            priceNo),
                QString());
    db->Execute(KvFormatSql(QStringLiteral("delete from PriceVer where PriceNo = '%s'"), priceNo), QString());
    db->Execute(KvFormatSql(QStringLiteral("delete from Price where PriceNo = '%s'"), priceNo), QString());
    transaction.Commit();
}

bool CPriceVerList::PriceNoExists(const QString& priceNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select PriceNo from Price where PriceNo = '%s'"), priceNo), QString());
}

bool CPriceVerList::ExistsForOperator(const QString& operatorNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select PriceIndex from PriceVer where OperatorNo = '%s'"), operatorNo), QString());
}

bool CPriceVerList::PriceTypeInUse(const QString& priceType)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select PriceType from Price where PriceType = '%s'"), priceType), QString());
}

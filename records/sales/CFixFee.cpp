#include "CFixFee.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CDbResult.h"
#include "CSysPara.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <memory>

CFixFee::CFixFee() : CFixFee(GetServerDate()) {}

CFixFee::CFixFee(const QDateTime& today) : m_BeginDate(today), m_EndDate(AddDays(today, -1)), m_ReadTime(today) {}

CFixFee::CFixFee(LoadedRow) {}

void CFixFee::InsertNew()
{
    m_FeeIndex = GetMainSysPara()->GetIntPara(QStringLiteral("FixFeeIndex"), 1);
    Insert();
}

void CFixFee::Insert()
{
    GetMainDatabase()->Execute(InsertColumnsText() + QStringLiteral(" \t\tvalues") + InsertValuesText(), QString());
    SetState(StateStored);
}

QString CFixFee::InsertColumnsText()
{
    return QStringLiteral("insert into FixFee(FeeIndex, CliFixIndex, YearMon, WrtNum, WrtIndex, PriceIndex, "
                          "\t\tPrice, PriceUnits, BeginDate, EndDate, Days, PriceFee, FinalFee, ReadTime, State)");
}

QString CFixFee::InsertValuesText() const
{
    return KvFormatSql(QStringLiteral("(%d, %d, %d, %d, %d, %d, %f, %f, CDate('%s'), CDate('%s'), %d, %f, %f, "
                                      "CDate('%s'), '%s')"),
                       m_FeeIndex, m_CliFixIndex, m_YearMon, m_WrtNum, m_WrtIndex, m_PriceIndex, m_Price, m_PriceUnits,
                       KvDateText(m_BeginDate.date()), KvDateText(m_EndDate.date()), m_Days, m_PriceFee, m_FinalFee,
                       KvDateText(m_ReadTime.date()), m_State);
}

QStringList CFixFee::InsertColumns()
{
    return {QStringLiteral("FeeIndex"), QStringLiteral("CliFixIndex"), QStringLiteral("YearMon"),
            QStringLiteral("WrtNum"),   QStringLiteral("WrtIndex"),    QStringLiteral("PriceIndex"),
            QStringLiteral("Price"),    QStringLiteral("PriceUnits"),  QStringLiteral("BeginDate"),
            QStringLiteral("EndDate"),  QStringLiteral("Days"),        QStringLiteral("PriceFee"),
            QStringLiteral("FinalFee"), QStringLiteral("ReadTime"),    QStringLiteral("State")};
}

QString CFixFee::InsertManyText()
{
    const QStringList columns = InsertColumns();
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("insert into FixFee(%1) values (%2)")
        .arg(columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
}

namespace {

// The stored text of a day: the rows of a month share a few days, whose
// texts are made once.
QByteArray dayText(const QDateTime& time)
{
    thread_local QDate lastDays[4];
    thread_local QByteArray lastTexts[4];
    thread_local int next = 0;
    const QDate day = time.date();
    for (int i = 0; i < 4; ++i)
        if (lastDays[i] == day && !lastTexts[i].isEmpty())
            return lastTexts[i];
    lastDays[next] = day;
    lastTexts[next] = KvDateText(day).toUtf8();
    const QByteArray text = lastTexts[next];
    next = (next + 1) % 4;
    return text;
}

void appendText(CDbResult& rows, const QByteArray& text)
{
    rows.appendText(text.constData(), static_cast<int>(text.size()));
}

} // namespace

void CFixFee::AppendInsertValues(CDbResult& rows) const
{
    for (const int v : {m_FeeIndex, m_CliFixIndex, m_YearMon, m_WrtNum, m_WrtIndex, m_PriceIndex})
        rows.appendInteger(v);
    rows.appendReal(m_Price);
    rows.appendReal(m_PriceUnits);
    appendText(rows, dayText(m_BeginDate));
    appendText(rows, dayText(m_EndDate));
    rows.appendInteger(m_Days);
    rows.appendReal(m_PriceFee);
    rows.appendReal(m_FinalFee);
    appendText(rows, dayText(m_ReadTime));
    appendText(rows, m_State.toUtf8());
    ++rows.rowCount;
}

void CFixFee::MarkInserted(int feeIndex)
{
    m_FeeIndex = feeIndex;
    SetState(StateStored);
}

void CFixFee::SetWrtNumAndFinalFee(int wrtNum, double finalFee)
{
    m_WrtNum = wrtNum;
    m_FinalFee = finalFee;
    KvExecuteRowChange(KvFormatSql(QStringLiteral("update FixFee set WrtNum = %d, FinalFee = %f where FeeIndex = %d"),
                                   m_WrtNum, m_FinalFee, m_FeeIndex),
                       QString(), QStringLiteral("向数据库更新定额收费时发生错误！"));
    SetState(StateStored);
}

void CFixFee::SetWrtIndex(int wrtIndex)
{
    m_WrtIndex = wrtIndex;
    KvExecuteRowChange(
        KvFormatSql(QStringLiteral("update FixFee set WrtIndex = %d where FeeIndex = %d"), m_WrtIndex, m_FeeIndex),
        QString(), QStringLiteral("向数据库更新定额收费时发生错误！"));
}

QList<CKvObject*>& CFixFeeList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto fee = std::make_unique<CFixFee>(CFixFee::LoadedRow{});
        fee->SetFeeIndex(rs.GetFieldInt(QStringLiteral("FeeIndex")));
        fee->SetCliFixIndex(rs.GetFieldInt(QStringLiteral("CliFixIndex")));
        fee->SetYearMon(rs.GetFieldInt(QStringLiteral("YearMon")));
        fee->SetWrtNum(rs.GetFieldInt(QStringLiteral("WrtNum")));
        fee->m_WrtIndex = rs.GetFieldInt(QStringLiteral("WrtIndex"));
        fee->SetPriceIndex(rs.GetFieldInt(QStringLiteral("PriceIndex")));
        fee->SetPrice(rs.GetFieldDouble(QStringLiteral("Price")));
        fee->SetPriceUnits(rs.GetFieldDouble(QStringLiteral("PriceUnits")));
        fee->SetBeginDate(rs.GetFieldDateTime(QStringLiteral("BeginDate")));
        fee->SetEndDate(rs.GetFieldDateTime(QStringLiteral("EndDate")));
        fee->SetDays(rs.GetFieldInt(QStringLiteral("Days")));
        fee->SetPriceFee(rs.GetFieldDouble(QStringLiteral("PriceFee")));
        fee->SetFinalFee(rs.GetFieldDouble(QStringLiteral("FinalFee")));
        fee->SetReadTime(rs.GetFieldDateTime(QStringLiteral("ReadTime")));
        fee->SetState(rs.GetFieldString(QStringLiteral("State")));
        return fee.release();
    });
}

QList<CKvObject*>& CFixFeeList::LoadUnpaid(const QString& clientNo)
{
    return Load(KvFormatSql(QStringLiteral("select * from FixFee where WrtNum = -1 and CliFixIndex in \t\t(select "
                                           "CliFixIndex from CliFix where ClientNo = '%s') order by FeeIndex"),
                            clientNo));
}

QList<CKvObject*>& CFixFeeList::LoadByWrtNum(const QString& clientNo, int wrtNum)
{
    return Load(KvFormatSql(QStringLiteral("select * from FixFee where WrtNum = %d and CliFixIndex in \t\t(select "
                                           "CliFixIndex from CliFix where ClientNo = '%s') order by FeeIndex"),
                            wrtNum, clientNo));
}

void CFixFeeList::DeleteByClientPrice(const QString& clientNo, const QString& priceNo)
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from FixFee where CliFixIndex in \t\t(select "
                                                          "CliFixIndex from CliFix where ClientNo = '%s' \t\tand "
                                                          "PriceNo = '%s')"),
                                           clientNo, priceNo),
                               QString());
}

#pragma once

#include "CAdoConnection.h"
#include "CHandRaw.h"
#include "KvSql.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

// Master data of the archive tests, written as rows: prices valid today
// (01 at 0.5, 02 at 0.25) and one that ended (09), meter type M1 (inner
// multiplier 1).
inline void AddArchivePrices(CAdoConnection& db)
{
    db.Execute(QStringLiteral("insert into Price(PriceNo, PriceName, PriceType, PriceCycle, BalMode, Unit, "
                              "MonthlyBegin, BalDay, State) values"
                              "('01', '居民', '电价', '', '', '', '', '', '正常'), "
                              "('02', '商业', '电价', '', '', '', '', '', '正常'), "
                              "('09', '旧价', '电价', '', '', '', '', '', '正常')"),
               QString());
    db.Execute(QStringLiteral("insert into PriceVer(PriceIndex, PriceNo, Price, BeginDate, EndDate, OperatorNo, "
                              "ModiTime) values"
                              "(11, '01', 0.5, '2026-01-01', '2050-12-31', 'qz', '2026-01-01'), "
                              "(12, '02', 0.25, '2026-01-01', '2050-12-31', 'qz', '2026-01-01'), "
                              "(19, '09', 0.8, '2020-01-01', '2026-12-09', 'qz', '2020-01-01')"),
               QString());
    db.Execute(QStringLiteral("insert into PreModel(ModelId, Model, Spec, InnerMul, DevType, CardType, Phase, "
                              "MaxLimit, MinLimit, BaseValue, State, SortIndex, bCt, bPt) values"
                              "('M1', '单相', '', 1, '', '', '', 0, 0, 0, '正常', 1, '', ''), "
                              "('M5', '三相', '', 5, '', '', '', 0, 0, 0, '正常', 2, '', '')"),
               QString());
}

// A current user and meter with its price mix (price code, percent).
inline void AddArchiveMeter(CAdoConnection& db, const QString& clientNo, const QString& meterNo,
                            const QList<QPair<QString, int>>& shares, const QString& modelId = QStringLiteral("M1"),
                            int ct = 1, int pt = 1)
{
    static int key = 100;
    const int clientIndex = ++key;
    const int meterIndex = ++key;
    db.Execute(KvFormatSql(QStringLiteral("insert into Client(ClientIndex, ClientNo, BlockNo, BuildingNo, LayerNo, "
                                          "RoomNo, Cell, DepartmentNo, ClientName, ClientId, Addr, Tel, MemberNum, "
                                          "State, Descrip, OperatorNo, BeginDate, EndDate, ModiTime) values(%d, '%s', "
                                          "'00', '00', '', '', '', '00', '张三', '', '', '', 1, '正常', '', 'qz', "
                                          "'2026-01-01', '2050-12-31', '2026-01-01')"),
                           clientIndex, clientNo),
               QString());
    db.Execute(KvFormatSql(QStringLiteral("insert into CliPre(CliPreIndex, ClientNo, MeterNo, ModelId, Ct, Pt, "
                                          "PrePayRate, TTWaste, TLWaste, MeterLevel, SuperNo, LimitValue, AlarmShold, "
                                          "CloseShold, Pulses, OutState, Descrip, State, OperatorNo, BeginDate, "
                                          "EndDate, ModiTime) values(%d, '%s', '%s', '%s', %d, %d, 0, 0, 0, '一级', "
                                          "'', '60A', 25, 15, 0, '', '', '正常', 'qz', '2026-01-01', '2050-12-31', "
                                          "'2026-01-01')"),
                           meterIndex, clientNo, meterNo, modelId, ct, pt),
               QString());
    int x = 0;
    for (const auto& share : shares)
        db.Execute(KvFormatSql(QStringLiteral("insert into PrePrice(PrePriceIndex, CliPreIndex, PriceX, PriceNo, "
                                              "PricePercent) values(%d, %d, %d, '%s', %d)"),
                               ++key, meterIndex, x++, share.first, share.second),
                   QString());
}

// A staged sale as an upload leaves it.
inline void StageSale(const QString& meterNo, int wrtValue, int accuBuy, double accuUse,
                      const QDateTime& wrtTime = QDateTime(QDate(2026, 12, 9), QTime(8, 15, 30)))
{
    CHandRaw raw;
    raw.SetMeterNo(meterNo);
    raw.SetWrtNum(4);
    raw.SetWrtValue(wrtValue);
    raw.SetAccuBuy(accuBuy);
    raw.SetAccuUse(accuUse);
    raw.SetAccuRemain(accuBuy - accuUse);
    raw.SetLimitValue(QStringLiteral("200A"));
    raw.SetAlarmShold(30);
    raw.SetCloseShold(20);
    raw.SetOpMode(QStringLiteral("手持机"));
    raw.SetWrtTime(wrtTime);
    raw.Save();
}

#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The conditions of the quota fee query (定额查询), kept by the command for its
// whole run so that the dialog opens again with the last choices.
struct CQuotaCondition
{
    CQuotaCondition();
    ~CQuotaCondition();

    int m_bClientName = 0;
    int m_bClientNo = 0;
    int m_bPeriod = 0;
    int m_bBlock = 0;
    int m_bBuilding = 0;
    int m_bFloor = 0;
    int m_bRoom = 0;
    int m_bDepartment = 0;
    int m_bUnit = 0;
    int m_paid = 0; // 0 collected fees, 1 fees not yet collected
    QDateTime m_from;
    QDateTime m_to; // the last day of the period, included
    QString m_clientName;
    QString m_clientNo;
    QString m_blockNo;
    QString m_buildingNo;
    QString m_floor;
    QString m_roomFrom;
    QString m_roomTo;
    QString m_departmentNo;
    QString m_unit;
    int m_paper = 0; // 0 "A4", 1 "A3", 2 "A4横向", 3 "A3横向"

    // The names shown for the master-data choices, for the caption only.
    QString m_blockName;
    QString m_buildingName;
    QString m_departmentName;
};

// The quota fee statistics (定额统计): the same conditions, the fee-item ticks
// and the grouping (0 district, 1 building, 2 floor, 3 room, 4 unit,
// 5 department, 6 user).
struct CQuotaStatCondition : CQuotaCondition
{
    QList<int> m_feeSelection; // positional: one flag per row of the fee-item list
    int m_grouping = 0;
};

// The paper mode of the result list for a paper index of the condition
// dialogs: A4 0, A3 1, A4 landscape 3, A3 landscape 4.
int QuotaPaperMode(int paperIndex);

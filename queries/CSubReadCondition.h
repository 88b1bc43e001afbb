#pragma once

#include <QDateTime>
#include <QString>

// The conditions of the sub-meter reading query, kept by the command for its
// whole run so that the dialog opens again with the conditions just used. A
// flag is non-zero when its box is ticked; only ticked conditions count.
// Master-data choices keep their code (compared) and the name shown (captioned).
struct CSubReadCondition
{
    CSubReadCondition();
    ~CSubReadCondition();

    // The sixteen boxes.
    int m_bPeriod = 0;
    int m_bClientNo = 0;
    int m_bClientName = 0;
    int m_bMeterNo = 0;
    int m_bCategory = 0;
    int m_bFeeNature = 0;
    int m_bSubNo = 0;
    int m_bOperator = 0;
    int m_bBlock = 0;
    int m_bBuilding = 0;
    int m_bFloor = 0;
    int m_bRoom = 0;
    int m_bUnit = 0;
    int m_bDepartment = 0;
    int m_bLevel = 0;
    int m_bSuperNo = 0;

    QDateTime m_periodFrom;
    QDateTime m_periodTo;

    // Typed into edits.
    QString m_clientName;
    QString m_clientNo;
    QString m_meterNo;
    QString m_subNo;
    QString m_superNo;
    // The codes behind the chosen combo items.
    QString m_priceNo;
    QString m_operatorNo;
    QString m_blockNo;
    QString m_buildingNo;
    QString m_departmentNo;
    // The texts shown by the fixed-list and category combos.
    QString m_category;
    QString m_floor;
    QString m_roomFrom;
    QString m_roomTo;
    QString m_unit;
    QString m_level;

    // The names shown for the master-data choices, for the caption.
    QString m_priceName;
    QString m_operatorName;
    QString m_blockName;
    QString m_buildingName;
    QString m_departmentName;
};

// The sub-meter reading conditions and the grouping (0 to 13) of the statistics.
struct CSubReadStatCondition : CSubReadCondition
{
    CSubReadStatCondition() = default;

    int m_mode = 0;
};

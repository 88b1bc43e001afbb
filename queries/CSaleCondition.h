#pragma once

#include <QDateTime>
#include <QString>

// The conditions of the sale condition dialog, kept by a sale query command
// for its whole run so that the dialog opens again with the conditions just
// used. A flag is non-zero when its box is ticked; only ticked conditions count.
// Master-data choices keep their code (compared) and the name shown (captioned).
struct CSaleCondition
{
    CSaleCondition();
    ~CSaleCondition();

    // The twenty boxes.
    int m_bCardType = 0;
    int m_bClientName = 0;
    int m_bClientNo = 0;
    int m_bPeriod = 0;
    int m_bDevType = 0;
    int m_bMeterNo = 0;
    int m_bOperator = 0;
    int m_bPayMode = 0;
    int m_bPhase = 0;
    int m_bUseNature = 0;
    int m_bOpMode = 0;
    int m_bBlock = 0;
    int m_bBuilding = 0;
    int m_bFloor = 0;
    int m_bRoom = 0;
    int m_bDepartment = 0;
    int m_bUnit = 0;
    int m_bLevel = 0;
    int m_bSuperNo = 0;
    int m_bBuyValue = 0;

    QDateTime m_periodFrom;
    QDateTime m_periodTo;

    QString m_clientName;
    QString m_clientNo;
    QString m_meterNo;
    QString m_priceNo;
    QString m_operatorNo;
    QString m_phase;
    QString m_payMode;
    QString m_devType;
    QString m_cardType;
    QString m_opMode;
    QString m_blockNo;
    QString m_buildingNo;
    QString m_floor;
    QString m_roomFrom;
    QString m_roomTo;
    QString m_departmentNo;
    QString m_unit;
    QString m_level;
    QString m_superNo;
    QString m_buyFrom;
    QString m_buyTo;

    // The names shown for the master-data choices, for the caption.
    QString m_priceName;
    QString m_operatorName;
    QString m_blockName;
    QString m_buildingName;
    QString m_departmentName;
};

// The sale conditions and the grouping (0 to 15) of the sale statistics.
struct CSaleStatCondition : CSaleCondition
{
    CSaleStatCondition() = default;

    int m_grouping = 0;
};

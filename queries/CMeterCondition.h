#pragma once

#include <QDateTime>
#include <QString>

// The conditions of the meter query (电表查询), kept by the command for its
// whole run so that the dialog opens again with the conditions just used. A
// flag is non-zero when its box is ticked; only ticked conditions count.
struct CMeterCondition
{
    CMeterCondition();
    ~CMeterCondition();

    // The eighteen boxes.
    int m_bCardType = 0;
    int m_bClientName = 0;
    int m_bClientNo = 0;
    int m_bInstallDate = 0;
    int m_bDevType = 0;
    int m_bMeterNo = 0;
    int m_bOperator = 0;
    int m_bPhase = 0;
    int m_bUseNature = 0;
    int m_bDays = 0;
    int m_bBlock = 0;
    int m_bBuilding = 0;
    int m_bFloor = 0;
    int m_bRoom = 0;
    int m_bDepartment = 0;
    int m_bUnit = 0;
    int m_bLevel = 0;
    int m_bSuperNo = 0;

    // The lower bound of the meter row's last change.
    QDateTime m_installDate;

    QString m_clientName;
    QString m_clientNo;
    QString m_meterNo;
    QString m_priceNo;
    QString m_operatorNo;
    QString m_phase;
    QString m_devType;
    QString m_cardType;
    QString m_days; // digits: meters without a card write for that many days
    QString m_blockNo;
    QString m_buildingNo;
    QString m_floor;
    QString m_roomFrom;
    QString m_roomTo;
    QString m_departmentNo;
    QString m_unit;
    QString m_level;
    QString m_superNo;

    // The names shown for the master-data choices, for the caption only.
    QString m_priceName;
    QString m_operatorName;
    QString m_blockName;
    QString m_buildingName;
    QString m_departmentName;
};

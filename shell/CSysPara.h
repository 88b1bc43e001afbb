#pragma once

#include <QDateTime>
#include <QString>

class CAdoConnection;

// Reads and writes single columns of the one-row table SysPara by name, keeps
// a cache of the parameters read often, and draws every integer record key
// from a counter column (GetIntPara with an increment).
class CSysPara
{
public:
    CSysPara();

    void SetDatabase(CAdoConnection* db) { m_db = db; }
    CAdoConnection* GetDatabase() const { return m_db; }

    // The key allocator: returns the stored value and, with a non-zero
    // increment flag, stores value + 1. A failure shows
    // "获取系统参数时发生错误！" and passes the exception on.
    int GetIntPara(const QString& column, int increment = 0);
    void SetIntPara(const QString& column, int value);
    QString GetStringPara(const QString& column);
    void SetStringPara(const QString& column, const QString& value);
    double GetFloatPara(const QString& column);
    void SetFloatPara(const QString& column, double value);
    QDateTime GetDatePara(const QString& column);
    void SetDatePara(const QString& column, const QDateTime& value);

    // Cached getters (a text cache counts as not loaded while empty).
    int GetInvoiceNum();
    QString GetBuyUnit();
    QString GetInvoiceNoMode();
    QString GetClientName();
    QString GetPayMode();
    QString GetPayModeFlag();
    QString GetChangeFlag();
    QString GetPrintFlag();
    QString GetProgFlag();
    QString GetCompWrtFlag();

    // Getters that read each time.
    double GetCompRateWater();
    QString GetLineLossFlag();
    QString GetTransLossFlag();
    double GetLWaste();
    QDateTime GetLastBackDate();
    int GetMemNum();
    QString GetAutoSetFixFlag();
    QString GetRemoteFlag(); // profile, section SystemSetup
    QString GetTellFlag();   // profile, section SystemSetup

    void SetInvoiceNum(int value);
    void SetBuyUnit(const QString& value);
    void SetInvoiceNoMode(const QString& value);
    void SetClientName(const QString& value);
    void SetPayMode(const QString& value);
    void SetPayModeFlag(const QString& value);
    void SetChangeFlag(const QString& value);
    void SetPrintFlag(const QString& value);
    void SetProgFlag(const QString& value);
    void SetCompRateWater(double value);
    void SetCompWrtFlag(const QString& value);
    void SetLineLossFlag(const QString& value);
    void SetTransLossFlag(const QString& value);
    void SetLWaste(double value);
    void SetLastBackDate(const QDateTime& value);
    void SetAutoSetFixFlag(const QString& value);
    void SetMemNum(int value);
    void SetRemoteFlag(const QString& value);
    void SetTellFlag(const QString& value);

    // Returns the database of this parameter object to the state of a fresh
    // installation (the rows of dbhelper/schema/seed.sql): empties the tables of
    // master data, sales, uploads, operators and workstations, puts back the
    // "none" rows and the administrator qz, and resets every parameter. Runs in
    // one transaction: a failure shows "系统初始化时发生数据库错误！", changes
    // nothing and is passed on.
    void InitializeSystem();

    // Forgets every cached value, so the next getter reads the table again
    // (after a rolled-back save, or a change made behind this object's back).
    void ForgetCache();

    QString GetAppDir() const;
    void SetMachineCode(const QString& code) { m_machineCode = code; }
    QString GetMachineCode() const { return m_machineCode; }

private:
    QString m_machineCode;
    int m_invoiceNum = -1;
    QString m_invoiceNoMode;
    QString m_buyUnit;
    QString m_clientName;
    QString m_payMode;
    QString m_bPayMode;
    QString m_bChange;
    QString m_bPrint;
    QString m_bProg;
    QString m_bCompWrt;
    double m_compRateWater = 0;
    QString m_bLW;
    QString m_bTW;
    double m_lWaste = 0;
    QDateTime m_lastBackDate;
    int m_memNum = 0;
    QString m_bAutoSetFix;
    QString m_bRemote;
    QString m_bTell;
    CAdoConnection* m_db = nullptr;
};

#pragma once

#include <QString>

class CAdoConnection;

// A pooled statement object for SQL that returns no rows.
class CAdoCommand
{
public:
    explicit CAdoCommand(CAdoConnection* owner) : m_owner(owner) {}

    // Converts the statement in place and runs it; returns the rows it changed.
    // The engine's own failure is passed on unchanged.
    int Execute(QString& sql);
    int Execute(const QString& sql);
    void Release() { m_inUse = false; }

    bool IsInUse() const { return m_inUse; }
    void SetInUse(bool inUse) { m_inUse = inUse; }

private:
    CAdoConnection* m_owner;
    bool m_inUse = false;
};

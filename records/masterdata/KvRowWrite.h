#pragma once

#include "CAdoConnection.h"
#include "CKvException.h"
#include "SysGlobals.h"

#include <QList>
#include <QString>
#include <utility>

class CKvObjectList;

// Runs a statement on the main connection that must change at least one row
// (an update or delete of a row by its key): a statement that changes none
// failed too. A failed statement throws `errorText` (empty: the database
// layer's own text); one that changed nothing throws `noRowText`, which is
// `errorText` unless given.
void KvExecuteRowChange(const QString& sql, const QString& errorText);
void KvExecuteRowChange(const QString& sql, const QString& errorText, const QString& noRowText);

// The save states of a child list's members (a version's tiers, a meter's
// price mix), taken before the parent writes them inside its transaction and
// put back when that transaction is rolled back, so that a retry writes them
// again instead of taking them for stored.
class CKvChildStates
{
public:
    explicit CKvChildStates(CKvObjectList& list);
    void Restore() const;

private:
    CKvObjectList& m_list;
    QList<int> m_states;
};

// A record's write together with its child list's (a version with its tiers,
// a meter with its price mix), in one transaction on the main connection. On
// any failure the transaction is rolled back, the children get their save
// states back and `failureText` is thrown.
template <class Body> void KvWriteWithChildren(CKvObjectList& children, const QString& failureText, Body&& body)
{
    const CKvChildStates states(children);
    try {
        CAdoTransaction transaction(*GetMainDatabase());
        std::forward<Body>(body)();
        transaction.Commit();
    } catch (...) {
        states.Restore();
        throw CKvException(failureText);
    }
}

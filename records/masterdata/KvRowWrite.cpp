#include "KvRowWrite.h"

#include "CAdoConnection.h"
#include "CKvException.h"
#include "CKvObjectList.h"
#include "CKvPersistance.h"
#include "SysGlobals.h"

void KvExecuteRowChange(const QString& sql, const QString& errorText)
{
    KvExecuteRowChange(sql, errorText, errorText);
}

void KvExecuteRowChange(const QString& sql, const QString& errorText, const QString& noRowText)
{
    if (GetMainDatabase()->Execute(sql, errorText) == 0)
        throw CKvException(noRowText);
}

CKvChildStates::CKvChildStates(CKvObjectList& list) : m_list(list)
{
    for (const CKvObject* object : list.GetObList())
        m_states << static_cast<const CKvPersistance*>(object)->GetState();
}

void CKvChildStates::Restore() const
{
    const QList<CKvObject*>& objects = m_list.GetObList();
    for (int i = 0; i < m_states.size() && i < objects.size(); ++i)
        static_cast<CKvPersistance*>(objects.at(i))->SetState(m_states.at(i));
}

#include "CKvObjectList.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CKvPersistance.h"

CKvObjectList::~CKvObjectList()
{
    Clear();
}

void CKvObjectList::Clear()
{
    const QList<CKvObject*> objects = std::exchange(m_objects, {});
    m_current = nullptr;
    qDeleteAll(objects);
}

int CKvObjectList::indexOf(const CKvObject* object) const
{
    return static_cast<int>(m_objects.indexOf(const_cast<CKvObject*>(object)));
}

bool CKvObjectList::Contains(const CKvObject* object) const
{
    return object && indexOf(object) >= 0;
}

bool CKvObjectList::Add(CKvObject* object, CKvObject* after)
{
    if (!after) {
        m_objects.append(object);
    } else {
        const int at = indexOf(after);
        if (at < 0)
            return false;
        m_objects.insert(at + 1, object);
    }
    m_current = object;
    object->SetList(this);
    return true;
}

bool CKvObjectList::Remove(CKvObject* object, int position)
{
    // Membership first: asking a non-member for its neighbours would throw.
    const int at =
        (position >= 0 && position < m_objects.size() && m_objects.at(position) == object) ? position : indexOf(object);
    if (at < 0)
        return false;
    // The current object moves to the predecessor, else to the successor.
    if (m_current == object)
        m_current = m_objects.value(at - 1);
    if (!m_current)
        m_current = m_objects.value(at + 1);
    m_objects.removeAt(at);
    delete object;
    return true;
}

CKvObject* CKvObjectList::GetNext(const CKvObject* object) const
{
    const int at = indexOf(object);
    if (at < 0)
        throw CKvException(QStringLiteral("指定的指针无效！"));
    return at + 1 < m_objects.size() ? m_objects.at(at + 1) : nullptr;
}

CKvObject* CKvObjectList::GetPrev(const CKvObject* object) const
{
    const int at = indexOf(object);
    if (at < 0)
        throw CKvException(QStringLiteral("指定的指针无效！"));
    return at > 0 ? m_objects.at(at - 1) : nullptr;
}

void CKvObjectList::SaveAll()
{
    for (CKvObject* object : std::as_const(m_objects)) {
        if (object->GetClassName() == QLatin1String("CKvPersistance"))
            static_cast<CKvPersistance*>(object)->Save();
    }
}

void CKvObjectList::DeleteAll()
{
    for (CKvObject* object : std::as_const(m_objects)) {
        if (object->GetClassName() == QLatin1String("CKvPersistance")) {
            auto* record = static_cast<CKvPersistance*>(object);
            record->SetState(CKvPersistance::StateDelete);
            record->Save();
        }
    }
}

QList<CKvObject*>& CKvObjectList::LoadRows(CAdoConnection& db, const QString& sql,
                                           const std::function<CKvObject*(const CAdoRecordset&)>& makeRow)
{
    Clear();
    if (sql.isEmpty())
        return m_objects;
    m_sql = sql;
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(sql);
    const int count = rs->GetRecordCount();
    for (int i = 0; i < count; ++i) {
        CKvObject* object = makeRow(*rs);
        if (auto* record = dynamic_cast<CKvPersistance*>(object))
            record->SetState(CKvPersistance::StateStored);
        Add(object, nullptr);
        rs->MoveNext();
    }
    return m_objects;
}

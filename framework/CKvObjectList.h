#pragma once

#include "CKvObject.h"

#include <QList>
#include <QString>
#include <functional>

class CAdoConnection;
class CAdoRecordset;
class CKvPersistance;

// An owning list of row objects with a current object. A derived list loads
// itself from one SQL statement and keeps it for a refresh.
class CKvObjectList
{
public:
    CKvObjectList() = default;
    virtual ~CKvObjectList();
    CKvObjectList(const CKvObjectList&) = delete;
    CKvObjectList& operator=(const CKvObjectList&) = delete;

    // Clears the list; an empty statement returns the empty list without
    // touching the database. Otherwise remembers the statement and adds one
    // stored record (state 2) a row.
    virtual QList<CKvObject*>& Load(const QString& sql) = 0;

    void Clear();
    // Appends (after == null) or inserts after a member; false when `after` is
    // not a member. The new object becomes the current one.
    bool Add(CKvObject* object, CKvObject* after = nullptr);
    bool AddRecord(CKvObject* object, CKvObject* after) { return Add(object, after); }
    bool AppendRecord(CKvObject* object) { return Add(object, nullptr); }
    // Removes and deletes a member; false (nothing deleted) for a non-member.
    // `position` is the member's index when the caller knows it, else -1.
    bool Remove(CKvObject* object, int position = -1);

    QList<CKvObject*>& GetObList() { return m_objects; }
    const QList<CKvObject*>& GetObList() const { return m_objects; }
    int GetCount() const { return static_cast<int>(m_objects.size()); }
    bool Contains(const CKvObject* object) const;

    CKvObject* GetHead() const { return m_objects.isEmpty() ? nullptr : m_objects.first(); }
    CKvObject* GetTail() const { return m_objects.isEmpty() ? nullptr : m_objects.last(); }
    // The neighbour of a member, or null at the end; a non-member throws
    // "指定的指针无效！".
    CKvObject* GetNext(const CKvObject* object) const;
    CKvObject* GetPrev(const CKvObject* object) const;

    CKvObject* GetCurrent() const { return m_current; }
    void SetCurrent(CKvObject* object) { m_current = object; }

    // Saves, or marks for deletion and saves, every member whose class name is
    // exactly "CKvPersistance"; the first failure stops and is passed on.
    void SaveAll();
    void DeleteAll();

    const QString& GetSql() const { return m_sql; }
    void SetSql(const QString& sql) { m_sql = sql; }
    // A second text a derived list may keep (a base select text, for one).
    const QString& GetSql2() const { return m_sql2; }
    void SetSql2(const QString& sql) { m_sql2 = sql; }
    // The record that holds this list as its child list, or null.
    CKvPersistance* GetOwnerRecord() const { return m_ownerRecord; }
    void SetOwnerRecord(CKvPersistance* owner) { m_ownerRecord = owner; }

protected:
    // The common body of Load: clears, returns at once for an empty statement,
    // else remembers it and adds the object makeRow builds from each row
    // (records get state 2).
    QList<CKvObject*>& LoadRows(CAdoConnection& db, const QString& sql,
                                const std::function<CKvObject*(const CAdoRecordset&)>& makeRow);

private:
    int indexOf(const CKvObject* object) const;

    QList<CKvObject*> m_objects;
    CKvObject* m_current = nullptr;
    QString m_sql;
    QString m_sql2;
    CKvPersistance* m_ownerRecord = nullptr;
};

// A list of one record class, loaded by a row reader of that class.
template <typename Record> class CKvRecordList : public CKvObjectList
{
public:
    Record* At(int index) const { return static_cast<Record*>(GetObList().at(index)); }
    Record* Current() const { return static_cast<Record*>(GetCurrent()); }
};

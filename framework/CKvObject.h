#pragma once

#include <QString>

class CKvObjectList;

// The root of every row object: it knows the list that holds it and carries
// the check flag of its row in a list control.
class CKvObject
{
public:
    CKvObject() = default;
    virtual ~CKvObject() = default;

    CKvObjectList* GetList() const { return m_list; }
    void SetList(CKvObjectList* list) { m_list = list; }
    int GetCheck() const { return m_check; }
    void SetCheck(int check) { m_check = check; }

    virtual QString GetClassName() const { return QStringLiteral("CKvObject"); }

protected:
    // A copy belongs to no list and is unchecked: the owner list and the check
    // flag are the original's alone (a copy that claimed the list would reach
    // the wrong owner record when saved).
    CKvObject(const CKvObject&) {}
    CKvObject& operator=(const CKvObject&) { return *this; } // owner and check stay with the object

private:
    CKvObjectList* m_list = nullptr;
    int m_check = 0;
};

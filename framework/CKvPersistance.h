#pragma once

#include "CKvObject.h"

// A database record with a save state; Save does what the state asks for.
class CKvPersistance : public CKvObject
{
public:
    enum State
    {
        StateNew = 0,      // new, key not yet drawn: InsertNew
        StateNewKeyed = 1, // new, key set: Insert
        StateStored = 2,   // stored and unchanged
        StateChanged = 3,  // changed: Update
        StateInert = 4,    // inert copy made by assignment
        StateDelete = 5,   // to be deleted: Delete
    };

    CKvPersistance() = default;
    ~CKvPersistance() override = default;

    // The base part of an assignment copies neither the owner list nor the check
    // flag and makes the target an inert copy until its owner sets a state.
    CKvPersistance& operator=(const CKvPersistance&)
    {
        m_state = StateInert;
        return *this;
    }

    int GetState() const { return m_state; }
    void SetState(int state) { m_state = state; }
    void SetSkip() { SetState(StateInert); }

    QString GetClassName() const override { return QStringLiteral("CKvPersistance"); }

    // Calls InsertNew (0), Insert (1), Update (3) or Delete (5); any other state
    // does nothing. Save itself never changes the state: the operations do.
    void Save();

    // What each record class writes with its own SQL. On success InsertNew,
    // Insert and Update leave the state at 2; a failure throws the class's text
    // and leaves the state as it was.
    virtual void InsertNew() = 0;
    virtual void Insert() = 0;
    virtual void Delete() = 0;
    virtual void Update() = 0;

protected:
    CKvPersistance(const CKvPersistance& other) : CKvObject(other), m_state(StateInert) {}

private:
    int m_state = StateNew;
};

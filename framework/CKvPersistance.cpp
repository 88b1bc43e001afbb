#include "CKvPersistance.h"

void CKvPersistance::Save()
{
    switch (m_state) {
    case StateNew:
        InsertNew();
        break;
    case StateNewKeyed:
        Insert();
        break;
    case StateChanged:
        Update();
        break;
    case StateDelete:
        Delete();
        break;
    default:
        break;
    }
}

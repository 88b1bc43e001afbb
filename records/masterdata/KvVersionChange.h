#pragma once

#include "CAdoConnection.h"
#include "CKvException.h"
#include "CKvObjectList.h"
#include "CKvPersistance.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDateTime>
#include <QString>
#include <memory>

// The one way a row that keeps history changes: a new version is inserted and
// the old one retired, in one transaction on the main connection (it nests as
// a savepoint inside a caller's). Users, meters and sub-meters close the old
// row; a price version that has not started yet is replaced instead.
//
// A versioned record class provides GetBeginDate(), GetEndDate() and
// SetEndDate(), a save state 0 that draws a key and inserts, and a state 3 that
// writes the closing update. Its own code is then two lines, for example the
// sub-meters':
//
//     void CCliSub::Update()
//     {
//         KvCloseVersionRow(QStringLiteral("CliSub"), QStringLiteral("CliSubIndex"), m_CliSubIndex, m_EndDate,
//                           m_OperatorNo, m_ModiTime, QString(), QStringLiteral("向数据库更新附表时发生错误！"));
//         SetState(StateStored);
//     }
//
//     void CCliSubList::UpdateRecord(CCliSub* newRecord, CCliSub* oldRecord)
//     {
//         KvChangeVersion(*this, newRecord, oldRecord, QStringLiteral("向数据库更新附表发生位置错误！"));
//     }

// The closing update of a version row (state 3): writes EndDate, OperatorNo
// and ModiTime as the record holds them, nothing else; a row that is not
// there is a failure. Texts as for KvExecuteRowChange.
void KvCloseVersionRow(const QString& table, const QString& keyColumn, int key, const QDateTime& endDate,
                       const QString& operatorNo, const QDateTime& modiTime, const QString& errorText,
                       const QString& noRowText);

enum class KvOldVersion
{
    Close,            // ends the day before the new version begins
    ReplaceIfPending, // deleted when it begins after today, else closed
};

// Inserts `newRecord` after `oldRecord` in `list` and retires the old version.
// The list takes the new record over in every case: it keeps it on success and
// frees it when the change fails, so that no version that was never stored
// stays in the list; the old record then keeps its end date and save state.
// An old record of another list is refused with `positionError` before
// anything is written. Any other failure rolls back and is passed on as it is.
template <class Record>
void KvChangeVersion(CKvObjectList& list, Record* newRecord, Record* oldRecord, const QString& positionError,
                     KvOldVersion rule = KvOldVersion::Close)
{
    std::unique_ptr<Record> added(newRecord);
    if (!list.Contains(oldRecord))
        throw CKvException(positionError);

    const QDateTime oldEnd = oldRecord->GetEndDate();
    const int oldState = oldRecord->GetState();
    const bool replace = rule == KvOldVersion::ReplaceIfPending && oldRecord->GetBeginDate() > GetServerDate();
    {
        CAdoTransaction transaction(*GetMainDatabase());
        list.AddRecord(newRecord, oldRecord);
        try {
            newRecord->Save();
            if (replace) {
                oldRecord->SetState(CKvPersistance::StateDelete);
            } else {
                oldRecord->SetEndDate(AddDays(newRecord->GetBeginDate(), -1));
                oldRecord->SetState(CKvPersistance::StateChanged);
            }
            oldRecord->Save();
            transaction.Commit();
        } catch (...) {
            // Out of the list again without being freed here: `added` frees it.
            list.GetObList().removeOne(newRecord);
            list.SetCurrent(oldRecord);
            oldRecord->SetEndDate(oldEnd);
            oldRecord->SetState(oldState);
            throw;
        }
    }
    added.release();
    if (replace)
        list.Remove(oldRecord);
}

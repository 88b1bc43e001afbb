#pragma once

#include "CKvObjectList.h"
#include "COperator.h"

#include <QString>
#include <QVector>

// The operators of the table Operator with their rights from Permission.
class COperatorList : public CKvRecordList<COperator>
{
public:
    // One stored operator a row, with its rights in the order of its
    // Permission rows.
    QList<CKvObject*>& Load(const QString& sql) override;
    QList<CKvObject*>& LoadAll();
    // The operator of that code, or null.
    COperator* FindByNo(const QString& operatorNo);
    static bool Exists(const QString& operatorNo);

    // Stores a new operator with the default password "724613" and appends it.
    // A failed insert throws its text and appends nothing.
    bool Add(const QString& operatorNo, const QString& operatorName, const QString& stationNo,
             const QVector<int>& rights);
    // Deletes the operator's rows and removes it from the list; a failure is
    // passed on and the operator stays.
    bool Remove(COperator* op);

    // Checks the code and password of the current operator against the table.
    // On success the current operator takes the stored code, name, workstation
    // and rights (the typed password stays), and a legacy plain password is
    // replaced by its hash. The code is compared without regard to case.
    bool VerifyLogin();

    // The password every new operator starts with.
    static QString DefaultPassword() { return QStringLiteral("724613"); }
};

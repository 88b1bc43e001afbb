#pragma once

#include "CKvPersistance.h"

#include <QString>
#include <QVector>

class CAdoCommand;

// A person who works at the counter: code, name, password, workstation and the
// ids of the rights held (entries of the rights table, at most 100).
//
// The password field holds either a newly typed password (set through
// SetOperatorPw: the logged-in operator's typed password, a new password, the
// default password of a new operator) or the stored form read from the table
// (a hash, or a legacy plain value). Only a typed password is hashed when the
// record is written; a stored form, or a hash copied in through SetOperatorPw,
// is written back unchanged.
class COperator : public CKvPersistance
{
public:
    COperator() = default;
    ~COperator() override = default;
    // A copy is an inert record (the base's copy rule) with every field.
    COperator(const COperator& other) = default;
    COperator& operator=(const COperator& other) = default;

    const QString& GetOperatorNo() const { return m_operatorNo; }
    const QString& GetOperatorName() const { return m_operatorName; }
    const QString& GetOperatorPw() const { return m_operatorPw; }
    const QString& GetStationNo() const { return m_stationNo; }
    void SetOperatorNo(const QString& no) { m_operatorNo = no; }
    void SetOperatorName(const QString& name) { m_operatorName = name; }
    // A typed password (plain text); it is hashed when the record is written.
    void SetOperatorPw(const QString& password);
    void SetStationNo(const QString& stationNo) { m_stationNo = stationNo; }
    // The password column as read from the table (a loader's setter).
    void SetStoredPw(const QString& stored);
    // True while the password field is a typed password rather than a stored form.
    bool IsPasswordTyped() const { return m_pwTyped; }

    // The most rights an operator holds (the callers' buffers have this room).
    static constexpr int MaxRights = 100;

    bool HasRight(int id) const;
    // Copies the ids into the caller's buffer (room for MaxRights) and gives
    // the count copied.
    void GetRights(int* buffer, int& count) const;
    // A copy of the ids (empty when none are held).
    QVector<int> DuplicateRights() const { return m_rights; }
    void SetRights(const int* ids, int count);
    void SetRights(const QVector<int>& ids) { m_rights = ids; }

    // The key is typed by the user, so a new operator is always saved in state 1.
    void InsertNew() override {}
    // Writes the row and one Permission row per right in one transaction. A
    // failure rolls back and throws "向数据库增加操作员时发生错误！".
    void Insert() override;
    // Rewrites the row (name, workstation, password) and the Permission rows in
    // one transaction. Every failure rolls back and throws "修改密码失败！".
    void Update() override;
    // Deletes the Permission rows and the row in one transaction; a failure
    // rolls back and is passed on.
    void Delete() override;

private:
    QString passwordToStore() const;
    void writePermissions(CAdoCommand& command) const;

    QString m_operatorNo;
    QString m_operatorName;
    QString m_operatorPw;
    QString m_stationNo;
    QVector<int> m_rights;
    bool m_pwTyped = true;
};

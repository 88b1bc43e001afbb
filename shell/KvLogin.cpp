#include "KvLogin.h"

#include "COperator.h"
#include "COperatorList.h"
#include "CurrentOperator.h"
#include "KvPassword.h"

namespace {

// Puts a kept copy back, save state included (a copy or an assignment alone
// makes the record an inert copy).
void restore(COperator& current, const COperator& kept, int keptState)
{
    current = kept;
    current.SetState(keptState);
}

} // namespace

QString KvLoginFailedText()
{
    return QStringLiteral("登录失败！\n\n请核对用户和密码\n\n如是使用网络版请核对工作站编号");
}

bool LoginOperator(const QString& operatorNo, const QString& password)
{
    COperator& current = *GetCurrentOperator();
    current.SetOperatorNo(operatorNo);
    current.SetOperatorPw(password);
    COperatorList list;
    return list.VerifyLogin();
}

bool SwitchOperator(const QString& operatorNo, const QString& password)
{
    COperator& current = *GetCurrentOperator();
    const COperator kept(current);
    const int keptState = current.GetState();
    try {
        if (LoginOperator(operatorNo, password))
            return true;
    } catch (...) {
        restore(current, kept, keptState);
        throw;
    }
    restore(current, kept, keptState);
    return false;
}

bool IsCurrentPassword(const QString& typed)
{
    const COperator& current = *GetCurrentOperator();
    if (current.IsPasswordTyped())
        return current.GetOperatorPw() == typed;
    return KvVerifyPassword(current.GetOperatorPw(), typed);
}

void ChangeCurrentPassword(const QString& newPassword)
{
    COperator& current = *GetCurrentOperator();
    const COperator kept(current);
    const int keptState = current.GetState();
    current.SetOperatorPw(newPassword);
    current.SetState(CKvPersistance::StateChanged);
    try {
        current.Save();
    } catch (...) {
        restore(current, kept, keptState);
        throw;
    }
}

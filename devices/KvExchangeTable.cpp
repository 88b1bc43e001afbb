#include "KvExchangeTable.h"

#include "CAdoConnection.h"
#include "CDbfEngine.h"
#include "CDbfTable.h"
#include "CKvException.h"
#include "CSysPara.h"
#include "SysGlobals.h"

#include <QDir>
#include <QFile>

QString ExchangeTablePath(const QString& table)
{
    return CDbfTable::PathOf(GetMainSysPara()->GetAppDir(), table);
}

void RemoveExchangeTable(const QString& table)
{
    QFile::remove(ExchangeTablePath(table));
}

bool OpenExchangeFolder(CAdoConnection& exchange)
{
    const QString connectString =
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Extended Properties=dBASE IV")
            .arg(GetMainSysPara()->GetAppDir());
    try {
        exchange.OpenEngine(std::make_unique<CDbfEngine>(CDbfEngine::FolderOf(connectString)), 0);
    } catch (...) {
        return false;
    }
    return true;
}

namespace {

// The copy of a refused upload's table; empty when it cannot be made.
QString KeepExchangeTable(const QString& table)
{
    const QString folder = GetMainSysPara()->GetAppDir();
    QString stamp;
    try {
        stamp = GetServerTime().toString(QStringLiteral("yyyyMMddHHmmss"));
    } catch (const CKvException&) {
        // A server out of reach must not hide why the upload was refused.
        stamp = QStringLiteral("refused");
    }
    for (int n = 1; n < 100; ++n) {
        const QString name =
            n == 1 ? QStringLiteral("%1_%2").arg(table, stamp) : QStringLiteral("%1_%2_%3").arg(table, stamp).arg(n);
        const QString copy = CDbfTable::PathOf(folder, name);
        if (QFile::exists(copy))
            continue;
        return QFile::copy(ExchangeTablePath(table), copy) ? copy : QString();
    }
    return QString();
}

} // namespace

void StageExchangeUpload(const QString& table, const QString& records, const std::function<void()>& stage)
{
    try {
        CAdoTransaction transaction(*GetMainDatabase());
        stage();
        transaction.Commit();
    } catch (const CKvException& e) {
        const QString copy = KeepExchangeTable(table);
        const QString kept =
            copy.isEmpty() ? QDir::toNativeSeparators(ExchangeTablePath(table)) : QDir::toNativeSeparators(copy);
        throw CKvException(
            QStringLiteral("%1\n\n本次上传的%2数据均未导入，已保留在文件%3中，请核对。").arg(e.text(), records, kept));
    }
}

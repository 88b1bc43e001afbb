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
    const QString source = ExchangeTablePath(table);
    if (!QFile::exists(source))
        return QString();
    // A name already taken (an earlier refusal in the same second, or while the
    // server was out of reach) is never written over: the next one is tried.
    for (int n = 1;; ++n) {
        const QString name =
            n == 1 ? QStringLiteral("%1_%2").arg(table, stamp) : QStringLiteral("%1_%2_%3").arg(table, stamp).arg(n);
        const QString copy = CDbfTable::PathOf(folder, name);
        if (QFile::exists(copy))
            continue;
        if (QFile::copy(source, copy))
            return copy;
        if (!QFile::exists(copy))
            return QString(); // the folder takes no copy at all
    }
}

// What the operator is told of a refused upload: where its rows are kept, or,
// when no copy could be made, that the table itself must be saved before the
// next upload replaces it.
QString RefusedUploadText(const QString& why, const QString& table, const QString& records)
{
    const QString copy = KeepExchangeTable(table);
    if (copy.isEmpty())
        return QStringLiteral("%1\n\n本次上传的%2数据均未导入，且无法保存其副本，数据仍在文件%3中，"
                              "请在下次上传前另行保存该文件。")
            .arg(why, records, QDir::toNativeSeparators(ExchangeTablePath(table)));
    return QStringLiteral("%1\n\n本次上传的%2数据均未导入，已保留在文件%3中，请核对。")
        .arg(why, records, QDir::toNativeSeparators(copy));
}

} // namespace

void StageExchangeUpload(const QString& table, const QString& records, const std::function<void()>& stage)
{
    try {
        CAdoTransaction transaction(*GetMainDatabase());
        stage();
        transaction.Commit();
    } catch (const CKvException& e) {
        throw CKvException(RefusedUploadText(e.text(), table, records));
    } catch (...) {
        // Whatever stopped the staging, the rows the machine wrote are kept.
        KeepExchangeTable(table);
        throw;
    }
}

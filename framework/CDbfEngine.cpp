#include "CDbfEngine.h"

#include "CAdoConnection.h"
#include "CDbfTable.h"
#include "CKvException.h"

#include <QFileInfo>
#include <QRegularExpression>

CDbfEngine::CDbfEngine(const QString& folder) : m_folder(folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || !info.isReadable())
        throw CKvException(QStringLiteral("连接数据库失败"));
}

int CDbfEngine::execute(const QString& sql)
{
    throw CKvException(QStringLiteral("数据表只能读取: %1").arg(sql));
}

void CDbfEngine::query(const QString& sql, CDbResult& result)
{
    static const QRegularExpression select(QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\\w+)\\s*;?\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = select.match(sql);
    if (!match.hasMatch())
        throw CKvException(QStringLiteral("Sql语句错误！%1").arg(sql));
    const std::unique_ptr<CDbfTable> table = CDbfTable::Open(CDbfTable::PathOf(m_folder, match.captured(1)));
    result.clear();
    result.columns = table->FieldNames();
    for (const QStringList& row : table->ReadRows()) {
        for (const QString& text : row) {
            const QByteArray utf8 = text.toUtf8();
            result.appendText(utf8.constData(), static_cast<int>(utf8.size()));
        }
        ++result.rowCount;
    }
}

QString CDbfEngine::FolderOf(const QString& connectString)
{
    return CAdoConnection::DataSourceOf(connectString);
}

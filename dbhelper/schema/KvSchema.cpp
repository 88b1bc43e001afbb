#include "KvSchema.h"

#include "CKvException.h"

int CurrentSchemaVersion()
{
    return 0;
}

void CreateFreshDatabase(const QString&, const QDateTime&)
{
    throw CKvException(QStringLiteral("the schema is not built yet"));
}

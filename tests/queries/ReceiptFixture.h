#pragma once

#include "CAdoConnection.h"

#include <QFile>
#include <QString>
#include <gtest/gtest.h>

// Loads the sale fixture and the receipt rows on top of it.
inline void LoadReceiptFixture(CAdoConnection& db)
{
    for (const char* name : {"sales_fixture.sql", "receipt_fixture.sql"}) {
        QFile script(QStringLiteral(QUILLMER_SOURCE_DIR "/tests/queries/") + QString::fromUtf8(name));
        ASSERT_TRUE(script.open(QIODevice::ReadOnly)) << name;
        db.ExecuteScript(QString::fromUtf8(script.readAll()), QString());
    }
}

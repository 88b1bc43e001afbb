#include "Ostrakon.h"

#include "KvAppFolder.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvSchema.h"
#include "KvSql.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

// The helper library brings the database of the program folder up to the schema
// the program expects. It has its own connections and its own copy of the
// database layer; nothing crosses the boundary but the three calls.

namespace {

// 1 = the stand-alone edition (the database file), 2 = the network edition.
// Only the stand-alone edition is built.
constexpr int kEdition = 1;

CAdoConnection* g_localConnection = nullptr;
CAdoConnection* g_mainConnection = nullptr;

// The library cannot reach the program's message sink (nothing crosses the
// boundary), so it shows its own boxes, without a parent window. Without a
// screen to answer a box on (no widgets application, or the offscreen platform
// of the tests) the text goes to the error stream in the form the program's
// default sink uses, so that nothing can wait on a box nobody sees.
void LibraryMessage(QMessageBox::Icon icon, const char* caption, const QString& text)
{
    const bool canShowBox = qobject_cast<QApplication*>(QCoreApplication::instance()) &&
                            QGuiApplication::platformName() != QLatin1String("offscreen");
    if (canShowBox) {
        QMessageBox box(icon, QString::fromUtf8(caption), text, QMessageBox::Ok);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定")); // Qt's own texts are not translated here
        box.exec();
        return;
    }
    std::fprintf(stderr, "[%s] %s\n", caption, text.toUtf8().constData());
}

void PromptMessage(const QString& text)
{
    LibraryMessage(QMessageBox::Information, "提示", text);
}

void ErrorMessage(const QString& text)
{
    LibraryMessage(QMessageBox::Critical, "错误", text);
}

QString LibraryConnectString()
{
    return QStringLiteral("Data Source=%1").arg(QDir(KvDefaultAppDirectory()).filePath(QStringLiteral("work/Qrdb.db")));
}

void CreateLibraryConnections()
{
    if (!g_localConnection)
        g_localConnection = new CAdoConnection;
    if (!g_mainConnection)
        g_mainConnection = new CAdoConnection;
}

void DeleteLibraryConnections()
{
    delete g_mainConnection;
    g_mainConnection = nullptr;
    delete g_localConnection;
    g_localConnection = nullptr;
}

// Opens one of the library's connections on the database file. In the
// stand-alone edition the main database is the same file as the local one,
// over a connection of its own.
bool OpenLibraryConnection(CAdoConnection& connection)
{
    static_assert(kEdition == 1, "only the stand-alone edition is built");
    try {
        // An open connection counts as opened; a missing file is a failure,
        // never a new empty database.
        connection.Open(0, LibraryConnectString());
        return true;
    } catch (...) {
        return false;
    }
}

// Runs one step of the update; a failed step is reported and the next one
// still runs.
template <typename Step> void RunUpdateStep(Step step)
{
    try {
        step();
    } catch (const CKvException& e) {
        ErrorMessage(QStringLiteral("更新数据库失败：%1").arg(e.text()));
    } catch (...) {
        ErrorMessage(QStringLiteral("更新数据库失败！"));
    }
}

// Whether the database holds a table of this name, whatever its letter case:
// table names are not told apart by case, so "manualfee" is ManualFee.
bool TableExists(CAdoConnection& db, const QString& name)
{
    return DatabaseHasTable(db, name);
}

} // namespace

int InitialOstrakon()
{
    CreateLibraryConnections();
    if (!OpenLibraryConnection(*g_localConnection)) {
        PromptMessage(QStringLiteral("连接本地数据库失败！"));
        return 1;
    }
    if (!OpenLibraryConnection(*g_mainConnection)) {
        PromptMessage(QStringLiteral("连接主数据库失败！"));
        return 2;
    }
    return 0;
}

void QuillmerUpdateDatabase()
{
    // Called even when the connections could not be opened: then there is
    // nothing to update, and the failure has been reported already.
    if (!g_mainConnection || !g_mainConnection->IsOpen())
        return;
    // Step 1: the manual fees table of older databases.
    RunUpdateStep([] {
        if (!TableExists(*g_mainConnection, QStringLiteral("ManualFee")))
            g_mainConnection->Execute(g_mainConnection->GetServerFlag() == 1
                                          ? ServerCreateStatement(ManualFeeCreateStatement())
                                          : ManualFeeCreateStatement(),
                                      QString());
    });
    // Step 2: the schema version steps, all or nothing; a failure leaves the
    // file at its old version with every row.
    RunUpdateStep([] { UpdateSchemaVersion(*g_mainConnection); });
}

void ClrOstrakon()
{
    DeleteLibraryConnections();
}

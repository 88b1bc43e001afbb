#include "Ostrakon.h"

#include "KvAppFolder.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvEdition.h"
#include "KvSchema.h"
#include "KvServerConfig.h"
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

// 1 = the stand-alone edition (the database file), 2 = the network edition
// (the server), as the build was configured.
int LibraryEdition()
{
    return KvIsNetworkEdition() ? 2 : 1;
}

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
    try {
        // An open connection counts as opened; a missing file is a failure,
        // never a new empty database.
        connection.Open(0, LibraryConnectString());
        return true;
    } catch (...) {
        return false;
    }
}

// A parameter of the counter's own file. SysPara is one row with a column per
// parameter, so the parameter is that column of the row.
QString GetLibraryParameter(CAdoConnection& db, const QString& name)
{
    try {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(KvFormatSql("select %s from SysPara", name));
        if (rs->IsEOF()) {
            ErrorMessage(QStringLiteral("找不到指定参数！"));
            throw CKvException(QString());
        }
        return rs->GetFieldText(name);
    } catch (...) {
        ErrorMessage(QStringLiteral("获取参数 %1 错误！").arg(name));
        throw;
    }
}

// The network edition's main connection: the server named by the counter's
// file, with the installation's login (KvServerConfig.h).
bool OpenLibraryServer(CAdoConnection& local, CAdoConnection& server)
{
    try {
        const QString serverName = GetLibraryParameter(local, QStringLiteral("ServerName"));
        server.Open(1, KvServerConnectString(KvDefaultAppDirectory(), serverName));
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

// Whether the main database is the server of a new installation, still
// empty: the start-up installs it once it has reached the server (at a
// counter's first start the library cannot reach it yet: the server's name is
// typed in the start-up's server dialog), so there is nothing to update.
bool IsServerToBeInstalled(CAdoConnection& main)
{
    bool empty = false;
    RunUpdateStep([&] { empty = main.GetServerFlag() == 1 && !IsServerInstalled(main); });
    return empty;
}

} // namespace

int InitialOstrakon()
{
    CreateLibraryConnections();
    if (!OpenLibraryConnection(*g_localConnection)) {
        PromptMessage(QStringLiteral("连接本地数据库失败！"));
        return 1;
    }
    const bool mainOpened = LibraryEdition() == 2 ? OpenLibraryServer(*g_localConnection, *g_mainConnection)
                                                  : OpenLibraryConnection(*g_mainConnection);
    if (!mainOpened) {
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
    if (IsServerToBeInstalled(*g_mainConnection))
        return;
    // Step 1: the manual fees table of older databases.
    RunUpdateStep([] {
        // Table names are not told apart by case: "manualfee" is ManualFee.
        if (!DatabaseHasTable(*g_mainConnection, QStringLiteral("ManualFee")))
            g_mainConnection->Execute(g_mainConnection->GetServerFlag() == 1
                                          ? ServerCreateStatement(ManualFeeCreateStatement())
                                          : ManualFeeCreateStatement(),
                                      QString());
    });
    // Step 2: the schema version steps, all or nothing; a failure leaves the
    // file at its old version with every row.
    RunUpdateStep([] { UpdateSchemaVersion(*g_mainConnection); });
    // A counter of the network edition keeps its receipt layout in its own file.
    if (LibraryEdition() == 2 && g_localConnection && g_localConnection->IsOpen())
        RunUpdateStep([] { UpdateLocalNetworkSchemaVersion(*g_localConnection); });
}

void ClrOstrakon()
{
    DeleteLibraryConnections();
}

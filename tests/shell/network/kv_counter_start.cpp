// Starts a counter of the network edition without its windows, for the tests
// of several counters starting at once:
//   kv_counter_start <program folder>
// The start-up answers every question with Yes and logs in as qz; it writes
// its log (message boxes and steps) one entry a line to stdout and exits 0
// when the counter started, 1 when the start-up ended.
#include "CKvStartup.h"
#include "KvScriptedStartup.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: kv_counter_start folder\n");
        return 2;
    }
    SetAppDirectory(app.arguments().at(1));
    bool started = false;
    QStringList log;
    {
        ScriptedStartup script;
        script.answers = {IDYES};
        CKvStartup startup(script);
        started = startup.InitInstance();
        startup.ExitInstance();
        log = script.log;
    }
    ReleaseProcessObjects();
    QTextStream out(stdout);
    for (const QString& entry : log)
        out << QString(entry).replace(u'\n', u' ') << '\n';
    return started ? 0 : 1;
}

// Draws keys from a SysPara counter as a counter's sale does, for the test of
// two processes drawing at once:
//   kv_key_drawer <kind> <connect string> <column> <count>
// Writes one key a line to stdout; exits 1 on the first failure.
#include "CAdoConnection.h"
#include "CKvException.h"
#include "CSysPara.h"
#include "KvMessage.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

namespace {
// No operator here: a message box's text goes to stderr.
class StderrSink : public IKvMessageSink
{
public:
    int Show(QObject*, const QString&, const QString& text, int) override
    {
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
        return 1;
    }
};
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: kv_key_drawer kind connect-string column count\n");
        return 2;
    }
    StderrSink sink;
    IKvMessageSink* previous = SetMessageSink(&sink);
    int status = 0;
    try {
        CAdoConnection db;
        db.Open(args[1].toInt(), args[2]);
        CSysPara para;
        para.SetDatabase(&db);
        QTextStream out(stdout);
        const int count = args[4].toInt();
        for (int i = 0; i < count; ++i)
            out << para.GetIntPara(args[3], 1) << '\n';
    } catch (const CKvException& e) {
        std::fprintf(stderr, "%s\n", e.what());
        status = 1;
    }
    SetMessageSink(previous);
    return status;
}

// Loads the fees of several users through the fee-loading library of a
// program folder, as a counter's sales load them, for the tests of counters
// loading fees at once:
//   kv_fee_loader <program folder> <first user> <users> <write number>
// For users U<first> .. U<first + users - 1> it calls LoadManFee and then
// LoadOtherFee, and prints one line per call: "<export> <user> <result>".
// Exits 0 when every call succeeded, 1 when one failed, 2 when the library
// could not be loaded.
#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <cstdio>
#include <dlfcn.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: kv_fee_loader folder first users wrtnum\n");
        return 2;
    }
    const QByteArray path = QDir(args.at(1)).filePath(QStringLiteral("libMirabond.so")).toUtf8();
    void* library = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 2;
    }
    using LoadFee = int (*)(const char*, int);
    const struct
    {
        const char* name;
        LoadFee load;
    } exports[] = {{"LoadManFee", reinterpret_cast<LoadFee>(dlsym(library, "LoadManFee"))},
                   {"LoadOtherFee", reinterpret_cast<LoadFee>(dlsym(library, "LoadOtherFee"))}};
    const int first = args.at(2).toInt();
    const int users = args.at(3).toInt();
    const int wrtNum = args.at(4).toInt();
    bool failed = false;
    for (int user = first; user < first + users; ++user) {
        const QByteArray code = QStringLiteral("U%1").arg(user).toLatin1();
        for (const auto& call : exports) {
            const int result = call.load ? call.load(code.constData(), wrtNum) : -1;
            failed = failed || result < 0;
            std::printf("%s %s %d\n", call.name, code.constData(), result);
        }
    }
    dlclose(library);
    return failed ? 1 : 0;
}

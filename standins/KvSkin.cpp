// Stand-in of the outside skin library: a skin file is a Qt style sheet, and
// loading it applies the sheet to every window of the process.

#include <QApplication>
#include <QFile>

extern "C" {

// Applies the skin file at `path`; 0 when there is no application to skin or
// the file cannot be read (the look stays as it was).
__attribute__((visibility("default"))) int LoadSkin(char* path)
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || !path)
        return 0;
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    app->setStyleSheet(QString::fromUtf8(file.readAll()));
    return 1;
}

// Back to the standard look.
__attribute__((visibility("default"))) int RemoveSkin()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return 0;
    app->setStyleSheet(QString());
    return 1;
}
}

#include "KvSkin.h"

#include "KvProfile.h"
#include "KvUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>

namespace {

const QString kSection = QStringLiteral("Quillmer");
const QString kStyleKey = QStringLiteral("QrStyle");

using LoadSkinFn = int (*)(char*);
using RemoveSkinFn = int (*)();

// The library stays loaded once used: the skin it applied stays in force until
// another choice is made or the program ends.
QFunctionPointer skinExport(const char* name)
{
    QLibrary library(QDir(GetAppDirectory()).filePath(SkinLibraryName()));
    if (!library.load())
        return nullptr;
    return library.resolve(name);
}

struct StyleChoice
{
    const char* loaded;
    const char* stored;
};

// The default style's file is shipped as "SoftCrystal.ssk" and stored in the
// profile as "Softcrystal.ssk"; FindSkinFile makes both spellings meet.
const StyleChoice kChoices[] = {
    {"SoftCrystal.ssk", "Softcrystal.ssk"},
    {"XPCorona.ssk", "XPCorona.ssk"},
    {"Minimized.ssk", "Minimized.ssk"},
};

} // namespace

QString SkinLibraryName()
{
    return QStringLiteral("KvSkin");
}

bool KvLoadSkin(const QString& skinFile)
{
    auto load = reinterpret_cast<LoadSkinFn>(skinExport("LoadSkin"));
    if (!load)
        return false;
    QByteArray path = QFile::encodeName(QDir::toNativeSeparators(skinFile));
    return load(path.data()) != 0;
}

void KvRemoveSkin()
{
    if (auto remove = reinterpret_cast<RemoveSkinFn>(skinExport("RemoveSkin")))
        remove();
}

QString FindSkinFile(const QString& name)
{
    const QDir dir(GetAppDirectory());
    const QString exact = dir.filePath(name);
    if (QFileInfo(exact).isFile())
        return exact;
    const QStringList files = dir.entryList(QDir::Files);
    for (const QString& file : files) {
        if (file.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(file);
    }
    return exact;
}

void ApplyStyleChoice(int choice)
{
    if (choice < 0 || choice >= static_cast<int>(std::size(kChoices))) {
        KvRemoveSkin();
        return;
    }
    const StyleChoice& style = kChoices[choice];
    KvLoadSkin(FindSkinFile(QString::fromLatin1(style.loaded)));
    WriteWinIniString(kSection, kStyleKey, QString::fromLatin1(style.stored));
}

void RestoreStoredStyle()
{
    // Only a file of the program folder: the stored value is a bare name.
    const QString stored = QFileInfo(GetWinIniString(kSection, kStyleKey).trimmed()).fileName();
    if (!stored.isEmpty())
        KvLoadSkin(FindSkinFile(stored));
}

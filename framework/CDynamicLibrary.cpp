#include "CDynamicLibrary.h"

#include "KvUtil.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

CDynamicLibrary::CDynamicLibrary(const QString& fileName) : m_fileName(fileName)
{
    if (fileName.isEmpty())
        return;
    QString path = QDir::isRelativePath(fileName) ? QDir(GetAppDirectory()).filePath(fileName) : fileName;
#ifndef Q_OS_WIN
    if (!QFileInfo::exists(path) && path.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive))
        path.chop(4); // QLibrary adds the platform's prefix and suffix
#endif
    auto library = std::make_unique<QLibrary>(path);
    if (library->load())
        m_module = std::move(library);
}

CDynamicLibrary::~CDynamicLibrary()
{
    if (m_module)
        m_module->unload();
}

QFunctionPointer CDynamicLibrary::GetProc(const char* name) const
{
    if (!m_module || !name)
        return nullptr;
    return m_module->resolve(name);
}

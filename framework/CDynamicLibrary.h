#pragma once

#include <QFunctionPointer>
#include <QString>
#include <memory>

class QLibrary;

// A library loaded by file name for the life of the object. A relative name is
// looked up in the program folder; on this platform a ".dll" suffix names the
// shared library of the same base name (Raskell.dll -> libRaskell.so). Nothing
// is reported: a library that does not load gives null entries.
class CDynamicLibrary
{
public:
    explicit CDynamicLibrary(const QString& fileName);
    virtual ~CDynamicLibrary();

    CDynamicLibrary(const CDynamicLibrary&) = delete;
    CDynamicLibrary& operator=(const CDynamicLibrary&) = delete;

    // The exported entry, or null when the library did not load or lacks it.
    QFunctionPointer GetProc(const char* name) const;
    template <class F> F GetProc(const char* name) const { return reinterpret_cast<F>(GetProc(name)); }

    bool IsLoaded() const { return m_module != nullptr; }
    const QString& GetFileName() const { return m_fileName; }

private:
    std::unique_ptr<QLibrary> m_module; // null when loading failed
    QString m_fileName;
};

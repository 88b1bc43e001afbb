// Stand-in of the reading-data library: hands the program the records that
// the programmer's tool left in the reading-data file next to the library.
// No file gives no records. Built without one export, as a test library, when
// HOLLORIN_WITHOUT_GET or HOLLORIN_WITHOUT_FREE is defined.
#include "KvReadDataRecord.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <string>

#define HOLLORIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::string DataFilePath()
{
    Dl_info info{};
    std::string folder = ".";
    if (dladdr(reinterpret_cast<void*>(&DataFilePath), &info) && info.dli_fname) {
        const std::string library = info.dli_fname;
        const auto slash = library.rfind('/');
        if (slash != std::string::npos)
            folder = library.substr(0, slash);
    }
    return folder + "/" KV_READ_DATA_FILE;
}

#ifdef HOLLORIN_WITHOUT_FREE
// Without its free export the program cannot hand the array back: this test
// copy keeps the last one and lets go of it when it is unloaded.
ReadDataRecord* g_kept = nullptr;
__attribute__((destructor)) void ReleaseKept()
{
    std::free(g_kept);
    g_kept = nullptr;
}
#endif

} // namespace

#ifndef HOLLORIN_WITHOUT_GET
HOLLORIN_EXPORT int GetReadData(ReadDataRecord** records, int32_t* count)
{
    *records = nullptr;
    *count = 0;
    FILE* file = std::fopen(DataFilePath().c_str(), "rb");
    if (!file)
        return 0;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    const long total = size > 0 ? size / long(sizeof(ReadDataRecord)) : 0;
    if (total > 0) {
        auto* array = static_cast<ReadDataRecord*>(std::malloc(sizeof(ReadDataRecord) * size_t(total)));
        if (array) {
            *count = int32_t(std::fread(array, sizeof(ReadDataRecord), size_t(total), file));
            *records = array;
#ifdef HOLLORIN_WITHOUT_FREE
            std::free(g_kept);
            g_kept = array;
#endif
        }
    }
    std::fclose(file);
    return *count;
}
#endif

#ifndef HOLLORIN_WITHOUT_FREE
HOLLORIN_EXPORT int FreeReadData(ReadDataRecord** records)
{
    std::free(*records);
    *records = nullptr;
    return 0;
}
#endif

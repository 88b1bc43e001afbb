#pragma once

#include <QString>

// One entry of the rights table compiled into the program. An id divisible by
// 100 is a group header; the other entries belong to the header before them.
struct KvRightEntry
{
    int id;
    const char* name; // UTF-8
};

// The rights table in its fixed order: each header directly before its
// entries (the order inside a group is not numeric), ended by an entry with
// id 0. Menu commands are matched to these names; operators hold the ids.
const KvRightEntry* GetRightTable();

inline bool IsRightGroupHeader(int id)
{
    return id % 100 == 0;
}

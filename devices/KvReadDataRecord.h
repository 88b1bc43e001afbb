#pragma once

#include <cstdint>

// One record as the reading-data library hands it over: 28 bytes, packed,
// integers little-endian. The texts are zero-terminated when they are shorter
// than their field; a full field carries no terminator.
#pragma pack(push, 1)
struct ReadDataRecord
{
    char meterNo[9];  // main meter number, or a card number beginning with 9
    char subX[2];     // index of the sub-meter under the main meter
    char readDate[9]; // yy?mm?dd, any separator
    int32_t pulses;   // pulse count
    int32_t baseRead; // base-meter reading in hundredths
};
#pragma pack(pop)
static_assert(sizeof(ReadDataRecord) == 28, "the library's records are 28 bytes");

// The library's two exports.
extern "C" {
typedef int (*KvGetReadDataFn)(ReadDataRecord** records, int32_t* count);
typedef int (*KvFreeReadDataFn)(ReadDataRecord** records);
}

// The file in the program folder through which the programmer's tool hands
// what it read to the reading-data library: the records back to back. Both
// sides are ours, so the name is ours too.
#define KV_READ_DATA_FILE "Hollorin.dat"

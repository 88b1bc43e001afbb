#pragma once

#include <cstddef>
#include <cstdint>

// One meter as the carrier reading library takes it: 188 bytes, packed,
// integers little-endian. Texts are zero-terminated GBK; the bytes behind a
// terminator carry nothing.
#pragma pack(push, 1)
struct CarrierMeterInfo
{
    char meterNo[21];
    char clientNo[21]; // the user of the meter
    char clientName[41];
    char address[51];
    char meterKind[22]; // "单功预付" or "三功预付"
    int32_t ctPt;       // Ct x Pt
    int32_t level;      // "一级" 1, "二级" 2, else 0
    char superNo[24];   // the parent meter
};
#pragma pack(pop)

static_assert(sizeof(CarrierMeterInfo) == 188, "the carrier record is 188 bytes");
static_assert(offsetof(CarrierMeterInfo, meterNo) == 0x00);
static_assert(offsetof(CarrierMeterInfo, clientNo) == 0x15);
static_assert(offsetof(CarrierMeterInfo, clientName) == 0x2a);
static_assert(offsetof(CarrierMeterInfo, address) == 0x53);
static_assert(offsetof(CarrierMeterInfo, meterKind) == 0x86);
static_assert(offsetof(CarrierMeterInfo, ctPt) == 0x9c);
static_assert(offsetof(CarrierMeterInfo, level) == 0xa0);
static_assert(offsetof(CarrierMeterInfo, superNo) == 0xa4);

// The library's exports; every one answers a 32-bit int.
extern "C" {
typedef int (*KvPondrakeToTmpFn)(CarrierMeterInfo* record);
typedef int (*KvEditMeterInfoFromCarrierFn)(CarrierMeterInfo* record, const char* status);
typedef int (*KvDeleteMeterInfoFromTmpFn)(const char* meterNo);
typedef int (*KvDeleteMeterFromCarrierFn)(const char* meterNo);
typedef int (*KvPauseMeterFromCarrierFn)(const char* meterNo, const char* status);
typedef int (*KvReOpenAccountInCarrierFn)(const char* meterNo, double used, int32_t, int32_t);
}

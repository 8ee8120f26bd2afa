#pragma once

#include "platform/core/HResult.h"

#include <cstdint>

// A 128-bit globally unique id in the Windows layout.
struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};
};

// Fills `guid` with a random (version 4, RFC 4122 variant) id from a generator each thread seeds
// once from std::random_device.
// S_OK on success, E_POINTER for a null pointer, E_FAIL when the random source fails.
HRESULT CoCreateGuid(GUID* guid);

inline bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}

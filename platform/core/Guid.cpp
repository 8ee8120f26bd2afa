#include "platform/core/Guid.h"

#include <exception>
#include <random>

HRESULT CoCreateGuid(GUID* guid) {
    if (!guid)
        return E_POINTER;
    try {
        std::random_device source;
        const uint32_t words[4] = {source(), source(), source(), source()};
        guid->Data1 = words[0];
        guid->Data2 = static_cast<uint16_t>(words[1] >> 16);
        // Version 4 (random) in the top four bits of Data3.
        guid->Data3 = static_cast<uint16_t>((words[1] & 0x0FFFu) | 0x4000u);
        for (int i = 0; i < 4; ++i) {
            guid->Data4[i] = static_cast<uint8_t>(words[2] >> (24 - 8 * i));
            guid->Data4[4 + i] = static_cast<uint8_t>(words[3] >> (24 - 8 * i));
        }
        // The RFC 4122 variant: the top two bits of Data4[0] are 10.
        guid->Data4[0] = static_cast<uint8_t>((guid->Data4[0] & 0x3Fu) | 0x80u);
        return S_OK;
    } catch (const std::exception&) {
        return E_FAIL;
    }
}

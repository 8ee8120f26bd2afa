#include "platform/core/Guid.h"

#include <exception>
#include <optional>
#include <random>

namespace {

// Opening the system's random device for every id costs more than the rest of a record insert, so
// each thread seeds one generator from it once, with the generator's full state width.
std::mt19937_64* ThreadSource() {
    thread_local std::optional<std::mt19937_64> source;
    if (!source) {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device(), device(), device()};
        source.emplace(seed);
    }
    return &*source;
}

} // namespace

HRESULT CoCreateGuid(GUID* guid) {
    if (!guid)
        return E_POINTER;
    try {
        std::mt19937_64& source = *ThreadSource();
        const uint64_t high = source();
        const uint64_t low = source();
        const uint32_t words[4] = {static_cast<uint32_t>(high >> 32), static_cast<uint32_t>(high),
                                   static_cast<uint32_t>(low >> 32), static_cast<uint32_t>(low)};
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

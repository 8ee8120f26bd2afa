#include "data/DateParser.h"
#include "platform/core/WinTime.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Any text must parse or fail in every mode and with every hour policy: never crash, read out of
// bounds, overflow, leak or recurse without bound, and a success always holds a valid date.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A fixed clock keeps every run of an input alike: Wednesday 15 March 2006 at 10:00.
    SYSTEMTIME now;
    now.wYear = 2006;
    now.wMonth = 3;
    now.wDay = 15;
    now.wHour = 10;
    SetLocalTimeForTesting(now);

    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int mode : {CDateParser::kDateOrTime, CDateParser::kTimeOnly, CDateParser::kDateOnly}) {
        CDateParser parser;
        parser.SetHourPolicy(static_cast<int>(size % 4));
        parser.SetAfternoonThreshold(static_cast<int>(size % 11) + 1);
        if (parser.Parse(text.c_str(), mode) != parser.GetDate().IsValid())
            __builtin_trap();
    }
    return 0;
}

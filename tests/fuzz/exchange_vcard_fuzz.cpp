#include "exchange/WabImporter.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool IsValidUtf8(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const size_t extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 99;
        if (extra == 99 || at + extra >= text.size())
            return false;
        for (size_t i = 1; i <= extra; ++i)
            if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80)
                return false;
        at += extra + 1;
    }
    return true;
}

} // namespace

// Any file text reads without crashing; every person it gives has a display name, an e-mail
// address that is empty or holds "@", and UTF-8 text in every field.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CWabImporter importer;
    importer.OpenText(std::string(reinterpret_cast<const char*>(data), size));
    const int read = importer.Read();
    if (read != -1 && read != static_cast<int>(importer.Persons().size()))
        __builtin_trap();
    for (const CPerson& person : importer.Persons()) {
        if (person.m_DisplayName.IsEmpty())
            __builtin_trap();
        if (!person.m_Email.IsEmpty() && person.m_Email.Find('@') < 0)
            __builtin_trap();
        for (const CString* field :
             {&person.m_Title, &person.m_FName, &person.m_LName, &person.m_Addr1, &person.m_City,
              &person.m_HmPhone, &person.m_Company, &person.m_WkAddr1, &person.m_WkFax, &person.m_Notes})
            if (!IsValidUtf8(field->str()))
                __builtin_trap();
    }
    return 0;
}

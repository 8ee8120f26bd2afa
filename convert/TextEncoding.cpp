#include "convert/TextEncoding.h"

#include "platform/core/Utf8.h"

CString ToUtf8Text(const CString& text) {
    CString converted;
    return Utf8Text(text, converted) == text.c_str() ? text : converted;
}

const char* Utf8Text(const CString& text, CString& converted) {
    const std::string_view bytes(text.c_str(), static_cast<size_t>(text.GetLength()));
    if (IsValidUtf8(bytes))
        return text.c_str();
    converted = CString(Windows1252ToUtf8(bytes));
    return converted.c_str();
}

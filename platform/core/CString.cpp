#include "platform/core/CString.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {

bool IsSpace(char ch) {
    return std::isspace(static_cast<unsigned char>(ch)) != 0;
}

size_t Clamp(int value, size_t limit) {
    if (value < 0)
        return 0;
    return std::min(static_cast<size_t>(value), limit);
}

} // namespace

int CString::Compare(const char* other) const {
    return std::strcmp(m_text.c_str(), other ? other : "");
}

int CString::CompareNoCase(const char* other) const {
    return strcasecmp(m_text.c_str(), other ? other : "");
}

void CString::FormatV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) {
        m_text.clear();
        return;
    }
    std::string result(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(result.data(), result.size(), format, args);
    result.resize(static_cast<size_t>(length));
    m_text = std::move(result);
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
    CString tail;
    va_list args;
    va_start(args, format);
    tail.FormatV(format, args);
    va_end(args);
    m_text += tail.m_text;
}

CString CString::Left(int count) const {
    return CString(m_text.substr(0, Clamp(count, m_text.size())));
}

CString CString::Right(int count) const {
    const size_t n = Clamp(count, m_text.size());
    return CString(m_text.substr(m_text.size() - n));
}

CString CString::Mid(int first) const {
    return CString(m_text.substr(Clamp(first, m_text.size())));
}

CString CString::Mid(int first, int count) const {
    const size_t start = Clamp(first, m_text.size());
    return CString(m_text.substr(start, Clamp(count, m_text.size() - start)));
}

int CString::Find(char ch, int start) const {
    const size_t pos = m_text.find(ch, Clamp(start, m_text.size()));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* sub, int start) const {
    if (!sub)
        return -1;
    if (start < 0 || static_cast<size_t>(start) > m_text.size())
        return -1;
    const size_t pos = m_text.find(sub, static_cast<size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
    const size_t pos = m_text.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const char* chars) const {
    const size_t pos = m_text.find_first_of(chars ? chars : "");
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString& CString::MakeUpper() {
    for (char& ch : m_text)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return *this;
}

CString& CString::MakeLower() {
    for (char& ch : m_text)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return *this;
}

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}

CString& CString::TrimLeft() {
    m_text.erase(m_text.begin(), std::find_if_not(m_text.begin(), m_text.end(), IsSpace));
    return *this;
}

CString& CString::TrimRight() {
    m_text.erase(std::find_if_not(m_text.rbegin(), m_text.rend(), IsSpace).base(), m_text.end());
    return *this;
}

CString& CString::Trim(const char* chars) {
    return TrimRight(chars).TrimLeft(chars);
}

CString& CString::TrimLeft(const char* chars) {
    m_text.erase(0, std::min(m_text.find_first_not_of(chars ? chars : ""), m_text.size()));
    return *this;
}

CString& CString::TrimRight(const char* chars) {
    const size_t last = m_text.find_last_not_of(chars ? chars : "");
    m_text.erase(last == std::string::npos ? 0 : last + 1);
    return *this;
}

int CString::Replace(const char* old, const char* replacement) {
    if (!old || !*old)
        return 0;
    const std::string from(old);
    const std::string to(replacement ? replacement : "");
    int count = 0;
    for (size_t pos = m_text.find(from); pos != std::string::npos; pos = m_text.find(from, pos + to.size())) {
        m_text.replace(pos, from.size(), to);
        ++count;
    }
    return count;
}

int CString::Replace(char old, char replacement) {
    int count = 0;
    for (char& ch : m_text) {
        if (ch == old) {
            ch = replacement;
            ++count;
        }
    }
    return count;
}

int CString::Remove(char ch) {
    const size_t before = m_text.size();
    std::erase(m_text, ch);
    return static_cast<int>(before - m_text.size());
}

int CString::Insert(int index, const char* text) {
    m_text.insert(Clamp(index, m_text.size()), text ? text : "");
    return GetLength();
}

int CString::Delete(int index, int count) {
    const size_t start = Clamp(index, m_text.size());
    m_text.erase(start, Clamp(count, m_text.size() - start));
    return GetLength();
}

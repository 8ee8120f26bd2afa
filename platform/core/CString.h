#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

// The text type of every record field and dialog member: a value over UTF-8 bytes. It converts to
// `const char*` wherever the code hands a C text on (SQL formatting, printf-style calls).
class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}
    CString(const char* text, int length) : m_text(text ? std::string(text, static_cast<size_t>(length)) : "") {}
    CString(std::string text) : m_text(std::move(text)) {}
    CString(std::string_view text) : m_text(text) {}
    CString(char ch, int repeat = 1) : m_text(static_cast<size_t>(repeat > 0 ? repeat : 0), ch) {}

    operator const char*() const { return m_text.c_str(); }
    const char* c_str() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }
    std::string& str() { return m_text; }

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    char GetAt(int index) const { return m_text[static_cast<size_t>(index)]; }
    void SetAt(int index, char ch) { m_text[static_cast<size_t>(index)] = ch; }
    char operator[](int index) const { return GetAt(index); }

    CString& operator=(const char* text) {
        m_text = text ? text : "";
        return *this;
    }
    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(const char* text) {
        if (text)
            m_text += text;
        return *this;
    }
    CString& operator+=(char ch) {
        m_text += ch;
        return *this;
    }
    void Append(const char* text, int length) { m_text.append(text, static_cast<size_t>(length)); }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_text + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_text); }
    friend CString operator+(const CString& a, char b) { return CString(a.m_text + b); }

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
    friend auto operator<=>(const CString& a, const CString& b) { return a.m_text <=> b.m_text; }

    // Comparisons as strcmp / case-insensitive (ASCII) comparison: negative, zero or positive.
    int Compare(const char* other) const;
    int CompareNoCase(const char* other) const;

    // printf-style formatting; the result replaces the text.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args);
    void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Positions count from 0; -1 means not found.
    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* chars) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim(const char* chars);
    CString& TrimLeft(const char* chars);
    CString& TrimRight(const char* chars);

    // Replaces every occurrence; returns how many were replaced.
    int Replace(const char* old, const char* replacement);
    int Replace(char old, char replacement);
    int Remove(char ch);
    int Insert(int index, const char* text);
    int Delete(int index, int count = 1);

private:
    std::string m_text;
};

#pragma once

// SQL text built with SQLite's own formatter, so %Q (quoted, NULL for none) and %q are available
// besides the printf conversions. Every user text enters SQL through %Q.
class SqlBuffer {
public:
    SqlBuffer() = default;
    ~SqlBuffer();
    SqlBuffer(const SqlBuffer&) = delete;
    SqlBuffer& operator=(const SqlBuffer&) = delete;

    // Frees the previous text and formats a new one; returns it.
    const char* Format(const char* format, ...);
    void Clear();

    // The text; null before the first Format.
    operator const char*() const { return m_text; }

private:
    char* m_text = nullptr;
};

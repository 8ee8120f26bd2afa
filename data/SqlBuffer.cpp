#include "data/SqlBuffer.h"

#include <sqlcipher/sqlite3.h>

#include <cstdarg>

SqlBuffer::~SqlBuffer() {
    Clear();
}

const char* SqlBuffer::Format(const char* format, ...) {
    Clear();
    va_list args;
    va_start(args, format);
    m_text = sqlite3_vmprintf(format, args);
    va_end(args);
    return m_text;
}

void SqlBuffer::Clear() {
    if (m_text)
        sqlite3_free(m_text);
    m_text = nullptr;
}

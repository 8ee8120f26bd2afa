#include "ui/app/CommandLine.h"

#include "exchange/FieldReader.h"

#include <cctype>

namespace {

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

} // namespace

bool NextCommandLineField(CString& line, CString& out, char quote, char delimiter) {
    CFieldReader reader;
    reader.SetQuoteChar(quote);
    reader.SetDelimiter(delimiter);
    return reader.NextField(line, out);
}

bool IsSwitchField(const CString& field) {
    return field.GetLength() >= 3 && field[0] == '/' && std::isalpha(static_cast<unsigned char>(field[1])) &&
           IsBlank(field[2]);
}

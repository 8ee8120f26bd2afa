// The same persons come out of a delimited file whatever encoding it was written in: UTF-8 with or
// without its byte-order mark, UTF-16 in either byte order with or without one, and Windows-1252 for
// the texts it can hold; for field names and values in ASCII, Latin-1, Cyrillic, CJK and mixed, with
// each separator. A NUL in a value ends it, on the way in as on the way out.

#include "data/SqlQuery.h"
#include "exchange/DelimitedText.h"
#include "exchange/ExportTableSpec.h"
#include "platform/core/Utf8.h"
#include "tests/data/records_document.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace std::string_literals;

enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16LeBom, Utf16Be, Utf16BeBom, Windows1252 };

const char* Name(Encoding encoding) {
    static const char* const names[] = {"UTF-8",    "UTF-8 BOM",    "UTF-16LE",    "UTF-16LE BOM",
                                        "UTF-16BE", "UTF-16BE BOM", "Windows-1252"};
    return names[static_cast<int>(encoding)];
}

std::u32string CodePoints(const std::string& utf8) {
    std::u32string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (size_t k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out += code;
        i += length;
    }
    return out;
}

// Whether Windows-1252 holds the text (the code points up to U+00FF outside its C1 range).
bool FitsWindows1252(const std::string& utf8) {
    for (char32_t code : CodePoints(utf8))
        if (code > 0xFF || (code >= 0x80 && code < 0xA0))
            return false;
    return true;
}

std::string Encode(const std::string& utf8, Encoding encoding) {
    if (encoding == Encoding::Utf8)
        return utf8;
    if (encoding == Encoding::Utf8Bom)
        return "\xEF\xBB\xBF" + utf8;
    std::string bytes;
    if (encoding == Encoding::Windows1252) {
        for (char32_t code : CodePoints(utf8))
            bytes += static_cast<char>(code);
        return bytes;
    }
    const bool big = encoding == Encoding::Utf16Be || encoding == Encoding::Utf16BeBom;
    auto unit = [&](char32_t u) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        bytes += big ? std::string{high, low} : std::string{low, high};
    };
    if (encoding == Encoding::Utf16LeBom || encoding == Encoding::Utf16BeBom)
        unit(0xFEFF);
    for (char32_t code : CodePoints(utf8)) {
        if (code >= 0x10000) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
    return bytes;
}

using Row = std::vector<std::string>; // LastName, Notes, Company

struct Content {
    const char* name;
    std::vector<Row> rows;
};

struct Separator {
    const char* name;
    const char* separator;
    const char* qualifier;
};

// The stored persons as (LastName, Notes, Company), sorted.
std::vector<Row> Stored() {
    std::vector<Row> rows;
    SqlQuery query = g_db.ExecQuery("select LName, Notes, Company from Person");
    for (; !query.Eof(); query.NextRow())
        rows.push_back(
            {query.GetStringField(0, ""), query.GetStringField(1, ""), query.GetStringField(2, "")});
    std::sort(rows.begin(), rows.end());
    return rows;
}

class DelimitedEncodings : public RecordsDocument {
protected:
    void SetUp() override {
        RecordsDocument::SetUp();
        // Hundreds of small imports: what is checked is what they read, not how they reach the disk.
        g_db.ExecDml("pragma synchronous = off");
        m_spec.m_filePath = m_dir.File("in.csv");
        m_spec.m_header = 1;
        m_spec.m_columnCount = 3;
        m_spec.m_columnFields = {"LastName", "Notes", "Company"};
    }

    void WriteBytes(const std::string& bytes) {
        std::ofstream(m_spec.m_filePath.c_str(), std::ios::binary) << bytes;
    }

    // Imports the bytes into an emptied address book; the persons it stored.
    std::vector<Row> Import(const std::string& bytes) {
        g_db.ExecDml("delete from PersonPhGroup");
        g_db.ExecDml("delete from Person");
        WriteBytes(bytes);
        const int added = g_doc.ImportAddressBookCsv(m_spec);
        std::vector<Row> stored = Stored();
        EXPECT_EQ(added, static_cast<int>(stored.size()));
        return stored;
    }

    CExportTableSpec m_spec;
};

TEST_F(DelimitedEncodings, EveryEncodingGivesTheSamePersons) {
    const std::vector<Row> headers = {
        {"LastName", "Notes", "Company"},
        {"Фамилия", "Заметки", "Компания"},
        {"姓名", "备注", "公司"},
        {"Фамилия", "Notes", "会社"},
    };
    // Values with the characters whose UTF-16 holds a zero byte (一 U+4E00, Ā U+0100) or a line-feed
    // byte (上 U+4E0A, Њ U+040A), and a row that names nobody.
    const std::vector<Content> contents = {
        {"ASCII", {{"Smith", "Called 3 times", "Acme"}, {"Baker", "", "Beta Inc"}, {"", "no name", ""}}},
        {"Latin-1", {{"Müller", "Grüße", "Café"}, {"", "Straße 12", "Garçon SA"}}},
        {"Cyrillic",
         {{"Иванов", "Звонил в среду", "Рога и копыта"}, {"Њего", "", ""}, {"", "без имени", ""}}},
        {"CJK", {{"王一", "上午十点", "一二三公司"}, {"", "备注", "株式会社アイウ"}, {"李", "", ""}}},
        {"Digits", {{"007", "12345", "2024"}}},
        {"Mixed", {{"Smith", "Иванов 上 Āb", "公司 Acme"}}},
    };
    const std::vector<Separator> separators = {
        {"comma", ",", "\""}, {"semicolon", ";", "\""}, {"tab", "\t", ""}};
    const Encoding encodings[] = {Encoding::Utf8,       Encoding::Utf8Bom, Encoding::Utf16Le,
                                  Encoding::Utf16LeBom, Encoding::Utf16Be, Encoding::Utf16BeBom,
                                  Encoding::Windows1252};

    for (const Row& header : headers)
        for (const Content& content : contents)
            for (const Separator& separator : separators) {
                auto line = [&](const Row& cells) {
                    std::string text;
                    for (size_t i = 0; i < cells.size(); ++i) {
                        if (i > 0)
                            text += separator.separator;
                        // An empty value is written as nothing, as the export does.
                        if (!cells[i].empty())
                            text += separator.qualifier + cells[i] + separator.qualifier;
                    }
                    return text;
                };
                std::string text = line(header) + "\r\n";
                std::vector<Row> expected;
                for (const Row& row : content.rows) {
                    text += line(row) + "\r\n";
                    if (!row[0].empty() || !row[2].empty())
                        expected.push_back(row);
                }
                std::sort(expected.begin(), expected.end());
                m_spec.m_separator = separator.separator;
                m_spec.m_qualifier = separator.qualifier;
                for (const Encoding encoding : encodings) {
                    if (encoding == Encoding::Windows1252 && !FitsWindows1252(text))
                        continue;
                    SCOPED_TRACE(std::string(Name(encoding)) + ", header " + header[0] + ", " + content.name +
                                 ", " + separator.name);
                    const std::string bytes = Encode(text, encoding);
                    EXPECT_EQ(Import(bytes), expected);
                    CString firstLine;
                    ASSERT_EQ(ReadDelimitedFirstLine(m_spec.m_filePath, firstLine), DelimitedFileResult::Ok);
                    EXPECT_EQ(firstLine.str(), line(header));
                }
            }
}

// The repro of a file without byte-order mark whose first line has no Latin letter.
TEST_F(DelimitedEncodings, Utf16WithoutAMarkAndACyrillicFirstLineGivesItsTwoPersons) {
    const std::string text = "\"Фамилия\",\"Заметки\",\"Компания\"\r\n"
                             "\"Петров\",\"Первый\",\"ООО Ромашка\"\r\n"
                             "\"Сидорова\",\"Вторая\",\"\"\r\n";
    m_spec.m_separator = ",";
    m_spec.m_qualifier = "\"";
    const std::vector<Row> expected = {{"Петров", "Первый", "ООО Ромашка"}, {"Сидорова", "Вторая", ""}};
    for (const Encoding encoding : {Encoding::Utf16Le, Encoding::Utf16Be}) {
        SCOPED_TRACE(Name(encoding));
        EXPECT_EQ(Import(Encode(text, encoding)), expected);
    }
}

// A NUL in a value ends it, in every encoding: a name that starts with one is no name, and the
// person is not stored; the characters after it do not reach the document.
TEST_F(DelimitedEncodings, ANulEndsTheValueOnTheWayIn) {
    const std::string text = "\"LastName\",\"Notes\",\"Company\"\r\n"
                             "\"\0Smith\",\"starts with a NUL\",\"\"\r\n"
                             "\"Bak\0er\",\"Not\0es\",\"\"\r\n"
                             "Cole,plain\0cell,\r\n"
                             "\"Dunn\\000x\",\"escaped\",\"\"\r\n"s;
    m_spec.m_separator = ",";
    m_spec.m_qualifier = "\"";
    const std::vector<Row> expected = {{"Bak", "Not", ""}, {"Cole", "plain", ""}, {"Dunn", "escaped", ""}};
    for (const Encoding encoding : {Encoding::Utf8, Encoding::Utf8Bom, Encoding::Utf16Le,
                                    Encoding::Utf16BeBom, Encoding::Windows1252}) {
        SCOPED_TRACE(Name(encoding));
        EXPECT_EQ(Import(Encode(text, encoding)), expected);
    }
}

// A stored value holding a NUL (written by another program) is exported up to the NUL, as the
// import would read it back.
TEST_F(DelimitedEncodings, ANulEndsTheValueOnTheWayOut) {
    g_db.ExecDml("insert into Person (ID, LName, Notes) values ('p1', 'Baker', 'x')");
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(g_db.Handle(), "update Person set Notes = ?", -1, &statement, nullptr),
              SQLITE_OK);
    sqlite3_bind_text(statement, 1, "Not\0es", 6, SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(statement), SQLITE_DONE);
    sqlite3_finalize(statement);

    m_spec.m_separator = ",";
    m_spec.m_qualifier = "\"";
    CExportTableSpec out = m_spec;
    out.m_columnFields = {"LastName", "Notes"};
    ASSERT_EQ(g_doc.ExportAddressBookCsv(out), 1);
    std::ifstream file(m_spec.m_filePath.c_str(), std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, "\"LastName\",\"Notes\"\n\"Baker\",\"Not\"\n");

    m_spec.m_columnCount = 2;
    m_spec.m_columnFields = {"LastName", "Notes"};
    EXPECT_EQ(Import(written), (std::vector<Row>{{"Baker", "Not", ""}}));
}

// A file in an 8-bit encoding with a stray NUL next to a separator stays 8-bit.
TEST(Utf16Detection, AStrayNulInAnEightBitFileIsNoUtf16) {
    bool bigEndian = false;
    for (const std::string& bytes : {"\"\0Smith\",Ann\r\nBaker,Bob\r\n"s, "\"\0Smith\",\"Ann\""s, "a,\0b,c"s,
                                     "M\xFCller;\0;x\r\nGr\xFC\xDF"
                                     "e;y;z\r\n"s})
        EXPECT_FALSE(IsUtf16Text(bytes, bigEndian)) << bytes;
}

} // namespace

#include "data/IdMaker.h"
#include "data/Schema.h"
#include "data/SqlBuffer.h"
#include "data/SqlException.h"
#include "data/SqlQuery.h"
#include "exchange/WabImporter.h"
#include "tests/data/records_document.h"
#include "tests/support/FileStepFault.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string Fixture(const char* name) {
    return std::string(PELM_FIXTURES_DIR) + "/exchange/" + name;
}

std::vector<CPerson> ReadText(const std::string& text, int* result = nullptr) {
    CWabImporter importer;
    EXPECT_EQ(importer.OpenText(text), 0);
    const int read = importer.Read();
    if (result)
        *result = read;
    return importer.Persons();
}

std::vector<CPerson> ReadFixture(const char* name) {
    CWabImporter importer;
    EXPECT_EQ(importer.Open(Fixture(name).c_str()), 0) << name;
    EXPECT_NE(importer.Read(), -1) << name;
    return importer.Persons();
}

// One small card and the fields it must give.
struct CardCase {
    const char* label;
    std::string text;
    CString CPerson::*member;
    const char* expected;
};

class SmallCards : public testing::TestWithParam<CardCase> {};

TEST_P(SmallCards, FillTheirField) {
    const CardCase& c = GetParam();
    const std::vector<CPerson> persons = ReadText(c.text);
    ASSERT_EQ(persons.size(), 1u) << c.label;
    EXPECT_EQ(persons[0].*c.member, c.expected) << c.label;
}

std::string Card(const char* version, const std::string& body) {
    return std::string("BEGIN:VCARD\r\nVERSION:") + version + "\r\nN:Doe;Jane\r\n" + body + "END:VCARD\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Versions, SmallCards,
    testing::Values(
        CardCase{"2.1 bare home phone", Card("2.1", "TEL;HOME:111\r\n"), &CPerson::m_HmPhone, "111"},
        CardCase{"3.0 typed work phone", Card("3.0", "TEL;TYPE=WORK,VOICE:222\r\n"), &CPerson::m_WkPhone,
                 "222"},
        CardCase{"4.0 quoted types, tel uri",
                 Card("4.0", "TEL;VALUE=uri;TYPE=\"cell,voice\":tel:+49-170\r\n"), &CPerson::m_CelPhone,
                 "+49-170"},
        CardCase{"work cell is the one cell field", Card("3.0", "TEL;TYPE=work;TYPE=cell:333\r\n"),
                 &CPerson::m_CelPhone, "333"},
        CardCase{"pager", Card("3.0", "TEL;TYPE=pager:444\r\n"), &CPerson::m_Pager, "444"},
        CardCase{"home fax", Card("2.1", "TEL;HOME;FAX:555\r\n"), &CPerson::m_HmFax, "555"},
        CardCase{"fax without kind is the business fax", Card("3.0", "TEL;TYPE=fax:556\r\n"),
                 &CPerson::m_WkFax, "556"},
        CardCase{"later business fax wins", Card("3.0", "TEL;TYPE=fax:1\r\nTEL;TYPE=work,fax:2\r\n"),
                 &CPerson::m_WkFax, "2"},
        CardCase{"untyped phone is the home phone", Card("4.0", "TEL:777\r\n"), &CPerson::m_HmPhone, "777"},
        CardCase{"first of two home phones", Card("3.0", "TEL;TYPE=home:1\r\nTEL;TYPE=home:2\r\n"),
                 &CPerson::m_HmPhone, "1"},
        CardCase{"name prefix is the title", Card("3.0", "N:Doe;Jane;;Dr.;PhD\r\n"), &CPerson::m_Title,
                 "Dr."},
        CardCase{"organisation without its unit", Card("3.0", "ORG:Acme;Labs\r\n"), &CPerson::m_Company,
                 "Acme"},
        CardCase{"job title is the position", Card("4.0", "TITLE:Engineer\r\n"), &CPerson::m_Position,
                 "Engineer"},
        CardCase{"work web page", Card("3.0", "URL;TYPE=work:http://w\r\n"), &CPerson::m_WkWebPage,
                 "http://w"},
        CardCase{"personal web page", Card("3.0", "URL:http://p\r\n"), &CPerson::m_WebPage, "http://p"},
        CardCase{"3.0 escapes", Card("3.0", "NOTE:a\\, b\\; c\\\\d\\ne\r\n"), &CPerson::m_Notes,
                 "a, b; c\\d\r\ne"},
        CardCase{"2.1 keeps backslashes", Card("2.1", "NOTE:C:\\temp\\new\r\n"), &CPerson::m_Notes,
                 "C:\\temp\\new"},
        CardCase{"folded line with a tab", Card("4.0", "NOTE:one\r\n\ttwo\r\n"), &CPerson::m_Notes, "onetwo"},
        CardCase{"quoted-printable soft break",
                 Card("2.1", "NOTE;QUOTED-PRINTABLE:caf=C3=A9 =\r\nau lait\r\n"), &CPerson::m_Notes,
                 "caf\xC3\xA9 au lait"},
        CardCase{"Latin-1 charset", Card("2.1", "NOTE;CHARSET=ISO-8859-1:K\xF6ln\r\n"), &CPerson::m_Notes,
                 "K\xC3\xB6ln"},
        CardCase{"group prefix and lower-case names", Card("3.0", "item1.email;type=internet:j@d.org\r\n"),
                 &CPerson::m_Email, "j@d.org"},
        CardCase{"line ends of any kind", "BEGIN:VCARD\nVERSION:3.0\rN:Doe;Jane\r\nTITLE:Boss\nEND:VCARD",
                 &CPerson::m_Position, "Boss"},
        CardCase{"untyped address is the home address", Card("4.0", "ADR:;;1 Road;Town;;12345;\r\n"),
                 &CPerson::m_City, "Town"},
        CardCase{"second untyped address is the work address",
                 Card("3.0", "ADR:;;1 Road;Town;;;\r\nADR:;;2 Road;City;;;\r\n"), &CPerson::m_WkCity,
                 "City"}),
    [](const testing::TestParamInfo<CardCase>& param) { return "case" + std::to_string(param.index); });

TEST(VCardFiles, Version21WithQuotedPrintableCharsetsAndSoftBreaks) {
    const std::vector<CPerson> persons = ReadFixture("contacts-2.1.vcf");
    ASSERT_EQ(persons.size(), 2u);
    const CPerson& p = persons[0];
    EXPECT_EQ(p.m_LName, "M\xC3\xBCller");
    EXPECT_EQ(p.m_FName, "J\xC3\xB6rg");
    EXPECT_EQ(p.m_DisplayName, "M\xC3\xBCller, J\xC3\xB6rg");
    EXPECT_EQ(p.m_Title, "Dr.");
    EXPECT_EQ(p.m_Company, "Acme GmbH");
    EXPECT_EQ(p.m_Position, "Chemist");
    // No charset and no valid UTF-8: the old Windows code page.
    EXPECT_EQ(p.m_Addr1, "Hauptstra\xC3\x9F"
                         "e 5");
    EXPECT_EQ(p.m_City, "Berlin");
    EXPECT_EQ(p.m_State, "BE");
    EXPECT_EQ(p.m_Zip, "10115");
    EXPECT_EQ(p.m_WkAddr1, "Werkweg 1\r\nHof 2");
    EXPECT_EQ(p.m_WkCity, "Potsdam");
    EXPECT_EQ(p.m_WkZip, "14467");
    EXPECT_EQ(p.m_HmPhone, "030 111");
    EXPECT_EQ(p.m_WkPhone, "030 222");
    EXPECT_EQ(p.m_CelPhone, "0170 333");
    EXPECT_EQ(p.m_HmFax, "030 444");
    EXPECT_EQ(p.m_WkFax, "030 555");
    EXPECT_EQ(p.m_Pager, "0160 666");
    EXPECT_EQ(p.m_Email, "joerg@example.org");
    EXPECT_EQ(p.m_WebPage, "http://joerg.example.org");
    EXPECT_EQ(p.m_WkWebPage, "http://acme.example.com");
    EXPECT_EQ(p.m_Notes, "Gr\xC3\xBC\xC3\x9F"
                         "e\r\naus Berlin und mehr");
    for (const CString* never : {&p.m_WkExt, &p.m_WkCelPhone, &p.m_WkPager, &p.m_WkEmail})
        EXPECT_TRUE(never->IsEmpty());

    // Only an e-mail address: it becomes the first name and the display name.
    EXPECT_EQ(persons[1].m_FName, "only@example.net");
    EXPECT_EQ(persons[1].m_DisplayName, "only@example.net");
    EXPECT_TRUE(persons[1].m_LName.IsEmpty());
}

TEST(VCardFiles, Version30EscapesFoldingAndAGroupEntrySkipped) {
    const std::vector<CPerson> persons = ReadFixture("contacts-3.0.vcf");
    ASSERT_EQ(persons.size(), 2u);
    const CPerson& p = persons[0];
    EXPECT_EQ(p.m_DisplayName, "Smith, Anna");
    EXPECT_EQ(p.m_Title, "Ms.");
    EXPECT_EQ(p.m_Company, "Smith, Jones & Co");
    EXPECT_EQ(p.m_Position, "Head of Sales; EMEA");
    EXPECT_EQ(p.m_WkAddr1, "1 Main St, Suite 9");
    EXPECT_EQ(p.m_WkAddr2, "PO Box 7");
    EXPECT_EQ(p.m_WkCity, "Springfield");
    EXPECT_EQ(p.m_WkState, "IL");
    EXPECT_EQ(p.m_WkZip, "62701");
    EXPECT_TRUE(p.m_Addr1.IsEmpty());
    EXPECT_EQ(p.m_WkPhone, "+1 217 555 0100");
    EXPECT_EQ(p.m_WkFax, "+1 217 555 0199");
    EXPECT_EQ(p.m_Email, "anna@smith.example");
    EXPECT_EQ(p.m_Notes,
              "First line\r\nsecond line with a very long text that the writer folded over two lines");

    // Only a display name: it becomes the first name.
    EXPECT_EQ(persons[1].m_FName, "Springfield Chess Club");
    EXPECT_EQ(persons[1].m_DisplayName, "Springfield Chess Club");
}

TEST(VCardFiles, Version40UrisAndAGroupSkipped) {
    const std::vector<CPerson> persons = ReadFixture("contacts-4.0.vcf");
    ASSERT_EQ(persons.size(), 1u);
    const CPerson& p = persons[0];
    EXPECT_EQ(p.m_DisplayName, "Li, Wei");
    EXPECT_EQ(p.m_Addr1, "12 Garden Rd");
    EXPECT_EQ(p.m_City, "Hong Kong");
    EXPECT_EQ(p.m_Zip, "999077");
    EXPECT_EQ(p.m_HmPhone, "+852-2123-4567");
    EXPECT_EQ(p.m_CelPhone, "+852-9123-4567");
    // An e-mail text without "@" is not kept.
    EXPECT_TRUE(p.m_Email.IsEmpty());
}

// Files as other programs write them: one field of one person of a fixture.
struct FileCase {
    const char* file;
    size_t person;
    CString CPerson::*member;
    const char* expected;
};

class RealFiles : public testing::TestWithParam<FileCase> {};

TEST_P(RealFiles, GiveTheFieldAsWritten) {
    const FileCase& c = GetParam();
    const std::vector<CPerson> persons = ReadFixture(c.file);
    ASSERT_LT(c.person, persons.size()) << c.file;
    EXPECT_EQ(persons[c.person].*c.member, c.expected) << c.file << " person " << c.person;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RealFiles,
                         testing::Values(
                             // Shift_JIS as a Japanese phone writes it: plain, quoted-printable and base64
                             // values; the katakana "so" and the kanji "hyou" end in the byte of a backslash.
                             FileCase{"charset-shift_jis.vcf", 0, &CPerson::m_DisplayName, "山田, 太郎"},
                             FileCase{"charset-shift_jis.vcf", 0, &CPerson::m_Company, "ソニー表示"},
                             FileCase{"charset-shift_jis.vcf", 0, &CPerson::m_Addr1, "港区1-2"},
                             FileCase{"charset-shift_jis.vcf", 0, &CPerson::m_City, "東京都"},
                             FileCase{"charset-shift_jis.vcf", 0, &CPerson::m_Zip, "105-0001"},
                             FileCase{"charset-shift_jis.vcf", 0, &CPerson::m_Notes, "こんにちは"},
                             FileCase{"charset-shift_jis.vcf", 0, &CPerson::m_Position, "営業部長、東京"},
                             FileCase{"charset-shift_jis.vcf", 0, &CPerson::m_CelPhone, "090-1234-5678"},
                             FileCase{"charset-shift_jis.vcf", 1, &CPerson::m_DisplayName, "佐藤, 花子"},
                             FileCase{"charsets.vcf", 0, &CPerson::m_DisplayName, "Иванов, Иван"},
                             FileCase{"charsets.vcf", 0, &CPerson::m_Addr1, "ул. Тверская 7"},
                             FileCase{"charsets.vcf", 0, &CPerson::m_City, "Москва"},
                             FileCase{"charsets.vcf", 1, &CPerson::m_DisplayName, "Петров, Пётр"},
                             FileCase{"charsets.vcf", 2, &CPerson::m_DisplayName, "Wałęsa, Łucja"},
                             // "ISO-8859-1" from Outlook holds Windows-1252's euro sign.
                             FileCase{"charsets.vcf", 3, &CPerson::m_Notes, "5 € für Jürgen"},
                             FileCase{"charsets.vcf", 4, &CPerson::m_FName, "Сидоров Олег"},
                             // A charset nobody knows: its UTF-8 text is kept.
                             FileCase{"charsets.vcf", 5, &CPerson::m_DisplayName, "Øster, Åsa"},
                             // A value typed HOME wins over an untyped one before it; the untyped address is
                             // then the work address unless one is typed WORK.
                             FileCase{"home-typed.vcf", 0, &CPerson::m_HmPhone, "222"},
                             FileCase{"home-typed.vcf", 0, &CPerson::m_WkPhone, "333"},
                             FileCase{"home-typed.vcf", 0, &CPerson::m_Addr1, "Home St 2"},
                             FileCase{"home-typed.vcf", 0, &CPerson::m_City, "Hometown"},
                             FileCase{"home-typed.vcf", 0, &CPerson::m_WkCity, "Othertown"},
                             FileCase{"home-typed.vcf", 1, &CPerson::m_City, "Homeville"},
                             FileCase{"home-typed.vcf", 1, &CPerson::m_WkCity, "Workville"},
                             FileCase{"home-typed.vcf", 1, &CPerson::m_HmPhone, "1"},
                             // The preferred e-mail address wins; one without "@" never empties a good one.
                             FileCase{"email-pref.vcf", 0, &CPerson::m_Email, "pref@example.org"},
                             FileCase{"email-pref.vcf", 1, &CPerson::m_Email, "one@example.org"},
                             FileCase{"email-pref.vcf", 2, &CPerson::m_Email, "good@example.org"},
                             FileCase{"email-pref.vcf", 3, &CPerson::m_Email, "jane@example.org"},
                             // A card without END:VCARD is lost, the cards after it are not; a soft break
                             // before END keeps its card; a 3.0 agent written on one line ends nothing.
                             FileCase{"cards-cut-short.vcf", 0, &CPerson::m_DisplayName, "Kept, Bert"},
                             FileCase{"cards-cut-short.vcf", 1, &CPerson::m_DisplayName, "Soft, Sally"},
                             FileCase{"cards-cut-short.vcf", 1, &CPerson::m_Notes, "ends here"},
                             FileCase{"cards-cut-short.vcf", 2, &CPerson::m_DisplayName, "Agent, Boss"},
                             FileCase{"cards-cut-short.vcf", 3, &CPerson::m_DisplayName, "Last, Lara"},
                             // CR CR LF line ends unfold like CR LF.
                             FileCase{"crcrlf.vcf", 0, &CPerson::m_Notes, "folded over two lines"},
                             FileCase{"crcrlf.vcf", 0, &CPerson::m_Addr1, "Long Street 1"},
                             FileCase{"crcrlf.vcf", 0, &CPerson::m_City, "Softtown"},
                             FileCase{"crcrlf.vcf", 0, &CPerson::m_HmPhone, "555"}),
                         [](const testing::TestParamInfo<FileCase>& param) {
                             return "case" + std::to_string(param.index);
                         });

TEST(VCardFiles, CardsCutShortLoseOnlyThemselves) {
    const std::vector<CPerson> persons = ReadFixture("cards-cut-short.vcf");
    std::vector<std::string> names;
    for (const CPerson& person : persons)
        names.push_back(person.m_LName.str());
    EXPECT_EQ(names, (std::vector<std::string>{"Kept", "Soft", "Agent", "Last"}));
    EXPECT_TRUE(persons[2].m_HmPhone.IsEmpty()); // the agent's number is not the boss's
}

TEST(VCardFiles, UnreadableFilesNameTheirProblem) {
    const struct {
        std::string path;
        CWabImporter::Problem problem;
    } cases[] = {
        {"/nonexistent/folder/contacts.vcf", CWabImporter::Problem::CannotRead},
        {PELM_FIXTURES_DIR, CWabImporter::Problem::CannotRead},
        {Fixture("binary.vcf"), CWabImporter::Problem::NoContacts},
        {Fixture("not-a-vcard.vcf"), CWabImporter::Problem::NoContacts},
        {Fixture("truncated.vcf"), CWabImporter::Problem::NoContacts},
    };
    for (const auto& c : cases) {
        CWabImporter importer;
        if (importer.Open(c.path.c_str()) == 0) {
            EXPECT_EQ(importer.Read(), -1) << c.path;
        }
        EXPECT_EQ(importer.LastProblem(), c.problem) << c.path;
        EXPECT_TRUE(importer.Persons().empty()) << c.path;
    }

    CWabImporter importer;
    EXPECT_EQ(importer.Open(Fixture("contacts-4.0.vcf").c_str()), 0);
    EXPECT_EQ(importer.Read(), 1);
    EXPECT_EQ(importer.LastProblem(), CWabImporter::Problem::None);
}

TEST(VCardReader, NamingRuleDropsCardsWithoutAnyName) {
    int result = 0;
    const std::vector<CPerson> persons =
        ReadText("BEGIN:VCARD\r\nVERSION:3.0\r\nEMAIL:not-an-address\r\nTEL:123\r\nEND:VCARD\r\n"
                 "BEGIN:VCARD\r\nVERSION:3.0\r\nN:;Solo;;;\r\nFN:Ignored Name\r\nEND:VCARD\r\n",
                 &result);
    ASSERT_EQ(persons.size(), 1u);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(persons[0].m_FName, "Solo");
    EXPECT_EQ(persons[0].m_DisplayName, "Solo");
}

TEST(VCardReader, UnicodeFilesWithByteOrderMarks) {
    const std::string utf8 = "\xEF\xBB\xBF" + Card("3.0", "");
    ASSERT_EQ(ReadText(utf8).size(), 1u);
    EXPECT_EQ(ReadText(utf8)[0].m_DisplayName, "Doe, Jane");

    const std::string plain = Card("3.0", "NOTE:\xE2\x82\xAC\r\n");
    std::string utf16 = "\xFF\xFE";
    for (char ch : plain) {
        if (ch == '\xE2' || ch == '\x82')
            continue;
        if (ch == '\xAC') {
            utf16 += std::string("\xAC\x20", 2); // the euro sign, U+20AC
            continue;
        }
        utf16 += ch;
        utf16 += '\0';
    }
    const std::vector<CPerson> persons = ReadText(utf16);
    ASSERT_EQ(persons.size(), 1u);
    EXPECT_EQ(persons[0].m_Notes, "\xE2\x82\xAC");
}

// A webmail's export: UTF-16 in either byte order without a byte-order mark.
TEST(VCardReader, Utf16WithoutAByteOrderMark) {
    const std::u16string card =
        u"BEGIN:VCARD\r\nVERSION:3.0\r\nN:M\u00fcller;J\u00f6rg\r\nNOTE:\u20ac\r\nEND:VCARD\r\n";
    for (const bool bigEndian : {false, true}) {
        std::string bytes;
        for (const char16_t unit : card) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        const std::vector<CPerson> persons = ReadText(bytes);
        ASSERT_EQ(persons.size(), 1u) << bigEndian;
        EXPECT_EQ(persons[0].m_DisplayName, "M\xC3\xBCller, J\xC3\xB6rg");
        EXPECT_EQ(persons[0].m_Notes, "\xE2\x82\xAC");
    }
}

TEST(VCardReader, NestedAgentCardDoesNotEndOrFillTheOuterOne) {
    const std::vector<CPerson> persons =
        ReadText("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Boss;Big\r\n"
                 "AGENT:BEGIN:VCARD\r\nN:Helper;Little\r\nTEL:999\r\nEND:VCARD\r\n"
                 "TEL;WORK:111\r\nEND:VCARD\r\n");
    ASSERT_EQ(persons.size(), 1u);
    EXPECT_EQ(persons[0].m_DisplayName, "Boss, Big");
    EXPECT_EQ(persons[0].m_WkPhone, "111");
    EXPECT_TRUE(persons[0].m_HmPhone.IsEmpty());
}

TEST(VCardReader, MalformedInput) {
    int result = 0;
    // No card at all: not an address book.
    EXPECT_TRUE(ReadText("", &result).empty());
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(ReadText(std::string("\x00\xFF\x01garbage:\r\n;;;", 14), &result).empty());
    EXPECT_EQ(result, -1);
    // A card cut off before its end is dropped; the complete ones before it stay.
    const std::vector<CPerson> persons =
        ReadText(Card("3.0", "") + "BEGIN:VCARD\r\nN:Cut;Off\r\nTEL:1", &result);
    ASSERT_EQ(persons.size(), 1u);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(persons[0].m_LName, "Doe");
    // Stray END lines, lines without a colon, a dangling escape and a broken quoted-printable code.
    const std::vector<CPerson> odd = ReadText("END:VCARD\r\nBEGIN:VCARD\r\nno colon here\r\nN:Odd;One\\\r\n"
                                              "NOTE;ENCODING=QUOTED-PRINTABLE:50=ZZ=4\r\nEND:VCARD\r\n",
                                              &result);
    ASSERT_EQ(odd.size(), 1u);
    EXPECT_EQ(odd[0].m_FName, "One\\");
    EXPECT_EQ(odd[0].m_Notes, "50=ZZ=4");
}

TEST(VCardReader, OpenFailsForMissingFilesAndReadNeedsAnOpen) {
    CWabImporter importer;
    EXPECT_EQ(importer.Read(), -1);
    EXPECT_EQ(importer.Open("/nonexistent/folder/contacts.vcf"), 2);
    EXPECT_FALSE(importer.IsOpened());
    EXPECT_EQ(importer.Open(PELM_FIXTURES_DIR), 2);
    EXPECT_EQ(importer.Open(Fixture("contacts-4.0.vcf").c_str()), 0);
    EXPECT_TRUE(importer.IsOpened());
    EXPECT_EQ(importer.Read(), 1);
    importer.Clear();
    EXPECT_FALSE(importer.IsOpened());
    EXPECT_TRUE(importer.Persons().empty());
    EXPECT_EQ(importer.Read(), -1);
}

// Imports into a real document.
class WabImport : public RecordsDocument {
protected:
    static std::vector<CString> GroupsOf(const CString& id) {
        std::vector<CString> groups;
        SqlQuery rows = g_db.ExecQuery(
            ("select PhGroupID from PersonPhGroup where PersonID = '" + id.str() + "' order by PhGroupID")
                .c_str());
        for (; !rows.Eof(); rows.NextRow())
            groups.push_back(rows.GetStringField(0, ""));
        return groups;
    }

    static std::vector<CPerson> Persons() { return StoredPersons("FName"); }
};

TEST_F(WabImport, EachChoiceGivesItsGroupsAndTheCount) {
    const std::vector<std::pair<int, std::vector<CString>>> choices = {
        {0, {Schema::kGroupAllId, Schema::kGroupYellowPagesId}},
        {1, {Schema::kGroupAllId, Schema::kGroupWhitePagesId}},
        {2, {Schema::kGroupAllId, Schema::kGroupYellowPagesId, Schema::kGroupWhitePagesId}},
    };
    for (const auto& [choice, groups] : choices) {
        g_db.ExecDml("delete from PersonPhGroup");
        g_db.ExecDml("delete from Person");
        int count = 0;
        ASSERT_TRUE(g_doc.ImportWab(count, choice, Fixture("contacts-3.0.vcf").c_str())) << choice;
        EXPECT_EQ(count, 2) << choice;
        const std::vector<CPerson> persons = Persons();
        ASSERT_EQ(persons.size(), 2u);
        EXPECT_EQ(persons[0].m_DisplayName, "Smith, Anna");
        EXPECT_EQ(persons[0].m_WkCity, "Springfield");
        EXPECT_EQ(persons[1].m_DisplayName, "Springfield Chess Club");
        for (const CPerson& person : persons) {
            EXPECT_EQ(person.m_ID.GetLength(), kGuidStringLength);
            EXPECT_EQ(GroupsOf(person.m_ID), groups) << choice;
        }
    }
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}

TEST_F(WabImport, CountAddsToTheCallersValueAndEveryImportMakesNewIds) {
    int count = 5;
    ASSERT_TRUE(g_doc.ImportWab(count, 1, Fixture("contacts-4.0.vcf").c_str()));
    ASSERT_TRUE(g_doc.ImportWab(count, 1, Fixture("contacts-4.0.vcf").c_str()));
    EXPECT_EQ(count, 7);
    EXPECT_EQ(Count("select count(*) from Person where LName = 'Li' and FName = 'Wei'"), 2);
    EXPECT_EQ(Count("select count(distinct ID) from Person"), 2);
}

TEST_F(WabImport, UnreadableOrForeignFilesImportNothing) {
    int count = 0;
    EXPECT_FALSE(g_doc.ImportWab(count, 1, m_dir.File("missing.vcf").c_str()));
    EXPECT_FALSE(g_doc.ImportWab(count, 1, Fixture("not-a-vcard.vcf").c_str()));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Count("select count(*) from Person"), 0);

    // A file of cards none of which has a name: read, nothing added.
    const std::string empty = m_dir.File("nameless.vcf");
    std::ofstream(empty) << "BEGIN:VCARD\nVERSION:3.0\nTEL:1\nEND:VCARD\n";
    EXPECT_TRUE(g_doc.ImportWab(count, 1, empty.c_str()));
    EXPECT_EQ(count, 0);
}

TEST_F(WabImport, FilesWithoutACompleteCardImportNothing) {
    int count = 0;
    for (const char* name : {"truncated.vcf", "binary.vcf"})
        EXPECT_FALSE(g_doc.ImportWab(count, 1, Fixture(name).c_str())) << name;

    // A file beyond the limit is not read at all (a sparse file costs no disk).
    const std::string huge = m_dir.File("huge.vcf");
    std::ofstream(huge) << "BEGIN:VCARD\nN:Big;Ben\nEND:VCARD\n";
    std::filesystem::resize_file(huge, CWabImporter::kMaxFileSize + 1);
    EXPECT_FALSE(g_doc.ImportWab(count, 1, huge.c_str()));
    CWabImporter importer;
    EXPECT_EQ(importer.Open(huge.c_str()), 2);
    EXPECT_EQ(importer.LastProblem(), CWabImporter::Problem::TooLarge);

    EXPECT_EQ(count, 0);
    EXPECT_EQ(Count("select count(*) from Person"), 0);
}

TEST_F(WabImport, JapaneseNamesReachTheDocument) {
    int count = 0;
    ASSERT_TRUE(g_doc.ImportWab(count, 1, Fixture("charset-shift_jis.vcf").c_str()));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(
        Count(
            "select count(*) from Person where LName = '山田' and FName = '太郎' and Company = 'ソニー表示'"),
        1);
}

// A file of count cards named Card1, Card2, ...
std::string Cards(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Card" + std::to_string(i) +
                ";Ann\r\nNOTE:" + std::string(200, 'n') + "\r\nEND:VCARD\r\n";
    return text;
}

// Every person in "All" and "White Pages", no membership without its person, a whole file and no
// transaction left open.
void ExpectConsistent(int persons) {
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), persons);
    SqlBuffer sql;
    for (const char* group : {Schema::kGroupAllId, Schema::kGroupWhitePagesId})
        EXPECT_EQ(
            g_db.ExecScalar(sql.Format("select count(*) from PersonPhGroup where PhGroupID = '%s'", group)),
            persons);
    EXPECT_EQ(
        g_db.ExecScalar("select count(*) from PersonPhGroup where PersonID not in (select ID from Person)"),
        0);
    EXPECT_STREQ(g_db.ExecQuery("pragma integrity_check").GetStringField(0, ""), "ok");
    EXPECT_NE(sqlite3_get_autocommit(g_db.Handle()), 0);
}

// A write that fails stops the import at that card with one message; the cards before it stay.
TEST_F(WabImport, AFailedWriteStopsTheImportWithOneMessage) {
    const std::string file = m_dir.File("cards.vcf");
    std::ofstream(file) << Cards(600);
    g_db.ExecDml("create trigger Refuse before insert on Person when new.LName = 'Card300' "
                 "begin select raise(abort, 'refused'); end");
    int count = 0;
    ASSERT_TRUE(g_doc.ImportWab(count, 1, file.c_str()));
    EXPECT_EQ(count, 299);
    ASSERT_EQ(Prompt().MessageBoxes().size(), 1u);
    EXPECT_EQ(Prompt().MessageBoxes()[0].caption, "Error Adding Address Book Entry");
    g_db.ExecDml("drop trigger Refuse");
    ExpectConsistent(299);
    EXPECT_EQ(Count("select count(*) from Person where LName = 'Card301'"), 0);
}

// One write of the import fails, as on a disk that filled up: the import ends there with one
// message (through the caller's report when it asks for the error), and the document holds exactly
// the persons before it.
TEST_F(WabImport, AFullDiskEndsTheImportAtTheFirstFailedWrite) {
    const std::string file = m_dir.File("cards.vcf");
    std::ofstream(file) << Cards(600);
    std::vector<std::string> steps;
    int count = 0;
    {
        const FileStepFault recorder;
        ASSERT_TRUE(g_doc.ImportWab(count, 1, file.c_str()));
        steps = recorder.Steps();
    }
    ASSERT_EQ(count, 600);
    ASSERT_EQ(steps.size(), 602u);
    EXPECT_EQ(steps.front(), "begin import");
    EXPECT_EQ(steps.back(), "commit import");

    struct Case {
        size_t failing;
        int kept;
    };
    for (const Case& c :
         {Case{0, 0}, Case{1, 0}, Case{2, 1}, Case{257, 256}, Case{258, 257}, Case{300, 299}, Case{601, 0}}) {
        SCOPED_TRACE("the write at step " + std::to_string(c.failing) + " fails");
        g_db.ExecDml("delete from PersonPhGroup");
        g_db.ExecDml("delete from Person");
        count = 0;
        CString writeError;
        bool read = false;
        {
            const FileStepFault fault(FileStepFault::Action::Fail, c.failing);
            read = g_doc.ImportWab(count, 1, file.c_str(), writeError);
        }
        EXPECT_TRUE(read);
        EXPECT_EQ(count, c.kept);
        EXPECT_EQ(writeError, "SQLITE_IOERR[10]: disk I/O error");
        ExpectConsistent(c.kept);
    }
    // Every failure, the begin's and the commit's too, is left to the caller's one report.
    EXPECT_TRUE(Prompt().MessageBoxes().empty());
}

// A document that may not grow: the import fails part-way with one message and keeps exactly what
// it reports.
TEST_F(WabImport, AFullDocumentGivesOneMessage) {
    const std::string file = m_dir.File("cards.vcf");
    std::ofstream(file) << Cards(3000);
    const int pages = g_db.ExecScalar("pragma page_count");
    g_db.ExecQuery(("pragma max_page_count = " + std::to_string(pages + 40)).c_str());
    int count = 0;
    ASSERT_TRUE(g_doc.ImportWab(count, 1, file.c_str()));
    EXPECT_LT(count, 3000);
    EXPECT_EQ(Prompt().MessageBoxes().size(), 1u);
    ExpectConsistent(count);
}

// The import in a child process killed at a write (the kill stands for a power cut or a user's
// kill -9): the document then holds none of the file's persons, and importing again gives each
// person once.
TEST_F(WabImport, KilledPartWayTheImportKeepsNothingAndAgainImportsEachOnce) {
    const std::string file = m_dir.File("cards.vcf");
    std::ofstream(file) << Cards(2000);
    const std::string document = g_dbPath.str();
    for (const size_t killAt : {size_t{0}, size_t{1}, size_t{700}, size_t{1999}, size_t{2001}}) {
        SCOPED_TRACE("killed at step " + std::to_string(killAt));
        g_db.Close();
        const pid_t child = fork();
        if (child == 0) {
            // Nothing of the test framework runs here: the child ends by the kill or by _exit.
            if (!g_doc.OnOpenDocument(document.c_str()))
                _exit(2);
            try {
                // A small cache writes pages into the file long before the commit, as a large
                // import does: the case the journal must undo.
                g_db.ExecDml("pragma cache_size = 20");
            } catch (const SqlException&) {
                _exit(3);
            }
            KillAtFileStep(killAt);
            int count = 0;
            g_doc.ImportWab(count, 1, file.c_str());
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        ASSERT_TRUE(g_doc.OnOpenDocument(document.c_str()));
        ExpectConsistent(0);
    }
    int count = 0;
    ASSERT_TRUE(g_doc.ImportWab(count, 1, file.c_str()));
    EXPECT_EQ(count, 2000);
    ExpectConsistent(2000);
}

} // namespace

// Files users bring from other programs, and the round trip of every field through an export and an
// import into a new document.
#include "data/IdMaker.h"
#include "data/SqlQuery.h"
#include "exchange/ExportTableSpec.h"
#include "platform/core/Registry.h"
#include "tests/data/records_document.h"

#include <string>
#include <vector>

namespace {

class DelimitedFiles : public RecordsDocument {
protected:
    void SetUp() override {
        SetRegistry(&m_registry);
        m_registry.WriteString("Control Panel\\International", "sShortDate", "M/d/yyyy");
        FixToday(2006, 3, 15);
        RecordsDocument::SetUp();
    }
    void TearDown() override {
        RecordsDocument::TearDown();
        SetRegistry(nullptr);
    }

    static std::vector<CPerson> Persons() { return StoredPersons("FName, Company"); }

    MemoryRegistry m_registry;
};

struct FileCase {
    const char* name;
    const char* file;
    const char* separator;
    const char* qualifier;
    std::vector<CString> columns;
    int added;
    // First name, last name and notes of each person, by first name.
    std::vector<std::vector<std::string>> persons;
};

class DelimitedUserFiles : public DelimitedFiles, public testing::WithParamInterface<FileCase> {};

TEST_P(DelimitedUserFiles, ImportAsTyped) {
    const FileCase& c = GetParam();
    CExportTableSpec spec;
    spec.m_header = 1;
    spec.m_separator = c.separator;
    spec.m_qualifier = c.qualifier;
    spec.m_filePath = CString(PELM_FIXTURES_DIR "/exchange/") + c.file;
    spec.m_columnFields = c.columns;
    spec.m_columnCount = static_cast<int>(c.columns.size());

    EXPECT_EQ(g_doc.ImportAddressBookCsv(spec), c.added);
    const std::vector<CPerson> persons = Persons();
    ASSERT_EQ(persons.size(), c.persons.size());
    for (size_t i = 0; i < persons.size(); ++i) {
        EXPECT_EQ(persons[i].m_FName.str(), c.persons[i][0]) << i;
        EXPECT_EQ(persons[i].m_LName.str(), c.persons[i][1]) << i;
        EXPECT_EQ(persons[i].m_Notes.str(), c.persons[i][2]) << i;
    }
    EXPECT_TRUE(Prompt().Calls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DelimitedUserFiles,
    testing::Values(
        // The byte-order mark is no part of the first cell; a quoted note keeps its CR LF.
        FileCase{"Utf8WithBomAndCrLf",
                 "delimited-utf8-bom-crlf.csv",
                 ",",
                 "\"",
                 {"FirstName", "LastName", "Notes"},
                 2,
                 {{"José", "Núñez", ""}, {"Zoë", "Ærøskøbing", "Café \"Zur Post\"\r\nsecond line"}}},
        // A quoted note over several lines (one blank) is one field of one record; empty cells without
        // a qualifier stay in their column; the nameless record is skipped.
        FileCase{"LineFeedsAndNotesOverSeveralLines",
                 "delimited-lf-multiline.csv",
                 ",",
                 "\"",
                 {"FirstName", "LastName", "Company", "Notes"},
                 3,
                 {{"Ann", "Baker", "Met at the fair.\nLikes \"jazz\".\n\nCall in May"},
                  {"Bob", "", ""},
                  {"Cy", "Dunn", "plain"}}},
        FileCase{"CarriageReturnLineEnds",
                 "delimited-cr-only.csv",
                 ",",
                 "\"",
                 {"FirstName", "LastName"},
                 2,
                 {{"Ann", "Baker", ""}, {"Bob", "Carter", ""}}},
        // Text that is no UTF-8 reads as Windows-1252: accents, the euro sign and typographic quotes.
        FileCase{"Windows1252",
                 "delimited-cp1252.csv",
                 ";",
                 "\"",
                 {"FirstName", "LastName", "Notes"},
                 2,
                 {{"Günther", "Özdemir", "Preis 5 € – „gut“"}, {"Renée", "Müller", ""}}},
        FileCase{"Utf16WithByteOrderMarkAndTabs",
                 "delimited-utf16le-tab.txt",
                 "\t",
                 "",
                 {"FirstName", "LastName"},
                 2,
                 {{"Αλέξης", "Παπαδόπουλος", ""}, {"山田", "太郎", ""}}}),
    [](const testing::TestParamInfo<FileCase>& param) { return std::string(param.param.name); });

TEST_F(DelimitedFiles, BinaryFileChosenByMistakeGivesJunkRowsNeverACrash) {
    CExportTableSpec spec;
    spec.m_header = 0;
    spec.m_separator = ",";
    spec.m_qualifier = "\"";
    spec.m_filePath = CString(PELM_FIXTURES_DIR "/exchange/delimited-binary.png");
    spec.m_columnFields = {"LastName", "Notes"};
    spec.m_columnCount = 2;

    const int added = g_doc.ImportAddressBookCsv(spec);
    EXPECT_EQ(added, Count("select count(*) from Person"));
    EXPECT_EQ(Count("select count(*) from Person where ID not in (select PersonID from PersonPhGroup)"), 0);
    EXPECT_TRUE(InAutocommit());
    EXPECT_TRUE(Prompt().Calls().empty());
}

// Values that every part of the format has to carry: the qualifiers, the separators, line ends of
// every kind inside a value, escapes, blanks at both ends and text beyond ASCII.
std::string Awkward(const std::string& tag) {
    return tag + " \"q\" 'a' ,;|\t x\r\ny\nz\r\\n\\\n C:\\new\\ \xC3\x84\xC3\xB6\xE2\x82\xAC " + tag;
}

struct RoundTripCase {
    const char* name;
    const char* separator;
    const char* qualifier;
};

class DelimitedRoundTrip : public DelimitedFiles, public testing::WithParamInterface<RoundTripCase> {
protected:
    CExportTableSpec Spec(const char* file, const std::vector<CString>& fields) {
        CExportTableSpec spec;
        spec.m_header = 1;
        spec.m_separator = GetParam().separator;
        spec.m_qualifier = GetParam().qualifier;
        spec.m_filePath = m_dir.File(file);
        spec.m_columnFields = fields;
        spec.m_columnCount = static_cast<int>(fields.size());
        return spec;
    }
};

TEST_P(DelimitedRoundTrip, EveryFieldComesBackEqual) {
    const std::vector<CString> personFields = {
        "Title",        "FirstName",   "LastName",    "HomeAddress1", "HomeAddress2",  "HomeCity",
        "HomeState",    "HomeZipCode", "HomePhone",   "HomeFax",      "HomeCelPhone",  "HomePager",
        "HomeE-Mail",   "HomeWebPage", "Company",     "Position",     "WorkAddress1",  "WorkAddress2",
        "WorkCity",     "WorkState",   "WorkZipCode", "WorkPhone",    "WorkExtension", "WorkFax",
        "WorkCelPhone", "WorkPager",   "WorkE-Mail",  "WorkWebPage",  "Notes"};
    CString CPerson::*const members[] = {
        &CPerson::m_Title,      &CPerson::m_FName,   &CPerson::m_LName,    &CPerson::m_Addr1,
        &CPerson::m_Addr2,      &CPerson::m_City,    &CPerson::m_State,    &CPerson::m_Zip,
        &CPerson::m_HmPhone,    &CPerson::m_HmFax,   &CPerson::m_CelPhone, &CPerson::m_Pager,
        &CPerson::m_Email,      &CPerson::m_WebPage, &CPerson::m_Company,  &CPerson::m_Position,
        &CPerson::m_WkAddr1,    &CPerson::m_WkAddr2, &CPerson::m_WkCity,   &CPerson::m_WkState,
        &CPerson::m_WkZip,      &CPerson::m_WkPhone, &CPerson::m_WkExt,    &CPerson::m_WkFax,
        &CPerson::m_WkCelPhone, &CPerson::m_WkPager, &CPerson::m_WkEmail,  &CPerson::m_WkWebPage,
        &CPerson::m_Notes};
    CPerson person;
    ASSERT_TRUE(NewGuidString(person.m_ID));
    for (size_t i = 0; i < personFields.size(); ++i)
        person.*members[i] = CString(Awkward(personFields[i].str()));
    person.BuildDisplayName();
    ASSERT_TRUE(g_doc.InsertPerson(person, {}));

    CTask task;
    ASSERT_TRUE(NewGuidString(task.m_ID));
    task.m_Desc = CString(Awkward("task"));
    task.m_DateDue = CDateTime(2006, 4, 1);
    task.m_DateDone = CDateTime(2006, 4, 3);
    task.m_Priority = kPriorityLow;
    ASSERT_TRUE(g_doc.InsertTask(task));

    CAppt appt;
    ASSERT_TRUE(NewGuidString(appt.m_ID));
    appt.m_Desc = CString(Awkward("appointment"));
    appt.m_DateDue = CDateTime(2006, 3, 22);
    appt.m_StartTime = CDateTime(2006, 3, 22, 14, 30, 0);
    appt.m_EndTime = CDateTime(2006, 3, 22, 15, 15, 0);
    appt.m_Alarm = true;
    appt.m_AlarmTime = CDateTime(2006, 3, 22, 14, 0, 0);
    ASSERT_TRUE(g_doc.InsertAppt(appt));

    CExportTableSpec persons = Spec("persons.txt", personFields);
    CExportTableSpec tasks = Spec("tasks.txt", {"Task", "DateDue", "DateDone", "Priority"});
    CExportTableSpec appts =
        Spec("appts.txt", {"Appointment", "Date", "StartTime", "EndTime", "Alarmed", "AlarmTime"});
    ASSERT_EQ(g_doc.ExportAddressBookCsv(persons), 1);
    ASSERT_EQ(g_doc.ExportTasksCsv(tasks), 1);
    ASSERT_EQ(g_doc.ExportApptsCsv(appts), 1);

    // A new document receives them.
    g_db.Close();
    {
        ScriptedPrompt creation;
        creation.AnswerCreateDb(CString(m_dir.File("Second")), CString());
        bool error = true;
        ASSERT_TRUE(g_doc.OnFileNew(error));
    }
    EXPECT_EQ(g_doc.ImportAddressBookCsv(persons), 1);
    EXPECT_EQ(g_doc.ImportTasksCsv(tasks), 1);
    EXPECT_EQ(g_doc.ImportApptsCsv(appts), 1);

    const std::vector<CPerson> back = Persons();
    ASSERT_EQ(back.size(), 1u);
    for (size_t i = 0; i < personFields.size(); ++i)
        EXPECT_EQ(back[0].*members[i], person.*members[i]) << personFields[i].str();

    CTask taskBack;
    taskBack.m_ID = g_db.ExecQuery("select ID from Task").GetStringField(0, "");
    ASSERT_TRUE(g_doc.GetTask(taskBack));
    EXPECT_EQ(taskBack.m_Desc, task.m_Desc);
    EXPECT_EQ(taskBack.m_DateDue, task.m_DateDue);
    EXPECT_EQ(taskBack.m_DateDone, task.m_DateDone);
    EXPECT_EQ(taskBack.m_Priority, task.m_Priority);

    CAppt apptBack;
    apptBack.m_ID = g_db.ExecQuery("select ID from Appt").GetStringField(0, "");
    ASSERT_TRUE(g_doc.GetAppt(apptBack));
    EXPECT_EQ(apptBack.m_Desc, appt.m_Desc);
    EXPECT_EQ(apptBack.m_DateDue, appt.m_DateDue);
    EXPECT_EQ(apptBack.m_StartTime, appt.m_StartTime);
    EXPECT_EQ(apptBack.m_EndTime, appt.m_EndTime);
    EXPECT_EQ(apptBack.m_Alarm, appt.m_Alarm);
    EXPECT_EQ(apptBack.m_AlarmTime, appt.m_AlarmTime);
    EXPECT_TRUE(Prompt().Calls().empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, DelimitedRoundTrip,
                         testing::Values(RoundTripCase{"CommaDoubleQuote", ",", "\""},
                                         RoundTripCase{"SemicolonDoubleQuote", ";", "\""},
                                         RoundTripCase{"PipeSingleQuote", "|", "'"},
                                         RoundTripCase{"TabDoubleQuote", "\t", "\""},
                                         RoundTripCase{"SpaceSingleQuote", " ", "'"}),
                         [](const testing::TestParamInfo<RoundTripCase>& param) {
                             return std::string(param.param.name);
                         });

} // namespace

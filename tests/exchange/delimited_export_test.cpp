#include "data/IdMaker.h"
#include "exchange/ExportTableSpec.h"
#include "platform/core/Registry.h"
#include "tests/data/records_document.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A new document with en-US short dates; the export options are filled as the wizard would.
class DelimitedExport : public RecordsDocument {
protected:
    void SetUp() override {
        SetRegistry(&m_registry);
        m_registry.WriteString("Control Panel\\International", "sShortDate", "M/d/yyyy");
        RecordsDocument::SetUp();
        m_spec.m_header = 1;
        m_spec.m_qualifier = "\"";
        m_spec.m_separator = ",";
        m_spec.m_filePath = m_dir.File("out.csv");
    }
    void TearDown() override {
        RecordsDocument::TearDown();
        SetRegistry(nullptr);
    }

    void Choose(std::vector<CString> fields) { m_spec.m_columnFields = std::move(fields); }

    static void AddPerson(const char* title, const char* first, const char* last) {
        CPerson person;
        ASSERT_TRUE(NewGuidString(person.m_ID));
        person.m_Title = title;
        person.m_FName = first;
        person.m_LName = last;
        person.BuildDisplayName();
        ASSERT_TRUE(g_doc.InsertPerson(person, {}));
    }

    std::string Written() const {
        std::ifstream in(m_spec.m_filePath.c_str(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    bool Exists() const { return std::filesystem::exists(m_spec.m_filePath.c_str()); }

    // Files in the temp folder besides the document.
    std::vector<std::string> OtherFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.File("")))
            if (entry.path().filename().string().rfind("Records", 0) != 0)
                names.push_back(entry.path().filename().string());
        return names;
    }

    MemoryRegistry m_registry;
    CExportTableSpec m_spec;
};

TEST_F(DelimitedExport, PersonsHeaderAndRowsWithQuotesAndComma) {
    AddPerson("", "John", "Smith");
    AddPerson("Dr.", "Ann", "Baker");
    Choose({"Title", "LastName"});

    EXPECT_EQ(g_doc.ExportAddressBookCsv(m_spec), 2);
    // Rows come by last name; an empty title is written as nothing, not as two quotes.
    EXPECT_EQ(Written(), "\"Title\",\"LastName\"\n\"Dr.\",\"Baker\"\n,\"Smith\"\n");
    EXPECT_TRUE(Prompt().Calls().empty());
    EXPECT_EQ(OtherFiles(), std::vector<std::string>{"out.csv"});
}

TEST_F(DelimitedExport, WithoutHeaderFlagOnlyRowsAreWritten) {
    AddPerson("", "John", "Smith");
    m_spec.m_header = 0;
    Choose({"FirstName", "LastName"});
    EXPECT_EQ(g_doc.ExportAddressBookCsv(m_spec), 1);
    EXPECT_EQ(Written(), "\"John\",\"Smith\"\n");
}

TEST_F(DelimitedExport, QuotedValuesKeepLineBreaksAndDoubleEveryQualifierAndBackslash) {
    CPerson person;
    ASSERT_TRUE(NewGuidString(person.m_ID));
    person.m_LName = "O\"Neil";
    person.m_HmPhone = "555 \"home\"";
    person.m_Notes = "first line\r\nsays \"hello\" to C:\\new";
    ASSERT_TRUE(g_doc.InsertPerson(person, {}));
    Choose({"LastName", "HomePhone", "Notes"});

    EXPECT_EQ(g_doc.ExportAddressBookCsv(m_spec), 1);
    EXPECT_EQ(Written(),
              "\"LastName\",\"HomePhone\",\"Notes\"\n"
              "\"O\"\"Neil\",\"555 \"\"home\"\"\",\"first line\r\nsays \"\"hello\"\" to C:\\\\new\"\n");
}

TEST_F(DelimitedExport, NothingQualifierWritesBareValues) {
    CPerson person;
    ASSERT_TRUE(NewGuidString(person.m_ID));
    person.m_LName = "Smith, Jr.";
    person.m_City = "Bonn";
    ASSERT_TRUE(g_doc.InsertPerson(person, {}));
    m_spec.m_qualifier = "";
    Choose({"LastName", "HomeCity"});

    EXPECT_EQ(g_doc.ExportAddressBookCsv(m_spec), 1);
    EXPECT_EQ(Written(), "LastName,HomeCity\nSmith, Jr.,Bonn\n");
}

TEST_F(DelimitedExport, TabSeparatorWithoutQualifier) {
    AddPerson("Mr.", "John", "Smith");
    m_spec.m_qualifier = "";
    m_spec.m_separator = "\t";
    Choose({"Title", "FirstName", "LastName"});
    EXPECT_EQ(g_doc.ExportAddressBookCsv(m_spec), 1);
    EXPECT_EQ(Written(), "Title\tFirstName\tLastName\nMr.\tJohn\tSmith\n");
}

TEST_F(DelimitedExport, RowsFollowTheTableOrderAndSkipUnknownNames) {
    AddPerson("Mr.", "John", "Smith");
    Choose({"LastName", "Nickname", "", "Title"});
    EXPECT_EQ(g_doc.ExportAddressBookCsv(m_spec), 1);
    // The header lists the names as given; the row writes Title before LastName, as the table does.
    EXPECT_EQ(Written(), "\"LastName\",\"Nickname\",\"Title\"\n\"Mr.\",\"Smith\"\n");
}

TEST_F(DelimitedExport, EmptyTablesShowTheirBoxAndWriteNoFile) {
    Choose({"Title"});
    EXPECT_EQ(g_doc.ExportAddressBookCsv(m_spec), 0);
    Choose({"Task"});
    EXPECT_EQ(g_doc.ExportTasksCsv(m_spec), 0);
    Choose({"Appointment"});
    EXPECT_EQ(g_doc.ExportApptsCsv(m_spec), 0);
    EXPECT_FALSE(Exists());

    const auto boxes = Prompt().MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "There is no one in the address book to export");
    EXPECT_EQ(boxes[0].caption, "Empty Address Book");
    EXPECT_EQ(boxes[0].flags, unsigned(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(boxes[1].text, "There are no tasks to export");
    EXPECT_EQ(boxes[1].caption, "Empty Task Table");
    EXPECT_EQ(boxes[1].flags, unsigned(MB_OK));
    EXPECT_EQ(boxes[2].text, "There are no appointments to export");
    EXPECT_EQ(boxes[2].caption, "Empty Appointment Table");
    EXPECT_EQ(boxes[2].flags, unsigned(MB_OK));
}

TEST_F(DelimitedExport, TasksWriteDatesPriorityAndText) {
    CTask open;
    ASSERT_TRUE(NewGuidString(open.m_ID));
    open.m_Desc = "Call \"Bob\"\r\nabout it";
    open.m_DateDue = CDateTime(2006, 3, 15);
    open.m_Priority = kPriorityLow;
    ASSERT_TRUE(g_doc.InsertTask(open));
    CTask done;
    ASSERT_TRUE(NewGuidString(done.m_ID));
    done.m_Desc = "Taxes";
    done.m_DateDue = CDateTime(2006, 1, 2);
    done.m_DateDone = CDateTime(2006, 1, 20);
    done.m_Priority = kPriorityDone;
    ASSERT_TRUE(g_doc.InsertTask(done));
    Choose({"Task", "DateDue", "DateDone", "Priority"});

    EXPECT_EQ(g_doc.ExportTasksCsv(m_spec), 2);
    EXPECT_EQ(Written(), "\"Task\",\"DateDue\",\"DateDone\",\"Priority\"\n"
                         "\"Taxes\",\"1/2/2006\",\"1/20/2006\",\"3\"\n"
                         "\"Call \"\"Bob\"\"\r\nabout it\",\"3/15/2006\",,\"2\"\n");
}

CAppt Appt(const char* desc, int startHour, int startMinute, bool alarm, int alarmMinutesBefore) {
    CAppt appt;
    NewGuidString(appt.m_ID);
    appt.m_Desc = desc;
    appt.m_DateDue = CDateTime(2006, 3, 15);
    appt.m_StartTime = CDateTime(2006, 3, 15, startHour, startMinute, 0);
    appt.m_EndTime = CDateTime(2006, 3, 15, startHour + 1, startMinute, 0);
    appt.m_Alarm = alarm;
    appt.m_AlarmTime = appt.m_StartTime - CDateTimeSpan(0, 0, alarmMinutesBefore, 0);
    return appt;
}

TEST_F(DelimitedExport, AppointmentsWriteTimesAlarmFlagAndMinutesBefore) {
    ASSERT_TRUE(g_doc.InsertAppt(Appt("Dentist", 9, 15, false, 10)));
    m_spec.m_header = 0;
    Choose({"Appointment", "Date", "StartTime", "EndTime", "Alarmed", "AlarmTime"});

    EXPECT_EQ(g_doc.ExportApptsCsv(m_spec), 1);
    EXPECT_EQ(Written(), "\"Dentist\",\"3/15/2006\",\"9:15 AM\",\"10:15 AM\",\"FALSE\",\"0\"\n");
}

TEST_F(DelimitedExport, AlarmMinutesAreExactAndHeldBetweenZeroAndSixty) {
    struct Case {
        int before;
        const char* written;
    };
    for (const Case& c : {Case{15, "15"}, Case{45, "45"}, Case{90, "60"}, Case{-30, "0"}, Case{0, "0"}}) {
        g_db.ExecDml("delete from Appt");
        ASSERT_TRUE(g_doc.InsertAppt(Appt("Meeting", 14, 0, true, c.before)));
        m_spec.m_header = 0;
        Choose({"Alarmed", "AlarmTime"});
        EXPECT_EQ(g_doc.ExportApptsCsv(m_spec), 1);
        EXPECT_EQ(Written(), std::string("\"TRUE\",\"") + c.written + "\"\n") << c.before;
    }
}

TEST_F(DelimitedExport, UnwritableFileGivesZeroWithoutMessage) {
    AddPerson("", "John", "Smith");
    Choose({"LastName"});
    m_spec.m_filePath = m_dir.File("missing/out.csv");
    EXPECT_EQ(g_doc.ExportAddressBookCsv(m_spec), 0);
    EXPECT_TRUE(Prompt().Calls().empty());
    EXPECT_FALSE(Exists());
}

TEST_F(DelimitedExport, ExistingFileIsReplacedWhole) {
    {
        std::ofstream old(m_spec.m_filePath.c_str());
        old << "an old and much longer text that must not survive in any part\n";
    }
    AddPerson("", "John", "Smith");
    Choose({"LastName"});
    EXPECT_EQ(g_doc.ExportAddressBookCsv(m_spec), 1);
    EXPECT_EQ(Written(), "\"LastName\"\n\"Smith\"\n");
    EXPECT_EQ(OtherFiles(), std::vector<std::string>{"out.csv"});
}

TEST_F(DelimitedExport, DatabaseErrorIsShownAndWhatWasCollectedIsWritten) {
    AddPerson("", "John", "Smith");
    Choose({"LastName"});
    g_db.ExecDml("alter table Person rename to Gone");
    g_db.ExecDml("create table Person(ID text)");
    g_db.ExecDml("insert into Person(ID) values('x')");

    // The count works, the row query's order column is missing.
    EXPECT_EQ(g_doc.ExportAddressBookCsv(m_spec), 0);
    const auto boxes = Prompt().MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error Exporting Address Book");
    EXPECT_EQ(boxes[0].flags, unsigned(MB_OK | MB_ICONERROR));
    EXPECT_EQ(Written(), "\"LastName\"\n");
}

} // namespace

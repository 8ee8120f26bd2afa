#include "data/IdMaker.h"
#include "data/SqlQuery.h"
#include "exchange/DelimitedText.h"
#include "exchange/ExportTableSpec.h"
#include "platform/core/Registry.h"
#include "tests/data/records_document.h"

#include <algorithm>

#include <fstream>
#include <string>
#include <vector>

namespace {

// A new document with en-US short dates, fixed on Wednesday 15 March 2006 at 10:20, and import
// options as the wizard fills them.
class DelimitedImport : public RecordsDocument {
protected:
    void SetUp() override {
        SetRegistry(&m_registry);
        m_registry.WriteString("Control Panel\\International", "sShortDate", "M/d/yyyy");
        FixToday(2006, 3, 15);
        RecordsDocument::SetUp();
        g_doc.SetModifiedFlag(false, false);
        m_spec.m_header = 0;
        m_spec.m_qualifier = "\"";
        m_spec.m_separator = ",";
        m_spec.m_filePath = m_dir.File("in.csv");
    }
    void TearDown() override {
        RecordsDocument::TearDown();
        SetRegistry(nullptr);
    }

    void WriteFile(const std::string& text) {
        std::ofstream out(m_spec.m_filePath.c_str(), std::ios::binary);
        out << text;
    }

    // The column fields; the column count follows them.
    void Columns(std::vector<CString> fields) {
        m_spec.m_columnCount = static_cast<int>(fields.size());
        m_spec.m_columnFields = std::move(fields);
    }

    static std::vector<CPerson> Persons() { return StoredPersons("FName, Company"); }

    static std::vector<CTask> Tasks() {
        std::vector<CTask> tasks;
        SqlQuery ids = g_db.ExecQuery("select ID from Task order by Desc");
        for (; !ids.Eof(); ids.NextRow()) {
            CTask task;
            task.m_ID = ids.GetStringField(0, "");
            EXPECT_TRUE(g_doc.GetTask(task));
            tasks.push_back(task);
        }
        return tasks;
    }

    static std::vector<CAppt> Appts() {
        std::vector<CAppt> appts;
        SqlQuery ids = g_db.ExecQuery("select ID from Appt order by Desc");
        for (; !ids.Eof(); ids.NextRow()) {
            CAppt appt;
            appt.m_ID = ids.GetStringField(0, "");
            EXPECT_TRUE(g_doc.GetAppt(appt));
            appts.push_back(appt);
        }
        return appts;
    }

    static std::string Text(const CDateTime& value) {
        return value.IsValid() ? value.Format("%Y-%m-%d %H:%M:%S").str() : "unset";
    }

    MemoryRegistry m_registry;
    CExportTableSpec m_spec;
};

TEST_F(DelimitedImport, SpreadsheetFileWithHeaderCrLfAndMarkers) {
    m_spec.m_filePath = CString(PELM_FIXTURES_DIR "/exchange/persons_crlf.csv");
    m_spec.m_header = 1;
    Columns({"FirstName", "LastName", "Company", "HomePhone", "HomeE-Mail"});

    // The nameless line is skipped; the last line has no line end and is read all the same.
    EXPECT_EQ(g_doc.ImportAddressBookCsv(m_spec), 4);
    const std::vector<CPerson> persons = Persons();
    ASSERT_EQ(persons.size(), 4u);
    EXPECT_EQ(persons[0].m_Company, "Acme, Inc.");
    EXPECT_EQ(persons[0].m_HmPhone, "555-9999");
    EXPECT_EQ(persons[1].m_FName, "Ann");
    EXPECT_EQ(persons[1].m_LName, "Baker");
    EXPECT_EQ(persons[1].m_Email, "ann@example.org");
    EXPECT_EQ(persons[2].m_LName, "O\"Neil");
    EXPECT_EQ(persons[2].m_Email, "");
    EXPECT_EQ(persons[3].m_FName, "Dora");
    EXPECT_EQ(persons[3].m_LName, "");
    EXPECT_EQ(persons[3].m_Email, "dora@example.org");
    EXPECT_EQ(persons[1].m_ID.GetLength(), kGuidStringLength);

    // Every imported person is in the group "All" only.
    for (CPerson person : persons) {
        std::vector<CPhGroup> groups;
        ASSERT_TRUE(g_doc.GetPersonWithGroups(person, groups));
        ASSERT_EQ(groups.size(), 1u);
        EXPECT_EQ(groups[0].m_Desc, "All");
    }
    EXPECT_TRUE(g_doc.IsModified());
    EXPECT_TRUE(Prompt().Calls().empty());
}

TEST_F(DelimitedImport, IgnoredColumnsStillConsumeTheirField) {
    WriteFile("x,Smith,y,John\n");
    Columns({"", "LastName", "", "FirstName"});
    EXPECT_EQ(g_doc.ImportAddressBookCsv(m_spec), 1);
    const std::vector<CPerson> persons = Persons();
    ASSERT_EQ(persons.size(), 1u);
    EXPECT_EQ(persons[0].m_LName, "Smith");
    EXPECT_EQ(persons[0].m_FName, "John");
}

TEST_F(DelimitedImport, ShortLinesLeaveTheLastColumnsEmptyAndUnknownNamesAreIgnored) {
    WriteFile("\"Smith\"\n");
    Columns({"LastName", "Nickname", "HomeCity"});
    EXPECT_EQ(g_doc.ImportAddressBookCsv(m_spec), 1);
    const std::vector<CPerson> persons = Persons();
    ASSERT_EQ(persons.size(), 1u);
    EXPECT_EQ(persons[0].m_LName, "Smith");
    EXPECT_EQ(persons[0].m_City, "");
}

TEST_F(DelimitedImport, TabSeparatorKeepsAnEmptyCellBetweenTwoTabs) {
    WriteFile("John\t\tAcme\n");
    m_spec.m_separator = "\t";
    m_spec.m_qualifier = "";
    Columns({"FirstName", "LastName", "Company"});
    EXPECT_EQ(g_doc.ImportAddressBookCsv(m_spec), 1);
    const std::vector<CPerson> persons = Persons();
    ASSERT_EQ(persons.size(), 1u);
    EXPECT_EQ(persons[0].m_LName, "");
    EXPECT_EQ(persons[0].m_Company, "Acme");
}

TEST_F(DelimitedImport, MissingFileReadsAsEmpty) {
    m_spec.m_filePath = m_dir.File("nothing-here.csv");
    Columns({"LastName"});
    EXPECT_EQ(g_doc.ImportAddressBookCsv(m_spec), 0);
    EXPECT_EQ(g_doc.ImportTasksCsv(m_spec), 0);
    EXPECT_EQ(g_doc.ImportApptsCsv(m_spec), 0);
    EXPECT_FALSE(g_doc.IsModified());
    EXPECT_TRUE(Prompt().Calls().empty());
}

TEST_F(DelimitedImport, HeaderOnlyFileImportsNothing) {
    WriteFile("\"LastName\"\n");
    m_spec.m_header = 1;
    Columns({"LastName"});
    EXPECT_EQ(g_doc.ImportAddressBookCsv(m_spec), 0);
    EXPECT_FALSE(g_doc.IsModified());
}

TEST_F(DelimitedImport, LongLinesAreReadWhole) {
    const std::string notes(10000, 'n');
    WriteFile("Smith," + notes + "\nBaker,short\n");
    m_spec.m_qualifier = "";
    Columns({"LastName", "Notes"});
    EXPECT_EQ(g_doc.ImportAddressBookCsv(m_spec), 2);
    const std::vector<CPerson> persons = Persons();
    ASSERT_EQ(persons.size(), 2u);
    EXPECT_EQ(persons[0].m_Notes.GetLength() + persons[1].m_Notes.GetLength(), 10005);
}

TEST_F(DelimitedImport, AFailedInsertIsNotCountedAndEndsTheImportWithOneMessage) {
    WriteFile("Smith\nBaker\n");
    Columns({"LastName"});
    g_db.ExecDml("drop table Person");
    EXPECT_EQ(g_doc.ImportAddressBookCsv(m_spec), 0);
    const auto boxes = Prompt().MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error Adding Address Book Entry");
    EXPECT_FALSE(g_doc.IsModified());
}

// Lines of persons named Person1, Person2, ..., each with a note of noteLength characters.
std::string PersonLines(int count, size_t noteLength = 10) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "Person" + std::to_string(i) + "," + std::string(noteLength, 'n') + "\n";
    return text;
}

// The document holds what the import reported, every person in "All" and no membership of a missing
// person, passes its integrity check and has no transaction left open.
void ExpectConsistentAfterImport(int reported) {
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), reported);
    EXPECT_EQ(
        g_db.ExecScalar("select count(*) from Person where ID not in (select PersonID from PersonPhGroup "
                        "where PhGroupID = '04E27641-0068-11da-BBFB-9C5F0D33683A')"),
        0);
    EXPECT_EQ(
        g_db.ExecScalar("select count(*) from PersonPhGroup where PersonID not in (select ID from Person)"),
        0);
    EXPECT_STREQ(g_db.ExecQuery("pragma integrity_check").GetStringField(0, ""), "ok");
    EXPECT_NE(sqlite3_get_autocommit(g_db.Handle()), 0);
}

TEST_F(DelimitedImport, AWriteFailurePartWayStopsWithOneMessageAndKeepsTheRowsBefore) {
    WriteFile(PersonLines(300));
    Columns({"LastName", "Notes"});
    g_db.ExecDml("create trigger Failing before insert on Person when (select count(*) from Person) >= 100 "
                 "begin select raise(abort, 'disk I/O error'); end");

    EXPECT_EQ(g_doc.ImportAddressBookCsv(m_spec), 100);
    const auto boxes = Prompt().MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error Adding Address Book Entry");
    EXPECT_GE(boxes[0].text.Find("disk I/O error"), 0);
    g_db.ExecDml("drop trigger Failing");
    ExpectConsistentAfterImport(100);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person where LName = 'Person100'"), 1);
    EXPECT_TRUE(g_doc.IsModified());
}

// The person's row is written, its membership is refused: the row goes again, and the document
// holds the persons before it whole.
TEST_F(DelimitedImport, APersonWhoseMembershipFailsIsTakenOutAgain) {
    WriteFile(PersonLines(10));
    Columns({"LastName", "Notes"});
    g_db.ExecDml("create trigger Failing before insert on PersonPhGroup when (select count(*) from "
                 "PersonPhGroup) >= 4 begin select raise(abort, 'disk I/O error'); end");
    EXPECT_EQ(g_doc.ImportAddressBookCsv(m_spec), 4);
    ASSERT_EQ(Prompt().MessageBoxes().size(), 1u);
    g_db.ExecDml("drop trigger Failing");
    ExpectConsistentAfterImport(4);
    EXPECT_EQ(Count("select count(*) from Person where LName = 'Person5'"), 0);
}

TEST_F(DelimitedImport, ATaskOrAppointmentThatCannotBeAddedStopsTheImportWithOneMessage) {
    WriteFile("Pay rent,3/31/2006\nTaxes,4/1/2006\nCall Bob,4/2/2006\n");
    Columns({"Task", "DateDue"});
    g_db.ExecDml("create trigger Failing before insert on Task when new.Desc = 'Taxes' "
                 "begin select raise(abort, 'disk I/O error'); end");
    EXPECT_EQ(g_doc.ImportTasksCsv(m_spec), 1);
    EXPECT_EQ(Count("select count(*) from Task"), 1);

    WriteFile("Dentist,3/20/2006,9:00 AM,10:00 AM\nBarber,3/21/2006,9:00 AM,10:00 AM\n");
    Columns({"Appointment", "Date", "StartTime", "EndTime"});
    g_db.ExecDml(
        "create trigger FailingAppt before insert on Appt begin select raise(abort, 'disk full'); end");
    EXPECT_EQ(g_doc.ImportApptsCsv(m_spec), 0);
    EXPECT_EQ(Count("select count(*) from Appt"), 0);

    const auto boxes = Prompt().MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Error Importing Tasks");
    EXPECT_EQ(boxes[1].caption, "Error Importing Appointments");
    EXPECT_TRUE(InAutocommit());
}

TEST_F(DelimitedImport, AFullDatabaseStopsWithOneMessageAndReportsWhatItHolds) {
    WriteFile(PersonLines(3000, 200));
    Columns({"LastName", "Notes"});
    // The file may grow by a few pages only: the inserts fail with SQLITE_FULL part-way.
    const int pages = g_db.ExecScalar("pragma page_count");
    g_db.ExecQuery(("pragma max_page_count = " + std::to_string(pages + 40)).c_str());

    const int added = g_doc.ImportAddressBookCsv(m_spec);
    EXPECT_LT(added, 3000);
    const auto boxes = Prompt().MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error Adding Address Book Entry");
    ExpectConsistentAfterImport(added);
}

TEST_F(DelimitedImport, TasksDatesPriorityAndSkippedLines) {
    WriteFile("\"Pay rent\",3/31/2006,,2\n"
              "\"Taxes\",1/2/2006,1/20/2006,7\n"
              ",3/1/2006,,1\n"
              "\"Odd dates\",someday,32/1/2006,x\n");
    Columns({"Task", "DateDue", "DateDone", "Priority"});

    EXPECT_EQ(g_doc.ImportTasksCsv(m_spec), 3);
    const std::vector<CTask> tasks = Tasks();
    ASSERT_EQ(tasks.size(), 3u);
    // A date that does not parse leaves the fresh task's value: due today, not done.
    EXPECT_EQ(tasks[0].m_Desc, "Odd dates");
    EXPECT_EQ(Text(tasks[0].m_DateDue), "2006-03-15 00:00:00");
    EXPECT_EQ(Text(tasks[0].m_DateDone), "unset");
    EXPECT_EQ(tasks[0].m_Priority, 0);
    EXPECT_EQ(tasks[1].m_Desc, "Pay rent");
    EXPECT_EQ(Text(tasks[1].m_DateDue), "2006-03-31 00:00:00");
    EXPECT_EQ(Text(tasks[1].m_DateDone), "unset");
    EXPECT_EQ(tasks[1].m_Priority, 2);
    EXPECT_EQ(tasks[2].m_Desc, "Taxes");
    EXPECT_EQ(Text(tasks[2].m_DateDone), "2006-01-20 00:00:00");
    EXPECT_EQ(tasks[2].m_Priority, 0); // 7 is no priority
    EXPECT_TRUE(g_doc.IsModified());
}

TEST_F(DelimitedImport, AppointmentTimesRoundToQuarterHours) {
    WriteFile("\"Early\",3/20/2006,9:08 AM,9:05 AM,FALSE,0\n"
              "\"Late\",3/20/2006,9:05 AM,10:52 AM,Yes,13\n"
              "\"Alarm\",3/20/2006,2:00 PM,3:00 PM,tRuE,90\n");
    Columns({"Appointment", "Date", "StartTime", "EndTime", "Alarmed", "AlarmTime"});

    EXPECT_EQ(g_doc.ImportApptsCsv(m_spec), 3);
    const std::vector<CAppt> appts = Appts();
    ASSERT_EQ(appts.size(), 3u);

    const CAppt& alarm = appts[0];
    EXPECT_TRUE(alarm.m_Alarm);
    // 90 minutes lie outside 0 to 60: the alarm stays at the start.
    EXPECT_EQ(Text(alarm.m_AlarmTime), "2006-03-20 14:00:00");

    const CAppt& early = appts[1];
    EXPECT_EQ(Text(early.m_DateDue), "2006-03-20 00:00:00");
    EXPECT_EQ(Text(early.m_StartTime), "2006-03-20 09:15:00");
    // The end (9:05 rounds to 9:00) lies before the start and becomes the start.
    EXPECT_EQ(Text(early.m_EndTime), "2006-03-20 09:15:00");
    EXPECT_FALSE(early.m_Alarm);
    EXPECT_EQ(Text(early.m_AlarmTime), "2006-03-20 09:15:00");

    const CAppt& late = appts[2];
    EXPECT_EQ(Text(late.m_StartTime), "2006-03-20 09:00:00");
    EXPECT_EQ(Text(late.m_EndTime), "2006-03-20 10:45:00");
    EXPECT_TRUE(late.m_Alarm);
    // 13 minutes round to 15 before the start.
    EXPECT_EQ(Text(late.m_AlarmTime), "2006-03-20 08:45:00");
}

TEST_F(DelimitedImport, AlarmMinutesRoundToFive) {
    struct Case {
        const char* cell;
        const char* alarm;
    };
    for (const Case& c :
         {Case{"13", "09:00:00"}, Case{"12", "09:05:00"}, Case{"11", "09:05:00"}, Case{"14", "09:00:00"},
          Case{"60", "08:15:00"}, Case{"61", "08:15:00"}, Case{"63", "09:15:00"}, Case{"junk", "09:15:00"}}) {
        g_db.ExecDml("delete from Appt");
        WriteFile(std::string("Meet,3/20/2006,9:15 AM,9:30 AM,TRUE,") + c.cell + "\n");
        Columns({"Appointment", "Date", "StartTime", "EndTime", "Alarmed", "AlarmTime"});
        ASSERT_EQ(g_doc.ImportApptsCsv(m_spec), 1) << c.cell;
        EXPECT_EQ(Text(Appts().at(0).m_AlarmTime), std::string("2006-03-20 ") + c.alarm) << c.cell;
    }
}

TEST_F(DelimitedImport, AppointmentLinesWithoutTextDateStartOrEndAreSkipped) {
    WriteFile(",3/20/2006,9:00 AM,10:00 AM\n"
              "A,never,9:00 AM,10:00 AM\n"
              "B,3/20/2006,late,10:00 AM\n"
              "C,3/20/2006,9:00 AM,\n"
              "D,3/20/2006,9:00 AM,10:00 AM\n");
    Columns({"Appointment", "Date", "StartTime", "EndTime"});
    EXPECT_EQ(g_doc.ImportApptsCsv(m_spec), 1);
    ASSERT_EQ(Appts().size(), 1u);
    EXPECT_EQ(Appts()[0].m_Desc, "D");
}

TEST_F(DelimitedImport, AlarmedWordsInAnyCase) {
    for (const char* word : {"true", "T", "YES", "1"}) {
        g_db.ExecDml("delete from Appt");
        WriteFile(std::string("Meet,3/20/2006,9:15 AM,9:30 AM,") + word + "\n");
        Columns({"Appointment", "Date", "StartTime", "EndTime", "Alarmed"});
        ASSERT_EQ(g_doc.ImportApptsCsv(m_spec), 1);
        EXPECT_TRUE(Appts().at(0).m_Alarm) << word;
    }
    for (const char* word : {"no", "0", "", "yes please"}) {
        g_db.ExecDml("delete from Appt");
        WriteFile(std::string("Meet,3/20/2006,9:15 AM,9:30 AM,") + word + "\n");
        ASSERT_EQ(g_doc.ImportApptsCsv(m_spec), 1);
        EXPECT_FALSE(Appts().at(0).m_Alarm) << word;
    }
}

TEST_F(DelimitedImport, ExportedFilesReadBackWithTheirValues) {
    CPerson person;
    ASSERT_TRUE(NewGuidString(person.m_ID));
    person.m_Title = "Dr.";
    person.m_FName = "Ann";
    person.m_LName = "O\"Neil, Jr.";
    person.m_City = "Bonn";
    person.m_Email = "ann@example.org";
    person.m_Notes = "line one\r\nline two";
    ASSERT_TRUE(g_doc.InsertPerson(person, {}));
    CTask task;
    ASSERT_TRUE(NewGuidString(task.m_ID));
    task.m_Desc = "Report, part 2";
    task.m_DateDue = CDateTime(2006, 4, 1);
    task.m_Priority = kPriorityLow;
    ASSERT_TRUE(g_doc.InsertTask(task));
    CAppt appt;
    ASSERT_TRUE(NewGuidString(appt.m_ID));
    appt.m_Desc = "Dentist";
    appt.m_DateDue = CDateTime(2006, 3, 22);
    appt.m_StartTime = CDateTime(2006, 3, 22, 14, 30, 0);
    appt.m_EndTime = CDateTime(2006, 3, 22, 15, 15, 0);
    appt.m_Alarm = true;
    appt.m_AlarmTime = CDateTime(2006, 3, 22, 14, 0, 0);
    ASSERT_TRUE(g_doc.InsertAppt(appt));

    m_spec.m_header = 1;
    const std::vector<CString> personFields = {"Title",    "FirstName",  "LastName",
                                               "HomeCity", "HomeE-Mail", "Notes"};
    const std::vector<CString> taskFields = {"Task", "DateDue", "DateDone", "Priority"};
    const std::vector<CString> apptFields = {"Appointment", "Date",    "StartTime",
                                             "EndTime",     "Alarmed", "AlarmTime"};
    CExportTableSpec persons = m_spec, tasks = m_spec, appts = m_spec;
    persons.m_filePath = m_dir.File("persons.csv");
    persons.m_columnFields = personFields;
    tasks.m_filePath = m_dir.File("tasks.csv");
    tasks.m_columnFields = taskFields;
    appts.m_filePath = m_dir.File("appts.csv");
    appts.m_columnFields = apptFields;
    ASSERT_EQ(g_doc.ExportAddressBookCsv(persons), 1);
    ASSERT_EQ(g_doc.ExportTasksCsv(tasks), 1);
    ASSERT_EQ(g_doc.ExportApptsCsv(appts), 1);
    g_db.ExecDml("delete from Person");
    g_db.ExecDml("delete from Task");
    g_db.ExecDml("delete from Appt");

    for (CExportTableSpec* spec : {&persons, &tasks, &appts})
        spec->m_columnCount = static_cast<int>(spec->m_columnFields.size());
    EXPECT_EQ(g_doc.ImportAddressBookCsv(persons), 1);
    EXPECT_EQ(g_doc.ImportTasksCsv(tasks), 1);
    EXPECT_EQ(g_doc.ImportApptsCsv(appts), 1);

    const CPerson back = Persons().at(0);
    EXPECT_EQ(back.m_Title, "Dr.");
    EXPECT_EQ(back.m_FName, "Ann");
    EXPECT_EQ(back.m_LName, "O\"Neil, Jr.");
    EXPECT_EQ(back.m_City, "Bonn");
    EXPECT_EQ(back.m_Email, "ann@example.org");
    EXPECT_EQ(back.m_Notes, "line one\r\nline two");
    EXPECT_NE(back.m_ID, person.m_ID);

    const CTask taskBack = Tasks().at(0);
    EXPECT_EQ(taskBack.m_Desc, "Report, part 2");
    EXPECT_EQ(Text(taskBack.m_DateDue), "2006-04-01 00:00:00");
    EXPECT_EQ(Text(taskBack.m_DateDone), "unset");
    EXPECT_EQ(taskBack.m_Priority, kPriorityLow);

    const CAppt apptBack = Appts().at(0);
    EXPECT_EQ(apptBack.m_Desc, "Dentist");
    EXPECT_EQ(Text(apptBack.m_DateDue), "2006-03-22 00:00:00");
    EXPECT_EQ(Text(apptBack.m_StartTime), "2006-03-22 14:30:00");
    EXPECT_EQ(Text(apptBack.m_EndTime), "2006-03-22 15:15:00");
    EXPECT_TRUE(apptBack.m_Alarm);
    EXPECT_EQ(Text(apptBack.m_AlarmTime), "2006-03-22 14:00:00");
}

TEST_F(DelimitedImport, SingleQuoteAndSemicolonWithHeaderLine) {
    WriteFile("'Task';'Priority'\n'Buy milk; and bread';'1'\n'It''s done';3\n");
    m_spec.m_header = 1;
    m_spec.m_qualifier = "'";
    m_spec.m_separator = ";";
    Columns({"Task", "Priority"});
    EXPECT_EQ(g_doc.ImportTasksCsv(m_spec), 2);
    const std::vector<CTask> tasks = Tasks();
    ASSERT_EQ(tasks.size(), 2u);
    EXPECT_EQ(tasks[0].m_Desc, "Buy milk; and bread");
    EXPECT_EQ(tasks[0].m_Priority, 1);
    EXPECT_EQ(tasks[1].m_Desc, "It's done");
    EXPECT_EQ(tasks[1].m_Priority, 3);
}

TEST_F(DelimitedImport, NamesAndMarkersAreCaseSensitive) {
    WriteFile("Smith,eof,Empty Field\n");
    Columns({"lastname", "FirstName", "Company"});
    EXPECT_EQ(g_doc.ImportAddressBookCsv(m_spec), 1);
    const std::vector<CPerson> persons = Persons();
    ASSERT_EQ(persons.size(), 1u);
    EXPECT_EQ(persons[0].m_LName, "");
    EXPECT_EQ(persons[0].m_FName, "eof");
    EXPECT_EQ(persons[0].m_Company, "Empty Field");
}

// A file from a writer that does not escape backslashes: a value that ends in one before its
// closing quote is the value, and the next line stays the next person.
TEST_F(DelimitedImport, AValueEndingInABackslashKeepsTheNextRecord) {
    WriteFile("\"Smith\",\"C:\\Users\\\"\r\n\"Baker\",\"D:\\\"\n\"Clark\",\"say \\\"hi\\\" now\"\n");
    Columns({"LastName", "Notes"});
    EXPECT_EQ(g_doc.ImportAddressBookCsv(m_spec), 3);
    const std::vector<CPerson> persons = StoredPersons("LName");
    ASSERT_EQ(persons.size(), 3u);
    EXPECT_EQ(persons[0].m_LName, "Baker");
    EXPECT_EQ(persons[0].m_Notes, "D:\\");
    EXPECT_EQ(persons[1].m_LName, "Clark");
    EXPECT_EQ(persons[1].m_Notes, "say \"hi\" now"); // an escaped quote inside a value stays one
    EXPECT_EQ(persons[2].m_LName, "Smith");
    EXPECT_EQ(persons[2].m_Notes, "C:Users\\");
}

// Values that end in backslashes or are exactly a marker come back from the program's own file as
// they were; older files' markers, quoted or not, still read as empty cells.
TEST_F(DelimitedImport, BackslashesAndMarkerWordsSurviveTheProgramsOwnRoundTrip) {
    const std::vector<std::pair<const char*, const char*>> values = {
        {"Path", "C:\\Users\\"},  {"Doubled", "\\\\server\\share\\\\"},
        {"Quote", "a\\\"b\""},    {"Eof", "EOF"},
        {"Empty", "EMPTY FIELD"}, {"Spaced", " EOF"}};
    for (const auto& [name, notes] : values) {
        CPerson person;
        ASSERT_TRUE(NewGuidString(person.m_ID));
        person.m_LName = name;
        person.m_Company = notes;
        person.m_Notes = notes;
        ASSERT_TRUE(g_doc.InsertPerson(person, {}));
    }
    m_spec.m_filePath = m_dir.File("round.csv");
    Columns({"LastName", "Company", "Notes"});
    ASSERT_EQ(g_doc.ExportAddressBookCsv(m_spec), static_cast<int>(values.size()));
    g_db.ExecDml("delete from PersonPhGroup");
    g_db.ExecDml("delete from Person");
    ASSERT_EQ(g_doc.ImportAddressBookCsv(m_spec), static_cast<int>(values.size()));
    const std::vector<CPerson> back = StoredPersons("LName");
    for (const auto& [name, notes] : values) {
        const char* const wanted = name;
        const auto found = std::find_if(back.begin(), back.end(),
                                        [wanted](const CPerson& p) { return p.m_LName == wanted; });
        ASSERT_NE(found, back.end()) << name;
        EXPECT_EQ(found->m_Notes, notes) << name;
        EXPECT_EQ(found->m_Company, notes) << name;
    }

    g_db.ExecDml("delete from PersonPhGroup");
    g_db.ExecDml("delete from Person");
    WriteFile("\"Old\",\"EOF\",EMPTY FIELD\n");
    ASSERT_EQ(g_doc.ImportAddressBookCsv(m_spec), 1);
    const CPerson old = Persons().at(0);
    EXPECT_EQ(old.m_Company, "");
    EXPECT_EQ(old.m_Notes, "");
}

// A file written as UTF-16 without a byte-order mark (every other byte of the first line zero), in
// either byte order, reads as the text it holds.
TEST_F(DelimitedImport, Utf16WithoutAByteOrderMarkIsRead) {
    const std::u16string text =
        u"\"LastName\",\"FirstName\"\r\n\"M\u00fcller\",\"J\u00f6rg\"\r\n\"Li\",\"\u5a01\"\r\n";
    for (const bool bigEndian : {false, true}) {
        std::string bytes;
        for (const char16_t unit : text) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        WriteFile(bytes);
        g_db.ExecDml("delete from PersonPhGroup");
        g_db.ExecDml("delete from Person");
        m_spec.m_header = 1;
        Columns({"LastName", "FirstName"});
        ASSERT_EQ(g_doc.ImportAddressBookCsv(m_spec), 2) << bigEndian;
        const std::vector<CPerson> persons = StoredPersons("LName");
        EXPECT_EQ(persons.at(0).m_LName, "Li");
        EXPECT_EQ(persons.at(0).m_FName, "\xE5\xA8\x81");
        EXPECT_EQ(persons.at(1).m_DisplayName, "M\xC3\xBCller, J\xC3\xB6rg");

        CString firstLine;
        ASSERT_EQ(ReadDelimitedFirstLine(m_spec.m_filePath, firstLine), DelimitedFileResult::Ok);
        EXPECT_EQ(firstLine, "\"LastName\",\"FirstName\"") << bigEndian;
    }
}

// More persons than one batch, with the failing one deep in the second: the persons before it are
// kept, it and those after are not, and one box says why.
TEST_F(DelimitedImport, AFailureInsideALaterBatchKeepsEveryPersonBeforeIt) {
    WriteFile(PersonLines(700));
    Columns({"LastName", "Notes"});
    g_db.ExecDml("create trigger Failing before insert on Person when new.LName = 'Person400' "
                 "begin select raise(abort, 'disk I/O error'); end");
    EXPECT_EQ(g_doc.ImportAddressBookCsv(m_spec), 399);
    ASSERT_EQ(Prompt().MessageBoxes().size(), 1u);
    g_db.ExecDml("drop trigger Failing");
    ExpectConsistentAfterImport(399);
    EXPECT_EQ(Count("select count(*) from Person where LName = 'Person399'"), 1);
    EXPECT_EQ(Count("select count(*) from Person where LName = 'Person401'"), 0);
}

} // namespace

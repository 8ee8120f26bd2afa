#include "convert/PimDocument.h"

#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

std::string Fixture(const char* name) {
    return std::string(PELM_FIXTURES_DIR) + "/convert/" + name;
}

// Loads a fixture file; the document must load without any message.
void LoadFixture(PimDocument& document, const char* name) {
    std::unique_ptr<char[]> text = PimDocument::ReadDataFile(Fixture(name).c_str());
    ASSERT_NE(text, nullptr) << name;
    ScriptedPrompt prompt;
    ASSERT_TRUE(document.Load(text.get()));
    EXPECT_TRUE(prompt.MessageBoxes().empty());
}

std::string Db(const CDateTime& date) {
    return date.Format("%Y-%m-%d %H:%M:%S").str();
}

TEST(PimDocument, Version1ReadsAttributeFormsAndMakesGroupsFromFlags) {
    PimDocument document;
    LoadFixture(document, "v1.xml");
    EXPECT_EQ(document.Version, 1);

    ASSERT_EQ(document.PhGroups.size(), 3u);
    EXPECT_EQ(document.PhGroups.Find(1)->Desc, "All");
    EXPECT_EQ(document.PhGroups.Find(2)->Desc, "White Pages");
    EXPECT_EQ(document.PhGroups.Find(3)->Desc, "Yellow Pages");
    EXPECT_EQ(document.PhGroups.Find(9), nullptr); // the PhGroups element is not read in version 1

    EXPECT_EQ(document.Persons.LastID, 3);
    ASSERT_EQ(document.Persons.size(), 3u);
    const PimPerson& ann = *document.Persons.Find(1);
    EXPECT_EQ(ann.FName, "Ann");
    EXPECT_EQ(ann.Company, "Acme & Sons");
    EXPECT_EQ(ann.Notes, "Line one\nLine two");
    EXPECT_EQ(ann.EMail, "ann@example.com");
    EXPECT_EQ(ann.Fax, "555-0102");
    EXPECT_EQ(ann.WkExt, "12");
    EXPECT_TRUE(ann.WhitePages);
    EXPECT_FALSE(ann.YellowPages);
    EXPECT_EQ(ann.Groups, (std::vector<int>{2, 1}));

    const PimPerson& bob = *document.Persons.Find(2);
    EXPECT_EQ(bob.FName, "Bob"); // the later record of the same ID is dropped
    EXPECT_EQ(bob.Groups, (std::vector<int>{2, 3, 1}));

    const PimPerson& cid = *document.Persons.Find(3); // "true" and "yes" are not flags
    EXPECT_FALSE(cid.WhitePages);
    EXPECT_FALSE(cid.YellowPages);
    EXPECT_EQ(cid.Groups, (std::vector<int>{1}));

    ASSERT_EQ(document.Tasks.size(), 2u);
    const PimTask& taxes = *document.Tasks.Find(1);
    EXPECT_EQ(taxes.Description, "File taxes");
    EXPECT_EQ(taxes.Priority, 1);
    EXPECT_EQ(Db(taxes.DueDate), "2006-01-01 01:00:00"); // time_t counts become local (Berlin) time
    EXPECT_EQ(Db(taxes.DoneDate), "2006-06-11 06:26:40");
    EXPECT_EQ(taxes.RecurringID, 0);
    EXPECT_FALSE(document.Tasks.Find(2)->DoneDate.IsValid()); // a count no date can hold

    ASSERT_EQ(document.Appointments.size(), 1u);
    const PimAppointment& dentist = *document.Appointments.Find(1);
    EXPECT_EQ(dentist.Description, "Dentist");
    EXPECT_EQ(Db(dentist.StartTime), "2006-01-01 10:00:00");
    EXPECT_EQ(Db(dentist.EndTime), "2006-01-01 11:00:00");
    EXPECT_EQ(Db(dentist.AlarmTime), "2006-01-01 09:45:00");
    EXPECT_TRUE(dentist.Alarm);
    EXPECT_FALSE(dentist.Done);

    EXPECT_EQ(document.User.FName, "Owen");
    EXPECT_EQ(document.User.EMail, "owen@example.com");
    EXPECT_TRUE(document.RecurringDates.empty());
}

TEST(PimDocument, Version16ReadsGroupsButNoRules) {
    PimDocument document;
    LoadFixture(document, "v16.xml");
    EXPECT_EQ(document.Version, 16);
    EXPECT_EQ(document.PhGroups.LastID, 7);
    ASSERT_EQ(document.PhGroups.size(), 4u);
    EXPECT_EQ(document.PhGroups.Find(7)->Desc, "Golf Club");

    ASSERT_EQ(document.Persons.size(), 1u); // only elements named Person count in form B
    const PimPerson& ann = *document.Persons.Find(1);
    EXPECT_TRUE(ann.WhitePages);
    EXPECT_EQ(ann.Groups, (std::vector<int>{7, 1})); // the flags make no groups

    EXPECT_TRUE(document.RecurringDates.empty());
    const PimAppointment& tee = *document.Appointments.Find(1);
    EXPECT_TRUE(tee.Done);
    EXPECT_FALSE(tee.Alarm);
    EXPECT_EQ(Db(document.Tasks.Find(1)->DoneDate), "1970-01-01 01:00:00");
}

TEST(PimDocument, Version18ReadsElementFormsAndRules) {
    PimDocument document;
    LoadFixture(document, "v18.xml");
    EXPECT_EQ(document.Version, 18);
    EXPECT_EQ(document.PhGroups.Find(4)->Desc, "Family & Friends");
    EXPECT_EQ(document.Persons.Find(1)->Notes, "<b>");
    EXPECT_EQ(document.Persons.Find(1)->Groups, (std::vector<int>{1, 4}));

    ASSERT_EQ(document.RecurringDates.size(), 1u);
    const PimRecurringDate& rule = *document.RecurringDates.Find(5);
    EXPECT_EQ(rule.GetStartDate(), "1/2/2006");
    EXPECT_EQ(rule.GetEndDate(), "3/31/2006");
    EXPECT_EQ(rule.GetStartTime(), "09:00 AM");
    EXPECT_EQ(rule.GetEndTime(), "10:30 AM");
    EXPECT_EQ(rule.GetBasicMethod(), 1);
    EXPECT_EQ(rule.GetEndMethod(), 2);
    EXPECT_EQ(rule.GetEndOccurences(), 12);
    EXPECT_EQ(rule.GetDailyMethod(), 1);
    EXPECT_EQ(rule.GetEveryXDayCount(), 3);
    EXPECT_EQ(rule.GetEveryWeekCount(), 2);
    const bool days[] = {false, true, false, true, false, true, false};
    for (int day = 1; day <= 7; ++day)
        EXPECT_EQ(rule.GetWeeklyDay(day), days[day - 1]) << day;
    EXPECT_EQ(rule.GetMonthlyMethod(), 2);
    EXPECT_EQ(rule.GetMonthlyCount1(), 15);
    EXPECT_EQ(rule.GetMonthlyCount2(), 2);
    EXPECT_EQ(rule.GetMonthlyCount3(), 3);
    EXPECT_EQ(rule.GetMonthlyCount4(), 4);
    EXPECT_EQ(rule.GetMonthlyTheOption(), 1);
    EXPECT_EQ(rule.GetMonthlyDayOption(), 5);
    EXPECT_EQ(rule.GetMonthlyTheOption1(), 4);
    EXPECT_EQ(rule.GetMonthlyDayOption1(), 9);
    EXPECT_EQ(rule.GetMonthlyMathOp(), 1);
    EXPECT_EQ(rule.GetMonthlyMathDays(), 2);
    EXPECT_EQ(rule.GetYearlyMethod(), 1);
    EXPECT_EQ(rule.GetYearlyMonthDay(), 20);
    EXPECT_EQ(rule.GetYearlyMonth1(), 6);
    EXPECT_EQ(rule.GetYearlyMonth2(), 11);
    EXPECT_EQ(rule.GetYearlyTheOption(), 3);
    EXPECT_EQ(rule.GetYearlyDayOption(), 7);
    EXPECT_EQ(rule.IDS, (std::vector<int>{1, 2}));

    ASSERT_EQ(document.Tasks.size(), 3u);
    const PimTask& report = *document.Tasks.Find(1);
    EXPECT_EQ(report.Description, "Weekly report");
    EXPECT_EQ(report.Priority, 2);
    EXPECT_EQ(report.RecurringID, 5);
    EXPECT_EQ(Db(report.DueDate), "2006-01-01 01:00:00");
    EXPECT_EQ(Db(report.DoneDate), "2006-06-11 06:26:40");
    EXPECT_FALSE(document.Tasks.Find(2)->DoneDate.IsValid()); // absent element: no date

    const PimTask& attributeForm = *document.Tasks.Find(3); // only its ID is read
    EXPECT_EQ(attributeForm.Description, "");
    EXPECT_EQ(attributeForm.Priority, 0);
    EXPECT_FALSE(attributeForm.DueDate.IsValid());

    ASSERT_EQ(document.Appointments.size(), 1u); // the comment is no record
    const PimAppointment& standup = *document.Appointments.Find(2);
    EXPECT_EQ(standup.Description, "Standup");
    EXPECT_TRUE(standup.Alarm);
    EXPECT_EQ(standup.RecurringID, 5);
    EXPECT_EQ(Db(standup.AlarmTime), "2006-01-01 09:45:00");
}

TEST(PimDocument, UnknownVersionOrRootLoadsEmpty) {
    PimDocument unknown;
    LoadFixture(unknown, "unknown_version.xml");
    EXPECT_EQ(unknown.Version, 2);
    EXPECT_TRUE(unknown.Persons.empty());
    EXPECT_TRUE(unknown.PhGroups.empty());
    EXPECT_TRUE(unknown.Tasks.empty());

    for (const char* text : {"<Pim><Persons><Person ID='1'/></Persons></Pim>",
                             "<Data Version='18'><Persons><Person ID='1'/></Persons></Data>"}) {
        SCOPED_TRACE(text);
        ScriptedPrompt prompt;
        PimDocument document;
        EXPECT_TRUE(document.Load(text));
        EXPECT_EQ(document.Version, 0);
        EXPECT_TRUE(document.Persons.empty());
        EXPECT_TRUE(prompt.MessageBoxes().empty());
    }
}

TEST(PimDocument, Version16IgnoresRuleReferences) {
    PimDocument document;
    ScriptedPrompt prompt;
    ASSERT_TRUE(document.Load("<Pim Version='17'><Tasks><Task ID='4' RecurringID='3' Priority='2'/></Tasks>"
                              "<Appointments><A ID='1' RecurringID='3'/></Appointments></Pim>"));
    EXPECT_EQ(document.Tasks.Find(4)->RecurringID, 0);
    EXPECT_EQ(document.Tasks.Find(4)->Priority, 2);
    EXPECT_EQ(document.Appointments.Find(1)->RecurringID, 0);
}

TEST(PimDocument, SyntaxErrorIsReportedAndLoadsNothing) {
    std::unique_ptr<char[]> text = PimDocument::ReadDataFile(Fixture("broken.xml").c_str());
    ASSERT_NE(text, nullptr);
    ScriptedPrompt prompt;
    PimDocument document;
    EXPECT_FALSE(document.Load(text.get()));
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text, "Parsing error at line 5");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Error Loading File");
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_EQ(prompt.MessageBoxes()[0].owner, nullptr);
    // The person and the made-up groups read before the error are not kept either.
    EXPECT_TRUE(document.Persons.empty());
    EXPECT_EQ(document.Persons.LastID, 0);
    EXPECT_TRUE(document.PhGroups.empty());
    EXPECT_EQ(document.Version, 0);
    EXPECT_GE(prompt.WaitCursorsShown(), 1);
    EXPECT_EQ(prompt.WaitCursorDepth(), 0);
}

TEST(PimDocument, ReadDataFile) {
    TempDir dir;
    const std::string path = dir.File("data.xml");
    const std::string content("<a>\0b</a>", 9);
    std::ofstream(path, std::ios::binary) << content;
    size_t length = 0;
    std::unique_ptr<char[]> text = PimDocument::ReadDataFile(path.c_str(), &length);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(length, content.size());
    EXPECT_EQ(std::string(text.get(), length), content);
    EXPECT_EQ(text[length], '\0');

    std::ofstream(dir.File("empty.xml"), std::ios::binary);
    text = PimDocument::ReadDataFile(dir.File("empty.xml").c_str(), &length);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(length, 0u);

    EXPECT_EQ(PimDocument::ReadDataFile(dir.File("missing.xml").c_str()), nullptr);
    EXPECT_EQ(PimDocument::ReadDataFile(dir.path().string().c_str()), nullptr); // a folder
    // A named pipe with no writer gives null at once instead of waiting for one.
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    EXPECT_EQ(PimDocument::ReadDataFile(dir.File("pipe").c_str()), nullptr);
}

TEST(PimDocument, NonNumericValuesReadAsTheCLibraryDoes) {
    PimDocument document;
    ScriptedPrompt prompt;
    ASSERT_TRUE(document.Load("<Pim Version=' 18x'><PhGroups LastID='abc'><G ID='12abc'><Desc>x</Desc></G>"
                              "</PhGroups><Tasks><T ID='1'><Priority>-3z</Priority></T></Tasks></Pim>"));
    EXPECT_EQ(document.Version, 18);
    EXPECT_EQ(document.PhGroups.LastID, 0);
    ASSERT_NE(document.PhGroups.Find(12), nullptr);
    EXPECT_EQ(document.Tasks.Find(1)->Priority, -3);
}

TEST(PimDocument, EmptyDatesStayUnsetAndCountsBecomeLocalTimes) {
    PimDocument document;
    ScriptedPrompt prompt;
    ASSERT_TRUE(document.Load("<Pim Version='1'><Tasks>"
                              "<T ID='1' DueDate='' DoneDate=' '/>"
                              "<T ID='2' DueDate='0' DoneDate='1136073600'/>"
                              "</Tasks><Appointments><A ID='1' DueDate='' StartTime='' EndTime=''"
                              " AlarmTime=''/></Appointments></Pim>"));
    const PimTask& empty = *document.Tasks.Find(1);
    EXPECT_FALSE(empty.DueDate.IsValid());
    EXPECT_FALSE(empty.DoneDate.IsValid());
    const PimTask& counted = *document.Tasks.Find(2);
    EXPECT_EQ(Db(counted.DueDate), "1970-01-01 01:00:00"); // the count 0 is a time like any other
    EXPECT_EQ(Db(counted.DoneDate), "2006-01-01 01:00:00");
    const PimAppointment& appointment = *document.Appointments.Find(1);
    for (const CDateTime* date :
         {&appointment.DueDate, &appointment.StartTime, &appointment.EndTime, &appointment.AlarmTime})
        EXPECT_FALSE(date->IsValid());
}

TEST(PimDocument, PhGroupListHandsOutNextIDs) {
    PimPhGroupList groups;
    EXPECT_EQ(groups.NextID(), 1);
    groups.LastID = 9;
    EXPECT_EQ(groups.NextID(), 10);
    EXPECT_EQ(groups.LastID, 10);
}

} // namespace

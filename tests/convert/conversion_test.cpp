#include "convert/Conversion.h"

#include "data/SqlDb.h"
#include "data/SqlException.h"
#include "data/SqlQuery.h"
#include "platform/core/FileOps.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* kAll = "04E27641-0068-11da-BBFB-9C5F0D33683A";
constexpr const char* kYellow = "04E27642-0068-11da-BBFB-9C5F0D33683A";
constexpr const char* kWhite = "04E27643-0068-11da-BBFB-9C5F0D33683A";

// Records what the conversion shows, one line per call.
class RecordingView : public ConversionView {
public:
    void ShowStatus(bool visible) override { events.push_back(visible ? "show status" : "hide status"); }
    void SetStatusText(const char* text) override {
        events.push_back(std::string("status ") + text);
        if (onStatus)
            onStatus(text);
    }
    void ShowProgress(bool visible) override {
        events.push_back(visible ? "show progress" : "hide progress");
    }
    void SetProgressRange(int high) override {
        events.push_back("range " + std::to_string(high));
        maxRange = std::max(maxRange, high);
    }
    void SetProgressPos(int position) override { events.push_back("pos " + std::to_string(position)); }
    WindowHandle Owner() const override { return const_cast<RecordingView*>(this); }

    std::vector<std::string> events;
    std::function<void(const std::string&)> onStatus;
    int maxRange = 0;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::string Fixture(const char* name) {
    return ReadFile(std::string(PELM_FIXTURES_DIR) + "/convert/" + name);
}

using Rows = std::vector<std::vector<std::string>>;

Rows Query(const std::string& path, const char* sql) {
    SqlDb db;
    db.Open(path.c_str());
    SqlQuery query = db.ExecQuery(sql);
    Rows rows;
    for (; !query.Eof(); query.NextRow()) {
        std::vector<std::string> row;
        for (int field = 0; field < query.NumFields(); ++field)
            row.push_back(query.GetStringField(field));
        rows.push_back(row);
    }
    return rows;
}

struct Converted {
    TempDir dir;
    std::string path;
    std::string original;
    RecordingView view;
    bool result = false;
};

// Copies the text to a temp file and converts it, answering every message box with OK.
void Convert(Converted& run, const std::string& content, ScriptedPrompt& prompt) {
    run.path = run.dir.File("Plans.pgr");
    run.original = content;
    WriteFile(run.path, content);
    for (int i = 0; i < 3; ++i)
        prompt.AnswerMessageBox(IDOK);
    CConversion conversion(run.view);
    run.result = conversion.Run(run.path.c_str());
}

TEST(Conversion, Version1FileBecomesVersion2DocumentAndKeepsTheOldFile) {
    ScriptedPrompt prompt;
    Converted run;
    Convert(run, Fixture("v1.xml"), prompt);
    ASSERT_TRUE(run.result);

    EXPECT_EQ(ReadFile(run.path + ".ver1"), run.original);
    EXPECT_FALSE(fs::exists(run.path + ".new"));
    EXPECT_EQ(Query(run.path, "select Version, C = S from Globals"), (Rows{{"2", "1"}}));

    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    const ScriptedPrompt::Call box = prompt.MessageBoxes()[0];
    EXPECT_EQ(box.caption, "Conversion Succeeded");
    EXPECT_EQ(box.flags, static_cast<unsigned>(MB_ICONEXCLAMATION));
    EXPECT_EQ(box.owner, &run.view);
    EXPECT_EQ(box.text.str(), "Database successfully converted!\" \nNew Database Name: " + run.path +
                                  " \nOriginal Database Name: " + run.path + ".ver1");
    EXPECT_EQ(prompt.WaitCursorDepth(), 0);
    EXPECT_GE(prompt.WaitCursorsShown(), 1);

    EXPECT_EQ(Query(run.path, "select ID, Desc from PhGroup"),
              (Rows{{kAll, "All"}, {kYellow, "Yellow Pages"}, {kWhite, "White Pages"}}));

    const Rows persons =
        Query(run.path, "select ID, FName, LName, Company, Position, Addr1, City, State, Zip, "
                        "HmPhone, WkPhone, WkExt, WkFax, CelPhone, Pager, Email, WebPage, "
                        "Notes, Title, HmFax from Person order by FName");
    ASSERT_EQ(persons.size(), 3u);
    EXPECT_EQ(persons[0][0].size(), 31u);
    EXPECT_EQ(
        std::vector<std::string>(persons[0].begin() + 1, persons[0].end()),
        (std::vector<std::string>{"Ann", "Smith", "Acme & Sons", "Engineer", "1 Main St", "Springfield", "IL",
                                  "62701", "555-0100", "555-0101", "12", "555-0102", "555-0103", "555-0104",
                                  "ann@example.com", "www.example.com", "Line one\nLine two", "", ""}));
    EXPECT_EQ(persons[1][1], "Bob");

    // Both page flags: White Pages, Yellow Pages and All, in that order.
    const std::string bob = persons[1][0];
    EXPECT_EQ(
        Query(run.path,
              ("select PhGroupID from PersonPhGroup where PersonID = '" + bob + "' order by rowid").c_str()),
        (Rows{{kWhite}, {kYellow}, {kAll}}));
    EXPECT_EQ(Query(run.path, ("select PhGroupID from PersonPhGroup where PersonID = '" + persons[0][0] +
                               "' order by rowid")
                                  .c_str()),
              (Rows{{kWhite}, {kAll}}));

    EXPECT_EQ(Query(run.path, "select DateDone, DateDue, Priority, RecrDtID, Desc from Task order by Desc"),
              (Rows{{"", "2006-01-01 01:00:00", "2", "", "Call O'Neil"},
                    {"2006-06-11 06:26:40", "2006-01-01 01:00:00", "1", "", "File taxes"}}));
    EXPECT_EQ(Query(run.path,
                    "select Alarm, AlarmTime, Done, DateDue, StartTime, EndTime, RecrDtID, Desc from Appt"),
              (Rows{{"1", "2006-01-01 09:45:00", "0", "2006-01-01 01:00:00", "2006-01-01 10:00:00",
                     "2006-01-01 11:00:00", "", "Dentist"}}));
    EXPECT_TRUE(Query(run.path, "select * from User").empty());
    EXPECT_TRUE(Query(run.path, "select * from RecurringDate").empty());

    // Indexes and triggers were added after the copy.
    EXPECT_EQ(Query(run.path, "select name from sqlite_master where type = 'index' order by name"),
              (Rows{{"ApptDueDate"},
                    {"ApptIdIdx"},
                    {"PrsnCoIdx"},
                    {"PrsnGrpGrpIdx"},
                    {"PrsnGrpPrsnIdx"},
                    {"PrsnIdIdx"},
                    {"PrsnNmIdx"},
                    {"TaskDueIdx"},
                    {"TaskIdIdx"}}));
    EXPECT_EQ(Query(run.path, "select count(*) from sqlite_master where type = 'trigger'"), (Rows{{"12"}}));
}

TEST(Conversion, StatusAndProgressOfEveryPhase) {
    ScriptedPrompt prompt;
    Converted run;
    Convert(run, Fixture("v1.xml"), prompt);
    ASSERT_TRUE(run.result);
    const std::vector<std::string> expected = {
        "show status",
        "status Loading Predefined Address Book Groups",
        "status Reading In Data File",
        "show progress",
        "status Mapping Address Book Groups",
        "range 3",
        "pos 0",
        "pos 1",
        "pos 2",
        "status Mapping Address Book",
        "range 3",
        "pos 0",
        "pos 1",
        "pos 2",
        "status Mapping Recurring Dates",
        "range 0",
        "status Mapping Appointments",
        "range 1",
        "pos 0",
        "status Mapping Tasks",
        "range 2",
        "pos 0",
        "pos 1",
        "status Creating New Database",
        "status Importing Address Book Groups",
        "range 3",
        "pos 0",
        "pos 1",
        "pos 2",
        "status Importing Address Book Entries",
        "range 3",
        "pos 0",
        "pos 1",
        "pos 2",
        "status Importing Recurring Dates",
        "range 0",
        "status Importing Tasks",
        "range 2",
        "pos 0",
        "pos 1",
        "status Importing Appointments",
        "range 1",
        "pos 0",
        "hide status",
        "hide progress",
    };
    EXPECT_EQ(run.view.events, expected);
}

TEST(Conversion, ExtraGroupsAreWrittenAndStandardOnesNever) {
    ScriptedPrompt prompt;
    Converted run;
    Convert(run, Fixture("v16.xml"), prompt);
    ASSERT_TRUE(run.result);
    const Rows groups = Query(run.path, "select ID, Desc from PhGroup");
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[3][1], "Golf Club");
    EXPECT_EQ(groups[3][0].size(), 31u);
    // Ann belongs to group 7 and group 1 ("Everyone" in the file, the standard "All" now).
    EXPECT_EQ(Query(run.path, "select PhGroupID from PersonPhGroup order by rowid"),
              (Rows{{groups[3][0]}, {kAll}}));
    EXPECT_EQ(Query(run.path, "select count(*) from Person"), (Rows{{"1"}}));
    EXPECT_EQ(Query(run.path, "select DateDone, RecrDtID from Task"), (Rows{{"1970-01-01 01:00:00", ""}}));
    EXPECT_EQ(Query(run.path, "select Alarm, Done from Appt"), (Rows{{"0", "1"}}));
    EXPECT_TRUE(Query(run.path, "select * from RecurringDate").empty());
}

TEST(Conversion, RulesAndTheirReferences) {
    ScriptedPrompt prompt;
    Converted run;
    Convert(run, Fixture("v18.xml"), prompt);
    ASSERT_TRUE(run.result);
    const Rows rules = Query(run.path, "select * from RecurringDate");
    ASSERT_EQ(rules.size(), 1u);
    const std::vector<std::string> expected = {rules[0][0],
                                               "1",
                                               "1899-12-30 09:00:00",
                                               "1899-12-30 10:30:00",
                                               "2",
                                               "2006-01-02 00:00:00",
                                               "2006-03-31 00:00:00",
                                               "12",
                                               "1",
                                               "3",
                                               "2",
                                               "0",
                                               "1",
                                               "0",
                                               "1",
                                               "0",
                                               "1",
                                               "0",
                                               "2",
                                               "15",
                                               "2",
                                               "1",
                                               "5",
                                               "3",
                                               "4",
                                               "9",
                                               "4",
                                               "1",
                                               "2",
                                               "1",
                                               "6",
                                               "20",
                                               "3",
                                               "7",
                                               "11",
                                               "",
                                               "",
                                               ""};
    EXPECT_EQ(rules[0], expected);
    const std::string ruleId = rules[0][0];
    EXPECT_EQ(Query(run.path, "select Desc, RecrDtID, Priority from Task order by Desc"),
              (Rows{{"", "", "0"}, {"Single", "", "1"}, {"Weekly report", ruleId, "2"}}));
    EXPECT_EQ(Query(run.path, "select Desc, RecrDtID from Appt"), (Rows{{"Standup", ruleId}}));
    EXPECT_EQ(Query(run.path, "select Desc from PhGroup order by rowid"),
              (Rows{{"All"}, {"Yellow Pages"}, {"White Pages"}, {"Family & Friends"}}));
    EXPECT_EQ(Query(run.path, "select Notes from Person"), (Rows{{"<b>"}}));
}

TEST(Conversion, UnknownFilesGiveOnlyTheStandardGroups) {
    for (const std::string& content :
         {Fixture("unknown_version.xml"), std::string("<Data><Persons/></Data>")}) {
        ScriptedPrompt prompt;
        Converted run;
        Convert(run, content, prompt);
        ASSERT_TRUE(run.result);
        EXPECT_EQ(Query(run.path, "select count(*) from PhGroup"), (Rows{{"3"}}));
        EXPECT_EQ(Query(run.path, "select count(*) from Person"), (Rows{{"0"}}));
        EXPECT_EQ(Query(run.path, "select count(*) from Task"), (Rows{{"0"}}));
        EXPECT_EQ(ReadFile(run.path + ".ver1"), content);
    }
}

TEST(Conversion, UnresolvedReferencesAreLeftEmpty) {
    ScriptedPrompt prompt;
    Converted run;
    Convert(
        run,
        "<Pim Version='18'><Persons><Person ID='1'><PhGroups><PhGroup>9</PhGroup><PhGroup>3</PhGroup>"
        "</PhGroups></Person></Persons><Tasks><Task ID='1'><RecurringID>4</RecurringID></Task></Tasks></Pim>",
        prompt);
    ASSERT_TRUE(run.result);
    // Group 9 is not in the file: no membership row; the standard group 3 exists in every document.
    EXPECT_EQ(Query(run.path, "select PhGroupID from PersonPhGroup"), (Rows{{kYellow}}));
    EXPECT_EQ(Query(run.path, "select RecrDtID from Task"), (Rows{{""}}));
}

TEST(Conversion, GroupsBelowOneAreWrittenWithTheirMembers) {
    ScriptedPrompt prompt;
    Converted run;
    Convert(
        run,
        "<Pim Version='16'><PhGroups><G ID='0'><Desc>Zero</Desc></G><G ID='-2'><Desc>Minus</Desc></G>"
        "<G ID='2'><Desc>White</Desc></G></PhGroups><Persons><Person ID='1'><PhGroups>"
        "<PhGroup>0</PhGroup><PhGroup>-2</PhGroup><PhGroup>2</PhGroup></PhGroups></Person></Persons></Pim>",
        prompt);
    ASSERT_TRUE(run.result);
    EXPECT_EQ(Query(run.path, "select Desc from PhGroup order by rowid"),
              (Rows{{"All"}, {"Yellow Pages"}, {"White Pages"}, {"Minus"}, {"Zero"}}));
    EXPECT_EQ(Query(run.path, "select g.Desc from PersonPhGroup m left join PhGroup g on g.ID = m.PhGroupID "
                              "order by m.rowid"),
              (Rows{{"Zero"}, {"Minus"}, {"White Pages"}}));
}

TEST(Conversion, WindowsTextsBecomeUtf8) {
    ScriptedPrompt prompt;
    Converted run;
    Convert(run,
            "<?xml version='1.0' encoding='windows-1252'?><Pim Version='16'>"
            "<PhGroups><G ID='5'><Desc>B\xFCro</Desc></G></PhGroups>"
            "<Persons><Person ID='1' LName='M\xFCller' Notes='Caf&#233;'/>"
            "<Person ID='2' LName='Gr\xC3\xBC\xC3\x9F'/></Persons>"
            "<Tasks><T ID='1' Description='\x80 10'/></Tasks></Pim>",
            prompt);
    ASSERT_TRUE(run.result);
    EXPECT_EQ(Query(run.path, "select LName, Notes from Person order by LName"),
              (Rows{{"Gr\xC3\xBC\xC3\x9F", ""}, {"M\xC3\xBCller", "Caf\xC3\xA9"}}));
    EXPECT_EQ(Query(run.path, "select Desc from PhGroup where rowid = 4"), (Rows{{"B\xC3\xBCro"}}));
    EXPECT_EQ(Query(run.path, "select Desc from Task"), (Rows{{"\xE2\x82\xAC 10"}}));
    EXPECT_EQ(ReadFile(run.path + ".ver1"), run.original);
}

TEST(Conversion, SyntaxErrorConvertsNothing) {
    ScriptedPrompt prompt;
    Converted run;
    Convert(run, Fixture("broken.xml"), prompt);
    EXPECT_FALSE(run.result);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text, "Parsing error at line 5");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Error Loading File");
    EXPECT_EQ(ReadFile(run.path), run.original);
    EXPECT_FALSE(fs::exists(run.path + ".new"));
    EXPECT_FALSE(fs::exists(run.path + ".ver1"));
    EXPECT_EQ(run.view.events.back(), "status Reading In Data File"); // the status stays as it was
}

TEST(Conversion, MissingFileOrFolderIsReportedAndNothingWritten) {
    TempDir dir;
    fs::create_directories(dir.File("Folder.pgr"));
    const std::string missing = dir.File("missing.pgr");
    const std::string folder = dir.File("Folder.pgr");
    struct Case {
        std::string path;
        std::string message;
    };
    for (const Case& test : {Case{missing, "The data file " + missing + " does not exist."},
                             Case{folder, folder + " is a folder, not a data file."}}) {
        ScriptedPrompt prompt;
        prompt.AnswerMessageBox(IDOK);
        RecordingView view;
        CConversion conversion(view);
        EXPECT_FALSE(conversion.Run(test.path.c_str()));
        ASSERT_EQ(prompt.MessageBoxes().size(), 1u) << test.path;
        EXPECT_EQ(std::string(prompt.MessageBoxes()[0].text.c_str()), test.message);
        EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Error Converting Database");
        EXPECT_EQ(prompt.MessageBoxes()[0].owner, &view);
        EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONERROR));
        EXPECT_EQ(view.events.back(), "status Reading In Data File");
        EXPECT_EQ(prompt.WaitCursorDepth(), 0);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST(Conversion, FailedTableCreationLeavesTheOldFileAlone) {
    ScriptedPrompt prompt;
    Converted run;
    run.path = run.dir.File("Plans.pgr");
    {
        // A leftover database under the ".new" name already holds a Globals table.
        SqlDb stale;
        stale.Open((run.path + ".new").c_str());
        stale.ExecDml("create table Globals(x)");
    }
    Convert(run, Fixture("v1.xml"), prompt);
    EXPECT_FALSE(run.result);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Error Creating Database");
    EXPECT_EQ(prompt.MessageBoxes()[0].owner, nullptr);
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_NE(prompt.MessageBoxes()[0].text.Find("Globals"), -1);
    EXPECT_FALSE(fs::exists(run.path + ".new"));
    EXPECT_FALSE(fs::exists(run.path + ".ver1"));
    EXPECT_EQ(ReadFile(run.path), run.original);
}

TEST(Conversion, FailureDuringTheCopyDeletesTheNewFile) {
    ScriptedPrompt prompt;
    Converted run;
    run.view.onStatus = [](const std::string& status) {
        if (status == "Importing Tasks")
            throw SqlException(13, "database or disk is full");
    };
    Convert(run, Fixture("v1.xml"), prompt);
    EXPECT_FALSE(run.result);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Error Converting Database");
    EXPECT_EQ(prompt.MessageBoxes()[0].owner, &run.view);
    EXPECT_NE(prompt.MessageBoxes()[0].text.Find("database or disk is full"), -1);
    EXPECT_FALSE(fs::exists(run.path + ".new"));
    EXPECT_FALSE(fs::exists(run.path + ".new-journal"));
    EXPECT_FALSE(fs::exists(run.path + ".ver1"));
    EXPECT_EQ(ReadFile(run.path), run.original);
}

TEST(Conversion, FailedCopyLeavesNoJournal) {
    ScriptedPrompt prompt;
    Converted run;
    run.path = run.dir.File("Plans.pgr");
    // The journal of an earlier run that stopped half-way lies beside the new file's name.
    WriteFile(run.path + ".new-journal", std::string(512, 'x'));
    run.view.onStatus = [](const std::string& status) {
        if (status == "Importing Appointments")
            throw SqlException(10, "disk I/O error");
    };
    Convert(run, Fixture("v1.xml"), prompt);
    EXPECT_FALSE(run.result);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_FALSE(fs::exists(run.path + ".new"));
    EXPECT_FALSE(fs::exists(run.path + ".new-journal"));
    EXPECT_EQ(ReadFile(run.path), run.original);
}

TEST(Conversion, FailedSwapLosesNoFileAndIsReported) {
    ScriptedPrompt prompt;
    Converted run;
    SetFileStepHookForTesting([](const char* step, const char*) { return std::strcmp(step, "rename") != 0; });
    Convert(run, Fixture("v1.xml"), prompt);
    SetFileStepHookForTesting(nullptr);
    EXPECT_FALSE(run.result);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Error Converting Database");
    EXPECT_NE(prompt.MessageBoxes()[0].text.Find((run.path + ".new").c_str()), -1);
    EXPECT_EQ(ReadFile(run.path), run.original);
    EXPECT_FALSE(fs::exists(run.path + ".ver1"));
    EXPECT_EQ(Query(run.path + ".new", "select count(*) from Person"), (Rows{{"3"}}));
}

// Whatever holds a backup name already (the backup of an earlier conversion, a folder) stays as it
// was: the old file goes under the first free name, and the message says which.
TEST(Conversion, AnEarlierBackupIsNeverReplaced) {
    struct Case {
        std::vector<std::string> taken;
        std::string backup;
    };
    const Case cases[] = {
        {{".ver1"}, ".ver1.1"},
        {{".ver1", ".ver1.1"}, ".ver1.2"},
        {{".ver1/"}, ".ver1.1"},
        {{".ver1.1"}, ".ver1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.backup);
        ScriptedPrompt prompt;
        Converted run;
        run.path = run.dir.File("Plans.pgr");
        for (const std::string& taken : c.taken) {
            if (taken.back() == '/')
                fs::create_directories(run.path + taken + "inside");
            else
                WriteFile(run.path + taken, "earlier backup " + taken);
        }
        Convert(run, Fixture("v1.xml"), prompt);
        ASSERT_TRUE(run.result);
        for (const std::string& taken : c.taken) {
            if (taken.back() == '/')
                EXPECT_TRUE(fs::exists(run.path + taken + "inside"));
            else
                EXPECT_EQ(ReadFile(run.path + taken), "earlier backup " + taken);
        }
        EXPECT_EQ(ReadFile(run.path + c.backup), run.original);
        EXPECT_EQ(Query(run.path, "select count(*) from Person"), (Rows{{"3"}}));
        ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
        std::string expected = "Database successfully converted!\" \nNew Database Name: " + run.path +
                               " \nOriginal Database Name: " + run.path + c.backup;
        if (c.backup != ".ver1")
            expected += " \n" + run.path + ".ver1 already existed and was kept as it was.";
        EXPECT_EQ(prompt.MessageBoxes()[0].text.str(), expected);
    }
}

TEST(Conversion, MoreRecordsThanTheProgressRangeStillConvert) {
    std::string content = "<Pim Version='1'><Tasks>";
    const int count = CConversion::kProgressLimit + 10;
    for (int id = 1; id <= count; ++id)
        content += "<T ID='" + std::to_string(id) + "' Priority='1' DueDate='1136073600'/>";
    content += "</Tasks></Pim>";
    ScriptedPrompt prompt;
    Converted run;
    Convert(run, content, prompt);
    ASSERT_TRUE(run.result);
    EXPECT_EQ(run.view.maxRange, CConversion::kProgressLimit);
    EXPECT_EQ(Query(run.path, "select count(*), count(distinct ID) from Task"),
              (Rows{{std::to_string(count), std::to_string(count)}}));
}

TEST(Conversion, SchemaStepsOnTheirOwn) {
    ScriptedPrompt prompt;
    TempDir dir;
    const std::string path = dir.File("fresh.pgr");
    ASSERT_TRUE(CConversion::CreateTables(path.c_str()));
    EXPECT_EQ(Query(path, "select count(*) from sqlite_master where type in ('index', 'trigger')"),
              (Rows{{"0"}}));
    EXPECT_EQ(Query(path, "select name from sqlite_master where type = 'table' order by rowid"),
              (Rows{{"Globals"},
                    {"User"},
                    {"Person"},
                    {"Appt"},
                    {"PhGroup"},
                    {"Task"},
                    {"RecurringDate"},
                    {"BlackoutDate"},
                    {"ForceDate"},
                    {"SkipDate"},
                    {"PersonPhGroup"}}));
    ASSERT_TRUE(CConversion::CreateIndexes(path.c_str()));
    ASSERT_TRUE(CConversion::CreateTriggers(path.c_str()));
    EXPECT_EQ(Query(path, "select name from sqlite_master where type = 'trigger' order by rowid"),
              (Rows{{"User_Update"},
                    {"User_Ins"},
                    {"User_Del"},
                    {"Person_Update"},
                    {"Person_Ins"},
                    {"Person_Del"},
                    {"Appt_Update"},
                    {"Appt_Ins"},
                    {"Appt_Del"},
                    {"Task_Update"},
                    {"Task_Ins"},
                    {"Task_Del"}}));

    // A second index run fails (the indexes exist): reported, and the file is deleted.
    prompt.AnswerMessageBox(IDOK);
    EXPECT_FALSE(CConversion::CreateIndexes(path.c_str()));
    EXPECT_EQ(prompt.MessageBoxes().back().caption, "Error Creating Database");
    EXPECT_FALSE(fs::exists(path));
}

} // namespace

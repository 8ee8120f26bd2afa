// What every change of a recurring series must keep, checked once over one table of cases: each
// operation (add, edit, edit clearing "Recurring", delete, complete) answered "this one only" or "this
// and future", at the first, a middle and the last occurrence, of a whole series and of one split
// before, for appointments and tasks, and the operations that cut a series for every kind of rule
// (daily, weekly, monthly and yearly, with "plus" and "minus" day offsets, ending after a count, by a
// date or never, across month and year ends and 29 February). After each case the rows are exactly what the
// user chose: "this one only" changes the chosen occurrence alone, "this and future" the chosen and the later
// ones of its series, the earlier ones stay as they were, nothing else is added, moved or removed;
// each date holds at most one occurrence of a series; every row that names a rule names a stored one,
// every rule is named by a row and gives exactly its rows' dates.
//
// The same cases run under faults through the file-step seam: each write step made to fail (as a
// full disk or a failing drive would) and a child process killed at each step. The document is then
// exactly as before, and a change that was not stored is never reported as done.

#include "data/DbDoc.h"
#include "data/IdMaker.h"
#include "platform/core/FileOps.h"
#include "platform/core/Registry.h"
#include "tests/data/records_document.h"
#include "tests/support/FileStepFault.h"
#include "ui/calendar/ApptSeries.h"
#include "ui/calendar/SeriesCore.h"
#include "ui/calendar/TaskSeries.h"
#include "ui/common/SheetParts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

enum class Kind { Appointments, Tasks };
enum class Operation { Add, Edit, EditClearingRecurring, Delete, Complete };
enum class Answer { ThisOne, ThisAndFuture };
enum class Position { First, Middle, Last };
enum class Shape { Whole, Split };

// A rule built from its start date and its kind's fields; it ends after count occurrences, or by
// the end date when one is given.
struct RuleKind {
    const char* name;
    CDateTime start;
    int count;
    CDateTime endDate;
    std::function<void(CRecurItem&)> fields;
};

CRecurItem MakeRule(const RuleKind& kind) {
    CRecurItem rule;
    kind.fields(rule);
    rule.SetStartDate(FormatRuleDate(kind.start).c_str());
    if (kind.endDate.IsValid()) {
        rule.SetEndByDate();
        rule.SetEndDate(FormatRuleDate(kind.endDate).c_str());
    } else if (kind.count > 0) {
        rule.SetEndAfterOccurences();
        rule.SetEndOccurences(kind.count);
    } else {
        rule.SetNoEndDate();
    }
    return rule;
}

// Monthly "the ordinal day kind of every interval months, plus (op 0) or minus (op 1) days".
std::function<void(CRecurItem&)> Shifted(int ordinal, int dayKind, int interval, int op, int days) {
    return [=](CRecurItem& rule) {
        rule.SetMonthly();
        rule.SetMonthlyMethod(2);
        rule.SetMonthlyTheOption1(ordinal);
        rule.SetMonthlyDayOption1(dayKind);
        rule.SetMonthlyCount4(interval);
        rule.SetMonthlyMathOp(op);
        rule.SetMonthlyMathDays(days);
    };
}

constexpr int kFirst = 0, kSecond = 1, kLast = 4;
constexpr int kDay = 0, kWeekday = 1, kWeekendDay = 2, kSunday = 3, kMonday = 4, kTuesday = 5;
constexpr int kPlus = 0, kMinus = 1;
const CDateTime kNoEndDate(CDateTime::kInvalid);

// Every kind of rule the recurrence page offers; the first, the daily rule, runs every operation.
const std::vector<RuleKind>& Rules() {
    static const std::vector<RuleKind> rules = {
        {"Daily", CDateTime(2026, 3, 2), 6, kNoEndDate,
         [](CRecurItem& rule) {
             rule.SetDaily();
             rule.SetEveryXDays();
             rule.SetEveryXDayCount(1);
         }},
        {"Every3DaysNoEnd", CDateTime(2026, 12, 20), 0, kNoEndDate,
         [](CRecurItem& rule) {
             rule.SetDaily();
             rule.SetEveryXDays();
             rule.SetEveryXDayCount(3);
         }},
        {"WeekdaysByDate", CDateTime(2026, 2, 27), 0, CDateTime(2026, 3, 9),
         [](CRecurItem& rule) {
             rule.SetDaily();
             rule.SetEveryWeekday();
         }},
        {"MondayAndFridayEvery2Weeks", CDateTime(2026, 12, 23), 6, kNoEndDate,
         [](CRecurItem& rule) {
             rule.SetWeekly();
             rule.SetEveryWeekCount(2);
             for (int day = 1; day <= 7; ++day)
                 rule.SetWeeklyDay(day, day == 2 || day == 6);
         }},
        {"MonthlyDay29", CDateTime(2027, 12, 1), 6, kNoEndDate,
         [](CRecurItem& rule) {
             rule.SetMonthly();
             rule.SetMonthlyMethod(0);
             rule.SetMonthlyCount1(29);
             rule.SetMonthlyCount2(1);
         }},
        {"MonthlySecondTuesdayEvery2MonthsByDate", CDateTime(2026, 11, 15), 0, CDateTime(2027, 12, 30),
         [](CRecurItem& rule) {
             rule.SetMonthly();
             rule.SetMonthlyMethod(1);
             rule.SetMonthlyTheOption(kSecond);
             rule.SetMonthlyDayOption(kTuesday);
             rule.SetMonthlyCount3(2);
         }},
        {"LastSundayEvery3MonthsPlus10", CDateTime(2027, 4, 6), 9, kNoEndDate,
         Shifted(kLast, kSunday, 3, kPlus, 10)},
        {"LastSundayEvery3MonthsPlus10ByDate", CDateTime(2027, 4, 6), 0, CDateTime(2029, 1, 4),
         Shifted(kLast, kSunday, 3, kPlus, 10)},
        {"LastWeekendDayPlus31", CDateTime(2028, 1, 1), 6, kNoEndDate,
         Shifted(kLast, kWeekendDay, 1, kPlus, 31)},
        {"FirstMondayMinus10", CDateTime(2026, 11, 1), 6, kNoEndDate,
         Shifted(kFirst, kMonday, 1, kMinus, 10)},
        {"FirstMondayMinus10ByDate", CDateTime(2026, 11, 1), 0, CDateTime(2027, 5, 3),
         Shifted(kFirst, kMonday, 1, kMinus, 10)},
        {"FirstWeekdayEvery3MonthsMinus5ByDate", CDateTime(2027, 1, 1), 0, CDateTime(2028, 12, 31),
         Shifted(kFirst, kWeekday, 3, kMinus, 5)},
        {"FirstDayEvery2MonthsMinus31ByDate", CDateTime(2027, 1, 1), 0, CDateTime(2028, 3, 1),
         Shifted(kFirst, kDay, 2, kMinus, 31)},
        {"Yearly29February", CDateTime(2026, 1, 1), 6, kNoEndDate,
         [](CRecurItem& rule) {
             rule.SetYearly();
             rule.SetYearlyMethod(0);
             rule.SetYearlyMonth1(2);
             rule.SetYearlyMonthDay(29);
         }},
        {"YearlyLastDayOfDecemberByDate", CDateTime(2026, 6, 1), 0, CDateTime(2032, 1, 1),
         [](CRecurItem& rule) {
             rule.SetYearly();
             rule.SetYearlyMethod(1);
             rule.SetYearlyTheOption(kLast);
             rule.SetYearlyDayOption(kDay);
             rule.SetYearlyMonth2(12);
         }},
    };
    return rules;
}

std::vector<CDateTime> DatesOf(const CRecurItem& rule) {
    CDateList dates;
    rule.GetDates(dates);
    return std::vector<CDateTime>(dates.begin(), dates.end());
}

std::string DayText(const CDateTime& date) {
    return date.Format("%Y-%m-%d").c_str();
}

struct SeriesCase {
    Kind kind;
    Operation operation;
    Answer answer;
    Position position;
    Shape shape;
    size_t rule = 0;
};

std::string Name(const SeriesCase& c) {
    static const char* const kinds[] = {"Appointments", "Tasks"};
    static const char* const operations[] = {"Add", "Edit", "EditClearingRecurring", "Delete", "Complete"};
    static const char* const answers[] = {"ThisOne", "ThisAndFuture"};
    static const char* const positions[] = {"First", "Middle", "Last"};
    static const char* const shapes[] = {"Whole", "Split"};
    return std::string(kinds[int(c.kind)]) + "_" + operations[int(c.operation)] + "_" +
           answers[int(c.answer)] + "_" + positions[int(c.position)] + "_" + shapes[int(c.shape)] + "_" +
           Rules().at(c.rule).name;
}

void PrintTo(const SeriesCase& c, std::ostream* out) {
    *out << Name(c);
}

bool ChoosesAnOccurrence(Operation operation) {
    return operation != Operation::Add;
}

bool Asks(Operation operation) {
    return operation == Operation::Edit || operation == Operation::EditClearingRecurring ||
           operation == Operation::Delete;
}

// The table: every combination that exists (appointments are not completed; adding chooses no
// occurrence, and neither adding nor completing asks a question) on the daily rule, and for every
// other rule the operations that cut its series and store what is left of it.
std::vector<SeriesCase> Cases(bool everyRule) {
    std::vector<SeriesCase> cases;
    for (size_t rule = 0; rule < (everyRule ? Rules().size() : 1); ++rule)
        for (Kind kind : {Kind::Appointments, Kind::Tasks})
            for (Operation operation : {Operation::Add, Operation::Edit, Operation::EditClearingRecurring,
                                        Operation::Delete, Operation::Complete})
                for (Answer answer : {Answer::ThisOne, Answer::ThisAndFuture})
                    for (Position position : {Position::First, Position::Middle, Position::Last})
                        for (Shape shape : {Shape::Whole, Shape::Split}) {
                            if (kind == Kind::Appointments && operation == Operation::Complete)
                                continue;
                            if (!Asks(operation) && answer != Answer::ThisOne)
                                continue;
                            if (!ChoosesAnOccurrence(operation) && position != Position::First)
                                continue;
                            if (rule > 0 && !Asks(operation))
                                continue;
                            cases.push_back({kind, operation, answer, position, shape, rule});
                        }
    return cases;
}

constexpr const char* kSeriesText = "Standup";
constexpr const char* kChangedText = "Changed";
constexpr const char* kOtherText = "Dentist";
constexpr const char* kAddedText = "Review";

// One stored row as the user sees it: its day and what it says (times of day for appointments,
// priority and completion for tasks), with the rule it names.
struct Occurrence {
    std::string id;
    std::string day;
    std::string content;
    std::string rule;
    std::string desc;
    bool operator<(const Occurrence& other) const { return day + content < other.day + other.content; }
};

std::string TimeOf(const char* text) {
    const std::string value = text ? text : "";
    return value.size() >= 16 ? value.substr(11, 5) : "<" + value + ">";
}

std::vector<Occurrence> ReadOccurrences(Kind kind) {
    std::vector<Occurrence> rows;
    if (kind == Kind::Appointments) {
        SqlQuery query = g_db.ExecQuery(
            "select ID, DateDue, Desc, Alarm, AlarmTime, Done, StartTime, EndTime, RecrDtID from Appt");
        for (; !query.Eof(); query.NextRow())
            rows.push_back(
                {query.GetStringField(0, ""), std::string(query.GetStringField(1, "")).substr(0, 10),
                 std::string(query.GetStringField(2, "")) + "|" + query.GetStringField(3, "") + "|" +
                     TimeOf(query.GetStringField(4, "")) + "|" + query.GetStringField(5, "") + "|" +
                     TimeOf(query.GetStringField(6, "")) + "-" + TimeOf(query.GetStringField(7, "")),
                 query.GetStringField(8, ""), query.GetStringField(2, "")});
    } else {
        SqlQuery query = g_db.ExecQuery("select ID, DateDue, Desc, Priority, DateDone, RecrDtID from Task");
        for (; !query.Eof(); query.NextRow())
            rows.push_back({query.GetStringField(0, ""),
                            std::string(query.GetStringField(1, "")).substr(0, 10),
                            std::string(query.GetStringField(2, "")) + "|" + query.GetStringField(3, "") +
                                "|" + query.GetStringField(4, ""),
                            query.GetStringField(5, ""), query.GetStringField(2, "")});
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<std::string> DaysAndContents(const std::vector<Occurrence>& rows) {
    std::vector<std::string> texts;
    for (const Occurrence& row : rows)
        texts.push_back(row.day + " " + row.content);
    std::sort(texts.begin(), texts.end());
    return texts;
}

// Every row and rule of the document, IDs and TmStamps included: what a change that was not stored
// must leave exactly as it was.
std::string Dump() {
    std::string text;
    for (const char* table : {"Appt", "Task", "RecurringDate"}) {
        std::vector<std::string> rows;
        SqlQuery query = g_db.ExecQuery((std::string("select * from ") + table).c_str());
        for (; !query.Eof(); query.NextRow()) {
            std::string row;
            for (int field = 0; field < query.NumFields(); ++field)
                row += std::string(query.GetStringField(field, "<null>")) + "|";
            rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end());
        text += std::string(table) + ":\n";
        for (const std::string& row : rows)
            text += row + "\n";
    }
    return text;
}

class SeriesInvariantTest : public RecordsDocument, public testing::WithParamInterface<SeriesCase> {
protected:
    void SetUp() override {
        registry.WriteString("Control Panel\\International", "sShortDate", "MM/dd/yyyy");
        SetRegistry(&registry);
        RecordsDocument::SetUp();
        FixToday(2026, 3, 20);
    }
    void TearDown() override {
        SetFileStepHookForTesting(nullptr);
        RecordsDocument::TearDown();
        SetRegistry(nullptr);
    }

    const SeriesCase& Case() const { return GetParam(); }
    const RuleKind& Rule() const { return Rules().at(Case().rule); }

    // Adds a series of the rule, or without one a plain row on the day, through the commands under
    // test.
    bool Add(const char* text, const CDateTime& day, const CRecurItem* rule) {
        if (Case().kind == Kind::Appointments) {
            CApptSeries series([&](const char*, ApptSheetValues& values, CRecurItem& sheetRule) {
                values.desc = text;
                values.recurring = rule != nullptr;
                if (rule)
                    sheetRule = *rule;
                return true;
            });
            return series.Add(day, 9, 0);
        }
        CTaskEntry entry = CTaskSeries::ForAdd(day);
        entry.desc = text;
        entry.recurring = rule != nullptr;
        if (rule)
            entry.rule = *rule;
        return CTaskSeries::Add(entry);
    }

    // The series the case adds: three daily occurrences from 10 March 2026.
    static CRecurItem AddedRule() {
        return MakeRule({"Added", CDateTime(2026, 3, 10), 3, kNoEndDate, Rules().front().fields});
    }

    bool Delete(const CString& id) {
        if (Case().kind == Kind::Tasks)
            return CTaskSeries::Delete(id);
        CApptSeries series([](const char*, ApptSheetValues&, CRecurItem&) { return false; });
        return series.Delete(id);
    }

    // The sheet's change: a new text (and times or priority); "Recurring" cleared when asked.
    bool Edit(const CString& id, bool clearRecurring) {
        if (Case().kind == Kind::Tasks) {
            CTask task;
            CTaskEntry entry;
            if (!CTaskSeries::BeginEdit(id, task, entry))
                return false;
            entry.desc = kChangedText;
            entry.priority = kPriorityMedium;
            if (clearRecurring)
                entry.recurring = false;
            return CTaskSeries::Edit(task, entry, nullptr);
        }
        CApptSeries series([&](const char*, ApptSheetValues& values, CRecurItem&) {
            const CDateTime& day = values.startTime;
            values.desc = kChangedText;
            values.startTime = CDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), 10, 0, 0);
            values.endTime = CDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), 10, 30, 0);
            if (clearRecurring)
                values.recurring = false;
            return true;
        });
        return series.Edit(id);
    }

    // The changed contents of a row as the sheet above leaves them.
    std::string ChangedContent() const {
        return Case().kind == Kind::Appointments ? std::string(kChangedText) + "|0|09:00|0|10:00-10:30"
                                                 : std::string(kChangedText) + "|1|";
    }

    // The document every case starts from: the series of the case's rule, a plain row of another
    // text on its third day, and with a split series the third deleted "this one only".
    void MakeSeries() {
        const CRecurItem rule = MakeRule(Rule());
        const std::vector<CDateTime> dates = DatesOf(rule);
        ASSERT_GE(dates.size(), 5u) << Rule().name;
        ASSERT_TRUE(Add(kSeriesText, Rule().start, &rule));
        ASSERT_TRUE(Add(kOtherText, dates[2], nullptr));
        if (Case().shape == Shape::Split) {
            Prompt().AnswerMessageBox(IDNO);
            ASSERT_TRUE(Delete(RowOn(dates[2])));
        }
        Prompt().Clear();
        ASSERT_EQ(Count(Case().kind == Kind::Appointments ? "select count(distinct RecrDtID) from Appt"
                                                          : "select count(distinct RecrDtID) from Task"),
                  Case().shape == Shape::Split ? 3 : 2);
    }

    CString RowOn(const CDateTime& day) const {
        for (const Occurrence& row : ReadOccurrences(Case().kind))
            if (row.day == DayText(day) && row.desc == kSeriesText)
                return CString(row.id.c_str());
        ADD_FAILURE() << "no occurrence on " << DayText(day);
        return CString();
    }

    // The occurrence the case works on, among the series' rows by day. The middle one of the split
    // series is the first of its later part.
    Occurrence Chosen(const std::vector<Occurrence>& before) const {
        std::vector<Occurrence> series;
        for (const Occurrence& row : before)
            if (row.desc == kSeriesText)
                series.push_back(row);
        const size_t index = Case().position == Position::First    ? 0
                             : Case().position == Position::Middle ? series.size() / 2
                                                                   : series.size() - 1;
        return series.at(index);
    }

    // Whether the chosen occurrence's series has later rows: only then is the user asked.
    static bool HasLater(const std::vector<Occurrence>& before, const Occurrence& chosen) {
        return !chosen.rule.empty() && std::any_of(before.begin(), before.end(), [&](const Occurrence& row) {
            return row.rule == chosen.rule && row.day > chosen.day;
        });
    }

    // Runs the case's operation; answer is queued first when a question is due.
    bool Perform(const std::vector<Occurrence>& before) {
        const SeriesCase& c = Case();
        if (c.operation == Operation::Add) {
            const CRecurItem rule = AddedRule();
            return Add(kAddedText, CDateTime(2026, 3, 10), &rule);
        }
        const Occurrence chosen = Chosen(before);
        if (Asks(c.operation) && HasLater(before, chosen))
            Prompt().AnswerMessageBox(c.answer == Answer::ThisAndFuture ? IDYES : IDNO);
        const CString id(chosen.id.c_str());
        switch (c.operation) {
        case Operation::Edit:
            return Edit(id, false);
        case Operation::EditClearingRecurring:
            return Edit(id, true);
        case Operation::Delete:
            return Delete(id);
        case Operation::Complete:
            return CTaskSeries::Complete(id);
        case Operation::Add:
            break;
        }
        return false;
    }

    // What the user chose, applied to the rows before: the texts of day and contents expected after.
    std::vector<std::string> Expected(const std::vector<Occurrence>& before) const {
        const SeriesCase& c = Case();
        std::vector<std::string> expected;
        if (c.operation == Operation::Add) {
            expected = DaysAndContents(before);
            for (const CDateTime& day : DatesOf(AddedRule()))
                expected.push_back(DayText(day) + " " + kAddedText +
                                   (c.kind == Kind::Appointments ? "|0|09:00|0|09:00-09:15" : "|0|"));
            std::sort(expected.begin(), expected.end());
            return expected;
        }
        const Occurrence chosen = Chosen(before);
        const bool future = c.answer == Answer::ThisAndFuture;
        for (const Occurrence& row : before) {
            const bool isChosen = row.id == chosen.id;
            const bool isLater =
                future && !chosen.rule.empty() && row.rule == chosen.rule && row.day > chosen.day;
            std::string content = row.content;
            switch (c.operation) {
            case Operation::Delete:
                if (isChosen || isLater)
                    continue;
                break;
            case Operation::Edit:
                if (isChosen || isLater)
                    content = ChangedContent();
                break;
            case Operation::EditClearingRecurring:
                if (isLater)
                    continue;
                if (isChosen)
                    content = ChangedContent();
                break;
            case Operation::Complete:
                if (isChosen)
                    content = std::string(kSeriesText) + "|3|2026-03-20 00:00:00";
                break;
            case Operation::Add:
                break;
            }
            expected.push_back(row.day + " " + content);
        }
        std::sort(expected.begin(), expected.end());
        return expected;
    }

    // The rules and the rows that name them fit together.
    void ExpectSeriesWhole() {
        const Kind kind = Case().kind;
        const char* const table = kind == Kind::Appointments ? "Appt" : "Task";
        const std::vector<Occurrence> rows = ReadOccurrences(kind);
        std::map<std::string, std::vector<std::string>> daysByRule;
        std::map<std::string, std::set<std::string>> daysByFamily;
        for (const Occurrence& row : rows) {
            if (!row.rule.empty())
                daysByRule[row.rule].push_back(row.day);
            if (row.desc != kOtherText) {
                const std::string family = row.desc == kAddedText ? kAddedText : kSeriesText;
                EXPECT_TRUE(daysByFamily[family].insert(row.day).second)
                    << "two occurrences of the series on " << row.day;
            }
        }
        // Every rule is named by a row, and none is stored twice.
        std::map<std::string, int> storedRules;
        for (SqlQuery query = g_db.ExecQuery("select ID from RecurringDate"); !query.Eof(); query.NextRow())
            ++storedRules[query.GetStringField(0, "")];
        for (const auto& [id, count] : storedRules) {
            EXPECT_EQ(count, 1) << id;
            EXPECT_TRUE(daysByRule.count(id)) << "rule " << id << " is named by no " << table << " row";
        }
        for (auto& [id, days] : daysByRule) {
            ASSERT_TRUE(storedRules.count(id)) << table << " rows name the missing rule " << id;
            CRecurItem rule;
            rule.SetID(id.c_str());
            ASSERT_TRUE(g_doc.GetRecurringDate(rule));
            CDateList dates;
            rule.GetDates(dates);
            std::vector<std::string> generated;
            for (const CDateTime& date : dates)
                generated.emplace_back(date.Format("%Y-%m-%d").c_str());
            std::sort(days.begin(), days.end());
            EXPECT_EQ(generated, days) << "rule " << id << " does not give its rows' dates";
        }
        if (kind == Kind::Appointments) {
            // Every appointment keeps its times on its own day.
            SqlQuery query = g_db.ExecQuery("select DateDue, StartTime, EndTime from Appt");
            for (; !query.Eof(); query.NextRow()) {
                const std::string day = std::string(query.GetStringField(0, "")).substr(0, 10);
                const std::string start = query.GetStringField(1, "");
                const std::string end = query.GetStringField(2, "");
                EXPECT_EQ(start.substr(0, 10), day);
                EXPECT_EQ(end.substr(0, 10), day);
                EXPECT_LT(TimeOf(start.c_str()), TimeOf(end.c_str()));
            }
        }
        EXPECT_TRUE(InAutocommit());
    }

    // Closes the document and keeps a copy of it as it is now; the path of the copy.
    std::string KeepOriginal() {
        g_db.Close();
        const std::string original = m_dir.File("original.pgr");
        fs::copy_file(g_dbPath.c_str(), original, fs::copy_options::overwrite_existing);
        return original;
    }

    // A fresh copy of the document as it was before the operation, opened.
    std::string OpenCopy(const std::string& original, const std::string& name) {
        g_db.Close();
        const std::string copy = m_dir.File(name + ".pgr");
        fs::copy_file(original, copy, fs::copy_options::overwrite_existing);
        SetPasswordBuffer(g_typedPassword, "");
        EXPECT_TRUE(g_doc.OnOpenDocument(copy.c_str()));
        return copy;
    }

    // The names of the write steps the operation takes on a copy of the document.
    std::vector<std::string> StepsOf(const std::string& original, const std::vector<Occurrence>& before) {
        OpenCopy(original, "steps");
        const FileStepFault recorder;
        EXPECT_TRUE(Perform(before));
        Prompt().Clear();
        return recorder.Steps();
    }

    MemoryRegistry registry;
};

TEST_P(SeriesInvariantTest, ChangesExactlyWhatTheUserChose) {
    MakeSeries();
    if (HasFatalFailure())
        return;
    const std::vector<Occurrence> before = ReadOccurrences(Case().kind);
    const bool asked =
        Asks(Case().operation) && ChoosesAnOccurrence(Case().operation) && HasLater(before, Chosen(before));
    ASSERT_TRUE(Perform(before));
    EXPECT_EQ(DaysAndContents(ReadOccurrences(Case().kind)), Expected(before));
    ExpectSeriesWhole();
    EXPECT_EQ(Prompt().MessageBoxes().size(), asked ? 1u : 0u);
    EXPECT_EQ(Prompt().UnexpectedCalls(), 0);
    EXPECT_EQ(Prompt().PendingAnswers(), 0);
}

// Each write step of the operation fails in turn: nothing of the change is kept, the document's error
// is shown once, and the operation does not report success.
// The fault cases run on the daily rule: what they check (the steps of the writes) does not depend on
// the kind of rule.
class SeriesFaultTest : public SeriesInvariantTest {};

TEST_P(SeriesFaultTest, AFailedWriteAtAnyStepKeepsTheDocumentAsBefore) {
    MakeSeries();
    if (HasFatalFailure())
        return;
    const std::vector<Occurrence> before = ReadOccurrences(Case().kind);
    const std::string dump = Dump();
    const std::string original = KeepOriginal();
    const std::vector<std::string> steps = StepsOf(original, before);
    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(steps.front(), "begin series");
    EXPECT_EQ(steps.back(), "commit series");
    for (size_t at = 0; at < steps.size(); ++at) {
        SCOPED_TRACE("step " + std::to_string(at + 1) + " " + steps[at]);
        OpenCopy(original, "fail" + std::to_string(at));
        {
            const FileStepFault fault(FileStepFault::Action::Fail, at);
            EXPECT_FALSE(Perform(before));
        }
        EXPECT_EQ(Dump(), dump);
        ExpectSeriesWhole();
        std::vector<ScriptedPrompt::Call> errors;
        for (const ScriptedPrompt::Call& box : Prompt().MessageBoxes()) {
            if (box.flags & MB_ICONERROR)
                errors.push_back(box);
            else
                EXPECT_FALSE(box.unexpected) << box.text.c_str();
        }
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].text, CString("SQLITE_IOERR[10]: disk I/O error"));
        EXPECT_EQ(std::string(errors[0].caption.c_str()).rfind("Error ", 0), 0u) << errors[0].caption.c_str();
        EXPECT_EQ(Prompt().PendingAnswers(), 0);
        Prompt().Clear();
    }
}

// A child process makes the change and is killed before each of its write steps: the document opens
// exactly as before. Let run to the end, it holds exactly what the user chose.
TEST_P(SeriesFaultTest, KilledAtAnyStepTheDocumentIsAsBeforeOrAsChosen) {
    MakeSeries();
    if (HasFatalFailure())
        return;
    const std::vector<Occurrence> before = ReadOccurrences(Case().kind);
    const std::string dump = Dump();
    const std::string original = KeepOriginal();
    const size_t steps = StepsOf(original, before).size();
    for (size_t at = 0; at <= steps; ++at) {
        SCOPED_TRACE("killed at step " + std::to_string(at + 1) + " of " + std::to_string(steps));
        const std::string copy = OpenCopy(original, "kill" + std::to_string(at));
        g_db.Close();
        const pid_t child = fork();
        if (child == 0) {
            // Nothing of the test framework runs here: the child ends by the kill or by _exit.
            SetPasswordBuffer(g_typedPassword, "");
            if (!g_doc.OnOpenDocument(copy.c_str()))
                _exit(2);
            KillAtFileStep(at);
            _exit(Perform(before) ? 0 : 3);
        }
        int status = 0;
        waitpid(child, &status, 0);
        SetPasswordBuffer(g_typedPassword, "");
        ASSERT_TRUE(g_doc.OnOpenDocument(copy.c_str()));
        if (at < steps) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
            EXPECT_EQ(Dump(), dump);
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
            EXPECT_EQ(DaysAndContents(ReadOccurrences(Case().kind)), Expected(before));
        }
        ExpectSeriesWhole();
    }
}

std::string CaseName(const testing::TestParamInfo<SeriesCase>& testCase) {
    return Name(testCase.param);
}

INSTANTIATE_TEST_SUITE_P(Cases, SeriesInvariantTest, testing::ValuesIn(Cases(true)), CaseName);
INSTANTIATE_TEST_SUITE_P(Cases, SeriesFaultTest, testing::ValuesIn(Cases(false)), CaseName);

// The invariant at its root: a rule fitted to any run of its own dates (as every split, cut and
// rebuild of a series stores it) gives exactly that run, for every kind of rule, ending after a count
// and by a date.
TEST(FittedRule, GivesExactlyEveryRunOfItsDates) {
    MemoryRegistry registry;
    registry.WriteString("Control Panel\\International", "sShortDate", "MM/dd/yyyy");
    SetRegistry(&registry);
    for (const RuleKind& kind : Rules()) {
        const CRecurItem rule = MakeRule(kind);
        const std::vector<CDateTime> dates = DatesOf(rule);
        ASSERT_GE(dates.size(), 5u) << kind.name;
        for (bool byDate : {false, true}) {
            CRecurItem ending = rule;
            if (byDate)
                ending.SetEndByDate();
            else
                ending.SetEndAfterOccurences();
            for (size_t first = 0; first < dates.size(); ++first)
                for (size_t last = first; last < dates.size(); ++last) {
                    CRecurItem fitted = ending;
                    FitRule(fitted, dates[first], dates[last], static_cast<int>(last - first + 1));
                    const std::vector<CDateTime> run(dates.begin() + first, dates.begin() + last + 1);
                    std::vector<std::string> want, got;
                    for (const CDateTime& date : run)
                        want.push_back(DayText(date));
                    for (const CDateTime& date : DatesOf(fitted))
                        got.push_back(DayText(date));
                    EXPECT_EQ(got, want)
                        << kind.name << (byDate ? " by date" : " by count") << ", dates " << first + 1
                        << " to " << last + 1 << ": starts " << fitted.GetStartDate().c_str() << ", ends "
                        << (byDate ? fitted.GetEndDate().c_str() : "after count");
                }
        }
    }
    SetRegistry(nullptr);
}

class SeriesOnAFullDisk : public RecordsDocument {};

// The document may not grow beyond a few pages: a long series does not fit. Nothing of it is stored,
// the full disk is shown once, and the add reports no success.
TEST_F(SeriesOnAFullDisk, StoresNothingAndSaysSo) {
    CRecurItem rule;
    rule.SetDaily();
    rule.SetEveryXDays();
    rule.SetEveryXDayCount(1);
    rule.SetStartDate(FormatRuleDate(CDateTime(2026, 3, 2)).c_str());
    rule.SetEndAfterOccurences();
    rule.SetEndOccurences(2000);
    const char* const text = "A long series with a text long enough to fill the pages quickly";
    const int pages = g_db.ExecScalar("PRAGMA main.page_count");
    SqlBuffer sql;
    g_db.ExecDml(sql.Format("PRAGMA main.max_page_count = %d", pages + 8));
    for (Kind kind : {Kind::Appointments, Kind::Tasks}) {
        SCOPED_TRACE(kind == Kind::Appointments ? "appointments" : "tasks");
        bool stored = true;
        if (kind == Kind::Appointments) {
            CApptSeries series([&](const char*, ApptSheetValues& values, CRecurItem& sheetRule) {
                values.desc = text;
                values.recurring = true;
                sheetRule = rule;
                return true;
            });
            stored = series.Add(CDateTime(2026, 3, 2), 9, 0);
        } else {
            CTaskEntry entry = CTaskSeries::ForAdd(CDateTime(2026, 3, 2));
            entry.desc = text;
            entry.recurring = true;
            entry.rule = rule;
            stored = CTaskSeries::Add(entry);
        }
        EXPECT_FALSE(stored);
        EXPECT_EQ(Count("select count(*) from Appt"), 0);
        EXPECT_EQ(Count("select count(*) from Task"), 0);
        EXPECT_EQ(Count("select count(*) from RecurringDate"), 0);
        EXPECT_TRUE(InAutocommit());
        const std::vector<ScriptedPrompt::Call> boxes = Prompt().MessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption,
                  CString(kind == Kind::Appointments ? "Error Adding Appointment" : "Error Adding Task"));
        EXPECT_EQ(boxes[0].text, CString("SQLITE_FULL[13]: database or disk is full"));
        Prompt().Clear();
    }
}

// Edits and deletes of rows naming a rule that cannot be read, and edits that move the sheet's date,
// for appointments and tasks, through the commands under test.
class SeriesEditTest : public RecordsDocument {
protected:
    void SetUp() override {
        registry.WriteString("Control Panel\\International", "sShortDate", "MM/dd/yyyy");
        SetRegistry(&registry);
        RecordsDocument::SetUp();
        FixToday(2026, 3, 20);
    }
    void TearDown() override {
        RecordsDocument::TearDown();
        SetRegistry(nullptr);
    }

    void Clear() {
        g_db.ExecDml("delete from Appt");
        g_db.ExecDml("delete from Task");
        g_db.ExecDml("delete from RecurringDate");
        Prompt().Clear();
    }

    // One stored row on the day naming the rule ID (which may name no stored rule).
    static void InsertRow(Kind kind, const CDateTime& day, const char* ruleId) {
        CString id;
        NewGuidString(id);
        if (kind == Kind::Appointments) {
            CAppt appt;
            appt.m_ID = id;
            appt.m_Desc = kSeriesText;
            appt.m_DateDue = day;
            appt.m_StartTime = CDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), 9, 0, 0);
            appt.m_EndTime = CDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), 9, 30, 0);
            appt.m_AlarmTime = appt.m_StartTime;
            appt.m_RecrDtID = ruleId;
            ASSERT_TRUE(g_doc.InsertAppt(appt));
        } else {
            CTask task;
            task.m_ID = id;
            task.m_Desc = kSeriesText;
            task.m_DateDue = day;
            task.m_Priority = kPriorityLow;
            task.m_RecrDtID = ruleId;
            ASSERT_TRUE(g_doc.InsertTask(task));
        }
    }

    static void AddSeries(Kind kind, const CRecurItem& rule) {
        if (kind == Kind::Appointments) {
            CApptSeries series([&](const char*, ApptSheetValues& values, CRecurItem& sheetRule) {
                values.desc = kSeriesText;
                values.recurring = true;
                sheetRule = rule;
                return true;
            });
            ASSERT_TRUE(series.Add(CDateTime(2026, 3, 2), 9, 0));
        } else {
            CTaskEntry entry = CTaskSeries::ForAdd(CDateTime(2026, 3, 2));
            entry.desc = kSeriesText;
            entry.recurring = true;
            entry.rule = rule;
            ASSERT_TRUE(CTaskSeries::Add(entry));
        }
    }

    // What the sheet showed when it opened.
    struct Shown {
        bool recurring = false;
        CString ruleStart;
    };

    // The sheet's change: the text becomes kChangedText; the date moves when movedTo is set (the
    // first page writes it as the rule's start); "Recurring" is cleared when asked.
    static bool Edit(Kind kind, const CString& id, const CDateTime& movedTo, bool clearRecurring,
                     Shown& shown) {
        if (kind == Kind::Tasks) {
            CTask task;
            CTaskEntry entry;
            if (!CTaskSeries::BeginEdit(id, task, entry))
                return false;
            shown = {entry.recurring, entry.rule.GetStartDate()};
            entry.desc = kChangedText;
            if (movedTo.IsValid()) {
                entry.dateDue = movedTo;
                entry.rule.SetStartDate(FormatRuleDate(movedTo).c_str());
            }
            if (clearRecurring)
                entry.recurring = false;
            return CTaskSeries::Edit(task, entry, nullptr);
        }
        CApptSeries series([&](const char*, ApptSheetValues& values, CRecurItem& rule) {
            shown = {values.recurring, rule.GetStartDate()};
            values.desc = kChangedText;
            if (movedTo.IsValid()) {
                values.dateDue = movedTo;
                rule.SetStartDate(FormatRuleDate(movedTo).c_str());
            }
            if (clearRecurring)
                values.recurring = false;
            return true;
        });
        return series.Edit(id);
    }

    static CString IdOn(Kind kind, const CDateTime& day) {
        for (const Occurrence& row : ReadOccurrences(kind))
            if (row.day == DayText(day))
                return CString(row.id.c_str());
        ADD_FAILURE() << "no row on " << DayText(day);
        return CString();
    }

    // Every row as "day text rule" with the rule written as "-" (none), "lost" or "rule N" by the
    // order in which the rules first appear.
    static std::vector<std::string> Rows(Kind kind) {
        std::vector<std::string> rows;
        std::map<std::string, int> rules;
        for (const Occurrence& row : ReadOccurrences(kind)) {
            std::string rule = row.rule.empty() ? "-" : row.rule;
            if (rule != "-" && rule != "lost") {
                rules.emplace(rule, static_cast<int>(rules.size()) + 1);
                rule = "rule " + std::to_string(rules[rule]);
            }
            rows.push_back(row.day + " " + row.desc + " " + rule);
        }
        return rows;
    }

    MemoryRegistry registry;
};

// Rows whose rule was lost count as plain rows: an edit, a delete or a completion changes the chosen
// row alone, whatever would have been answered, and the sheet shows no rule starting today.
TEST_F(SeriesEditTest, RowsNamingALostRuleAreChangedOneByOne) {
    enum class Command { Edit, Delete, Complete };
    struct OrphanCase {
        Command command;
        int day; // of January 2030; the rows are on the 2nd to the 6th
        int answer;
    };
    std::vector<OrphanCase> cases;
    for (Command command : {Command::Edit, Command::Delete, Command::Complete})
        for (int day : {2, 3, 6})
            for (int answer : {IDYES, IDNO})
                cases.push_back({command, day, answer});
    for (Kind kind : {Kind::Appointments, Kind::Tasks})
        for (const OrphanCase& c : cases) {
            if (kind == Kind::Appointments && c.command == Command::Complete)
                continue;
            SCOPED_TRACE(std::string(kind == Kind::Appointments ? "appointments" : "tasks") + " command " +
                         std::to_string(int(c.command)) + " on January " + std::to_string(c.day) +
                         (c.answer == IDYES ? " answered Yes" : " answered No"));
            Clear();
            for (int day = 2; day <= 6; ++day)
                InsertRow(kind, CDateTime(2030, 1, day), "lost");
            const CDateTime chosenDay(2030, 1, c.day);
            const CString id = IdOn(kind, chosenDay);
            std::vector<std::string> expected;
            for (int day = 2; day <= 6; ++day) {
                const std::string text = DayText(CDateTime(2030, 1, day));
                if (day != c.day)
                    expected.push_back(text + " " + kSeriesText + " lost");
                else if (c.command == Command::Edit)
                    expected.push_back(text + " " + kChangedText + " -");
                else if (c.command == Command::Complete)
                    expected.push_back(text + " " + kSeriesText + " lost");
            }
            // Should a question come, it is answered; none must come.
            Prompt().AnswerMessageBox(c.answer);
            if (c.command == Command::Edit) {
                Shown shown;
                ASSERT_TRUE(Edit(kind, id, kNoEndDate, false, shown));
                EXPECT_FALSE(shown.recurring);
                EXPECT_EQ(shown.ruleStart, FormatRuleDate(chosenDay));
            } else if (c.command == Command::Delete) {
                if (kind == Kind::Tasks) {
                    ASSERT_TRUE(CTaskSeries::Delete(id));
                } else {
                    CApptSeries series([](const char*, ApptSheetValues&, CRecurItem&) { return false; });
                    ASSERT_TRUE(series.Delete(id));
                }
            } else {
                ASSERT_TRUE(CTaskSeries::Complete(id));
                EXPECT_EQ(Count("select count(*) from Task where Priority = 3"), 1);
            }
            EXPECT_EQ(Rows(kind), expected);
            EXPECT_EQ(Prompt().PendingAnswers(), 1) << "a question was asked";
            EXPECT_EQ(Count("select count(*) from RecurringDate"), 0);
        }
}

// A date moved on the sheet is where the chosen occurrence goes whenever it becomes a plain row:
// "this one only", "Recurring" cleared (at the last occurrence, or with Yes to deleting the later
// ones), or a changed rule that gives no date from the occurrence's day on. A changed rule with
// dates gives them from the moved date.
TEST_F(SeriesEditTest, ADateMovedOnTheSheetIsKept) {
    struct MoveCase {
        const char* name;
        int chosen; // the occurrence's day of March 2026; the series runs from the 2nd to the 7th
        int answer; // 0: no question comes
        bool clearRecurring;
        int movedTo; // of March 2026
        std::vector<std::string> expected;
    };
    const auto day = [](int d, const char* text, const char* rule) {
        return DayText(CDateTime(2026, 3, d)) + " " + text + " " + rule;
    };
    const std::vector<MoveCase> cases = {
        {"LastClearingRecurring",
         7,
         0,
         true,
         20,
         {day(2, kSeriesText, "rule 1"), day(3, kSeriesText, "rule 1"), day(4, kSeriesText, "rule 1"),
          day(5, kSeriesText, "rule 1"), day(6, kSeriesText, "rule 1"), day(20, kChangedText, "-")}},
        {"MiddleClearingRecurringYes",
         4,
         IDYES,
         true,
         20,
         {day(2, kSeriesText, "rule 1"), day(3, kSeriesText, "rule 1"), day(20, kChangedText, "-")}},
        {"MiddleClearingRecurringNo",
         4,
         IDNO,
         true,
         20,
         {day(2, kSeriesText, "rule 1"), day(3, kSeriesText, "rule 1"), day(5, kSeriesText, "rule 2"),
          day(6, kSeriesText, "rule 2"), day(7, kSeriesText, "rule 2"), day(20, kChangedText, "-")}},
        {"MiddleThisOneOnly",
         4,
         IDNO,
         false,
         20,
         {day(2, kSeriesText, "rule 1"), day(3, kSeriesText, "rule 1"), day(5, kSeriesText, "rule 2"),
          day(6, kSeriesText, "rule 2"), day(7, kSeriesText, "rule 2"), day(20, kChangedText, "-")}},
        {"MiddleThisAndFutureLater",
         4,
         IDYES,
         false,
         20,
         {day(2, kSeriesText, "rule 1"), day(3, kSeriesText, "rule 1"), day(20, kChangedText, "rule 2"),
          day(21, kChangedText, "rule 2"), day(22, kChangedText, "rule 2"), day(23, kChangedText, "rule 2"),
          day(24, kChangedText, "rule 2"), day(25, kChangedText, "rule 2")}},
        {"LastMovedBeforeTheSeries",
         7,
         0,
         false,
         1,
         {day(1, kChangedText, "-"), day(2, kSeriesText, "rule 1"), day(3, kSeriesText, "rule 1"),
          day(4, kSeriesText, "rule 1"), day(5, kSeriesText, "rule 1"), day(6, kSeriesText, "rule 1")}},
    };
    for (Kind kind : {Kind::Appointments, Kind::Tasks})
        for (const MoveCase& c : cases) {
            SCOPED_TRACE(std::string(kind == Kind::Appointments ? "appointments " : "tasks ") + c.name);
            Clear();
            AddSeries(kind, MakeRule(Rules().front()));
            if (c.answer)
                Prompt().AnswerMessageBox(c.answer);
            Shown shown;
            ASSERT_TRUE(Edit(kind, IdOn(kind, CDateTime(2026, 3, c.chosen)), CDateTime(2026, 3, c.movedTo),
                             c.clearRecurring, shown));
            EXPECT_TRUE(shown.recurring);
            EXPECT_EQ(Rows(kind), c.expected);
            EXPECT_EQ(Prompt().PendingAnswers(), 0);
            EXPECT_EQ(Prompt().UnexpectedCalls(), 0);
        }
}

} // namespace

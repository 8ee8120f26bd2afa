#include "convert/Conversion.h"

#include "convert/TextEncoding.h"

#include "data/DateTime.h"
#include "data/IdMaker.h"
#include "data/Schema.h"
#include "data/SqlBuffer.h"
#include "data/SqlDb.h"
#include "data/SqlException.h"
#include "data/SqlStatement.h"
#include "platform/core/FileOps.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <system_error>

namespace {

constexpr const char* kInsertGroup = "insert into PhGroup(ID, Desc) values('%s', %Q)";
constexpr const char* kInsertPerson = "insert into \t\t\t\t\t\t\t\t\t"
                                      "Person(ID, FName, LName, Company, Position, \t\t\t\t\t\t\t\t\t"
                                      "Addr1, Addr2, City, State, Zip, \t\t\t\t\t\t\t\t\t"
                                      "HmPhone, WkPhone, WkExt, WkFax, \t\t\t\t\t\t\t\t\t"
                                      "CelPhone, Pager, Email, WebPage, Notes) \t\t\t\t\t\t\t\t\t"
                                      "values(?, ?, ?, ?, ?, ?, ?, ?, ?, \t\t\t\t\t\t\t\t\t"
                                      "?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
constexpr const char* kInsertMembership = "insert into PersonPhGroup(PersonId, PhGroupID) values('%s', '%s')";
constexpr const char* kInsertTask = "insert into \t\t\t\t\t\t\t\t\t"
                                    "Task(ID, DateDone, DateDue, Priority, RecrDtID, Desc) \t\t\t\t\t\t\t\t\t"
                                    "values(?, ?, ?, ?, ?, ?)";
constexpr const char* kInsertAppt = "insert into \t\t\t\t\t\t\t\t\t"
                                    "Appt(ID, Alarm, AlarmTime, Done, DateDue, \t\t\t\t\t\t\t\t\t"
                                    "StartTime, EndTime, RecrDtID, Desc) \t\t\t\t\t\t\t\t\t"
                                    "values(?, ?, ?, ?, ?, ?, ?, ?, ?)";
constexpr const char* kInsertRule =
    "insert into \t\t\t\t\t\t\t\t\t\t"
    "RecurringDate(ID, BasicMethod, StartTime, EndTime, \t\t\t\t\t\t\t\t\t\t"
    "EndMethod, StartDate, EndDate, EndOccurences, \t\t\t\t\t\t\t\t\t\t"
    "DailyMethod, EveryXDayCount, EveryWeekCount, \t\t\t\t\t\t\t\t\t\t"
    "WeeklySunday, WeeklyMonday, WeeklyTuesday, WeeklyWednesday, \t\t\t\t\t\t\t\t\t\t"
    "WeeklyThursday, WeeklyFriday, WeeklySaturday, \t\t\t\t\t\t\t\t\t\t"
    "MonthlyMethod, MonthlyCount1, MonthlyCount2, MonthlyTheOption, \t\t\t\t\t\t\t\t\t\t"
    "MonthlyDayOption, MonthlyCount3, MonthlyTheOption1, \t\t\t\t\t\t\t\t\t\t"
    "MonthlyDayOption1, MonthlyCount4, MonthlyMathOp, MonthlyMathDays, \t\t\t\t\t\t\t\t\t\t"
    "YearlyMethod, YearlyMonth1, YearlyMonthDay, \t\t\t\t\t\t\t\t\t\t"
    "YearlyTheOption, YearlyDayOption, YearlyMonth2) \t\t\t\t\t\t\t\t\t\t"
    "values(?, ?, ?, ?, ?, ?, ?, ?, \t\t\t\t\t\t\t\t\t\t"
    "?, ?, ?, ?, ?, ?, ?, ?, ?, \t\t\t\t\t\t\t\t\t\t"
    "?, ?, ?, ?, ?, ?, ?, ?, ?, \t\t\t\t\t\t\t\t\t\t"
    "?, ?, ?, ?, ?, ?, ?, ?, ?)";

constexpr const char* kDbDatePattern = "%Y-%m-%d %H:%M:%S";

CString DbDate(const CDateTime& date) {
    return date.IsValid() ? date.Format(kDbDatePattern) : CString();
}

// A rule's date or time text as the database holds it: parsed, then written as a date-time.
CString DbDateFromText(const CString& text) {
    CDateTime date;
    date.ParseDateTime(text);
    return DbDate(date);
}

// Removes a database file together with the rollback journal a failed transaction may leave.
void DeleteDatabaseFile(const CString& path) {
    DeleteFileA(path);
    DeleteFileA(path + "-journal");
}

// Why the data file gave no text: it is missing, it is a folder, or it could not be read.
CString UnreadableFileMessage(const CString& path) {
    CString message;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path.c_str(), error);
    if (status.type() == std::filesystem::file_type::not_found)
        message.Format("The data file %s does not exist.", path.c_str());
    else if (status.type() == std::filesystem::file_type::directory)
        message.Format("%s is a folder, not a data file.", path.c_str());
    else
        message.Format("The data file %s could not be read.", path.c_str());
    return message;
}

// Runs the steps on a fresh connection to the path. On an SqlException: rollback and close when
// open, delete the file, tell the user; false.
bool RunSchemaStep(const char* path, const std::function<void(SqlDb&)>& steps) {
    WaitCursor wait;
    SqlDb db;
    try {
        db.Open(path);
        steps(db);
        db.Close();
        return true;
    } catch (const SqlException& error) {
        if (db.IsOpen()) {
            try {
                db.ExecDml("rollback");
            } catch (const SqlException&) {
            }
            db.Close();
        }
        DeleteDatabaseFile(path);
        MessageBoxA(nullptr, error.errorMessage(), "Error Creating Database", MB_ICONERROR);
        return false;
    }
}

} // namespace

bool CConversion::CreateTables(const char* path) {
    return RunSchemaStep(path, [](SqlDb& db) {
        db.ExecDml("BEGIN TRANSACTION");
        for (const Schema::Statement& statement : Schema::CreateStatements()) {
            if (statement.kind == Schema::StatementKind::Table ||
                statement.kind == Schema::StatementKind::Row)
                db.ExecDml(statement.sql);
        }
        SqlBuffer sql;
        db.ExecDml(sql.Format(Schema::kInsertGlobals, kConvertedVersion));
        db.ExecDml("commit");
    });
}

bool CConversion::CreateIndexes(const char* path) {
    return RunSchemaStep(path, [](SqlDb& db) {
        db.ExecDml("begin");
        for (const Schema::Statement& statement : Schema::CreateStatements()) {
            if (statement.kind == Schema::StatementKind::Index)
                db.ExecDml(statement.sql);
        }
        db.ExecDml("COMMIT");
    });
}

bool CConversion::CreateTriggers(const char* path) {
    return RunSchemaStep(path, [](SqlDb& db) {
        db.ExecDml("begin");
        for (const char* table : {"User", "Person", "Appt", "Task"}) {
            for (const CString& trigger : Schema::TriggerStatements(table))
                db.ExecDml(trigger);
        }
        db.ExecDml("COMMIT");
    });
}

void CConversion::StartPhase(const char* status, size_t count) {
    Status(status);
    m_view.SetProgressRange(static_cast<int>(std::min<size_t>(count, kProgressLimit)));
}

void CConversion::Step(size_t index) {
    m_view.SetProgressPos(static_cast<int>(std::min<size_t>(index, kProgressLimit)));
}

bool CConversion::Run(const CString& path) {
    WaitCursor wait;
    const CString newPath = path + ".new";
    const CString backupPath = path + ".ver1";

    m_groupIds.clear();
    m_personIds.clear();
    m_ruleIds.clear();
    m_appointmentIds.clear();
    m_taskIds.clear();
    m_document = std::make_unique<PimDocument>();
    m_view.ShowStatus(true);
    Status("Loading Predefined Address Book Groups");
    m_standardGroups[0] = "";
    m_standardGroups[1] = Schema::kGroupAllId;
    m_standardGroups[2] = Schema::kGroupWhitePagesId;
    m_standardGroups[3] = Schema::kGroupYellowPagesId;

    Status("Reading In Data File");
    size_t length = 0;
    std::unique_ptr<char[]> text = PimDocument::ReadDataFile(path, &length);
    if (!text) {
        // The status line keeps naming the step that stopped; nothing has been written.
        m_document.reset();
        MessageBoxA(m_view.Owner(), UnreadableFileMessage(path), "Error Converting Database", MB_ICONERROR);
        return false;
    }
    const bool loaded = m_document->Load(text.get(), length);
    text.reset();
    if (!loaded) {
        m_document.reset();
        return false;
    }

    m_view.ShowProgress(true);
    if (!MapIds()) {
        m_document.reset();
        return false;
    }

    Status("Creating New Database");
    if (!CreateTables(newPath)) {
        m_document.reset();
        return false;
    }
    if (!CopyRecords(newPath)) {
        m_document.reset();
        DeleteDatabaseFile(newPath);
        return false;
    }
    if (!CreateIndexes(newPath) || !CreateTriggers(newPath)) {
        m_document.reset();
        return false;
    }
    m_document.reset();

    if (!ReplaceFileA(path, newPath, backupPath, REPLACEFILE_WRITE_THROUGH)) {
        // Every file still holds its own data: the original under its name, the converted one as ".new".
        CString message;
        message.Format("The database was converted, but the original file could not be replaced."
                       " \nOriginal Database Name: %s \nConverted Database Name: %s",
                       path.c_str(), newPath.c_str());
        MessageBoxA(m_view.Owner(), message, "Error Converting Database", MB_ICONERROR);
        return false;
    }

    m_view.ShowStatus(false);
    m_view.ShowProgress(false);
    CString message;
    message.Format("Database successfully converted!\" \nNew Database Name: %s \nOriginal Database Name: %s",
                   path.c_str(), backupPath.c_str());
    MessageBoxA(m_view.Owner(), message, "Conversion Succeeded", MB_ICONEXCLAMATION);

    m_groupIds.clear();
    m_personIds.clear();
    m_ruleIds.clear();
    m_appointmentIds.clear();
    m_taskIds.clear();
    return true;
}

// Gives every record a new ID; groups 1 to 3 take the standard groups' IDs.
bool CConversion::MapIds() {
    bool made = true;
    auto newId = [&made]() {
        CString id;
        made = made && NewGuidString(id);
        return id;
    };
    auto mapAll = [&](const char* status, const auto& records, IdMap& ids) {
        StartPhase(status, records.size());
        size_t index = 0;
        for (const auto& [id, record] : records) {
            Step(index++);
            ids[id] = newId();
        }
    };

    StartPhase("Mapping Address Book Groups", m_document->PhGroups.size());
    size_t index = 0;
    for (const auto& [id, group] : m_document->PhGroups) {
        Step(index++);
        m_groupIds[id] = (id >= 1 && id <= 3) ? CString(m_standardGroups[id]) : newId();
    }
    mapAll("Mapping Address Book", m_document->Persons, m_personIds);
    mapAll("Mapping Recurring Dates", m_document->RecurringDates, m_ruleIds);
    mapAll("Mapping Appointments", m_document->Appointments, m_appointmentIds);
    mapAll("Mapping Tasks", m_document->Tasks, m_taskIds);
    if (!made)
        MessageBoxA(m_view.Owner(), "No new record ID could be made.", "Error Converting Database",
                    MB_ICONERROR);
    return made;
}

// The new ID of a group a person belongs to; the standard groups exist in every new database even
// when the file lists no group of that ID. Empty for a group the file does not hold.
CString CConversion::GroupId(int id) const {
    auto found = m_groupIds.find(id);
    if (found != m_groupIds.end())
        return found->second;
    return (id >= 1 && id <= 3) ? CString(m_standardGroups[id]) : CString();
}

// RecrDtID of a task or appointment: empty without a rule or when the file holds no such rule.
CString CConversion::RuleId(int recurringId) const {
    if (recurringId < 1)
        return CString();
    auto found = m_ruleIds.find(recurringId);
    return found == m_ruleIds.end() ? CString() : found->second;
}

bool CConversion::CopyRecords(const CString& newPath) {
    SqlDb db;
    try {
        db.Open(newPath);
        db.ExecDml("PRAGMA synchronous=OFF");
        db.ExecDml("begin exclusive");
        SqlBuffer sql;

        StartPhase("Importing Address Book Groups", m_document->PhGroups.size());
        size_t index = 0;
        for (const auto& [id, group] : m_document->PhGroups) {
            Step(index++);
            // Groups 1 to 3 are the standard groups every new database holds; any other group,
            // an ID below 1 included, is written so that its members' rows name a group that exists.
            if (id < 1 || id > 3)
                db.ExecDml(
                    sql.Format(kInsertGroup, m_groupIds.at(id).c_str(), ToUtf8Text(group.Desc).c_str()));
        }

        SqlStatement person = db.CompileStatement(kInsertPerson);
        StartPhase("Importing Address Book Entries", m_document->Persons.size());
        index = 0;
        for (const auto& [id, record] : m_document->Persons) {
            Step(index++);
            const CString& personId = m_personIds.at(id);
            const CString* texts[] = {&personId,        &record.FName,   &record.LName,    &record.Company,
                                      &record.Position, &record.Addr1,   &record.Addr2,    &record.City,
                                      &record.State,    &record.Zip,     &record.HmPhone,  &record.WkPhone,
                                      &record.WkExt,    &record.Fax,     &record.CelPhone, &record.Pager,
                                      &record.EMail,    &record.WebPage, &record.Notes};
            int param = 1;
            for (const CString* value : texts)
                person.BindText(param++, ToUtf8Text(*value));
            person.ExecDml();
            person.Reset();
            for (int groupId : record.Groups) {
                const CString group = GroupId(groupId);
                if (!group.IsEmpty())
                    db.ExecDml(sql.Format(kInsertMembership, personId.c_str(), group.c_str()));
            }
        }
        person.Finalize();

        SqlStatement rule = db.CompileStatement(kInsertRule);
        StartPhase("Importing Recurring Dates", m_document->RecurringDates.size());
        index = 0;
        for (const auto& [id, record] : m_document->RecurringDates) {
            Step(index++);
            rule.BindText(1, m_ruleIds.at(id));
            rule.BindInt(2, record.GetBasicMethod());
            rule.BindText(3, DbDateFromText(record.GetStartTime()));
            rule.BindText(4, DbDateFromText(record.GetEndTime()));
            rule.BindInt(5, record.GetEndMethod());
            rule.BindText(6, DbDateFromText(record.GetStartDate()));
            rule.BindText(7, DbDateFromText(record.GetEndDate()));
            const int numbers[] = {
                record.GetEndOccurences(),     record.GetDailyMethod(),     record.GetEveryXDayCount(),
                record.GetEveryWeekCount(),    record.GetWeeklySunday(),    record.GetWeeklyMonday(),
                record.GetWeeklyTuesday(),     record.GetWeeklyWednesday(), record.GetWeeklyThursday(),
                record.GetWeeklyFriday(),      record.GetWeeklySaturday(),  record.GetMonthlyMethod(),
                record.GetMonthlyCount1(),     record.GetMonthlyCount2(),   record.GetMonthlyTheOption(),
                record.GetMonthlyDayOption(),  record.GetMonthlyCount3(),   record.GetMonthlyTheOption1(),
                record.GetMonthlyDayOption1(), record.GetMonthlyCount4(),   record.GetMonthlyMathOp(),
                record.GetMonthlyMathDays(),   record.GetYearlyMethod(),    record.GetYearlyMonth1(),
                record.GetYearlyMonthDay(),    record.GetYearlyTheOption(), record.GetYearlyDayOption(),
                record.GetYearlyMonth2()};
            int param = 8;
            for (int value : numbers)
                rule.BindInt(param++, value);
            rule.ExecDml();
            rule.Reset();
        }
        rule.Finalize();

        SqlStatement task = db.CompileStatement(kInsertTask);
        StartPhase("Importing Tasks", m_document->Tasks.size());
        index = 0;
        for (const auto& [id, record] : m_document->Tasks) {
            Step(index++);
            task.BindText(1, m_taskIds.at(id));
            task.BindText(2, DbDate(record.DoneDate));
            task.BindText(3, DbDate(record.DueDate));
            task.BindInt(4, record.Priority);
            task.BindText(5, RuleId(record.RecurringID));
            task.BindText(6, ToUtf8Text(record.Description));
            task.ExecDml();
            task.Reset();
        }
        task.Finalize();

        SqlStatement appt = db.CompileStatement(kInsertAppt);
        StartPhase("Importing Appointments", m_document->Appointments.size());
        index = 0;
        for (const auto& [id, record] : m_document->Appointments) {
            Step(index++);
            appt.BindText(1, m_appointmentIds.at(id));
            appt.BindInt(2, record.Alarm ? 1 : 0);
            appt.BindText(3, DbDate(record.AlarmTime));
            appt.BindInt(4, record.Done ? 1 : 0);
            appt.BindText(5, DbDate(record.DueDate));
            appt.BindText(6, DbDate(record.StartTime));
            appt.BindText(7, DbDate(record.EndTime));
            appt.BindText(8, RuleId(record.RecurringID));
            appt.BindText(9, ToUtf8Text(record.Description));
            appt.ExecDml();
            appt.Reset();
        }
        appt.Finalize();

        db.ExecDml("commit");
        db.Close();
        return true;
    } catch (const SqlException& error) {
        MessageBoxA(m_view.Owner(), error.errorMessage(), "Error Converting Database", MB_ICONERROR);
        if (db.IsOpen()) {
            try {
                db.ExecDml("rollback");
            } catch (const SqlException&) {
            }
            db.Close();
        }
        return false;
    }
}

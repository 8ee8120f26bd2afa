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
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

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

// Room for "YYYY-MM-DD HH:MM:SS" and more: years that are not four digits take the general path.
constexpr size_t kDbDateSize = 32;

// A date as the database holds it ("%Y-%m-%d %H:%M:%S"), or the empty text for the invalid date.
// Written digit by digit: the general formatter costs more than the rest of a record's insert.
const char* DbDate(const CDateTime& date, char (&buffer)[kDbDateSize]) {
    SYSTEMTIME time;
    if (!date.GetAsSystemTime(time)) {
        buffer[0] = '\0';
        return buffer;
    }
    if (time.wYear < 1000 || time.wYear > 9999) {
        date.Format(buffer, sizeof buffer, kDbDatePattern);
        return buffer;
    }
    auto put = [&buffer](int at, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            buffer[at + i] = static_cast<char>('0' + value % 10);
    };
    put(0, time.wYear, 4);
    buffer[4] = '-';
    put(5, time.wMonth, 2);
    buffer[7] = '-';
    put(8, time.wDay, 2);
    buffer[10] = ' ';
    put(11, time.wHour, 2);
    buffer[13] = ':';
    put(14, time.wMinute, 2);
    buffer[16] = ':';
    put(17, time.wSecond, 2);
    buffer[19] = '\0';
    return buffer;
}

// A rule's date or time text as the database holds it: parsed, then written as a date-time.
const char* DbDateFromText(const CString& text, char (&buffer)[kDbDateSize]) {
    CDateTime date;
    date.ParseDateTime(text);
    return DbDate(date, buffer);
}

// Removes a database file together with the rollback journal a failed transaction may leave.
// The backup names in the order they are tried: path + ".ver1", then ".ver1.1", ".ver1.2", ...
CString BackupName(const CString& path, int attempt) {
    CString name = path + ".ver1";
    if (attempt > 0) {
        CString number;
        number.Format(".%d", attempt);
        name += number;
    }
    return name;
}

// Puts the converted database under path and keeps the old file under the first backup name that
// holds nothing, which goes into backupPath: a file the user already had there (the backup of an
// earlier conversion) is never replaced. The name is claimed by a hard link to the old file, which
// fails on an existing name; where the file system has no hard links, the first name nothing holds
// is taken. On failure every file keeps its data under its own name.
bool ReplaceKeepingEveryBackup(const CString& path, const CString& newPath, CString& backupPath) {
    constexpr int kAttempts = 1000;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const CString candidate = BackupName(path, attempt);
        if (link(path, candidate) == 0) {
            if (!ReplaceFileA(path, newPath, nullptr, REPLACEFILE_WRITE_THROUGH)) {
                DeleteFileA(candidate);
                return false;
            }
            backupPath = candidate;
            return true;
        }
        if (errno == EEXIST)
            continue;
        struct stat info {};
        if (lstat(candidate, &info) == 0)
            continue;
        if (!ReplaceFileA(path, newPath, candidate, REPLACEFILE_WRITE_THROUGH))
            return false;
        backupPath = candidate;
        return true;
    }
    return false;
}

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

    m_groupIds.Clear();
    m_personIds.Clear();
    m_ruleIds.Clear();
    m_appointmentIds.Clear();
    m_taskIds.Clear();
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

    CString backupPath;
    if (!ReplaceKeepingEveryBackup(path, newPath, backupPath)) {
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
    if (backupPath != BackupName(path, 0)) {
        CString kept;
        kept.Format(" \n%s already existed and was kept as it was.", BackupName(path, 0).c_str());
        message += kept;
    }
    MessageBoxA(m_view.Owner(), message, "Conversion Succeeded", MB_ICONEXCLAMATION);

    m_groupIds.Clear();
    m_personIds.Clear();
    m_ruleIds.Clear();
    m_appointmentIds.Clear();
    m_taskIds.Clear();
    return true;
}

void CConversion::IdMap::Add(int id, const char* text) {
    static_assert(std::char_traits<char>::length(Schema::kGroupAllId) < sizeof Entry::text);
    static_assert(kGuidStringLength < sizeof Entry::text);
    Entry& entry = m_entries.emplace_back();
    entry.id = id;
    const size_t length = std::min(std::strlen(text), sizeof entry.text - 1);
    std::memcpy(entry.text, text, length);
    entry.text[length] = '\0';
}

const char* CConversion::IdMap::Find(int id) const {
    auto found = std::lower_bound(m_entries.begin(), m_entries.end(), id,
                                  [](const Entry& entry, int wanted) { return entry.id < wanted; });
    return found != m_entries.end() && found->id == id ? found->text : "";
}

// Gives every record a new ID; groups 1 to 3 take the standard groups' IDs.
bool CConversion::MapIds() {
    bool made = true;
    char id[kGuidStringLength + 1] = "";
    auto newId = [&made, &id]() {
        made = made && NewGuidString(id);
        return id;
    };
    auto mapAll = [&](const char* status, const auto& records, IdMap& ids) {
        StartPhase(status, records.size());
        ids.Reserve(records.size());
        size_t index = 0;
        for (const auto& entry : records) {
            Step(index++);
            ids.Add(entry.first, newId());
        }
    };

    StartPhase("Mapping Address Book Groups", m_document->PhGroups.size());
    m_groupIds.Reserve(m_document->PhGroups.size());
    size_t index = 0;
    for (const auto& entry : m_document->PhGroups) {
        Step(index++);
        const int groupId = entry.first;
        m_groupIds.Add(groupId, (groupId >= 1 && groupId <= 3) ? m_standardGroups[groupId] : newId());
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
const char* CConversion::GroupId(int id) const {
    const char* found = m_groupIds.Find(id);
    if (*found)
        return found;
    return (id >= 1 && id <= 3) ? m_standardGroups[id] : "";
}

// RecrDtID of a task or appointment: empty without a rule or when the file holds no such rule.
const char* CConversion::RuleId(int recurringId) const {
    return recurringId < 1 ? "" : m_ruleIds.Find(recurringId);
}

bool CConversion::CopyRecords(const CString& newPath) {
    SqlDb db;
    try {
        db.Open(newPath);
        db.ExecDml("PRAGMA synchronous=OFF");
        db.ExecDml("begin exclusive");
        SqlBuffer sql;
        CString converted;
        char date[kDbDateSize];

        StartPhase("Importing Address Book Groups", m_document->PhGroups.size());
        size_t index = 0;
        for (const auto& [id, group] : m_document->PhGroups) {
            Step(index++);
            // Groups 1 to 3 are the standard groups every new database holds; any other group,
            // an ID below 1 included, is written so that its members' rows name a group that exists.
            if (id < 1 || id > 3)
                db.ExecDml(sql.Format(kInsertGroup, m_groupIds.Find(id), Utf8Text(group.Desc, converted)));
        }

        SqlStatement person = db.CompileStatement(kInsertPerson);
        StartPhase("Importing Address Book Entries", m_document->Persons.size());
        index = 0;
        for (const auto& [id, record] : m_document->Persons) {
            Step(index++);
            const char* personId = m_personIds.Find(id);
            person.BindText(1, personId);
            const CString* texts[] = {&record.FName,   &record.LName,    &record.Company, &record.Position,
                                      &record.Addr1,   &record.Addr2,    &record.City,    &record.State,
                                      &record.Zip,     &record.HmPhone,  &record.WkPhone, &record.WkExt,
                                      &record.Fax,     &record.CelPhone, &record.Pager,   &record.EMail,
                                      &record.WebPage, &record.Notes};
            int param = 2;
            for (const CString* value : texts)
                person.BindText(param++, Utf8Text(*value, converted));
            person.ExecDml();
            person.Reset();
            for (int groupId : record.Groups) {
                const char* group = GroupId(groupId);
                if (*group)
                    db.ExecDml(sql.Format(kInsertMembership, personId, group));
            }
        }
        person.Finalize();

        SqlStatement rule = db.CompileStatement(kInsertRule);
        StartPhase("Importing Recurring Dates", m_document->RecurringDates.size());
        index = 0;
        for (const auto& [id, record] : m_document->RecurringDates) {
            Step(index++);
            rule.BindText(1, m_ruleIds.Find(id));
            rule.BindInt(2, record.GetBasicMethod());
            rule.BindText(3, DbDateFromText(record.GetStartTime(), date));
            rule.BindText(4, DbDateFromText(record.GetEndTime(), date));
            rule.BindInt(5, record.GetEndMethod());
            rule.BindText(6, DbDateFromText(record.GetStartDate(), date));
            rule.BindText(7, DbDateFromText(record.GetEndDate(), date));
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
            task.BindText(1, m_taskIds.Find(id));
            task.BindText(2, DbDate(record.DoneDate, date));
            task.BindText(3, DbDate(record.DueDate, date));
            task.BindInt(4, record.Priority);
            task.BindText(5, RuleId(record.RecurringID));
            task.BindText(6, Utf8Text(record.Description, converted));
            task.ExecDml();
            task.Reset();
        }
        task.Finalize();

        SqlStatement appt = db.CompileStatement(kInsertAppt);
        StartPhase("Importing Appointments", m_document->Appointments.size());
        index = 0;
        for (const auto& [id, record] : m_document->Appointments) {
            Step(index++);
            appt.BindText(1, m_appointmentIds.Find(id));
            appt.BindInt(2, record.Alarm ? 1 : 0);
            appt.BindText(3, DbDate(record.AlarmTime, date));
            appt.BindInt(4, record.Done ? 1 : 0);
            appt.BindText(5, DbDate(record.DueDate, date));
            appt.BindText(6, DbDate(record.StartTime, date));
            appt.BindText(7, DbDate(record.EndTime, date));
            appt.BindText(8, RuleId(record.RecurringID));
            appt.BindText(9, Utf8Text(record.Description, converted));
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

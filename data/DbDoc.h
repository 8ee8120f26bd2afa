#pragma once

#include "data/DateTime.h"
#include "data/DocBase.h"
#include "data/Records.h"
#include "data/RecurPattern.h"
#include "data/SqlDb.h"
#include "platform/core/CString.h"

#include <vector>

class CExportTableSpec;
class SqlException;

// The one document of the main program: the open .pgr database (g_db), the shared selections of the
// user interface, the counters the frame's idle handler reads, and every operation on the file and
// its records. Every operation catches SqlException and reports failure as its result.
class CDbDoc : public CDocBase {
public:
    // Longest password kept (the buffers hold 33 characters).
    static constexpr int kMaxPassword = 31;

    CDbDoc();
    ~CDbDoc() override;

    FileFilter GetFileFilter() const override;
    const char* GetDefaultExt() const override;
    // Opens the file at path keyed with the typed password (g_typedPassword); on success the typed
    // password becomes the open password. A wrong password gives false and keeps the previous
    // document open. Shows no message.
    bool OnOpenDocument(const char* path) override;
    // Why the last OnOpenDocument failed: the file is no document or the password is wrong; another
    // program kept the document locked for longer than the busy time-out; or the file reads with
    // the password but may not be written (a read-only file, a folder without write permission),
    // while every open and every change writes it.
    enum class OpenFailure { None, Unreadable, Busy, ReadOnly };
    OpenFailure GetLastOpenFailure() const { return m_lastOpenFailure; }
    // The path the last failed OnOpenDocument was given.
    const CString& GetLastFailedPath() const { return m_lastFailedPath; }
    // The Create Database dialog in open mode, then OnOpenDocument; error set when opening failed.
    bool OnFileOpen(bool& error) override;
    // File Save Copy As (SaveCopyAs).
    bool OnFileSaveAs(bool& error) override;

    // The Create Database dialog in create mode, then a new document at the chosen path. False with
    // error clear when cancelled or the user declined to overwrite; false with error set after
    // "Error Creating Database".
    bool OnFileNew(bool& error);
    // Creates the document file at path (".pgr" appended when missing) keyed with the typed password,
    // asking before overwriting, and opens it. The steps of OnFileNew after its dialog.
    bool CreateDocument(const char* path, bool& error);
    // Copies the file to a chosen name and goes on working on the copy.
    bool SaveCopyAs(bool& error);
    // Changes the open document's password (empty: no encryption). The change is confirmed by
    // opening the file with the new password before it is reported; on false the old password and
    // file are still in force.
    bool ChangePassword(const char* newPassword);
    // "vacuum" under the wait cursor.
    bool Compact();
    // Copies the file to destination while an exclusive transaction keeps writers away.
    bool Backup(const char* destination);

    void SetCurrentDate(const CDateTime& date) { m_currentDate = date; }
    CDateTime GetCurrentDate() const { return m_currentDate; }
    bool IsOpen() const { return m_isOpen; }

    // Record operations: persons and groups, owner, tasks, appointments and recurrence rules.

    // Persons. A person always belongs to the group "All" and to each group of its vector once.
    // Reading a missing person answers false without a message.
    bool GetPerson(CPerson& person);
    // The persons of the IDs, appended in the order of the IDs, each as GetPerson reads it (an ID
    // named twice gives the person twice); IDs without a person are left out. One query for all.
    // False, nothing appended, on a database error; no message.
    bool GetPersons(const std::vector<CString>& ids, std::vector<CPerson>& persons);
    // The person and its groups (ID and Desc), appended to the vector in the database's order.
    bool GetPersonWithGroups(CPerson& person, std::vector<CPhGroup>& groups);
    // Inside a transaction of the caller (a bulk import) the insert keeps its compiled statements
    // for the next one; EndBulkPersonInserts drops them when the bulk work is done.
    bool InsertPerson(const CPerson& person, const std::vector<CPhGroup>& groups);
    void EndBulkPersonInserts();
    // The writes of InsertPerson for a bulk import that guards them itself: only inside the caller's
    // transaction, without a savepoint of their own and without a message; throws SqlException. The
    // person's ID is a new one (no membership rows to replace).
    void WritePersonInTransaction(const CPerson& person, const std::vector<CPhGroup>& groups);
    // Writes the row again first when it was removed meanwhile; the memberships become the vector's.
    bool UpdatePerson(const CPerson& person, const std::vector<CPhGroup>& groups);
    // Removes the person and its membership rows; false without a message when there is none.
    bool DeletePerson(const CPerson& person);
    // The members of a group (of "All": everyone) with ID, names, display name and Company, appended
    // by name (sort order 0) or by company (1); stores the vector's size as m_listedPersonCount.
    bool GetGroupMembers(std::vector<CPerson>& persons, int sortOrder, const char* groupId);
    // The same members as list entries (ID, display name, Company), for the person lists: the same
    // query, order, count and message, without a whole record per person.
    bool GetGroupMemberEntries(std::vector<CPersonListEntry>& entries, int sortOrder, const char* groupId);

    // Address-book groups. Deleting a group leaves the membership rows that name it.
    bool GetGroups(std::vector<CPhGroup>& groups);
    // Fills Desc from the group's row; true also when there is none.
    bool GetGroupDesc(CPhGroup& group);
    bool InsertGroup(const CPhGroup& group);
    bool UpdateGroup(const CPhGroup& group);
    bool DeleteGroup(const CPhGroup& group);
    // The number of membership rows naming the group; 1 on a database error (treat it as used).
    int GetGroupUseCount(const CPhGroup& group);

    // The owner row, created with a new ID when the table is empty.
    bool LoadUser(CUser& user);
    bool SaveUser(const CUser& user);

    // Tasks. Missing rows answer false and leave the record unchanged.
    bool GetTask(CTask& task);
    bool InsertTask(const CTask& task);
    bool UpdateTask(const CTask& task);
    // Deletes the task and, with the last task of its series, the series' rule.
    bool DeleteTask(const CTask& task);
    // The tasks listed for a day ("%Y-%m-%d %H:%M:%S" at 00:00:00), appended in due-date order: tasks
    // due that day when it is today or later; on today also the open tasks due earlier or without a
    // due date; done tasks on their completion day when that is not after today. The caller stores
    // the count. Errors are shown as "Error Retrieving Tasks" and give false (the tasks read until
    // then stay).
    bool GetTasksForDay(const char* day, std::vector<CTask>& tasks);
    // The same list read the way the rule reads: every task row stepped, its dates parsed. Kept for
    // documents whose day indexes cannot be made (a read-only file) and as the measure of the fast way.
    bool GetTasksForDayByRows(const char* day, std::vector<CTask>& tasks);
    // Tasks due within the inclusive range; stores the vector's size as m_listedTaskCount.
    bool GetTasksInRange(std::vector<CTask>& tasks, const char* from, const char* to);
    bool GetTasksByRecurrence(std::vector<CTask>& tasks, const char* ruleId);
    // 0 without an open document or on error.
    int GetTaskCount() const;

    // Appointments within the inclusive range of DateDue texts, by day and start time; stores the
    // vector's size as m_listedApptCount.
    bool GetApptsInRange(std::vector<CAppt>& appts, const char* from, const char* to);
    bool GetApptsByRecurrence(std::vector<CAppt>& appts, const char* ruleId);
    bool GetAppt(CAppt& appt);
    // The appointments of a day (a DateDue text) whose alarm is set and due at now, by start time,
    // as the alarm check examines them: a run of rows with the same ID counts once. False on error.
    bool GetDueAlarms(const char* day, const CDateTime& now, std::vector<CAppt>& appts);
    bool InsertAppt(const CAppt& appt);
    bool UpdateAppt(const CAppt& appt);
    // Deletes the appointment and, with the last one of its series, the series' rule.
    bool DeleteAppt(const CAppt& appt);
    int GetApptCount() const;
    // Whether the document holds any task / any appointment: what the commands' states need, answered
    // from the first row instead of counting every one (the frame asks on every idle pass). False
    // without an open document or on error.
    bool HasTasks() const;
    bool HasAppts() const;

    // Recurrence rules. Dates are read into the user's short-date pattern and times into
    // "%I:%M %p"; both are stored as database date-times (a time alone on 30 December 1899).
    bool GetRecurringDate(CRecurItem& rule);
    bool InsertRecurringDate(const CRecurItem& rule);
    bool UpdateRecurringDate(const CRecurItem& rule);
    bool DeleteRecurringDate(const CRecurItem& rule);
    // The error text of the last task, appointment or rule operation that failed, for the caller
    // that reports it (a series change shows it once for the whole change).
    const CString& GetLastRecordError() const { return m_lastRecordError; }

    // End of record operations.

    // Merging the tables of another document.

    // What an import of another document's tables gave for each part: the number of rows copied
    // (persons, tasks, appointments), or -1 after a database error (a wrong password among them),
    // which is not shown; failure holds the first such error's text (empty when none). A part not
    // asked for stays 0.
    struct MergeCounts {
        int persons = 0;
        int tasks = 0;
        int appts = 0;
        CString failure;
    };
    // Copies the chosen parts of the other document in one transaction: killed at any point, this
    // document is as it was before. A part that fails is rolled back alone and gives -1; the others
    // are kept. The other file is never changed.
    //
    // The address book brings the persons with their memberships, the groups matched by name: a
    // group of a name this document has takes the members into its local group, any other group is
    // added. Tasks and appointments bring the recurrence rules they refer to. Rows whose ID this
    // document already holds are left as they are here and not copied again.
    MergeCounts MergeTables(const char* path, const char* password, bool addressBook, bool tasks, bool appts);
    // One part each, as MergeTables with that part alone.
    int MergeAddressBook(const char* path, const char* password);
    int MergeTasks(const char* path, const char* password);
    int MergeAppts(const char* path, const char* password);
    // End of merging.

    // Delimited-text export and import (defined in the exchange library).
    // The exports write the chosen fields of every row to the options' file and answer the number of
    // rows written; 0 for an empty table (after a message) or when the file could not be written.
    int ExportAddressBookCsv(const CExportTableSpec& spec);
    int ExportTasksCsv(const CExportTableSpec& spec);
    int ExportApptsCsv(const CExportTableSpec& spec);
    // The imports read the options' file, one record a line, and insert every record that has what its
    // kind needs under a new ID; they answer the number of records the document holds from the
    // import (0 when the file cannot be opened). A write that fails ends the import with the records
    // before it; a failed commit keeps none. That error is shown in one box, or, when failure is
    // given, handed back there instead (left empty when the import ran to its end).
    int ImportAddressBookCsv(const CExportTableSpec& spec, CString* failure = nullptr);
    int ImportTasksCsv(const CExportTableSpec& spec, CString* failure = nullptr);
    int ImportApptsCsv(const CExportTableSpec& spec, CString* failure = nullptr);
    // End of delimited-text export and import.

    // Address-book import.
    // Inserts every contact of the vCard file at path as a new person, in "All" and in the groups of
    // the choice: 0 "Yellow Pages", 1 "White Pages", 2 both. Adds 1 to count for every person
    // inserted; false when the file cannot be read or holds no contact card.
    bool ImportWab(int& count, int choice, const char* path);
    // The same, but a write or the commit that fails is not shown: its error text goes to writeError
    // (left empty when the import ran to its end), for the caller's one report of the import. After
    // a failed commit the count has not grown: nothing of the file stayed.
    bool ImportWab(int& count, int choice, const char* path, CString& writeError);
    // End of address-book import.

    // Which report the print window shows: 0 none, 1 address book, 2 envelopes, 3 daily plan,
    // 4 daily tasks, 5 daily appointments, 6 week, 7 month.
    int m_reportKind = 0;
    // Globals.Version of the open document.
    int m_schemaVersion = 0;
    // Globals.C and Globals.S as they were when the document was opened; invalid when unreadable.
    CDateTime m_created;
    CDateTime m_saved;
    // Person list order: 0 by name, 1 by company.
    int m_personSortOrder = 0;
    // How many tasks, appointments and persons the panes listed last.
    int m_listedTaskCount = 0;
    int m_listedApptCount = 0;
    int m_listedPersonCount = 0;
    bool m_audibleAlarm = false;
    // The current selections; empty for none.
    CString m_currentGroupId;
    CString m_currentPersonId;
    CString m_currentApptId;
    CString m_currentTaskId;
    CString m_alarmSoundFile = "notify.wav";

private:
    // Closes g_db and opens it on path keyed with password (no key call for an empty one).
    static void OpenMainDb(const char* path, const char* password);
    // The settings of the document's connection g_db.
    static void TuneMainDb();
    bool ReplaceWithExport(const char* newPassword);

    // Keeps the error's text as the last record error and answers false.
    bool RecordFailed(const SqlException& error);

    CDateTime m_currentDate;
    bool m_isOpen = false;
    CString m_lastRecordError;
    OpenFailure m_lastOpenFailure = OpenFailure::None;
    CString m_lastFailedPath;
};

// The document and its database, both living as long as the process.
extern SqlDb g_db;
extern CDbDoc g_doc;
// The path of the open database file (equal to the document's path name).
extern CString g_dbPath;
// The open document's password, empty without one; at most 31 characters, zero-filled.
extern char g_openPassword[CDbDoc::kMaxPassword + 2];
// What the password dialogs took from the user before an open or create; moved into the open
// password when that succeeds.
extern char g_typedPassword[CDbDoc::kMaxPassword + 2];

// Clears the buffer and copies at most 31 characters of text into it.
void SetPasswordBuffer(char (&buffer)[CDbDoc::kMaxPassword + 2], const char* text);
// Whether a file or folder exists at path.
bool FileExists(const char* path);

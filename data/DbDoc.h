#pragma once

#include "data/DateTime.h"
#include "data/DocBase.h"
#include "data/Records.h"
#include "data/RecurPattern.h"
#include "data/SqlDb.h"
#include "platform/core/CString.h"

#include <vector>

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

    // End of record operations.

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
    bool ReplaceWithExport(const char* newPassword);

    CDateTime m_currentDate;
    bool m_isOpen = false;
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

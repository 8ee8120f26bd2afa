#include "data/DbDoc.h"

#include "data/DocLeftovers.h"
#include "data/Schema.h"
#include "data/SqlBuffer.h"
#include "data/SqlException.h"
#include "platform/core/FileOps.h"
#include "platform/core/Prompt.h"

#include <sqlcipher/sqlite3.h>

#include <cstring>
#include <filesystem>
#include <system_error>

SqlDb g_db;
CString g_dbPath;
char g_openPassword[CDbDoc::kMaxPassword + 2] = {};
char g_typedPassword[CDbDoc::kMaxPassword + 2] = {};
CDbDoc g_doc;

namespace {

int KeyLength(const char* key) {
    return static_cast<int>(std::strlen(key));
}

// Opens a connection keyed with password (none for the empty one), as every connection to a
// document is opened.
void OpenKeyed(SqlDb& db, const char* path, const char* password) {
    db.Open(path);
    if (password && *password)
        db.Key(password, KeyLength(password));
}

// Whether the file can be read with this password: the first statement on a wrongly keyed
// connection fails with "file is encrypted or is not a database".
bool OpensWith(const char* path, const char* password) {
    try {
        SqlDb db;
        OpenKeyed(db, path, password);
        db.ExecScalar("select count(*) from sqlite_master");
        return true;
    } catch (const SqlException&) {
        return false;
    }
}

void DeleteIfPresent(const CString& path) {
    if (FileExists(path))
        DeleteFileA(path);
}

// Removes a database file together with a journal it may have left.
void DeleteDatabaseFile(const CString& path) {
    DeleteIfPresent(path);
    DeleteIfPresent(path + "-journal");
}

// A write refused by the file system. Such a refusal comes before the first read, so it is one only
// when the file reads with the password.
bool WriteRefused(int code, const char* path) {
    return (code == SQLITE_READONLY || code == SQLITE_CANTOPEN || code == SQLITE_PERM) &&
           OpensWith(path, g_typedPassword);
}

CDbDoc::OpenFailure FailureOfOpen(const SqlException& exception, const char* path) {
    const int code = exception.errorCode() & 0xff;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        return CDbDoc::OpenFailure::Busy;
    return WriteRefused(code, path) ? CDbDoc::OpenFailure::ReadOnly : CDbDoc::OpenFailure::Unreadable;
}

bool SameFile(const char* a, const char* b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

} // namespace

void SetPasswordBuffer(char (&buffer)[CDbDoc::kMaxPassword + 2], const char* text) {
    std::memset(buffer, 0, sizeof buffer);
    if (text)
        std::memcpy(buffer, text, strnlen(text, CDbDoc::kMaxPassword));
}

bool FileExists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

CDbDoc::CDbDoc() {
    CDateTime now = CDateTime::GetCurrentTime();
    m_currentDate = CDateTime(now.GetYear(), now.GetMonth(), now.GetDay());
}

CDbDoc::~CDbDoc() = default;

FileFilter CDbDoc::GetFileFilter() const {
    return {{"Pelmora Files (*.pgr)", "*.pgr"}, {"All Files (*.*)", "*.*"}};
}

const char* CDbDoc::GetDefaultExt() const {
    return "pgr";
}

void CDbDoc::OpenMainDb(const char* path, const char* password) {
    g_db.Close();
    OpenKeyed(g_db, path, password);
    TuneMainDb();
}

void CDbDoc::TuneMainDb() {
    // A keyed page is decrypted each time it is read into the cache: with the default cache of about
    // 2 MB, listing the persons of a large address book by name reads the table's pages again and
    // again. The cache grows only with the pages actually read.
    g_db.ExecDml("pragma cache_size = -32768");
}

bool CDbDoc::OnOpenDocument(const char* path) {
    m_lastOpenFailure = OpenFailure::None;
    m_lastFailedPath = path ? path : "";
    if (!path || !FileExists(path)) {
        m_lastOpenFailure = OpenFailure::Unreadable;
        return false;
    }
    SqlDb probe;
    bool switching = false;
    try {
        OpenKeyed(probe, path, g_typedPassword);
        // The write lock from the start, waited for as long as any statement waits: a read lock
        // raised to a write lock later fails at once while another connection writes. Held to the
        // commit, it also keeps every password change and every commit that writes the document
        // away while their leftovers are removed.
        probe.ExecDml("begin immediate");
        SqlTable globals = probe.GetTable("select Version, C, S from Globals limit 1");
        globals.SetRow(0);
        int version = globals.GetIntField(0, 0);
        CDateTime created;
        created.ParseDateTime(globals.GetStringField(1, ""));
        CDateTime saved;
        saved.ParseDateTime(globals.GetStringField(2, ""));
        RemoveDocumentLeftovers(path);
        probe.ExecDml("update Globals set S = CURRENT_TIMESTAMP");
        for (const char* index : Schema::kAddMissingIndexes)
            probe.ExecDml(index);
        probe.ExecDml("commit");

        // The checked connection becomes the document's: keying a second one would derive the key
        // from the password again, the largest fixed cost of opening.
        switching = true;
        CString openedPath(path);
        g_dbPath = openedPath;
        g_db.Close();
        g_db.Swap(probe);
        TuneMainDb();
        SetPasswordBuffer(g_openPassword, g_typedPassword);
        SetPasswordBuffer(g_typedPassword, "");
        m_schemaVersion = version;
        m_created = created;
        m_saved = saved;
        SetPathName(openedPath);
        m_isOpen = true;
        return true;
    } catch (const SqlException& exception) {
        probe.Close();
        m_lastOpenFailure = FailureOfOpen(exception, path);
        // The previous document was closed on the way to the new one: none is open now.
        if (switching) {
            g_db.Close();
            m_isOpen = false;
        }
        return false;
    }
}

bool CDbDoc::OnFileOpen(bool& error) {
    error = false;
    CreateDbRequest request;
    request.createMode = false;
    if (!GetPrompt().RunCreateDbDialog(request))
        return false;
    SetPasswordBuffer(g_typedPassword, request.password);
    if (!OnOpenDocument(request.path)) {
        error = true;
        return false;
    }
    return true;
}

bool CDbDoc::OnFileSaveAs(bool& error) {
    return SaveCopyAs(error);
}

bool CDbDoc::OnFileNew(bool& error) {
    error = false;
    CreateDbRequest request;
    request.createMode = true;
    if (!GetPrompt().RunCreateDbDialog(request))
        return false;
    SetPasswordBuffer(g_typedPassword, request.password);
    return CreateDocument(request.path, error);
}

bool CDbDoc::CreateDocument(const char* path, bool& error) {
    error = false;
    CString finalPath(path);
    if (finalPath.Right(4) != ".pgr")
        finalPath += ".pgr";

    if (FileExists(finalPath)) {
        CString question;
        question.Format("%s already exists. Do you want to overwrite it?", finalPath.c_str());
        if (MessageBoxA(nullptr, question, "File Exists", MB_YESNO | MB_ICONINFORMATION) != IDYES)
            return false;
        // Overwriting the open document's own file: its connection would go on writing into the
        // deleted file, so that document is closed with it.
        if (m_isOpen && SameFile(finalPath, g_dbPath)) {
            g_db.Close();
            m_isOpen = false;
        }
        DeleteFileA(finalPath);
    }

    SqlDb db;
    bool switching = false;
    try {
        OpenKeyed(db, finalPath, g_typedPassword);
        db.ExecDml("begin exclusive");
        for (const Schema::Statement& statement : Schema::CreateStatements())
            db.ExecDml(statement.sql);
        m_schemaVersion = Schema::kVersion;
        m_created = CDateTime::GetCurrentTime();
        m_saved = m_created;
        SqlBuffer insertGlobals;
        insertGlobals.Format(Schema::kInsertGlobals, Schema::kVersion);
        db.ExecDml(insertGlobals);
        db.ExecDml("commit");
        db.Close();

        switching = true;
        g_dbPath = finalPath;
        OpenMainDb(finalPath, g_typedPassword);
        SetPasswordBuffer(g_openPassword, g_typedPassword);
        SetPasswordBuffer(g_typedPassword, "");
        SetPathName(finalPath);
        m_isOpen = true;
        return true;
    } catch (const SqlException& exception) {
        if (db.IsOpen()) {
            try {
                db.ExecDml("rollback");
            } catch (const SqlException&) {
            }
            db.Close();
        }
        if (switching) {
            g_db.Close();
            m_isOpen = false;
        }
        DeleteDatabaseFile(finalPath);
        MessageBoxA(nullptr, exception.errorMessage(), "Error Creating Database", MB_OK);
        error = true;
        return false;
    }
}

bool CDbDoc::SaveCopyAs(bool& error) {
    error = false;
    FileDialogRequest request;
    request.fileName = GetPathName();
    request.defaultExt = GetDefaultExt();
    request.filters = GetFileFilter();
    request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetPrompt().GetSaveFileName(request))
        return false;
    if (!m_isOpen) {
        error = true;
        return false;
    }

    g_db.Close();
    bool copied = CopyFileA(g_dbPath, request.fileName, false);
    if (copied) {
        g_dbPath = request.fileName;
        SetPathName(request.fileName);
    }
    try {
        OpenMainDb(g_dbPath, g_openPassword);
    } catch (const SqlException&) {
        m_isOpen = false;
        error = true;
        return false;
    }
    error = !copied;
    return copied;
}

bool CDbDoc::ChangePassword(const char* newPassword) {
    if (!m_isOpen || !g_db.IsOpen())
        return false;
    char newKey[kMaxPassword + 2];
    SetPasswordBuffer(newKey, newPassword);
    bool wasKeyed = g_openPassword[0] != '\0';
    bool willBeKeyed = newKey[0] != '\0';
    if (std::strcmp(newKey, g_openPassword) == 0)
        return true;
    // SQLCipher re-encrypts between two keys in place, but cannot encrypt a plain file or decrypt an
    // encrypted one: those go through an exported copy.
    if (!wasKeyed || !willBeKeyed)
        return ReplaceWithExport(newKey);

    try {
        if (g_db.Rekey(newKey, KeyLength(newKey)) != SQLITE_OK) {
            OpenMainDb(g_dbPath, g_openPassword);
            return false;
        }
        g_db.Close();
        // The rekey reports success even when its final commit failed: trust only the file.
        if (!OpensWith(g_dbPath, newKey) || OpensWith(g_dbPath, g_openPassword)) {
            OpenMainDb(g_dbPath, g_openPassword);
            return false;
        }
        SetPasswordBuffer(g_openPassword, newKey);
        OpenMainDb(g_dbPath, g_openPassword);
        return true;
    } catch (const SqlException&) {
        return false;
    }
}

bool CDbDoc::ReplaceWithExport(const char* newKey) {
    // A document reached through a symbolic link is changed in the linked file; the link stays.
    const CString realPath = RealPathOf(g_dbPath);
    const CString folder = ChangeFolderOf(realPath);
    const CString copyPath = ChangeCopyIn(folder);
    bool attached = false;
    // The change folder is this change's once the document's lock is held; until then it may be
    // another instance's.
    bool folderIsOurs = false;
    // Back to the document with the password it has now: the old one, unless an exception came out
    // of the replacement after its rename. The change folder goes while the lock is still held, so
    // a change another instance starts next never loses its own.
    auto giveUp = [&]() {
        if (attached) {
            try {
                g_db.ExecDml("DETACH DATABASE rekeyed");
            } catch (const SqlException&) {
            }
        }
        if (folderIsOurs)
            RemoveChangeFolder(folder);
        g_db.Close();
        if (!OpensWith(g_dbPath, g_openPassword) && OpensWith(g_dbPath, newKey))
            SetPasswordBuffer(g_openPassword, newKey);
        try {
            OpenMainDb(g_dbPath, g_openPassword);
        } catch (const SqlException&) {
        }
        return false;
    };

    try {
        // From here until the copy has taken the document's name every other connection waits: a
        // write it committed in between would go into the old file and be lost. The lock is kept
        // by the connection until it is closed.
        if (!FileStep("lock", realPath))
            return giveUp();
        g_db.ExecDml("PRAGMA main.locking_mode=EXCLUSIVE");
        g_db.ExecDml("begin exclusive");
        g_db.ExecDml("commit");
        folderIsOurs = true;

        // During a change to no password the copy holds the whole document in plain text: it is
        // written in a folder only its owner can enter, so it may take the document's mode and owner
        // before the rename and still be read by no one else should the change stop.
        if (!RemoveChangeFolder(folder) || !CreateChangeFolder(folder) || !CreatePrivateFile(copyPath))
            return giveUp();
        SqlBuffer attach;
        attach.Format("ATTACH DATABASE %Q AS rekeyed KEY %Q", copyPath.c_str(), newKey);
        g_db.ExecDml(attach);
        attached = true;
        if (!FileStep("export", copyPath))
            return giveUp();
        g_db.ExecDml("SELECT sqlcipher_export('rekeyed')");
        g_db.ExecDml("DETACH DATABASE rekeyed");
        attached = false;

        // The copy must read with the new password only before it may take the document's place. It
        // takes over the document's owner and permission bits first: the document's name never holds
        // the file with other ones.
        FileAccess access;
        if (!FileStep("verify", copyPath) || !OpensWith(copyPath, newKey) ||
            OpensWith(copyPath, g_openPassword) || !GetFileAccess(realPath, access) ||
            !SetFileOwner(copyPath, access) || !SetFileMode(copyPath, access))
            return giveUp();
        // One rename: the document's name holds the whole old or the whole new file at every moment.
        if (!ReplaceFileA(realPath, copyPath, nullptr))
            return giveUp();
        RemoveChangeFolder(folder);
    } catch (const SqlException&) {
        return giveUp();
    } catch (...) {
        // Not the change's own failure (out of memory, say): the same way back, then it goes on up.
        giveUp();
        throw;
    }

    g_db.Close();
    SetPasswordBuffer(g_openPassword, newKey);
    try {
        OpenMainDb(g_dbPath, g_openPassword);
    } catch (const SqlException&) {
        m_isOpen = false;
        return false;
    }
    return true;
}

bool CDbDoc::Compact() {
    WaitCursor wait;
    try {
        g_db.ExecDml("vacuum");
        return true;
    } catch (const SqlException&) {
        try {
            g_db.ExecDml("rollback");
        } catch (const SqlException&) {
        }
        return false;
    }
}

bool CDbDoc::Backup(const char* destination) {
    // Copying the open file onto itself would swap the file under the open connection.
    if (!destination || SameFile(g_dbPath, destination))
        return false;
    try {
        g_db.ExecDml("begin exclusive");
        bool copied = CopyFileA(g_dbPath, destination, false);
        g_db.ExecDml("commit");
        return copied;
    } catch (const SqlException&) {
        try {
            g_db.ExecDml("rollback");
        } catch (const SqlException&) {
        }
        return false;
    }
}

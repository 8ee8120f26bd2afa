#pragma once

#include "platform/core/CString.h"

#include <utility>
#include <vector>

// Message-box flags and results, with the Windows values.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_TYPEMASK = 0xF,
    MB_ICONERROR = 0x10,
    MB_ICONSTOP = MB_ICONERROR,
    MB_ICONHAND = MB_ICONERROR,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONEXCLAMATION = MB_ICONWARNING,
    MB_ICONINFORMATION = 0x40,
    MB_ICONASTERISK = MB_ICONINFORMATION,
    MB_ICONMASK = 0xF0,
    MB_DEFBUTTON2 = 0x100,
};

enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// Open- and save-file dialog options, with the Windows values.
enum : unsigned {
    OFN_READONLY = 0x1,
    OFN_OVERWRITEPROMPT = 0x2,
    OFN_HIDEREADONLY = 0x4,
    OFN_PATHMUSTEXIST = 0x800,
    OFN_FILEMUSTEXIST = 0x1000,
};

// An opaque owner window (a QWidget* in the GUI); nullptr for none or the active window.
using WindowHandle = void*;

struct FileDialogRequest {
    WindowHandle owner = nullptr;
    CString title;
    CString fileName;   // proposed name in, chosen path out
    CString defaultExt; // without the dot, e.g. "pgr"; appended when the chosen name has no extension
    // (description, pattern) pairs, e.g. {"Pelmora Files (*.pgr)", "*.pgr"}; several patterns with ';'.
    std::vector<std::pair<CString, CString>> filters;
    unsigned flags = 0;
};

// What the Create/Open database dialog hands back on OK.
struct CreateDbRequest {
    WindowHandle owner = nullptr;
    bool createMode = true; // true: "Create a New Database"; false: "Open An Existing Database"
    CString path;
    CString password;
    CString retypedPassword; // create mode only
};

// Every question the program asks the user outside its own windows goes through this seam, so the
// document can run its steps under test with scripted answers. The GUI installs a Qt backend.
class Prompt {
public:
    virtual ~Prompt() = default;

    // Returns IDOK, IDCANCEL, IDYES, IDNO, ... as MessageBoxA does.
    virtual int MessageBox(WindowHandle owner, const char* text, const char* caption, unsigned flags) = 0;
    // The Create/Open database dialog; true on OK with the request's results filled in.
    virtual bool RunCreateDbDialog(CreateDbRequest& request) = 0;
    // File dialogs; true on OK with request.fileName holding the chosen path.
    virtual bool GetOpenFileName(FileDialogRequest& request) = 0;
    virtual bool GetSaveFileName(FileDialogRequest& request) = 0;
    // Shows the wait cursor until the matching EndWaitCursor (calls nest).
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}
};

// The installed prompt; without one, message boxes go to standard error and answer with their first
// button, and every dialog is cancelled.
Prompt& GetPrompt();
// Installs a prompt (not owned); nullptr returns to the built-in one.
void SetPrompt(Prompt* prompt);

// Shorthand for GetPrompt().MessageBox.
int MessageBoxA(WindowHandle owner, const char* text, const char* caption, unsigned flags);

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
public:
    WaitCursor() { GetPrompt().BeginWaitCursor(); }
    ~WaitCursor() { GetPrompt().EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

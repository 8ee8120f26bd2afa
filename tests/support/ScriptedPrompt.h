#pragma once

#include "platform/core/Prompt.h"

#include <deque>
#include <optional>
#include <vector>

// A Prompt for tests: records every call and answers from queues the test fills beforehand.
//
//     ScriptedPrompt prompt;            // installs itself; the previous prompt returns at destruction
//     prompt.AnswerMessageBox(IDNO);
//     prompt.AnswerCreateDb("/tmp/x/Plans", "secret");
//     ... run the code under test ...
//     ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
//     EXPECT_EQ(prompt.MessageBoxes()[0].caption, "File Exists");
//     EXPECT_EQ(prompt.UnexpectedCalls(), 0);
//
// A call whose queue is empty is unexpected: it is recorded with `unexpected` set and answered with
// a default: a message box with its "no" answer (IDOK for MB_OK, IDCANCEL when there is a Cancel
// button, IDNO for MB_YESNO, IDABORT for MB_ABORTRETRYIGNORE); every dialog is cancelled.
class ScriptedPrompt : public Prompt {
public:
    enum class Kind { MessageBox, CreateDbDialog, OpenFileDialog, SaveFileDialog };

    struct Call {
        Kind kind = Kind::MessageBox;
        bool unexpected = false; // answered with the default, no scripted answer was queued
        // Message boxes.
        WindowHandle owner = nullptr;
        CString text;
        CString caption;
        unsigned flags = 0;
        int answer = 0;
        // Dialogs: the request as the code under test handed it over (before it was answered).
        CreateDbRequest createDb;
        FileDialogRequest fileDialog;
        bool accepted = false; // the dialog answered OK
    };

    // Installs itself with SetPrompt; the destructor puts back the prompt that was installed before.
    ScriptedPrompt();
    ~ScriptedPrompt() override;
    ScriptedPrompt(const ScriptedPrompt&) = delete;
    ScriptedPrompt& operator=(const ScriptedPrompt&) = delete;

    // Answers, used in the order they were queued (one queue per kind of call).
    void AnswerMessageBox(int answer);
    // The Create/Open database dialog answers OK with these results.
    void AnswerCreateDb(const CString& path, const CString& password, const CString& retyped = CString());
    void CancelCreateDb();
    // The next open- or save-file dialog (they share one queue) answers OK with this path.
    void AnswerFileDialog(const CString& path);
    void CancelFileDialog();

    const std::vector<Call>& Calls() const { return m_calls; }
    std::vector<Call> MessageBoxes() const;
    int UnexpectedCalls() const;
    // Queued answers nobody asked for.
    int PendingAnswers() const;
    void Clear();

    // How often the wait cursor was shown, and how many are shown right now.
    int WaitCursorsShown() const { return m_waitCursorsShown; }
    int WaitCursorDepth() const { return m_waitCursorDepth; }

    int MessageBox(WindowHandle owner, const char* text, const char* caption, unsigned flags) override;
    bool RunCreateDbDialog(CreateDbRequest& request) override;
    bool GetOpenFileName(FileDialogRequest& request) override;
    bool GetSaveFileName(FileDialogRequest& request) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

private:
    bool AnswerFile(Kind kind, FileDialogRequest& request);

    Prompt* m_previous;
    std::vector<Call> m_calls;
    std::deque<int> m_messageBoxAnswers;
    std::deque<std::optional<CreateDbRequest>> m_createDbAnswers;
    std::deque<std::optional<CString>> m_fileAnswers;
    int m_waitCursorsShown = 0;
    int m_waitCursorDepth = 0;
};

#pragma once

#include "platform/core/Prompt.h"

#include <QString>

#include <functional>

class QWidget;

// The GUI's prompt: message boxes as QMessageBox, file dialogs as QFileDialog, the wait cursor as
// the application's override cursor, and the Create/Open database dialog through a runner that the
// user-interface layer registers (the dialog itself lives there).
//
// Constructing one installs it with SetPrompt; destroying it returns to the built-in prompt when it is
// still the installed one. QtPrompt::Install() installs a process-wide instance.
class QtPrompt : public Prompt {
public:
    using CreateDbRunner = std::function<bool(CreateDbRequest&)>;

    QtPrompt();
    ~QtPrompt() override;
    QtPrompt(const QtPrompt&) = delete;
    QtPrompt& operator=(const QtPrompt&) = delete;

    // Installs the process-wide instance (idempotent) and returns it.
    static QtPrompt& Install();
    // The Create/Open database dialog that RunCreateDbDialog runs; without one it cancels.
    static void SetCreateDbRunner(CreateDbRunner runner);

    int MessageBox(WindowHandle owner, const char* text, const char* caption, unsigned flags) override;
    bool RunCreateDbDialog(CreateDbRequest& request) override;
    bool GetOpenFileName(FileDialogRequest& request) override;
    bool GetSaveFileName(FileDialogRequest& request) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

    // The width a message box needs so that a title bar shows its whole caption.
    static int MinimumWidthForCaption(const QString& caption);
    // The owner a dialog is shown over: the given window, else the active window (may be null). An
    // owner handle is always a QWidget* turned into WindowHandle (pass static_cast<QWidget*>(this)
    // from a class that has QWidget as a later base).
    static QWidget* OwnerWidget(WindowHandle owner);
    // The Qt name-filter text of one (description, pattern) pair: "Pelmora Files (*.pgr)"; "*.*"
    // becomes "*" because Qt's "*.*" needs a dot in the name.
    static QString NameFilter(const CString& description, const CString& patterns);
    // The chosen file name with the default extension appended when it has none.
    static CString WithDefaultExtension(const CString& path, const CString& defaultExt);

private:
    bool RunFileDialog(FileDialogRequest& request, bool save);
};

#pragma once

#include "bench/PrintingPrompt.h"
#include "data/DbDoc.h"
#include "platform/qt/MessageLoop.h"
#include "platform/qt/Printers.h"
#include "platform/qt/QtRegistry.h"
#include "ui/app/SplashDlg.h"

#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <string>

// Creates a new document at path keyed with password, through the document's own create, and
// leaves it open in g_db with an exclusive transaction begun for the bench's rows.
inline void BeginBenchDocument(const std::string& path, const char* password) {
    SetPasswordBuffer(g_typedPassword, password);
    bool error = false;
    if (!g_doc.CreateDocument(path.c_str(), error)) {
        std::fprintf(stderr, "cannot create %s\n", path.c_str());
        std::exit(1);
    }
    g_db.ExecDml("begin exclusive");
}

// What the program runs with, for as long as the object lives: its own settings store (QSettings)
// over a settings file that holds no regional values, as a desktop has, so every date read and
// written goes through it as in the program; a printer, a prompt that prints any box and a message
// loop. Without a file the store lies in a fresh temporary folder.
struct ProgramConditions {
    explicit ProgramConditions(const QString& settingsFile = QString())
        : registry(settingsFile.isEmpty() ? ownFolder.filePath(QStringLiteral("Pelmora.conf"))
                                          : settingsFile) {
        SetPrinterSource(&printers);
        SetPrompt(&prompt);
    }
    ~ProgramConditions() {
        SetPrompt(nullptr);
        SetPrinterSource(nullptr);
    }
    ProgramConditions(const ProgramConditions&) = delete;
    ProgramConditions& operator=(const ProgramConditions&) = delete;

    QTemporaryDir ownFolder;
    QtRegistry registry;
    FixedPrinterSource printers{QStringLiteral("Bench Printer")};
    PrintingPrompt prompt;
    CMessageLoop loop;
};

// The same for a bench that creates the main frame, whose splash then closes at once.
struct FrameConditions : ProgramConditions {
    explicit FrameConditions(const QString& settingsFile = QString()) : ProgramConditions(settingsFile) {
        CSplashDlg::s_timeoutMs = 1;
    }
};

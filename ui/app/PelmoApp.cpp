#include "ui/app/PelmoApp.h"

#include "platform/core/Prompt.h"
#include "platform/qt/MessageLoop.h"
#include "platform/qt/ProgramDir.h"
#include "platform/qt/QtPrompt.h"
#include "platform/qt/QtRegistry.h"
#include "ui/document/CreateDbDlg.h"
#include "ui/frame/CommandBarXP.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/WindowPlacement.h"

#include <QApplication>
#include <QScreen>

#include <exception>

CString CommandLineOf(int argc, char** argv) {
    CString line;
    for (int i = 1; i < argc; ++i) {
        CString argument(argv[i]);
        if (!line.IsEmpty())
            line += ' ';
        // A quoted argument is read back whole: its backslashes are not left doubled and a quote in
        // it, written twice, stands for itself.
        if (argument.IsEmpty() || argument.FindOneOf(" \t\"\\") >= 0) {
            argument.Replace("\"", "\"\"");
            line += "\"" + argument + "\"";
        } else {
            line += argument;
        }
    }
    return line;
}

int Run(const CString& commandLine, int showCmd) {
    CMessageLoop loop;
    g_programDir = ProgramDirOf(QCoreApplication::applicationFilePath().toUtf8().constData());
    int exitCode = 0;
    {
        CMainFrame frame;
        frame.m_commandLine = commandLine;
        if (!frame.Create())
            return 0;
        CWindowPlacement placement;
        if (!placement.Restore(CMainFrame::kSettingsKey, &frame)) {
            if (const QScreen* screen = QApplication::primaryScreen())
                frame.move(screen->availableGeometry().center() - frame.rect().center());
            if (showCmd == SW_SHOWMAXIMIZED)
                frame.showMaximized();
            else if (showCmd == SW_SHOWMINIMIZED)
                frame.showMinimized();
            else
                frame.show();
        }
        if (!frame.m_printerPresent)
            MessageBoxA(nullptr,
                        "You don't have a printer installed.\nYou won't be able to print or view reports",
                        "No Printer", MB_ICONINFORMATION);
        // The quit asked for during creation ends the program once it has started.
        if (!frame.QuitRequested() && frame.isVisible())
            exitCode = loop.Run();
    }
    return exitCode;
}

int WinMain(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillex"));
    QApplication::setApplicationName(QStringLiteral("Pelmora"));
    QApplication::setQuitOnLastWindowClosed(false);
    InstallCommandBarXP();
    QtRegistry settings;
    QtPrompt prompt;
    RegisterCreateDbDialog();
    // A second instance starts as the first did: nothing is shared between them.
    try {
        return Run(CommandLineOf(argc, argv), SW_SHOWNORMAL);
    } catch (const std::exception& error) {
        MessageBoxA(nullptr, error.what(), "Pelmora", MB_ICONERROR);
        return 1;
    }
}

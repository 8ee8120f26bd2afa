#pragma once

#include "platform/core/CString.h"

// The program's entry: prepares the application, the settings store and the prompt, then Run.
int WinMain(int argc, char** argv);
// Creates the main frame, restores or centres it, warns when no printer is installed and runs the
// message loop; returns its exit code, or 0 when the frame could not be created. Needs a
// QApplication.
int Run(const CString& commandLine, int showCmd);
// The command line as the shell would hand it over: the arguments joined by blanks, each that holds
// white space, a quote or a backslash (or is empty) in double quotes, with its quotes doubled.
CString CommandLineOf(int argc, char** argv);

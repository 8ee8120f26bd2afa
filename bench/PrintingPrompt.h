#pragma once

#include "platform/core/Prompt.h"

#include <cstdio>

// Answers every box with OK and prints it: a box during a timed run is a fault of the bench.
class PrintingPrompt : public Prompt {
public:
    int MessageBox(WindowHandle, const char* text, const char* caption, unsigned) override {
        std::fprintf(stderr, "box: %s: %s\n", caption, text);
        return IDOK;
    }
    bool RunCreateDbDialog(CreateDbRequest&) override { return false; }
    bool GetOpenFileName(FileDialogRequest&) override { return false; }
    bool GetSaveFileName(FileDialogRequest&) override { return false; }
};

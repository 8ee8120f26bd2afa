#include "platform/core/Prompt.h"

#include <cstdio>

namespace {

class ConsolePrompt : public Prompt {
public:
    int MessageBox(WindowHandle, const char* text, const char* caption, unsigned flags) override {
        std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
        switch (flags & MB_TYPEMASK) {
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return IDYES;
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        case MB_RETRYCANCEL:
            return IDRETRY;
        default:
            return IDOK;
        }
    }
    bool RunCreateDbDialog(CreateDbRequest&) override { return false; }
    bool GetOpenFileName(FileDialogRequest&) override { return false; }
    bool GetSaveFileName(FileDialogRequest&) override { return false; }
};

Prompt*& InstalledPrompt() {
    static Prompt* prompt = nullptr;
    return prompt;
}

} // namespace

Prompt& GetPrompt() {
    static ConsolePrompt fallback;
    Prompt* prompt = InstalledPrompt();
    return prompt ? *prompt : fallback;
}

void SetPrompt(Prompt* prompt) {
    InstalledPrompt() = prompt;
}

int MessageBoxA(WindowHandle owner, const char* text, const char* caption, unsigned flags) {
    return GetPrompt().MessageBox(owner, text, caption, flags);
}

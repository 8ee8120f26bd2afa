#include "platform/core/Progress.h"

#include "platform/core/Prompt.h"

#include <utility>

namespace {

ProgressShower& Shower() {
    static ProgressShower shower;
    return shower;
}

} // namespace

void SetProgressShower(ProgressShower shower) {
    Shower() = std::move(shower);
}

void ShowProgress(const char* text) {
    if (Shower())
        Shower()(text);
}

BusyNotice::BusyNotice(const char* text) {
    GetPrompt().BeginWaitCursor();
    ShowProgress(text);
}

BusyNotice::~BusyNotice() {
    ShowProgress(nullptr);
    GetPrompt().EndWaitCursor();
}

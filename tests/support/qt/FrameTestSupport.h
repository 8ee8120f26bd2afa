#pragma once

#include "platform/core/Registry.h"
#include "platform/qt/MessageLoop.h"
#include "platform/qt/Printers.h"
#include "tests/support/ScriptedPrompt.h"

#include <QString>

#include <functional>

// A scripted prompt whose Create/Open database dialog is a runner the test supplies (usually the
// real dialog answered through AnswerNextModal); message boxes and file dialogs stay scripted.
class DialogRunningPrompt : public ScriptedPrompt {
public:
    std::function<bool(CreateDbRequest&)> createDbRunner;
    bool RunCreateDbDialog(CreateDbRequest& request) override {
        return createDbRunner ? createDbRunner(request) : ScriptedPrompt::RunCreateDbDialog(request);
    }
};

// What every frame test installs: a memory settings store, a fixed printer, a message loop.
struct FrameEnvironment {
    FrameEnvironment();
    ~FrameEnvironment();
    MemoryRegistry registry;
    FixedPrinterSource printers{QStringLiteral("Office Printer")};
    CMessageLoop* loop;
};

#include "tests/support/FileStepFault.h"

#include "platform/core/FileOps.h"

#include <csignal>

FileStepFault::FileStepFault(Action action, size_t at) {
    SetFileStepHookForTesting([this, action, at](const char* step, const char*) {
        m_steps.emplace_back(step);
        const size_t index = m_steps.size() - 1;
        if (action == Action::FailFromThenOn)
            return index < at;
        if (action == Action::None || index != at)
            return true;
        if (action == Action::Throw)
            throw ThrownAtFileStep{};
        return false;
    });
}

FileStepFault::~FileStepFault() {
    SetFileStepHookForTesting(nullptr);
}

void KillAtFileStep(size_t at) {
    SetFileStepHookForTesting([at, step = size_t{0}](const char*, const char*) mutable {
        if (step++ == at)
            raise(SIGKILL);
        return true;
    });
}

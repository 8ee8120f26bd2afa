#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Thrown by a FileStepFault set to throw: an exception out of the middle of a write.
struct ThrownAtFileStep {};

// The file-step seam's hook for as long as the object lives: it records the name of every write step
// and makes the step at index `at` (counted from 0) fail or throw ThrownAtFileStep. FailFromThenOn
// fails that step and every later one, as a disk that filled up does. With Action::None it only
// records, which tells how many steps an operation takes.
class FileStepFault {
public:
    enum class Action { None, Fail, FailFromThenOn, Throw };
    explicit FileStepFault(Action action = Action::None, size_t at = 0);
    ~FileStepFault();
    FileStepFault(const FileStepFault&) = delete;
    FileStepFault& operator=(const FileStepFault&) = delete;

    const std::vector<std::string>& Steps() const { return m_steps; }

private:
    std::vector<std::string> m_steps;
};

// For a child process that is to die mid-write: a hook, kept until the process ends, that kills it
// with SIGKILL (no destructor, no clean-up runs) before its write step at index `at`.
void KillAtFileStep(size_t at);

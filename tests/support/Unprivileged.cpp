#include "tests/support/Unprivileged.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

int RunAsUnprivilegedUser(const std::function<int(const std::string& folder)>& body) {
    const pid_t child = fork();
    if (child != 0) {
        int status = -1;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
    }
    constexpr uid_t kNobody = 65534;
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
        _exit(90);
    char folder[] = "/tmp/pelm-unprivileged-XXXXXX";
    if (!mkdtemp(folder))
        _exit(91);
    const int result = body(folder);
    // The body may have taken the write permissions away.
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ignored))
        chmod(entry.path().c_str(), 0700);
    chmod(folder, 0700);
    std::filesystem::remove_all(folder, ignored);
    _exit(result);
}

#pragma once

#include <functional>
#include <string>

// What the file system refuses a user without write permission it does not refuse root. Runs body
// in a child process that, started as root, first becomes the unprivileged user "nobody", in a
// new folder of its own under /tmp (given to body, removed afterwards). Returns body's result as
// the child's exit code (0 to 89); 90 and up when the child could not be set up or did not end.
int RunAsUnprivilegedUser(const std::function<int(const std::string& folder)>& body);

#include "tests/support/PrivateCups.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr const char* kScheduler = "/usr/sbin/cupsd";
constexpr const char* kBackendScheme = "pelmfile";

// Writes each job's data to <folder>/<job id>.data, its title to <job id>.title and its options to
// <job id>.options, the folder being the path of the device URI. The data file appears whole, by a rename,
// once the job is done.
constexpr const char* kBackend = R"(#!/bin/sh
if [ $# -eq 0 ]; then
  echo 'direct pelmfile "Unknown" "Pelmora test file device"'
  exit 0
fi
folder="${DEVICE_URI#pelmfile:}"
printf '%s\n' "$3" > "$folder/$1.title" || exit 1
printf '%s\n' "$5" > "$folder/$1.options" || exit 1
if [ $# -ge 6 ]; then cat "$6"; else cat; fi > "$folder/$1.part" || exit 1
mv "$folder/$1.part" "$folder/$1.data"
)";

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Paper {
    const char* name;
    int width;
    int height;
};
constexpr Paper kLetter{"Letter", 612, 792};
constexpr Paper kA4{"A4", 595, 842};
constexpr Paper kA5{"A5", 420, 595};

// A queue's driver: its papers, each with its own unprintable edges (18 pt left, 12 pt right,
// 24 pt top, 36 pt bottom), and a default. Its one filter takes PDF as it is, so the backend still
// gets what the program sent.
std::string QueueDriver(const std::vector<Paper>& papers, const std::string& defaultPaper) {
    std::ostringstream ppd;
    ppd << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
        << "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"PELMTEST.PPD\"\n"
        << "*Manufacturer: \"Pelmora\"\n*Product: \"(Pelmora Test Printer)\"\n"
        << "*ModelName: \"Pelmora Test Printer\"\n*ShortNickName: \"Pelmora Test Printer\"\n"
        << "*NickName: \"Pelmora Test Printer\"\n*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n"
        << "*ColorDevice: False\n*DefaultColorSpace: Gray\n*FileSystem: False\n*Throughput: \"1\"\n"
        << "*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n"
        << "*cupsFilter: \"application/pdf 0 -\"\n";
    for (const char* option : {"PageSize", "PageRegion"}) {
        ppd << "*OpenUI *" << option << ": PickOne\n*OrderDependency: 10 AnySetup *" << option << "\n"
            << "*Default" << option << ": " << defaultPaper << "\n";
        for (const Paper& paper : papers)
            ppd << "*" << option << " " << paper.name << ": \"<</PageSize[" << paper.width << " "
                << paper.height << "]>>setpagedevice\"\n";
        ppd << "*CloseUI: *" << option << "\n";
    }
    ppd << "*DefaultImageableArea: " << defaultPaper << "\n";
    for (const Paper& paper : papers)
        ppd << "*ImageableArea " << paper.name << ": \"18 36 " << paper.width - 12 << " " << paper.height - 24
            << "\"\n";
    ppd << "*DefaultPaperDimension: " << defaultPaper << "\n";
    for (const Paper& paper : papers)
        ppd << "*PaperDimension " << paper.name << ": \"" << paper.width << " " << paper.height << "\"\n";
    return ppd.str();
}

// The folder of the scheduler's helper programs (cups-exec runs every backend).
std::string SystemServerBin() {
    for (const char* folder : {"/usr/lib/cups", "/usr/libexec/cups"}) {
        if (access((std::string(folder) + "/daemon/cups-exec").c_str(), X_OK) == 0)
            return folder;
    }
    return "/usr/lib/cups";
}

// A client command by its installed path: the administrative ones live in sbin, which a plain
// user's PATH may lack.
std::string ClientCommand(const std::string& name) {
    for (const char* folder : {"/usr/sbin/", "/usr/bin/"}) {
        const std::string path = folder + name;
        if (access(path.c_str(), X_OK) == 0)
            return path;
    }
    return name;
}

// The account the scheduler runs its helpers as. Run as root it refuses root itself, so it takes
// the printing system's own account; run as a user everything runs as that user.
struct Account {
    std::string user;
    std::string group;
    std::string systemGroup;
};

Account SchedulerAccount() {
    if (geteuid() != 0) {
        const passwd* user = getpwuid(geteuid());
        const group* primary = getgrgid(getegid());
        const std::string groupName = primary ? primary->gr_name : std::to_string(getegid());
        return {user ? user->pw_name : std::to_string(geteuid()), groupName, groupName};
    }
    if (const passwd* lp = getpwnam("lp")) {
        const group* primary = getgrgid(lp->pw_gid);
        return {"lp", primary ? primary->gr_name : "lp", "root"};
    }
    return {"nobody", "nogroup", "root"};
}

// Waits for the process to end; false when it is still running after the timeout.
bool WaitForExit(pid_t pid, std::chrono::milliseconds timeout, int* status) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const pid_t done = waitpid(pid, status, WNOHANG);
        if (done == pid || done < 0)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
}

// Starts the program with its output (both streams) appended to the log file; -1 on failure. The
// program gets SIGTERM when this process dies, so a crashed or killed test leaves no scheduler behind.
pid_t Spawn(const std::vector<std::string>& command, const std::string& log) {
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    // The child calls only what is safe after fork in a threaded process.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        _exit(127);
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (in < 0 || out < 0)
        _exit(127);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
}

bool Answers(const std::string& socketPath) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
    const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return connected;
}

} // namespace

PrivateCups::PrivateCups(std::string defaultPaper) : m_defaultPaper(std::move(defaultPaper)) {
    if (const char* server = std::getenv("CUPS_SERVER"))
        m_previousServer = server;
    WriteConfiguration();
}

PrivateCups::~PrivateCups() {
    Stop();
    if (m_previousServer)
        setenv("CUPS_SERVER", m_previousServer->c_str(), 1);
    else
        unsetenv("CUPS_SERVER");
}

bool PrivateCups::Installed() {
    return access(kScheduler, X_OK) == 0;
}

std::string PrivateCups::Socket() const {
    return Path("cups.sock");
}

void PrivateCups::WriteConfiguration() {
    for (const char* folder :
         {"conf", "spool", "spool/tmp", "cache", "state", "log", "bin", "bin/backend", "bin/daemon", "jobs"})
        fs::create_directories(Path(folder));
    const std::string systemBin = SystemServerBin();
    std::error_code ignored;
    fs::create_symlink(systemBin + "/daemon/cups-exec", Path("bin/daemon/cups-exec"), ignored);
    const std::string backend = Path("bin/backend/") + kBackendScheme;
    WriteFile(backend, kBackend);
    // Mode 0700 makes a root scheduler run the backend as root, so it may write into this folder.
    chmod(backend.c_str(), 0700);

    const Account account = SchedulerAccount();
    std::ostringstream files;
    files << "User " << account.user << "\n"
          << "Group " << account.group << "\n"
          << "SystemGroup " << account.systemGroup << "\n"
          << "ServerRoot " << Path("conf") << "\n"
          << "ServerBin " << Path("bin") << "\n"
          << "CacheDir " << Path("cache") << "\n"
          << "StateDir " << Path("state") << "\n"
          << "RequestRoot " << Path("spool") << "\n"
          << "TempDir " << Path("spool/tmp") << "\n"
          << "AccessLog " << Path("log/access_log") << "\n"
          << "ErrorLog " << Path("log/error_log") << "\n"
          << "PageLog " << Path("log/page_log") << "\n";
    WriteFile(Path("conf/cups-files.conf"), files.str());

    // Every operation is open to every local client: the socket is reachable only through this
    // folder. A job whose backend fails is dropped instead of stopping the queue.
    std::ostringstream scheduler;
    scheduler << "LogLevel debug\n"
              << "Listen " << Socket() << "\n"
              << "Browsing No\n"
              << "WebInterface No\n"
              << "DefaultAuthType None\n"
              << "ErrorPolicy abort-job\n"
              << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
              << "<Policy default>\n"
              << "  JobPrivateAccess all\n  JobPrivateValues none\n"
              << "  SubscriptionPrivateAccess all\n  SubscriptionPrivateValues none\n"
              << "  <Limit All>\n    Order deny,allow\n  </Limit>\n"
              << "</Policy>\n";
    WriteFile(Path("conf/cupsd.conf"), scheduler.str());

    // The queues' drivers let PDF through unchanged: the job goes to the backend as the program sent it.
    std::ostringstream printers;
    for (const char* queue : {kQueue, kOtherQueue}) {
        const char* tag = queue == kQueue ? "DefaultPrinter" : "Printer";
        printers << "<" << tag << " " << queue << ">\n"
                 << "Info Pelmora test queue\n"
                 << "DeviceURI " << kBackendScheme << ":" << Path("jobs") << "\n"
                 << "State Idle\n"
                 << "Accepting Yes\n"
                 << "Shared No\n"
                 << "</" << tag << ">\n";
    }
    WriteFile(Path("conf/printers.conf"), printers.str());
    fs::create_directories(Path("conf/ppd"));
    WriteFile(Path("conf/ppd/") + kQueue + ".ppd", QueueDriver({kLetter, kA4, kA5}, m_defaultPaper));
    WriteFile(Path("conf/ppd/") + kOtherQueue + ".ppd", QueueDriver({kLetter, kA4}, "A4"));
}

bool PrivateCups::Start() {
    if (Running())
        return true;
    m_failure.clear();
    setenv("CUPS_SERVER", Socket().c_str(), 1);
    m_pid = Spawn({kScheduler, "-f", "-c", Path("conf/cupsd.conf"), "-s", Path("conf/cups-files.conf")},
                  Path("log/cupsd.out"));
    if (m_pid < 0) {
        m_failure = std::string("cannot start ") + kScheduler;
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!Answers(Socket())) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            m_failure = "cupsd ended at start:\n" + ReadFile(Path("log/cupsd.out")) + ErrorLog();
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            Stop();
            m_failure = "cupsd did not answer on its socket in time:\n" + ErrorLog();
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

void PrivateCups::Stop() {
    if (!Running())
        return;
    int status = 0;
    kill(m_pid, SIGTERM);
    if (!WaitForExit(m_pid, 10s, &status)) {
        kill(m_pid, SIGKILL);
        WaitForExit(m_pid, 10s, &status);
    }
    m_pid = -1;
}

bool PrivateCups::Run(const std::vector<std::string>& command) {
    std::vector<std::string> full = command;
    full[0] = ClientCommand(full[0]);
    const std::string log = Path("log/command.out");
    std::error_code ignored;
    fs::remove(log, ignored);
    const pid_t pid = Spawn(full, log);
    int status = 0;
    bool finished = pid > 0 && WaitForExit(pid, 30s, &status);
    if (pid > 0 && !finished) {
        kill(pid, SIGKILL);
        WaitForExit(pid, 10s, &status);
    }
    m_output = ReadFile(log);
    return finished && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<PrivateCups::Job> PrivateCups::PrintedJobs() const {
    std::vector<Job> jobs;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(Path("jobs"), error)) {
        if (entry.path().extension() != ".data")
            continue;
        Job job;
        job.id = std::atoi(entry.path().stem().c_str());
        job.file = entry.path().string();
        const std::string stem = Path("jobs/" + std::to_string(job.id));
        job.title = ReadFile(stem + ".title");
        job.options = ReadFile(stem + ".options");
        for (std::string* text : {&job.title, &job.options}) {
            if (!text->empty() && text->back() == '\n')
                text->pop_back();
        }
        jobs.push_back(job);
    }
    std::sort(jobs.begin(), jobs.end(), [](const Job& a, const Job& b) { return a.id < b.id; });
    return jobs;
}

std::optional<PrivateCups::Job> PrivateCups::WaitForJob(size_t count,
                                                        std::chrono::milliseconds timeout) const {
    if (count == 0)
        return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const std::vector<Job> jobs = PrintedJobs();
        if (jobs.size() >= count)
            return jobs[count - 1];
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(50ms);
    }
}

std::vector<int> PrivateCups::PendingJobs() {
    std::vector<int> ids;
    if (!Run({"lpstat", "-o", kQueue}))
        return ids;
    std::istringstream lines(m_output);
    const std::string prefix = std::string(kQueue) + "-";
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(prefix, 0) == 0)
            ids.push_back(std::atoi(line.c_str() + prefix.size()));
    }
    return ids;
}

std::string PrivateCups::ErrorLog() const {
    const std::string log = ReadFile(Path("log/error_log"));
    constexpr size_t kTail = 6000;
    return log.size() > kTail ? log.substr(log.size() - kTail) : log;
}

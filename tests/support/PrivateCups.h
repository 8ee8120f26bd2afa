#pragma once

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// A CUPS scheduler of the test's own: configuration, spool, cache, state, logs and its socket live in
// a temp folder, and its queues write every job they print into a folder there through a small
// backend (no filter runs, so the file is what the program sent). The default destination's driver
// offers Letter, A4 and A5, each with unprintable edges of its own, and defaults to the paper given
// at construction; a second queue offers Letter and A4 and defaults to A4.
//
//     PrivateCups cups;                  // in SetUpTestSuite, before anything talks to CUPS
//     if (!PrivateCups::Installed()) GTEST_SKIP() << ...;
//     ASSERT_TRUE(cups.Start()) << cups.Failure();
//     ... print to PrivateCups::kQueue ...
//     auto job = cups.WaitForJob(1, std::chrono::seconds(30));
//
// Start sets CUPS_SERVER to the socket; libcups reads it once per thread, so the daemon must be set
// up before the process's first CUPS request. Stop and Start again keep the same socket.
class PrivateCups {
public:
    static constexpr const char* kQueue = "Pelmora_Test";
    // A second queue, printing into the same folder, with Letter and A4 only and A4 by default.
    static constexpr const char* kOtherQueue = "Pelmora_Test_A4";

    // One job the queue printed: its id, its title, the options it came with (as the backend gets
    // them: "name=value" separated by spaces) and the file with its data.
    struct Job {
        int id = 0;
        std::string title;
        std::string options;
        std::string file;
    };

    explicit PrivateCups(std::string defaultPaper = "Letter");
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    // Whether the scheduler and the client commands are installed.
    static bool Installed();

    // Starts the scheduler and waits until it answers on its socket; false (see Failure) when it
    // does not start in time.
    bool Start();
    // Stops the scheduler and waits for it to end.
    void Stop();
    bool Running() const { return m_pid > 0; }
    const std::string& Failure() const { return m_failure; }
    std::string Socket() const;

    // Runs a CUPS client command (cupsreject, cupsaccept, cupsdisable, cupsenable, lpstat...) against
    // this scheduler; true when it exits with 0. Its output goes to Output().
    bool Run(const std::vector<std::string>& command);
    const std::string& Output() const { return m_output; }

    // The jobs the queue has written completely, by id.
    std::vector<Job> PrintedJobs() const;
    // Waits until the queue has written `count` jobs in all; the job of that number, or none when
    // the time runs out.
    std::optional<Job> WaitForJob(size_t count, std::chrono::milliseconds timeout) const;
    // The ids of the jobs the scheduler holds that are not finished yet.
    std::vector<int> PendingJobs();

    // The scheduler's error log, for the message of a failed check.
    std::string ErrorLog() const;

private:
    void WriteConfiguration();
    std::string Path(const std::string& name) const { return m_dir.File(name); }

    TempDir m_dir;
    std::string m_defaultPaper;
    pid_t m_pid = -1;
    std::string m_failure;
    std::string m_output;
    std::optional<std::string> m_previousServer;
};

// The one way a test suite gets a private scheduler: started once for the suite, before anything in
// the process asks for printers, and stopped after its last test. A suite without the scheduler
// installed is skipped.
class PrivateCupsTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (PrivateCups::Installed()) {
            s_cups = new PrivateCups;
            s_started = s_cups->Start();
        }
    }
    static void TearDownTestSuite() {
        delete s_cups;
        s_cups = nullptr;
    }
    void SetUp() override {
        if (!PrivateCups::Installed())
            GTEST_SKIP() << "the CUPS scheduler (/usr/sbin/cupsd, Debian's cups-daemon) is not installed";
        ASSERT_TRUE(s_started) << s_cups->Failure();
    }

    static inline PrivateCups* s_cups = nullptr;
    static inline bool s_started = false;
};

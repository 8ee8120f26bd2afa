#include "data/DbDoc.h"
#include "data/SqlDb.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/common/SharedRead.h"

#include <QCoreApplication>

#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace {

class SharedReadTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        QCoreApplication::processEvents();
        SetPasswordBuffer(g_typedPassword, "");
        bool error = true;
        ASSERT_TRUE(g_doc.CreateDocument(m_dir.File("Shared").c_str(), error));
        m_read.Store(1, std::make_shared<const std::string>("rows"));
    }

    void TearDown() override {
        if (g_doc.IsOpen())
            g_db.Close();
    }

    TempDir m_dir;
    SharedRead<int, std::string> m_read;
};

TEST_F(SharedReadTest, TheSameAskGetsTheSameResultWhileNothingChanged) {
    const std::shared_ptr<const std::string> first = m_read.Find(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(*first, "rows");
    EXPECT_EQ(m_read.Find(1), first);
    EXPECT_EQ(m_read.Find(2), nullptr);
    // Reading changes nothing.
    g_db.ExecScalar("select count(*) from Person");
    EXPECT_EQ(m_read.Find(1), first);
}

struct Change {
    const char* name;
    std::function<void(const std::string& path)> make;
};

class SharedReadChangeTest : public SharedReadTest, public ::testing::WithParamInterface<Change> {};

TEST_P(SharedReadChangeTest, AnythingThatMayChangeTheRowsDropsTheResult) {
    GetParam().make(g_doc.GetPathName());
    EXPECT_EQ(m_read.Find(1), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, SharedReadChangeTest,
    ::testing::Values(
        Change{"WriteThroughTheDocument",
               [](const std::string&) { g_db.ExecDml("insert into PhGroup values('x', 'X')"); }},
        Change{"WriteThroughAnotherConnection",
               [](const std::string& path) {
                   SqlDb other;
                   other.Open(path.c_str());
                   other.ExecDml("insert into PhGroup values('x', 'X')");
               }},
        Change{"TheEventLoopTurns", [](const std::string&) { QCoreApplication::processEvents(); }},
        Change{"TheDocumentCloses", [](const std::string&) { g_db.Close(); }},
        Change{"AnotherDocumentOpens",
               [](const std::string& path) {
                   g_db.Close();
                   g_db.Open((path + "-other").c_str());
               }}),
    [](const ::testing::TestParamInfo<Change>& change) { return std::string(change.param.name); });

TEST_F(SharedReadTest, NothingIsKeptWithoutAnOpenDocument) {
    g_db.Close();
    m_read.Store(1, std::make_shared<const std::string>("rows"));
    EXPECT_EQ(m_read.Find(1), nullptr);
}

TEST_F(SharedReadTest, AResultGoneBeforeTheLoopTurnsIsNotTouchedByItsExpiry) {
    {
        SharedRead<int, std::string> shortLived;
        shortLived.Store(2, std::make_shared<const std::string>("gone"));
        ASSERT_NE(shortLived.Find(2), nullptr);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(m_read.Find(1), nullptr);
}

} // namespace

#pragma once

#include "data/DbDoc.h"
#include "data/SqlBuffer.h"
#include "data/SqlQuery.h"
#include "platform/core/WinTime.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sqlcipher/sqlite3.h>

#include <optional>
#include <string>
#include <vector>

// A new document in a temp folder, made by the document's own File New with a scripted Create
// dialog, and a prompt that records every box the record operations show.
class RecordsDocument : public testing::Test {
protected:
    void SetUp() override {
        {
            ScriptedPrompt creation;
            creation.AnswerCreateDb(CString(m_dir.File("Records")), CString());
            bool error = true;
            ASSERT_TRUE(g_doc.OnFileNew(error));
            ASSERT_FALSE(error);
            ASSERT_EQ(creation.UnexpectedCalls(), 0);
        }
        ASSERT_TRUE(g_doc.IsOpen());
        m_prompt.emplace();
    }

    void TearDown() override {
        m_prompt.reset();
        SetLocalTimeForTesting(std::nullopt);
        g_db.Close();
    }

    ScriptedPrompt& Prompt() { return *m_prompt; }

    // The one scalar answer of a query on the document.
    static int Count(const char* sql) { return g_db.ExecScalar(sql); }

    // Every stored person, read through the document, in the order the SQL clause gives.
    static std::vector<CPerson> StoredPersons(const char* orderBy) {
        std::vector<CPerson> persons;
        SqlQuery ids = g_db.ExecQuery((std::string("select ID from Person order by ") + orderBy).c_str());
        for (; !ids.Eof(); ids.NextRow()) {
            CPerson person;
            person.m_ID = ids.GetStringField(0, "");
            EXPECT_TRUE(g_doc.GetPerson(person));
            persons.push_back(person);
        }
        return persons;
    }

    // Whether the document's connection is outside any transaction.
    static bool InAutocommit() { return sqlite3_get_autocommit(g_db.Handle()) != 0; }

    // Fixes the local time to the day at the hour.
    static void FixToday(uint16_t year, uint16_t month, uint16_t day, uint16_t hour = 10) {
        SYSTEMTIME now;
        now.wYear = year;
        now.wMonth = month;
        now.wDay = day;
        now.wHour = hour;
        now.wMinute = 20;
        now.wSecond = 30;
        SetLocalTimeForTesting(now);
    }

    TempDir m_dir;
    std::optional<ScriptedPrompt> m_prompt;
};

#pragma once

#include "data/DbDoc.h"
#include "data/SqlBuffer.h"
#include "data/SqlDb.h"
#include "data/SqlException.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

// Two real documents in a temp folder: the one the merge reads ("other") and the open one it copies
// into. Each is made by the document's own creation and filled with its record operations while it
// is the open document; the prompt records every box the operations show.
class MergeDocuments : public testing::Test {
protected:
    void SetUp() override { m_prompt.emplace(); }

    void TearDown() override {
        g_db.Close();
        SetPasswordBuffer(g_typedPassword, "");
        SetPasswordBuffer(g_openPassword, "");
        m_prompt.reset();
    }

    // Creates a document of that name keyed with the password and makes it the open one; returns
    // its path.
    std::string CreateOpen(const std::string& name, const char* password) {
        SetPasswordBuffer(g_typedPassword, password);
        bool error = true;
        EXPECT_TRUE(g_doc.CreateDocument(m_dir.File(name).c_str(), error));
        EXPECT_FALSE(error);
        return m_dir.File(name) + ".pgr";
    }

    ScriptedPrompt& Prompt() { return *m_prompt; }

    // The one scalar answer of a query on the open document.
    static int Count(const char* sql) { return g_db.ExecScalar(sql); }

    // The one scalar answer of a query on a document read through a connection of its own.
    static int CountIn(const std::string& path, const char* password, const char* sql) {
        SqlDb db;
        db.Open(path.c_str());
        if (*password)
            db.Key(password, static_cast<int>(std::string(password).size()));
        return db.ExecScalar(sql);
    }

    // Every row of a query as "a|b|c" lines, so two tables can be compared whole.
    static std::string Rows(SqlDb& db, const char* sql) {
        std::string text;
        for (SqlQuery query = db.ExecQuery(sql); !query.Eof(); query.NextRow()) {
            for (int field = 0; field < query.NumFields(); ++field)
                text += std::string(query.GetStringField(field, "<null>")) + "|";
            text += "\n";
        }
        return text;
    }

    static std::string RowsIn(const std::string& path, const char* password, const char* sql) {
        SqlDb db;
        db.Open(path.c_str());
        if (*password)
            db.Key(password, static_cast<int>(std::string(password).size()));
        return Rows(db, sql);
    }

    // Whether another connection can take the other file's write lock at once: neither the merge's
    // second connection nor an attachment is left holding it.
    static bool FileIsFree(const std::string& path, const char* password) {
        try {
            SqlDb db;
            db.Open(path.c_str());
            if (*password)
                db.Key(password, static_cast<int>(std::string(password).size()));
            db.SetBusyTimeout(0);
            db.ExecDml("begin exclusive");
            db.ExecDml("rollback");
            return true;
        } catch (const SqlException&) {
            return false;
        }
    }

    // The names of the databases attached to the open document, besides main.
    static std::string Attached() {
        std::string names;
        for (SqlQuery query = g_db.ExecQuery("pragma database_list"); !query.Eof(); query.NextRow()) {
            const std::string name = query.GetStringField(1, "");
            if (name != "main")
                names += name + " ";
        }
        return names;
    }

    TempDir m_dir;
    std::optional<ScriptedPrompt> m_prompt;
};

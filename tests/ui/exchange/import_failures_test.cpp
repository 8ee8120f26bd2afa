// Every import command, with each of its writes made to fail in turn through the file-step seam (as
// a full disk or a failing drive would, the final commit among them): the user sees one error box and
// no success report, the command answers failure, and the document is marked modified exactly when it
// holds something of the import.

#include "data/DbDoc.h"
#include "exchange/ExportTableSpec.h"
#include "platform/core/FileOps.h"
#include "platform/core/Registry.h"
#include "tests/support/FileStepFault.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "ui/exchange/CsvCommands.h"
#include "ui/exchange/ImportTablesDlg.h"
#include "ui/exchange/ImportWabDlg.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

struct ImportKind {
    const char* name;
    // Runs the command's import and report; its answer.
    std::function<bool()> run;
};

class ImportFailures : public ::testing::Test {
protected:
    void SetUp() override {
        SetRegistry(&m_registry);
        m_registry.WriteString("Control Panel\\International", "sShortDate", "M/d/yyyy");
        SetPasswordBuffer(g_typedPassword, "");
        bool error = true;
        // The other document of the table import: two persons, two tasks, one appointment.
        ASSERT_TRUE(g_doc.CreateDocument(m_dir.File("Other").c_str(), error));
        for (const char* name : {"Smith", "Jones"}) {
            CPerson person;
            person.m_ID = std::string("P-") + name;
            person.m_LName = name;
            person.BuildDisplayName();
            ASSERT_TRUE(g_doc.InsertPerson(person, {}));
        }
        for (const char* name : {"T1", "T2"}) {
            CTask task;
            task.m_ID = name;
            task.m_Desc = name;
            ASSERT_TRUE(g_doc.InsertTask(task));
        }
        CAppt appt;
        appt.m_ID = "A1";
        appt.m_Desc = "Dentist";
        ASSERT_TRUE(g_doc.InsertAppt(appt));
        ASSERT_TRUE(g_doc.CreateDocument(m_dir.File("Local").c_str(), error));

        std::ofstream(m_dir.File("cards.vcf"))
            << "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Baker;Ann;;;\r\nFN:Ann Baker\r\nEND:VCARD\r\n"
               "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Cole;Bob;;;\r\nFN:Bob Cole\r\nEND:VCARD\r\n"
               "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Dunn;Cy;;;\r\nFN:Cy Dunn\r\nEND:VCARD\r\n";
        std::ofstream(m_dir.File("persons.csv")) << "Baker,Ann\nCole,Bob\nDunn,Cy\n";
        std::ofstream(m_dir.File("tasks.csv")) << "Pay rent\nTaxes\nCall Bob\n";
        std::ofstream(m_dir.File("appts.csv")) << "Dentist,3/20/2026,9:00 AM,10:00 AM\n"
                                                  "Barber,3/21/2026,9:00 AM,10:00 AM\n"
                                                  "Lunch,3/22/2026,12:00 PM,1:00 PM\n";
    }

    void TearDown() override {
        SetFileStepHookForTesting(nullptr);
        g_db.Close();
        SetRegistry(nullptr);
    }

    bool Csv(int commandId, const char* file, std::vector<CString> fields) {
        const CsvCommand* command = FindCsvCommand(commandId);
        CExportTableSpec spec = MakeCsvSpec(*command);
        spec.m_filePath = m_dir.File(file);
        spec.m_separator = ",";
        spec.m_qualifier = "\"";
        spec.m_columnCount = static_cast<int>(fields.size());
        spec.m_columnFields = std::move(fields);
        return ImportCsvAndReport(nullptr, *command, spec);
    }

    std::vector<ImportKind> Kinds() {
        ImportTablesChoice tables;
        tables.path = m_dir.File("Other") + ".pgr";
        return {
            {"vCard", [this] { return ImportWabAndReport(nullptr, 2, m_dir.File("cards.vcf").c_str()); }},
            {"delimited persons",
             [this] {
                 return Csv(32814, "persons.csv", {"LastName", "FirstName"});
             }},
            {"delimited tasks", [this] { return Csv(32813, "tasks.csv", {"Task"}); }},
            {"delimited appointments",
             [this] {
                 return Csv(32815, "appts.csv", {"Appointment", "Date", "StartTime", "EndTime"});
             }},
            {"other document", [tables] { return ImportTablesAndReport(nullptr, tables); }},
        };
    }

    static int Rows() {
        return g_db.ExecScalar("select (select count(*) from Person) + (select count(*) from Task) + "
                               "(select count(*) from Appt)");
    }

    static void Empty() {
        for (const char* table : {"PersonPhGroup", "Person", "Task", "Appt", "RecurringDate"})
            g_db.ExecDml((std::string("delete from ") + table).c_str());
        g_doc.SetModifiedFlag(false, false);
    }

    MemoryRegistry m_registry;
    TempDir m_dir;
};

TEST_F(ImportFailures, EachFailingStepGivesOneErrorBoxAndMarksOnlyWhatWasKept) {
    for (const ImportKind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        std::vector<std::string> steps;
        {
            Empty();
            ScriptedPrompt prompt;
            const FileStepFault none;
            EXPECT_TRUE(kind.run());
            steps = none.Steps();
            ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
            EXPECT_EQ(prompt.MessageBoxes()[0].flags & MB_ICONERROR, 0u);
            EXPECT_GT(Rows(), 0);
            EXPECT_TRUE(g_doc.IsModified());
        }
        ASSERT_FALSE(steps.empty());
        EXPECT_EQ(steps.front(), "begin import");
        EXPECT_EQ(steps.back(), "commit import");
        for (const FileStepFault::Action fault :
             {FileStepFault::Action::Fail, FileStepFault::Action::FailFromThenOn})
            for (size_t at = 0; at < steps.size(); ++at) {
                SCOPED_TRACE(std::string(fault == FileStepFault::Action::Fail ? "failing once"
                                                                              : "failing from then on") +
                             " at step " + std::to_string(at) + " (" + steps[at] + ")");
                Empty();
                ScriptedPrompt prompt;
                bool answer = true;
                {
                    const FileStepFault failing(fault, at);
                    answer = kind.run();
                }
                EXPECT_FALSE(answer);
                const std::vector<ScriptedPrompt::Call> boxes = prompt.MessageBoxes();
                ASSERT_EQ(boxes.size(), 1u);
                EXPECT_EQ(boxes[0].flags & MB_ICONERROR, static_cast<unsigned>(MB_ICONERROR));
                EXPECT_EQ(g_doc.IsModified(), Rows() > 0);
                // Without its begin or its commit, or on a full disk, nothing of the import stays.
                if (fault == FileStepFault::Action::FailFromThenOn || steps[at] == "commit import" ||
                    steps[at] == "begin import")
                    EXPECT_EQ(Rows(), 0);
            }
    }
}

} // namespace

#include "data/DbDoc.h"
#include "data/DocObserver.h"
#include "platform/core/Registry.h"
#include "platform/qt/Controls.h"
#include "platform/qt/DropShadow.h"
#include "platform/qt/Help.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/FrameTestSupport.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/app/SplashDlg.h"
#include "ui/exchange/CsvCommands.h"
#include "ui/exchange/CsvImportWizard.h"
#include "ui/exchange/CsvWizardPages.h"
#include "ui/exchange/FieldsDlg.h"
#include "ui/frame/MainFrame.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// ---- Driving modal windows ----

// Answers modal windows of a given type once they are the active modal window. Each expectation
// polls from a timer of its own, so a modal opened from inside an answer (the Fields dialog inside
// the wizard) is answered by the expectation queued just before it, in the nested loop.
class ModalScript {
public:
    ~ModalScript() { qDeleteAll(m_pending); }

    template <typename T> void Expect(std::function<void(T*)> answer) {
        auto* timer = new QTimer;
        timer->setInterval(10);
        m_pending.push_back(timer);
        QObject::connect(timer, &QTimer::timeout, [this, timer, answer = std::move(answer)] {
            T* modal = dynamic_cast<T*>(QApplication::activeModalWidget());
            if (!modal || !modal->isVisible())
                return;
            timer->stop();
            m_pending.removeOne(timer);
            timer->deleteLater();
            answer(modal);
        });
        timer->start();
    }

    // Expectations whose modal never opened.
    int Pending() const { return static_cast<int>(m_pending.size()); }

private:
    QList<QTimer*> m_pending;
};

// Fails the test when a modal window is still open after the time allowed (nobody answers it) and
// cancels every open modal so that the loops return; ends the program when even the event loop is
// stuck, so a hang never blocks the run.
class ModalWatchdog {
public:
    explicit ModalWatchdog(std::chrono::seconds allowed) {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { CancelModals(); });
        m_timer.start(std::chrono::duration_cast<std::chrono::milliseconds>(allowed));
        m_guard = std::thread([this, allowed] {
            std::unique_lock lock(m_mutex);
            if (!m_ended.wait_for(lock, allowed * 3, [this] { return m_done; })) {
                std::fprintf(stderr, "csv wizard test: the event loop is stuck, giving up\n");
                std::_Exit(EXIT_FAILURE);
            }
        });
    }

    ~ModalWatchdog() {
        m_timer.stop();
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_ended.notify_all();
        m_guard.join();
    }

private:
    void CancelModals() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        ADD_FAILURE() << "the modal window \"" << modal->windowTitle().toStdString()
                      << "\" was left open; cancelling it";
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        // The next one (the window under it) once this loop has returned.
        m_timer.start(50);
    }

    QTimer m_timer;
    std::thread m_guard;
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;
};

// ---- Acting as a user ----

void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
        QApplication::sendEvent(edit, &release);
    }
}

void PressKey(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

void ClearEdit(QLineEdit* edit) {
    edit->setFocus();
    edit->selectAll();
    PressKey(edit, Qt::Key_Backspace);
}

void ClickAt(QAbstractItemView* view, const QPoint& pos) {
    const QPointF global = view->viewport()->mapToGlobal(QPointF(pos));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(pos), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &press);
    QApplication::sendEvent(view->viewport(), &release);
}

void ClickRow(QAbstractItemView* view, int row) {
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    ClickAt(view, view->visualRect(index).center());
}

// Saves a picture of the window once its layout has settled.
void Snap(QWidget* window, const QString& name) {
    QApplication::processEvents();
    SaveScreenshot(window, name);
}

// ---- The wizard's controls ----

QLineEdit* PathEdit(QWidget* sheet) {
    return FindControl<QLineEdit>(sheet, 1058);
}

QListWidget* SeparatorList(QWidget* sheet) {
    return FindControl<QListWidget>(sheet, 1140);
}

QListWidget* QualifierList(QWidget* sheet) {
    return FindControl<QListWidget>(sheet, 1141);
}

QCheckBox* HeaderBox(QWidget* sheet) {
    return FindControl<QCheckBox>(sheet, 1135);
}

QTreeWidget* FieldList(QWidget* sheet) {
    return FindControl<QTreeWidget>(sheet, 1145);
}

QStringList Column(QTreeWidget* list, int column) {
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << list->topLevelItem(row)->text(column);
    return texts;
}

QStringList Entries(QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Counts the notifications of a change of data.
class ModifiedCounter : public CDocObserver {
public:
    void OnDocumentModified() override { ++modified; }
    int modified = 0;
};

// The name of the field the Fields dialog should pick; QString() cancels it instead.
struct Assignment {
    int row;
    QString field;
};

// A frame over a new open document with en-US short dates; the wizard runs through the frame's
// commands and is answered page by page as a user would.
class CsvWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSplashDlg::s_timeoutMs = 1;
        env.registry.WriteString("Control Panel\\International", "sShortDate", "M/d/yyyy");
        SetPasswordBuffer(g_typedPassword, "");
        bool error = true;
        ASSERT_TRUE(g_doc.CreateDocument(m_dir.File("Local").c_str(), error));
        ASSERT_TRUE(m_frame.Create());
        m_counter.Attach(&g_doc);
        g_doc.SetModifiedFlag(false, false);
        prompt.Clear();
    }

    void TearDown() override {
        EXPECT_EQ(m_script.Pending(), 0) << "a window the test meant to answer never opened";
        m_counter.Detach();
        g_db.Close();
    }

    // Runs a command whose wizard `drive` answers; the wizard must be closed when drive returns.
    void Run(int command, std::function<void(CsvImportWizard*)> drive) {
        bool driven = false;
        m_script.Expect<CsvImportWizard>([&driven, drive = std::move(drive)](CsvImportWizard* sheet) {
            drive(sheet);
            driven = true;
            EXPECT_FALSE(sheet->isVisible()) << "the wizard is still open after its answer";
        });
        EXPECT_TRUE(m_frame.OnCommand(command));
        EXPECT_TRUE(driven);
    }

    // Clicks a row of the import list and answers the Fields dialog with the field (or Cancel).
    void Assign(CsvImportWizard* sheet, const Assignment& assignment,
                std::function<void(CFieldsDlg*)> check = nullptr) {
        bool answered = false;
        m_script.Expect<CFieldsDlg>([&answered, assignment, check](CFieldsDlg* dialog) {
            answered = true;
            if (check)
                check(dialog);
            if (assignment.field.isEmpty()) {
                FindControl<QPushButton>(dialog, IDCANCEL)->click();
                return;
            }
            auto* combo = FindControl<QComboBox>(dialog, CFieldsDlg::kIdFieldCombo);
            combo->setCurrentIndex(combo->findText(assignment.field));
            FindControl<QPushButton>(dialog, IDOK)->click();
        });
        ClickRow(FieldList(sheet), assignment.row);
        EXPECT_TRUE(answered) << "no Fields dialog for row " << assignment.row;
    }

    // From the first page to the last: the path, the separator and encloser rows, the header box.
    static void ToFieldsPage(CsvImportWizard* sheet, const std::string& path, int separatorRow = 0,
                             int qualifierRow = 0, bool header = true) {
        Type(PathEdit(sheet), QString::fromStdString(path));
        sheet->NextButton()->click();
        ASSERT_EQ(sheet->GetActiveIndex(), 1);
        ClickRow(SeparatorList(sheet), separatorRow);
        ClickRow(QualifierList(sheet), qualifierRow);
        if (HeaderBox(sheet)->isChecked() != header)
            HeaderBox(sheet)->click();
        sheet->NextButton()->click();
        ASSERT_EQ(sheet->GetActiveIndex(), 2);
    }

    // Ticks the export fields by clicking their rows and pressing the space bar.
    static void Tick(CsvImportWizard* sheet, const QStringList& fields) {
        QTreeWidget* list = FieldList(sheet);
        list->setFocus();
        for (const QString& field : fields) {
            const QList<QTreeWidgetItem*> found = list->findItems(field, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << field.toStdString();
            ClickRow(list, list->indexOfTopLevelItem(found[0]));
            PressKey(list, Qt::Key_Space);
            EXPECT_EQ(found[0]->checkState(0), Qt::Checked) << field.toStdString();
        }
    }

    static int Count(const char* table) {
        return g_db.ExecScalar((std::string("select count(*) from ") + table).c_str());
    }

    FrameEnvironment env;
    DialogRunningPrompt prompt;
    TempDir m_dir;
    CMainFrame m_frame;
    ModifiedCounter m_counter;
    ModalScript m_script;
    ModalWatchdog m_watchdog{std::chrono::seconds(20)};
};

// ---- The three imports and three exports through every page ----

TEST_F(CsvWizardTest, ImportsPersonsThroughEveryPage) {
    const std::string path = m_dir.File("people.csv");
    WriteFile(path, "\"First\",\"Last\",\"Company\",\"Mail\"\r\n"
                    "\"Ann\",\"Baker\",\"\",\"ann@example.com\"\r\n"
                    "\"Bob\",\"Cole\",\"Acme, Inc.\",\"\"\r\n");
    prompt.AnswerMessageBox(IDOK);
    Run(32814, [&](CsvImportWizard* sheet) {
        EXPECT_EQ(sheet->WizardTitle(), "Import Person Information From Text File");
        EXPECT_EQ(sheet->windowTitle(), "Select Document");
        EXPECT_TRUE(sheet->windowFlags() & Qt::WindowContextHelpButtonHint);
        EXPECT_EQ(FindControl<QGroupBox>(sheet, 1001)->title(), "Select File");
        EXPECT_EQ(FindControl<QPushButton>(sheet, 1059)->text(), "...");
        EXPECT_TRUE(sheet->NextButton()->isVisible());
        EXPECT_FALSE(sheet->NextButton()->isEnabled());
        EXPECT_FALSE(sheet->BackButton()->isEnabled());
        EXPECT_FALSE(sheet->FinishButton()->isVisible());
        Type(PathEdit(sheet), QString::fromStdString(path));
        EXPECT_TRUE(sheet->NextButton()->isEnabled());
        Snap(sheet, "csv-wizard-1-select-document");
        sheet->NextButton()->click();

        EXPECT_EQ(sheet->windowTitle(), "Document Structure");
        EXPECT_TRUE(sheet->BackButton()->isEnabled());
        EXPECT_TRUE(sheet->NextButton()->isEnabled());
        EXPECT_EQ(FindControl<QLineEdit>(sheet, 1144)->text(), "\"First\",\"Last\",\"Company\",\"Mail\"");
        EXPECT_TRUE(FindControl<QGroupBox>(sheet, 1150)->isVisible());
        EXPECT_EQ(HeaderBox(sheet)->text(), "First line of document contains field names");
        EXPECT_TRUE(HeaderBox(sheet)->isChecked());
        EXPECT_EQ(Entries(SeparatorList(sheet)),
                  QStringList({"Comma(,)", "Semi-colon(;)", "Pipe(|)", "Space", "Tab"}));
        EXPECT_EQ(Entries(QualifierList(sheet)),
                  QStringList({"Double Quote(\")", "Single Quote(')", "Nothing"}));
        EXPECT_EQ(SeparatorList(sheet)->currentRow(), 0);
        EXPECT_EQ(QualifierList(sheet)->currentRow(), 0);
        QStringList groups;
        for (int id : {1003, 1005, 1007, 1150})
            groups << FindControl<QGroupBox>(sheet, id)->title();
        EXPECT_EQ(groups, QStringList({"Field Names", "Field Separator", "Field Encloser",
                                       "First line of document"}));
        Snap(sheet, "csv-wizard-2-document-structure");
        sheet->NextButton()->click();

        EXPECT_EQ(sheet->windowTitle(), "Fields To Import");
        EXPECT_TRUE(sheet->BackButton()->isEnabled());
        EXPECT_FALSE(sheet->NextButton()->isVisible());
        EXPECT_TRUE(sheet->FinishButton()->isVisible());
        EXPECT_TRUE(sheet->FinishButton()->isEnabled());
        EXPECT_EQ(FindControl<QGroupBox>(sheet, 1010)->title(), "Available Fields");
        QTreeWidget* list = FieldList(sheet);
        ASSERT_EQ(list->columnCount(), 2);
        EXPECT_EQ(list->headerItem()->text(0), "Import Fields");
        EXPECT_EQ(list->headerItem()->text(1), "Persons Fields");
        EXPECT_EQ(Column(list, 0), QStringList({"First", "Last", "Company", "Mail"}));
        EXPECT_EQ(Column(list, 1), QStringList({"", "", "", ""}));

        Assign(sheet, {0, "FirstName"}, [](CFieldsDlg* dialog) {
            EXPECT_EQ(dialog->windowTitle(), "Fields");
            EXPECT_EQ(FindControl<QLabel>(dialog, 1013)->text(), "Assign imported field to this field:");
            EXPECT_EQ(FindControl<QCheckBox>(dialog, 1147)->text(), "Import this field");
            auto* combo = FindControl<QComboBox>(dialog, 1148);
            ASSERT_EQ(combo->count(), 29);
            EXPECT_EQ(combo->itemText(0), "Title");
            EXPECT_EQ(combo->itemText(23), "Notes");
            EXPECT_EQ(combo->itemText(28), "WorkWebPage");
            EXPECT_EQ(combo->currentIndex(), -1);
            EXPECT_FALSE(FindControl<QPushButton>(dialog, IDOK)->isEnabled());
            combo->setCurrentIndex(1);
            Snap(dialog, "csv-wizard-4-fields-dialog");
        });
        Assign(sheet, {1, "LastName"});
        Assign(sheet, {2, "Company"});
        EXPECT_EQ(Column(list, 1), QStringList({"FirstName", "LastName", "Company", ""}));
        Snap(sheet, "csv-wizard-3-fields-to-import");
        sheet->FinishButton()->click();
    });

    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    const ScriptedPrompt::Call report = prompt.MessageBoxes()[0];
    EXPECT_EQ(report.text, "2 names added to current database.");
    EXPECT_EQ(report.caption, "Imported Names");
    EXPECT_EQ(report.flags, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_EQ(report.owner, static_cast<WindowHandle>(&m_frame));
    EXPECT_GE(prompt.WaitCursorsShown(), 1);
    EXPECT_EQ(prompt.WaitCursorDepth(), 0);
    EXPECT_TRUE(g_doc.IsModified());
    EXPECT_GE(m_counter.modified, 1);
    EXPECT_EQ(Count("Person"), 2);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person where FName = 'Ann' and LName = 'Baker' and "
                              "Company = '' and Email = ''"),
              1);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person where FName = 'Bob' and LName = 'Cole' and "
                              "Company = 'Acme, Inc.'"),
              1);
}

TEST_F(CsvWizardTest, ImportsTasksWithSemicolonsAndSingleQuotes) {
    const std::string path = m_dir.File("tasks.txt");
    WriteFile(path, "'Buy milk';'3/4/2027';'';'1'\n'Call Ann; then Bob';'';'';'2'\n");
    prompt.AnswerMessageBox(IDOK);
    Run(32813, [&](CsvImportWizard* sheet) {
        EXPECT_EQ(sheet->WizardTitle(), "Import Tasks From Text File");
        ToFieldsPage(sheet, path, 1, 1, false);
        QTreeWidget* list = FieldList(sheet);
        EXPECT_EQ(list->headerItem()->text(1), "Tasks Fields");
        EXPECT_EQ(Column(list, 0), QStringList({"Buy milk", "3/4/2027", "EMPTY FIELD", "1"}));
        Assign(sheet, {0, "Task"}, [](CFieldsDlg* dialog) {
            auto* combo = FindControl<QComboBox>(dialog, 1148);
            EXPECT_EQ(combo->count(), 4);
            EXPECT_EQ(combo->itemText(3), "Priority");
        });
        Assign(sheet, {1, "DateDue"});
        Assign(sheet, {3, "Priority"});
        sheet->FinishButton()->click();
    });

    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text, "2 tasks added to current database.");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Imported Tasks");
    EXPECT_TRUE(g_doc.IsModified());
    EXPECT_EQ(Count("Task"), 2);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Task where Desc = 'Buy milk' and Priority = 1 and "
                              "DateDue like '2027-03-04%'"),
              1);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Task where Desc = 'Call Ann; then Bob' and Priority = 2"),
              1);
}

TEST_F(CsvWizardTest, ImportsAppointmentsWithPipesAndNoEncloser) {
    const std::string path = m_dir.File("diary.txt");
    WriteFile(path, "Subject|Day|From|To|Ignored\nDentist|3/4/2027|9:00 AM|10:00 AM|x\n");
    prompt.AnswerMessageBox(IDOK);
    Run(32815, [&](CsvImportWizard* sheet) {
        EXPECT_EQ(sheet->WizardTitle(), "Import Appointments From Text File");
        ToFieldsPage(sheet, path, 2, 2, true);
        QTreeWidget* list = FieldList(sheet);
        EXPECT_EQ(list->headerItem()->text(1), "Appointments Fields");
        EXPECT_EQ(Column(list, 0), QStringList({"Subject", "Day", "From", "To", "Ignored"}));
        const Assignment assignments[] = {{0, "Appointment"}, {1, "Date"}, {2, "StartTime"}, {3, "EndTime"}};
        for (const Assignment& assignment : assignments)
            Assign(sheet, assignment);
        sheet->FinishButton()->click();
    });

    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text, "1 appointments added to current database.");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Imported Appointments");
    EXPECT_TRUE(g_doc.IsModified());
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Appt where Desc = 'Dentist' and DateDue like "
                              "'2027-03-04%' and StartTime like '2027-03-04 09:00%' and EndTime like "
                              "'2027-03-04 10:00%'"),
              1);
}

struct ExportCase {
    int command;
    const char* label;
    int separatorRow;
    int qualifierRow;
    bool header;
    QStringList ticked;
    std::string written;
};

TEST_F(CsvWizardTest, ExportsEachRecordKindThroughEveryPage) {
    CPerson person;
    person.m_ID = "P1";
    person.m_FName = "Ann";
    person.m_LName = "Baker";
    person.m_Company = "Acme, Inc.";
    person.BuildDisplayName();
    ASSERT_TRUE(g_doc.InsertPerson(person, {}));
    CTask task;
    task.m_ID = "T1";
    task.m_Desc = "Buy milk";
    task.m_Priority = kPriorityMedium;
    ASSERT_TRUE(g_doc.InsertTask(task));
    CAppt appt;
    appt.m_ID = "A1";
    appt.m_Desc = "Dentist";
    appt.m_DateDue = CDateTime(2027, 3, 4);
    appt.m_StartTime = CDateTime(2027, 3, 4, 9, 0, 0);
    appt.m_EndTime = CDateTime(2027, 3, 4, 10, 0, 0);
    appt.m_AlarmTime = appt.m_StartTime;
    ASSERT_TRUE(g_doc.InsertAppt(appt));
    g_doc.SetModifiedFlag(false, false);

    const ExportCase cases[] = {
        {32781,
         "Persons",
         0,
         0,
         true,
         {"LastName", "Company"},
         "\"LastName\",\"Company\"\n\"Baker\",\"Acme, Inc.\"\n"},
        // Tab with Nothing around the values: bare tab-separated values.
        {32801, "Tasks", 4, 2, true, {"Task", "Priority"}, "Task\tPriority\nBuy milk\t1\n"},
        {32783, "Appointments", 1, 1, false, {"Date", "Appointment"}, "'Dentist';'3/4/2027'\n"},
    };
    for (const ExportCase& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string path = m_dir.File(std::string(c.label) + ".csv");
        Run(c.command, [&](CsvImportWizard* sheet) {
            Type(PathEdit(sheet), QString::fromStdString(path));
            sheet->NextButton()->click();
            // An export has no first line to show.
            EXPECT_FALSE(FindControl<QGroupBox>(sheet, 1150)->isVisible());
            ClickRow(SeparatorList(sheet), c.separatorRow);
            ClickRow(QualifierList(sheet), c.qualifierRow);
            if (!c.header)
                HeaderBox(sheet)->click();
            if (c.command == 32781)
                Snap(sheet, "csv-wizard-2-document-structure-export");
            sheet->NextButton()->click();
            QTreeWidget* list = FieldList(sheet);
            ASSERT_EQ(list->columnCount(), 1);
            EXPECT_EQ(list->headerItem()->text(0), QString(c.label) + " Fields");
            const QStringList fields = Column(list, 0);
            ASSERT_FALSE(fields.isEmpty());
            for (int row = 0; row < list->topLevelItemCount(); ++row)
                EXPECT_EQ(list->topLevelItem(row)->checkState(0), Qt::Unchecked) << row;
            Tick(sheet, c.ticked);
            if (c.command == 32781) {
                EXPECT_EQ(fields.size(), 29);
                EXPECT_EQ(fields.last(), "Notes");
                Snap(sheet, "csv-wizard-3-fields-to-export");
            }
            sheet->FinishButton()->click();
        });
        EXPECT_EQ(ReadFile(path), c.written);
    }
    // An export reports nothing and changes nothing.
    EXPECT_TRUE(prompt.MessageBoxes().empty());
    EXPECT_FALSE(g_doc.IsModified());
    EXPECT_EQ(m_counter.modified, 0);
}

// ---- The first page ----

TEST_F(CsvWizardTest, NextStaysDisabledUntilAPathIsTyped) {
    Run(32814, [&](CsvImportWizard* sheet) {
        // The path can be typed at once: the page's first control has the focus.
        EXPECT_EQ(sheet->focusWidget(), PathEdit(sheet));
        QPushButton* next = sheet->NextButton();
        EXPECT_FALSE(next->isEnabled());
        next->click();
        EXPECT_EQ(sheet->GetActiveIndex(), 0);
        Type(PathEdit(sheet), "a");
        EXPECT_TRUE(next->isEnabled());
        ClearEdit(PathEdit(sheet));
        EXPECT_EQ(PathEdit(sheet)->text(), "");
        EXPECT_FALSE(next->isEnabled());
        // Next reached with an empty path anyway (the Enter key) asks for a name and stays.
        EXPECT_FALSE(sheet->GetActivePage()->OnWizardNext());
        ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
        EXPECT_EQ(prompt.MessageBoxes()[0].text, "You must enter a file name");
        EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Enter File Name");
        EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONINFORMATION));
        sheet->CancelButton()->click();
    });
}

TEST_F(CsvWizardTest, AMissingFileStopsOnTheFirstPage) {
    prompt.AnswerMessageBox(IDOK);
    Run(32813, [&](CsvImportWizard* sheet) {
        Type(PathEdit(sheet), QString::fromStdString(m_dir.File("missing.csv")));
        sheet->NextButton()->click();
        EXPECT_EQ(sheet->GetActiveIndex(), 0);
        EXPECT_EQ(sheet->windowTitle(), "Select Document");
        EXPECT_EQ(PathEdit(sheet)->text().toStdString(), m_dir.File("missing.csv"));
        sheet->CancelButton()->click();
    });
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text, "Unable to open file");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "File Error");
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_EQ(m_counter.modified, 0);
}

TEST_F(CsvWizardTest, BrowseOpensForImportsAndSavesForExports) {
    const struct {
        int command;
        ScriptedPrompt::Kind kind;
    } cases[] = {{32814, ScriptedPrompt::Kind::OpenFileDialog},
                 {32781, ScriptedPrompt::Kind::SaveFileDialog}};
    for (const auto& c : cases) {
        prompt.Clear();
        prompt.AnswerFileDialog("/tmp/chosen.csv");
        prompt.CancelFileDialog();
        Run(c.command, [&](CsvImportWizard* sheet) {
            Type(PathEdit(sheet), "old.csv");
            FindControl<QPushButton>(sheet, 1059)->click();
            EXPECT_EQ(PathEdit(sheet)->text(), "/tmp/chosen.csv");
            EXPECT_TRUE(sheet->NextButton()->isEnabled());
            // A cancelled choice keeps the path.
            FindControl<QPushButton>(sheet, 1059)->click();
            EXPECT_EQ(PathEdit(sheet)->text(), "/tmp/chosen.csv");
            sheet->CancelButton()->click();
        });
        ASSERT_EQ(prompt.Calls().size(), 2u);
        EXPECT_EQ(prompt.Calls()[0].kind, c.kind);
        const FileDialogRequest& request = prompt.Calls()[0].fileDialog;
        EXPECT_EQ(request.fileName, "old.csv");
        EXPECT_EQ(prompt.Calls()[1].fileDialog.fileName, "/tmp/chosen.csv");
        EXPECT_EQ(request.defaultExt, "csv");
        EXPECT_EQ(request.flags, static_cast<unsigned>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
        ASSERT_EQ(request.filters.size(), 3u);
        EXPECT_EQ(request.filters[0].first, "Comma Separated files (*.csv)");
        EXPECT_EQ(request.filters[0].second, "*.csv");
        EXPECT_EQ(request.filters[1].first, "Text Files (*.txt)");
        EXPECT_EQ(request.filters[1].second, "*.txt");
        EXPECT_EQ(request.filters[2].first, "All files (*.)");
        EXPECT_EQ(request.filters[2].second, "*.*");
    }
}

// ---- The last page ----

TEST_F(CsvWizardTest, AnEmptyFirstLineGivesNoRowsAndFinishRefuses) {
    const std::string path = m_dir.File("blank.csv");
    WriteFile(path, "\nAnn,Baker\n");
    prompt.AnswerMessageBox(IDOK);
    Run(32814, [&](CsvImportWizard* sheet) {
        ToFieldsPage(sheet, path);
        EXPECT_EQ(FieldList(sheet)->topLevelItemCount(), 0);
        sheet->FinishButton()->click();
        EXPECT_TRUE(sheet->isVisible());
        EXPECT_EQ(sheet->GetActiveIndex(), 2);
        sheet->CancelButton()->click();
    });
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text,
              "You must include a first name, last name, or company as a field to import.");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Import Error");
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONWARNING));
    EXPECT_EQ(Count("Person"), 0);
}

TEST_F(CsvWizardTest, AFieldAssignedToASecondColumnLeavesTheFirst) {
    const std::string path = m_dir.File("people.csv");
    WriteFile(path, "A,B,C\n");
    Run(32814, [&](CsvImportWizard* sheet) {
        ToFieldsPage(sheet, path);
        QTreeWidget* list = FieldList(sheet);
        Assign(sheet, {0, "LastName"});
        Assign(sheet, {2, "Company"});
        Assign(sheet, {1, "LastName"});
        EXPECT_EQ(Column(list, 1), QStringList({"", "LastName", "Company"}));
        // The dialog opens on the column's field, with OK ready; Cancel leaves the column as it was.
        Assign(sheet, {1, QString()}, [](CFieldsDlg* dialog) {
            EXPECT_EQ(FindControl<QComboBox>(dialog, 1148)->currentText(), "LastName");
            EXPECT_TRUE(FindControl<QPushButton>(dialog, IDOK)->isEnabled());
        });
        EXPECT_EQ(Column(list, 1), QStringList({"", "LastName", "Company"}));
        // Choosing a column's own field again keeps it there.
        Assign(sheet, {2, "Company"});
        EXPECT_EQ(Column(list, 1), QStringList({"", "LastName", "Company"}));
        // Space on the current row opens the dialog as a click does.
        bool answered = false;
        m_script.Expect<CFieldsDlg>([&answered](CFieldsDlg* dialog) {
            answered = true;
            FindControl<QComboBox>(dialog, 1148)->setCurrentIndex(2);
            FindControl<QPushButton>(dialog, IDOK)->click();
        });
        list->setFocus();
        list->setCurrentItem(list->topLevelItem(0));
        PressKey(list, Qt::Key_Space);
        EXPECT_TRUE(answered);
        EXPECT_EQ(Column(list, 1), QStringList({"LastName", "", "Company"}));
        sheet->CancelButton()->click();
    });
}

// A change made on the pages before, after the Fields page was shown once: what to change there.
enum class Change { Nothing, File, Separator, Qualifier, Header };

struct ColumnsCase {
    const char* name;
    Change change;
    std::string first;              // the file the wizard starts with
    std::string second;             // the file chosen instead (Change::File)
    int separatorRow, qualifierRow; // the first choices; a change picks the next separator or qualifier
    bool header;
    std::vector<Assignment> before; // the fields given before going back
    QStringList columns, fields;    // the Fields page when it is shown again
    std::vector<Assignment> after;  // fields given then
    const char* stored;             // a query over Person that must count 1 after Finish
    int persons;                    // the persons added
};

// Whenever the file, the separator, the encloser or the header choice changed, the Fields page shows
// the columns of the new choice when it is next shown: the fields of the columns still there stay
// (by their text), those of the columns gone are dropped, and Finish imports with the new columns.
TEST_F(CsvWizardTest, TheFieldsPageFollowsEveryChangeOfThePagesBefore) {
    const ColumnsCase cases[] = {
        {"nothing changed",
         Change::Nothing,
         "Last,First,Company\nSmith,Ann,Acme\n",
         "",
         0,
         0,
         true,
         {{0, "LastName"}, {2, "Company"}},
         {"Last", "First", "Company"},
         {"LastName", "", "Company"},
         {},
         "LName = 'Smith' and FName = '' and Company = 'Acme'",
         1},
        {"another file",
         Change::File,
         "Last,First,Company\nSmith,Ann,Acme\n",
         "Company,Last,Notes,Extra\nBeta,Cole,hi,x\n",
         0,
         0,
         true,
         {{0, "LastName"}, {1, "FirstName"}, {2, "Company"}},
         {"Company", "Last", "Notes", "Extra"},
         {"Company", "LastName", "", ""},
         {{2, "Notes"}},
         "LName = 'Cole' and FName = '' and Company = 'Beta' and Notes = 'hi'",
         1},
        {"another separator",
         Change::Separator,
         "Name,Company;Notes\nSmith,Acme;hi\n",
         "",
         0,
         0,
         true,
         {{0, "LastName"}, {1, "Company"}},
         {"Name,Company", "Notes"},
         {"", ""},
         {{0, "LastName"}, {1, "Notes"}},
         "LName = 'Smith,Acme' and Company = '' and Notes = 'hi'",
         1},
        {"another encloser",
         Change::Qualifier,
         "Notes,'Last','Co, Inc'\nhi,'Smith','Acme, Inc'\n",
         "",
         0,
         0,
         true,
         {{0, "Notes"}, {1, "LastName"}},
         {"Notes", "Last", "Co, Inc"},
         {"Notes", "", ""},
         {{1, "LastName"}, {2, "Company"}},
         "LName = 'Smith' and Company = 'Acme, Inc' and Notes = 'hi'",
         1},
        {"the header unticked",
         Change::Header,
         "Last,Company\nSmith,Acme\n",
         "",
         0,
         0,
         true,
         {{0, "LastName"}, {1, "Company"}},
         {"Last", "Company"},
         {"LastName", "Company"},
         {},
         "LName = 'Last' and Company = 'Company'",
         2},
    };
    for (const ColumnsCase& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.Clear();
        g_db.ExecDml("delete from PersonPhGroup");
        g_db.ExecDml("delete from Person");
        const std::string first = m_dir.File("first.csv"), second = m_dir.File("second.csv");
        WriteFile(first, c.first);
        WriteFile(second, c.second);
        prompt.AnswerMessageBox(IDOK);
        Run(32814, [&](CsvImportWizard* sheet) {
            ToFieldsPage(sheet, first, c.separatorRow, c.qualifierRow, c.header);
            for (const Assignment& assignment : c.before)
                Assign(sheet, assignment);
            sheet->BackButton()->click();
            ASSERT_EQ(sheet->GetActiveIndex(), 1);
            switch (c.change) {
            case Change::Nothing:
                break;
            case Change::File:
                sheet->BackButton()->click();
                ClearEdit(PathEdit(sheet));
                Type(PathEdit(sheet), QString::fromStdString(second));
                sheet->NextButton()->click();
                ASSERT_EQ(sheet->GetActiveIndex(), 1);
                break;
            case Change::Separator:
                ClickRow(SeparatorList(sheet), c.separatorRow + 1);
                break;
            case Change::Qualifier:
                ClickRow(QualifierList(sheet), c.qualifierRow + 1);
                break;
            case Change::Header:
                HeaderBox(sheet)->click();
                break;
            }
            sheet->NextButton()->click();
            ASSERT_EQ(sheet->GetActiveIndex(), 2);
            QTreeWidget* list = FieldList(sheet);
            EXPECT_EQ(Column(list, 0), c.columns);
            EXPECT_EQ(Column(list, 1), c.fields);
            for (const Assignment& assignment : c.after)
                Assign(sheet, assignment);
            sheet->FinishButton()->click();
        });
        ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
        CString report;
        report.Format("%d names added to current database.", c.persons);
        EXPECT_EQ(prompt.MessageBoxes()[0].text, report);
        EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), c.persons);
        EXPECT_EQ(g_db.ExecScalar((std::string("select count(*) from Person where ") + c.stored).c_str()), 1);
    }
}

struct RequiredCase {
    int command;
    const char* firstLine;
    std::vector<Assignment> assignments;
    const char* refusal; // null: accepted
};

TEST_F(CsvWizardTest, FinishChecksTheRequiredFieldsOfEachKind) {
    const RequiredCase cases[] = {
        {32814, "Co,Misc\n", {{0, "Company"}}, nullptr},
        {32814, "First,Misc\n", {{0, "FirstName"}}, nullptr},
        {32814,
         "Co,Misc\n",
         {{1, "Notes"}},
         "You must include a first name, last name, or company as a field to import."},
        {32813, "Task,Due\n", {{1, "DateDue"}}, "You must include a task as a field to import."},
        {32813, "Task,Due\n", {{0, "Task"}}, nullptr},
        {32815,
         "A,D,S,E\n",
         {{0, "Appointment"}, {1, "Date"}, {2, "StartTime"}},
         "You must include an appointment, date, start time, and end time as fields to import."},
        {32815, "A,D,S,E\n", {{0, "Appointment"}, {1, "Date"}, {2, "StartTime"}, {3, "EndTime"}}, nullptr},
    };
    const std::string path = m_dir.File("header-only.csv");
    for (const RequiredCase& c : cases) {
        SCOPED_TRACE(c.firstLine);
        prompt.Clear();
        WriteFile(path, c.firstLine);
        prompt.AnswerMessageBox(IDOK);
        Run(c.command, [&](CsvImportWizard* sheet) {
            ToFieldsPage(sheet, path);
            for (const Assignment& assignment : c.assignments)
                Assign(sheet, assignment);
            sheet->FinishButton()->click();
            EXPECT_EQ(sheet->isVisible(), c.refusal != nullptr);
            if (sheet->isVisible())
                sheet->CancelButton()->click();
        });
        ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
        const ScriptedPrompt::Call box = prompt.MessageBoxes()[0];
        if (c.refusal) {
            EXPECT_EQ(box.text, c.refusal);
            EXPECT_EQ(box.caption, "Import Error");
            EXPECT_EQ(box.flags, static_cast<unsigned>(MB_ICONWARNING));
        } else {
            // Only field names in the file: nothing to add, and the report says so.
            EXPECT_EQ(box.text.Find("0 "), 0) << box.text.c_str();
        }
    }
}

TEST_F(CsvWizardTest, AnImportThatAddsNothingStillReportsAndMarksTheDocument) {
    const std::string path = m_dir.File("tasks.csv");
    WriteFile(path, "Task,Priority\n");
    prompt.AnswerMessageBox(IDOK);
    Run(32813, [&](CsvImportWizard* sheet) {
        ToFieldsPage(sheet, path);
        Assign(sheet, {0, "Task"});
        sheet->FinishButton()->click();
    });
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text, "0 tasks added to current database.");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Imported Tasks");
    EXPECT_TRUE(g_doc.IsModified());
    EXPECT_EQ(m_counter.modified, 1);
}

TEST_F(CsvWizardTest, AnExportWithNoFieldTickedStays) {
    CTask task;
    task.m_ID = "T1";
    task.m_Desc = "Buy milk";
    ASSERT_TRUE(g_doc.InsertTask(task));
    const std::string path = m_dir.File("out.csv");
    prompt.AnswerMessageBox(IDOK);
    Run(32801, [&](CsvImportWizard* sheet) {
        ToFieldsPage(sheet, path);
        sheet->FinishButton()->click();
        EXPECT_TRUE(sheet->isVisible());
        sheet->CancelButton()->click();
    });
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text, "You must choose at least one field to export.");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Export Error");
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONWARNING));
    EXPECT_FALSE(std::filesystem::exists(path));
}

// ---- Cancel ----

TEST_F(CsvWizardTest, CancelOnAnyPageTouchesNeitherTheFileNorTheDocument) {
    CPerson person;
    person.m_ID = "P1";
    person.m_LName = "Baker";
    person.BuildDisplayName();
    ASSERT_TRUE(g_doc.InsertPerson(person, {}));
    g_doc.SetModifiedFlag(false, false);
    const std::string path = m_dir.File("people.csv");
    const std::string content = "First,Last\nAnn,Cole\n";
    WriteFile(path, content);
    for (int command : {32814, 32781}) {
        for (int page = 0; page < 3; ++page) {
            SCOPED_TRACE(command * 10 + page);
            Run(command, [&](CsvImportWizard* sheet) {
                Type(PathEdit(sheet), QString::fromStdString(path));
                if (page > 0)
                    sheet->NextButton()->click();
                if (page > 1) {
                    sheet->NextButton()->click();
                    if (command == 32814)
                        Assign(sheet, {1, "LastName"});
                    else
                        Tick(sheet, {"LastName"});
                }
                ASSERT_EQ(sheet->GetActiveIndex(), page);
                // The Escape key on the last page, the Cancel button elsewhere.
                if (page == 2)
                    PressKey(sheet, Qt::Key_Escape);
                else
                    sheet->CancelButton()->click();
            });
        }
    }
    EXPECT_EQ(ReadFile(path), content);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.path()),
                            std::filesystem::directory_iterator()),
              2); // the document and the text file
    EXPECT_EQ(Count("Person"), 1);
    EXPECT_TRUE(prompt.MessageBoxes().empty());
    EXPECT_FALSE(g_doc.IsModified());
    EXPECT_EQ(m_counter.modified, 0);
}

// ---- Help ----

TEST_F(CsvWizardTest, HelpOpensTheImportOrExportTopicOnEveryPage) {
    const std::string path = m_dir.File("people.csv");
    WriteFile(path, "First,Last\n");
    for (const auto& commandTopic : {std::pair{32814, "csvimport.htm"}, std::pair{32783, "csvexport.htm"}}) {
        const char* topic = commandTopic.second;
        Run(commandTopic.first, [&](CsvImportWizard* sheet) {
            Type(PathEdit(sheet), QString::fromStdString(path));
            for (int page = 0; page < 3; ++page) {
                ClearLastHelpRequest();
                FindControl<QPushButton>(sheet, 57670)->click();
                EXPECT_EQ(LastHelpRequest().command, HH_DISPLAY_TOPIC) << page;
                EXPECT_GT(
                    LastHelpRequest().url.Find((CString("pelmo.chm::/html/") + topic + ">topic").c_str()), 0)
                    << page << " " << LastHelpRequest().url.c_str();
                ASSERT_TRUE(HelpWindow() && HelpWindow()->isVisible()) << "no help page " << topic;
                if (page == 0)
                    Snap(HelpWindow(), QStringLiteral("csv-help-") + QString(topic).remove(".htm"));
                HelpWindow()->close();
                if (page < 2)
                    sheet->NextButton()->click();
            }
            sheet->CancelButton()->click();
        });
    }
}

// Clicks the control in What's-This mode (the caption's help button) and answers the topic of the
// popup shown (0 for none).
int PopupTopicFor(QWidget* control) {
    ClearLastHelpRequest();
    const QPoint centre = control->rect().center();
    QHelpEvent help(QEvent::WhatsThis, centre, control->mapToGlobal(centre));
    QApplication::sendEvent(control, &help);
    return LastHelpRequest().command == HH_TP_HELP_WM_HELP ? LastHelpRequest().popupTopic : 0;
}

TEST_F(CsvWizardTest, TheHelpKeyShowsEachControlsPopup) {
    const std::string path = m_dir.File("people.csv");
    WriteFile(path, "First,Last\n");
    const std::vector<std::vector<std::pair<int, int>>> pages = {{{1058, 1500}, {1059, 1501}, {1001, 1500}},
                                                                 {{1144, 1502},
                                                                  {1150, 1502},
                                                                  {1135, 1504},
                                                                  {1003, 1504},
                                                                  {1140, 1506},
                                                                  {1005, 1506},
                                                                  {1141, 1508},
                                                                  {1007, 1508}},
                                                                 {{1145, 1510}, {1010, 1510}}};
    const std::vector<std::pair<int, int>> sheetControls = {
        {12323, 1008}, {2, 1001}, {12324, 1007}, {57670, 1002}};
    Run(32814, [&](CsvImportWizard* sheet) {
        Type(PathEdit(sheet), QString::fromStdString(path));
        for (size_t page = 0; page < pages.size(); ++page) {
            for (const auto& [id, topic] : pages[page]) {
                EXPECT_EQ(PopupTopicFor(FindControl(sheet, id)), topic) << id;
                EXPECT_FALSE(HelpPopupText(topic).isEmpty()) << topic;
            }
            for (const auto& [id, topic] : sheetControls) {
                QWidget* button = FindControl(sheet, id);
                if (button->isVisible()) {
                    EXPECT_EQ(PopupTopicFor(button), topic) << id;
                }
                EXPECT_FALSE(HelpPopupText(topic).isEmpty()) << topic;
            }
            if (page < 2)
                sheet->NextButton()->click();
        }
        EXPECT_EQ(PopupTopicFor(sheet->FinishButton()), 1009);
        EXPECT_TRUE(HelpPopupText(1007).contains("next")) << "Next";
        EXPECT_TRUE(HelpPopupText(1008).contains("back")) << "Back";
        // A control outside the tables has no popup.
        EXPECT_EQ(PopupTopicFor(sheet), 0);
        // The help key answers for the control with the focus.
        FieldList(sheet)->setFocus();
        ClearLastHelpRequest();
        PressKey(FieldList(sheet), Qt::Key_F1);
        EXPECT_EQ(LastHelpRequest().popupTopic, 1510);

        Assign(sheet, {0, "FirstName"}, [](CFieldsDlg* dialog) {
            for (const auto& [id, topic] :
                 {std::pair{1148, 1550}, std::pair{1013, 1550}, std::pair{1147, 1551}}) {
                EXPECT_EQ(PopupTopicFor(FindControl(dialog, id)), topic) << id;
                EXPECT_FALSE(HelpPopupText(topic).isEmpty()) << topic;
            }
        });
        sheet->CancelButton()->click();
    });
}

// ---- Pages built without the command ----

// A wizard over a page set as a command builds it, shown without a modal loop.
struct StandaloneWizard {
    explicit StandaloneWizard(int commandId)
        : command(*FindCsvCommand(commandId)), spec(MakeCsvSpec(command)),
          sheet(QString::fromUtf8(command.wizardTitle)) {
        for (CsvWizardPage* page : std::initializer_list<CsvWizardPage*>{&select, &structure, &fields}) {
            page->m_spec = &spec;
            page->m_import = command.import ? 1 : 0;
            sheet.AddPage(page);
        }
        fields.m_recordKind = command.recordKind;
        sheet.show();
    }
    const CsvCommand& command;
    CExportTableSpec spec;
    SelectDocumentPage select;
    DocumentStructurePage structure;
    FieldsToImportPage fields;
    CsvImportWizard sheet;
};

TEST(CsvWizardPages, TheStructurePageStoresTheChosenCharacters) {
    TestApp();
    ScriptedPrompt prompt;
    const char* const separators[] = {",", ";", "|", " ", "\t"};
    const char* const qualifiers[] = {"\"", "'", ""};
    StandaloneWizard wizard(32781);
    Type(PathEdit(&wizard.sheet), "/tmp/out.csv");
    wizard.sheet.PressNext();
    for (int separator = 0; separator < 5; ++separator) {
        for (int qualifier = 0; qualifier < 3; ++qualifier) {
            ClickRow(SeparatorList(&wizard.sheet), separator);
            ClickRow(QualifierList(&wizard.sheet), qualifier);
            HeaderBox(&wizard.sheet)->click();
            ASSERT_TRUE(wizard.structure.OnWizardNext());
            EXPECT_EQ(wizard.spec.m_separator, separators[separator]);
            EXPECT_EQ(wizard.spec.m_qualifier, qualifiers[qualifier]);
            EXPECT_EQ(wizard.spec.m_header, HeaderBox(&wizard.sheet)->isChecked() ? 1 : 0);
        }
    }
    EXPECT_EQ(wizard.spec.m_filePath, "/tmp/out.csv");
    EXPECT_TRUE(prompt.Calls().empty());

    // A list without a selection is refused.
    SeparatorList(&wizard.sheet)->clearSelection();
    EXPECT_FALSE(wizard.structure.OnWizardNext());
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text, "You must select both a character that encloses each text field "
                                             "and one that separates each field.");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Choose Formatting Characters");
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONINFORMATION));
}

TEST(CsvWizardPages, EveryPagePaintsTheProgramPictureInItsPlaceholder) {
    TestApp();
    ScriptedPrompt prompt;
    StandaloneWizard wizard(32781);
    Type(PathEdit(&wizard.sheet), "/tmp/out.csv");
    for (CsvWizardPage* page :
         std::initializer_list<CsvWizardPage*>{&wizard.select, &wizard.structure, &wizard.fields}) {
        const QRect placeholder = FindControl(page, 1134)->geometry();
        EXPECT_EQ(page->PictureRect(), placeholder.adjusted(10, 10, -10, -10));
        const QImage image = page->grab().toImage();
        const QColor background = image.pixelColor(page->PictureRect().topLeft() - QPoint(5, 5));
        int drawn = 0;
        for (int y = page->PictureRect().top(); y <= page->PictureRect().bottom(); y += 2)
            for (int x = page->PictureRect().left(); x <= page->PictureRect().right(); x += 2)
                drawn += image.pixelColor(x, y) != background;
        EXPECT_GT(drawn, 50) << "no picture on page " << wizard.sheet.GetActiveIndex();
        if (page != &wizard.fields)
            wizard.sheet.PressNext();
    }
}

int ShadowStripsOf(QWidget* window) {
    int strips = 0;
    for (QWidget* child : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        strips += dynamic_cast<CShadowWnd*>(child) != nullptr;
    return strips;
}

TEST(CsvWizardPages, TheWizardAndTheFieldsDialogCarryTheDropShadow) {
    TestApp();
    ScriptedPrompt prompt;
    DropShadow::OverrideWindowSystemShadows(false);
    StandaloneWizard wizard(32814);
    CFieldsDlg dialog({"Task"}, 0);
    dialog.show();
    // Strips are kept only beside the active window: others could lie above an inactive one.
    for (QWidget* window : {static_cast<QWidget*>(&wizard.sheet), static_cast<QWidget*>(&dialog)}) {
        window->activateWindow();
        QElapsedTimer timer;
        timer.start();
        while (ShadowStripsOf(window) < 2 && timer.elapsed() < 3000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(ShadowStripsOf(window), 2) << window->windowTitle().toStdString();
    }
    DropShadow::OverrideWindowSystemShadows(std::nullopt);
}

TEST(CsvWizardPages, TheFieldsDialogEnablesOkOnceAFieldIsChosen) {
    TestApp();
    CFieldsDlg dialog({"Task", "DateDue", "DateDone", "Priority"}, -1);
    dialog.show();
    auto* combo = FindControl<QComboBox>(&dialog, 1148);
    QPushButton* ok = FindControl<QPushButton>(&dialog, IDOK);
    EXPECT_FALSE(ok->isEnabled());
    // Enter without a choice assigns nothing.
    PressKey(&dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    combo->setCurrentIndex(3);
    EXPECT_TRUE(ok->isEnabled());
    // The check box is never read.
    FindControl<QCheckBox>(&dialog, 1147)->click();
    ok->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_selected, 3);

    CFieldsDlg preset({"Task", "DateDue"}, 1);
    preset.show();
    EXPECT_EQ(FindControl<QComboBox>(&preset, 1148)->currentIndex(), 1);
    EXPECT_TRUE(FindControl<QPushButton>(&preset, IDOK)->isEnabled());
    FindControl<QPushButton>(&preset, IDCANCEL)->click();
    EXPECT_EQ(preset.result(), QDialog::Rejected);
}

} // namespace

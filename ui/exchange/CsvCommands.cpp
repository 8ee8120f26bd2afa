#include "ui/exchange/CsvCommands.h"

#include "data/DbDoc.h"
#include "platform/core/Prompt.h"
#include "ui/exchange/CsvImportWizard.h"
#include "ui/exchange/CsvWizardPages.h"

#include <QApplication>

#include <array>

namespace {

constexpr std::array<CsvCommand, 6> kCommands = {{
    {32781, false, 0, "Export Person Information To Text File", "Persons", nullptr, nullptr, nullptr},
    {32814, true, 0, "Import Person Information From Text File", "Persons",
     "%d names added to current database.", "Imported Names", "Error Adding Address Book Entry"},
    {32801, false, 1, "Export Tasks To Text File", "Tasks", nullptr, nullptr, nullptr},
    {32813, true, 1, "Import Tasks From Text File", "Tasks", "%d tasks added to current database.",
     "Imported Tasks", "Error Importing Tasks"},
    {32783, false, 2, "Export Appointments To Text File", "Appointments", nullptr, nullptr, nullptr},
    {32815, true, 2, "Import Appointments From Text File", "Appointments",
     "%d appointments added to current database.", "Imported Appointments", "Error Importing Appointments"},
}};

const std::vector<CString>& ExportPersonFields() {
    static const std::vector<CString> fields = {
        "Title",        "FirstName",   "LastName",    "HomeAddress1", "HomeAddress2",  "HomeCity",
        "HomeState",    "HomeZipCode", "HomePhone",   "HomeFax",      "HomeCelPhone",  "HomePager",
        "HomeE-Mail",   "HomeWebPage", "Company",     "Position",     "WorkAddress1",  "WorkAddress2",
        "WorkCity",     "WorkState",   "WorkZipCode", "WorkPhone",    "WorkExtension", "WorkFax",
        "WorkCelPhone", "WorkPager",   "WorkE-Mail",  "WorkWebPage",  "Notes"};
    return fields;
}

const std::vector<CString>& ImportPersonFields() {
    static const std::vector<CString> fields = {
        "Title",      "FirstName",   "LastName",     "HomeAddress1", "HomeAddress2",  "HomeCity",
        "HomeState",  "HomeZipCode", "HomePhone",    "HomeFax",      "HomePager",     "HomeCelPhone",
        "HomeE-Mail", "HomeWebPage", "Company",      "Position",     "WorkAddress1",  "WorkAddress2",
        "WorkCity",   "WorkState",   "WorkZipCode",  "WorkPhone",    "WorkExtension", "Notes",
        "WorkFax",    "WorkPager",   "WorkCelPhone", "WorkE-Mail",   "WorkWebPage"};
    return fields;
}

} // namespace

const CsvCommand* FindCsvCommand(int commandId) {
    for (const CsvCommand& command : kCommands)
        if (command.commandId == commandId)
            return &command;
    return nullptr;
}

CExportTableSpec MakeCsvSpec(const CsvCommand& command) {
    CExportTableSpec spec;
    spec.m_tableLabel = command.tableLabel;
    switch (command.recordKind) {
    case 0:
        spec.m_tableFields = command.import ? ImportPersonFields() : ExportPersonFields();
        spec.m_requiredFields = command.import ? std::vector<CString>{"FirstName", "LastName", "Company"}
                                               : std::vector<CString>{"LastName"};
        break;
    case 1:
        spec.m_tableFields = {"Task", "DateDue", "DateDone", "Priority"};
        spec.m_requiredFields = {"Task"};
        break;
    default:
        spec.m_tableFields = {"Appointment", "Date", "StartTime", "EndTime", "Alarmed", "AlarmTime"};
        spec.m_requiredFields = {"Appointment", "Date", "StartTime", "EndTime"};
        break;
    }
    spec.m_tableFieldCount = static_cast<int>(spec.m_tableFields.size());
    spec.m_columnFields.assign(spec.m_tableFields.size(), CString());
    return spec;
}

int RunCsvOperation(const CsvCommand& command, const CExportTableSpec& spec, CString* failure) {
    switch (command.recordKind) {
    case 0:
        return command.import ? g_doc.ImportAddressBookCsv(spec, failure) : g_doc.ExportAddressBookCsv(spec);
    case 1:
        return command.import ? g_doc.ImportTasksCsv(spec, failure) : g_doc.ExportTasksCsv(spec);
    default:
        return command.import ? g_doc.ImportApptsCsv(spec, failure) : g_doc.ExportApptsCsv(spec);
    }
}

bool RunCsvCommand(QWidget* frame, int commandId) {
    const CsvCommand* command = FindCsvCommand(commandId);
    if (!command)
        return false;
    CExportTableSpec spec = MakeCsvSpec(*command);

    // The pages outlive the sheet, which hands them back when it goes.
    SelectDocumentPage selectPage;
    DocumentStructurePage structurePage;
    FieldsToImportPage fieldsPage;
    CsvImportWizard sheet(QString::fromUtf8(command->wizardTitle));
    for (CsvWizardPage* page :
         std::initializer_list<CsvWizardPage*>{&selectPage, &structurePage, &fieldsPage}) {
        page->m_spec = &spec;
        page->m_import = command->import ? 1 : 0;
        sheet.AddPage(page);
    }
    if (command->import)
        fieldsPage.m_recordKind = command->recordKind;

    if (sheet.DoModal(QApplication::activeWindow()) != IDOK)
        return false;
    if (!command->import) {
        RunCsvOperation(*command, spec);
        return true;
    }
    return ImportCsvAndReport(frame, *command, spec);
}

bool ImportCsvAndReport(QWidget* frame, const CsvCommand& command, const CExportTableSpec& spec) {
    int added = 0;
    CString failure;
    {
        WaitCursor wait;
        added = RunCsvOperation(command, spec, &failure);
    }
    CString report;
    report.Format(command.reportText, added);
    if (!failure.IsEmpty()) {
        // One box says why the import stopped and what the document holds of it; the document is
        // marked modified only when it holds something.
        MessageBoxA(frame, failure + "\n\nThe import stopped there. " + report, command.failureCaption,
                    MB_OK | MB_ICONERROR);
        if (added > 0)
            g_doc.SetModifiedFlag(true, true);
        return false;
    }
    MessageBoxA(frame, report, command.reportCaption, MB_OK | MB_ICONINFORMATION);
    g_doc.SetModifiedFlag(true, true);
    return true;
}

#pragma once

#include "exchange/ExportTableSpec.h"

#include <QString>

class QWidget;

// The six File-menu commands that move persons, tasks and appointments out to and in from delimited
// text through the wizard.
struct CsvCommand {
    int commandId;
    bool import;
    // 0 persons, 1 tasks, 2 appointments.
    int recordKind;
    const char* wizardTitle;
    const char* tableLabel;
    // The report after an import ("%d ... added to current database.") and its caption.
    const char* reportText;
    const char* reportCaption;
};

// The command of an id; null for any other id.
const CsvCommand* FindCsvCommand(int commandId);

// The options record a command starts its wizard with: the table label, fields and required fields,
// and one empty column field per table field.
CExportTableSpec MakeCsvSpec(const CsvCommand& command);

// Runs the operation of a finished wizard on the document; answers the number of records written or
// added.
int RunCsvOperation(const CsvCommand& command, const CExportTableSpec& spec);

// Runs the command: the wizard, then on Finish the export, or the import with its report and the
// document marked modified with notification. Cancel touches neither file nor document.
void RunCsvCommand(QWidget* frame, int commandId);

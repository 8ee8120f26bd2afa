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
    // The caption of the one box that says why an import stopped.
    const char* failureCaption;
};

// The command of an id; null for any other id.
const CsvCommand* FindCsvCommand(int commandId);

// The options record a command starts its wizard with: the table label, fields and required fields,
// and one empty column field per table field.
CExportTableSpec MakeCsvSpec(const CsvCommand& command);

// Runs the operation of a finished wizard on the document; answers the number of records written or
// added. An import's error goes to failure when given (see CDbDoc::ImportAddressBookCsv).
int RunCsvOperation(const CsvCommand& command, const CExportTableSpec& spec, CString* failure = nullptr);

// Runs an import command's operation on the finished wizard's options and reports it in one box
// owned by frame: the count under the report caption, the document then marked modified with
// notification; or, when a failure stopped the import, that error with what the document holds of
// it, the document marked modified only when it holds something. True when the import ran to its end.
bool ImportCsvAndReport(QWidget* frame, const CsvCommand& command, const CExportTableSpec& spec);

// Runs the command: the wizard, then on Finish the export, or the import as ImportCsvAndReport does.
// Cancel touches neither file nor document. True when the command ran to its end.
bool RunCsvCommand(QWidget* frame, int commandId);

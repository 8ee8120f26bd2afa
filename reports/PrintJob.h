#pragma once

#include <QString>

class QPainter;
class QPrinter;

// The page callback of a print job and of the preview: pages are numbered from 0.
class CPrintJobInfo {
public:
    virtual ~CPrintJobInfo() = default;
    virtual bool IsValidPage(unsigned page) = 0;
    // Draws the page on the painter (page coordinates of the printer, in its device pixels).
    virtual bool PrintPage(unsigned page, QPainter& dc) = 0;
};

// Prints the pages first..last that the callback accepts on the printer, in the foreground, under
// the document name. False when the printer cannot start the job or the print service does not
// take it.
bool RunPrintJob(QPrinter& printer, CPrintJobInfo& info, unsigned first, unsigned last,
                 const QString& docName);

#include "reports/PrintJob.h"

#include <QPainter>
#include <QPrinter>

bool RunPrintJob(QPrinter& printer, CPrintJobInfo& info, unsigned first, unsigned last,
                 const QString& docName) {
    printer.setDocName(docName);
    QPainter painter;
    if (!painter.begin(&printer) || printer.printerState() == QPrinter::Error)
        return false;
    bool started = false;
    for (unsigned page = first; page <= last; ++page) {
        if (!info.IsValidPage(page))
            break;
        if (started)
            printer.newPage();
        started = true;
        painter.save();
        info.PrintPage(page, painter);
        painter.restore();
        if (page == last)
            break;
    }
    // A job the print service refused leaves the printer in its error state.
    return painter.end() && printer.printerState() != QPrinter::Error;
}

#include "reports/PrintJob.h"

#include <QPainter>
#include <QPrinter>

#ifdef PELM_HAVE_CUPS
#include <cups/cups.h>
#endif

namespace {

// Qt hands the job for a system printer to CUPS when the painter ends and drops the service's
// answer, so a refused job (a queue that rejects jobs, a stopped scheduler) would pass for a
// printed one. That submission is the last CUPS request of this thread, so its status is the
// thread's last CUPS status.
bool PrintServiceTookTheJob(const QPrinter& printer) {
#ifdef PELM_HAVE_CUPS
    if (printer.outputFormat() == QPrinter::NativeFormat && printer.outputFileName().isEmpty())
        return cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
#else
    (void)printer;
#endif
    return true;
}

} // namespace

bool RunPrintJob(QPrinter& printer, CPrintJobInfo& info, unsigned first, unsigned last,
                 const QString& docName) {
    printer.setDocName(docName);
    // A system printer without a name has no queue to take the job.
    if (printer.outputFormat() == QPrinter::NativeFormat && printer.printerName().isEmpty())
        return false;
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
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return false;
    return PrintServiceTookTheJob(printer);
}

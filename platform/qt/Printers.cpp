#include "platform/qt/Printers.h"

#include <QPrinterInfo>

namespace {

class SystemPrinterSource : public PrinterSource {
public:
    QString DefaultPrinterName() override {
        const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
        if (!printer.isNull())
            return printer.printerName();
        // CUPS may list printers without naming a default; the first one then serves.
        const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
        return printers.isEmpty() ? QString() : printers.constFirst().printerName();
    }
};

PrinterSource*& Installed() {
    static PrinterSource* source = nullptr;
    return source;
}

} // namespace

PrinterSource& Printers() {
    static SystemPrinterSource system;
    return Installed() ? *Installed() : system;
}

void SetPrinterSource(PrinterSource* source) {
    Installed() = source;
}

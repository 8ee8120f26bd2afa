#pragma once

#include <QString>

// Where the program learns whether a printer is installed; tests install a fake.
class PrinterSource {
public:
    virtual ~PrinterSource() = default;
    // The default printer's name; empty when no printer is installed.
    virtual QString DefaultPrinterName() = 0;
};

// The installed source (the system's printers from QPrinterInfo unless a test installed another).
PrinterSource& Printers();
// Installs a source (not owned); nullptr returns to the system's printers.
void SetPrinterSource(PrinterSource* source);

// A source with a fixed answer, for tests.
class FixedPrinterSource : public PrinterSource {
public:
    explicit FixedPrinterSource(QString name) : m_name(std::move(name)) {}
    QString DefaultPrinterName() override { return m_name; }
    void SetName(QString name) { m_name = std::move(name); }

private:
    QString m_name;
};

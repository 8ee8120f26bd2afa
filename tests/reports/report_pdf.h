#pragma once

#include "reports/PrintJob.h"
#include "reports/Report.h"
#include "reports/ReportSession.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStringList>

#include <memory>
#include <vector>

// How a report is laid out on its paper: the Page Setup choices and the report font.
struct ReportLayout {
    QPageSize paper = QPageSize(QPageSize::Letter);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QString face = QStringLiteral("Times New Roman");
    int points = 10;
    // Thousandths of an inch, on all four sides.
    int margin = 750;
    // The printer's unprintable margin in millimetres on all four sides, where its page area starts
    // on the paper; 10 mm is a PDF printer's own.
    double unprintable = 10;
};

// A report of one kind built on a PDF printer at a fixed resolution, as the frame builds it: the
// session's face and size, then its margins.
class PdfReport : public CPrintJobInfo {
public:
    static constexpr int kDpi = 300;

    static QPageSize Letter() { return QPageSize(QPageSize::Letter); }
    static QPageSize SixInchPaper() {
        return QPageSize(QSizeF(6, 9), QPageSize::Inch, QStringLiteral("6 x 9 in"), QPageSize::ExactMatch);
    }

    PdfReport(const ReportInput& input, const QPageSize& paper, const QString& file, int points = 10)
        : PdfReport(
              input,
              ReportLayout{paper, QPageLayout::Portrait, QStringLiteral("Times New Roman"), points, 750},
              file) {}

    PdfReport(const ReportInput& input, const ReportLayout& layout, const QString& file)
        : m_printer(QPrinter::HighResolution) {
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setOutputFileName(file);
        m_printer.setResolution(kDpi);
        m_printer.setPageSize(layout.paper);
        m_printer.setPageOrientation(layout.orientation);
        m_printer.setPageMargins(
            QMarginsF(layout.unprintable, layout.unprintable, layout.unprintable, layout.unprintable),
            QPageLayout::Millimeter);
        m_report = CreateReportOfKind(&m_printer, input);
        if (!m_report)
            return;
        QFont font(layout.face);
        font.setPointSize(layout.points);
        m_report->SetFont(font);
        m_report->SetMargins(layout.margin, layout.margin, layout.margin, layout.margin);
    }

    CReport& Report() { return *m_report; }
    QPrinter& Printer() { return m_printer; }

    bool IsValidPage(unsigned page) override {
        return page < static_cast<unsigned>(m_report->GetPageCount());
    }
    bool PrintPage(unsigned page, QPainter& dc) override {
        return m_report->PrintPage(dc, static_cast<int>(page));
    }

    // A rectangle of the report (page coordinates in device pixels) in PDF points on the paper.
    QRectF InPoints(const PrintRect& rect) const {
        const DeviceCaps caps = ReadDeviceCaps(m_printer);
        const double scale = 72.0 / caps.logPixelsX;
        return QRectF(
            QPointF((rect.left + caps.physicalOffsetX) * scale, (rect.top + caps.physicalOffsetY) * scale),
            QPointF((rect.right + caps.physicalOffsetX) * scale,
                    (rect.bottom + caps.physicalOffsetY) * scale));
    }

    // Writes every page to the PDF file.
    bool Write() {
        if (!m_report || m_report->GetPageCount() <= 0)
            return false;
        return RunPrintJob(m_printer, *this, 0, static_cast<unsigned>(m_report->GetPageCount() - 1),
                           QStringLiteral("Pelmora Document"));
    }

    // One page drawn on a white picture of the paper's printable area at the printer's resolution.
    QImage PageImage(int page) {
        const QRect area = m_printer.pageRect(QPrinter::DevicePixel).toRect();
        QImage image(area.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        const int dotsPerMeter = static_cast<int>(kDpi / 0.0254 + 0.5);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        QPainter painter(&image);
        m_report->PrintPage(painter, page);
        painter.end();
        return image;
    }

private:
    QPrinter m_printer;
    std::unique_ptr<CReport> m_report;
};

// Saves a copy of the file under the build's artifacts folder for a person to look at.
inline void KeepArtifact(const QString& file, const QString& name) {
#ifdef PELM_ARTIFACTS_DIR
    QDir().mkpath(QStringLiteral(PELM_ARTIFACTS_DIR));
    const QString target = QStringLiteral(PELM_ARTIFACTS_DIR "/%1").arg(name);
    QFile::remove(target);
    QFile::copy(file, target);
#else
    (void)file;
    (void)name;
#endif
}

// The text of each page of the PDF as pdftotext lays it out.
inline QStringList PdfPages(const QString& file) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput())
                            .normalized(QString::NormalizationForm_KC)
                            .split(QChar('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// One word of a PDF page with its box in points from the paper's top left corner.
struct PdfWord {
    QRectF box;
    QString text;
};

// The words of each page of the PDF as `pdftotext -bbox` finds them.
inline std::vector<std::vector<PdfWord>> PdfWordBoxes(const QString& file) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    std::vector<std::vector<PdfWord>> pages;
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return pages;
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page [^>]*>|<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re"));
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(0).startsWith(QStringLiteral("<page"))) {
            pages.emplace_back();
            continue;
        }
        if (pages.empty())
            continue;
        const QPointF topLeft(match.captured(1).toDouble(), match.captured(2).toDouble());
        const QPointF bottomRight(match.captured(3).toDouble(), match.captured(4).toDouble());
        QString text = match.captured(5);
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        pages.back().push_back({QRectF(topLeft, bottomRight), text});
    }
    return pages;
}

// Whether any pixel of the rectangle is darker than light grey.
inline bool HasInk(const QImage& image, const QRect& rect) {
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 160)
                return true;
        }
    }
    return false;
}

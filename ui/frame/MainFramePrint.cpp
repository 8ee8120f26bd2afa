// The frame's report commands, print preview, Page Setup, Print and the report font.
#include "ui/frame/MainFrame.h"

#include "data/DbDoc.h"
#include "platform/core/Prompt.h"
#include "reports/PersonPickerDlg.h"
#include "reports/PrintPreview.h"
#include "ui/frame/CommandIds.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QToolBar>

namespace {
QWidget* ActiveOwner(QWidget* frame) {
    QWidget* active = QApplication::activeWindow();
    return active ? active : frame;
}

// The first control of a view that the Tab key would reach.
QWidget* FirstTabStop(QWidget* view) {
    for (QWidget* child : view->findChildren<QWidget*>())
        if ((child->focusPolicy() & Qt::TabFocus) && child->isEnabled() && child->isVisibleTo(view))
            return child;
    return nullptr;
}
} // namespace

bool CMainFrame::IsValidPage(unsigned page) {
    return m_reports->IsValidPage(page);
}

bool CMainFrame::PrintPage(unsigned page, QPainter& dc) {
    return m_reports->PrintPage(page, dc);
}

void CMainFrame::SetPageStatus(const QString& text) {
    if (m_statusText)
        m_statusText->setText(text);
}

void CMainFrame::OnDailyReport() {
    g_doc.m_reportKind = m_reports->GatherDaily(g_doc);
    OnCommand(ID_FILE_PRINT_PREVIEW);
}

void CMainFrame::OnWeeklyPlan() {
    g_doc.m_reportKind = m_reports->GatherWeekly(g_doc);
    OnCommand(ID_FILE_PRINT_PREVIEW);
}

void CMainFrame::OnMonthlyPlan() {
    g_doc.m_reportKind = m_reports->GatherMonthly(g_doc);
    OnCommand(ID_FILE_PRINT_PREVIEW);
}

bool CMainFrame::PickPersons(bool envelopes) {
    std::vector<CPerson> offered;
    if (g_doc.IsOpen())
        g_doc.GetGroupMembers(offered, g_doc.m_personSortOrder, g_doc.m_currentGroupId);
    CPersonPickerDlg dialog(g_doc, std::move(offered), envelopes ? "Envelopes" : "Phone Book", envelopes,
                            this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    m_reports->m_persons = dialog.Chosen();
    if (envelopes) {
        m_reports->m_businessNameInAddress = dialog.BusinessNameInAddress();
        m_reports->m_businessNameInReturnAddress = dialog.BusinessNameInReturnAddress();
    }
    return true;
}

void CMainFrame::OnPhoneBookReport() {
    if (!PickPersons(false))
        return;
    g_doc.m_reportKind = kReportAddressBook;
    OnCommand(ID_FILE_PRINT_PREVIEW);
}

void CMainFrame::OnEnvelopes() {
    if (!PickPersons(true))
        return;
    g_doc.m_reportKind = kReportEnvelopes;
    OnCommand(ID_FILE_PRINT_PREVIEW);
}

void CMainFrame::GivePreviewTheReport() {
    m_previewPageCount = m_reports->PageCount();
    m_previewWindow->SetPrintJob(&m_reports->Printer(), this, 0, m_previewPageCount - 1);
}

void CMainFrame::TogglePrintPreview() {
    if (!m_previewMode) {
        m_viewBeforePreview = m_client;
        m_focusBeforePreview = focusWidget();
        m_zoomInAllowed = true;
        m_zoomOutAllowed = false;
        m_client = m_previewWindow;
        m_reports->CreateReport(g_doc);
        GivePreviewTheReport();
        menuBar()->hide();
        m_mainToolBar->hide();
        m_previewToolBar->show();
        m_previewWindow->show();
        // The keys go to the preview from now on: the panes behind it are hidden and must not
        // move the document's date or selection.
        m_previewWindow->setFocus(Qt::OtherFocusReason);
        if (m_viewBeforePreview)
            m_viewBeforePreview->hide();
        m_previewWindow->SetPage(0);
        m_previewPage = 0;
        m_previewWindow->SetZoom(0);
        m_previewMode = true;
    } else {
        menuBar()->show();
        m_mainToolBar->setVisible(s_toolbarVisible);
        m_previewToolBar->hide();
        m_previewWindow->hide();
        m_previewWindow->SetPrintJob(nullptr, nullptr, 0, -1);
        m_client = m_viewBeforePreview;
        if (m_client) {
            m_client->show();
            if (m_focusBeforePreview && m_client->isAncestorOf(m_focusBeforePreview))
                m_focusBeforePreview->setFocus(Qt::OtherFocusReason);
            else if (QWidget* first = FirstTabStop(m_client))
                first->setFocus(Qt::OtherFocusReason);
        }
        m_focusBeforePreview.clear();
        m_reports->DeleteReport();
        SetPageStatus(QStringLiteral("Ready"));
        m_previewMode = false;
    }
    updateGeometry();
}

void CMainFrame::OnPreviewPage(bool next) {
    if (m_client != m_previewWindow)
        return;
    if (next)
        m_previewWindow->NextPage();
    else
        m_previewWindow->PrevPage();
    m_previewPage = m_previewWindow->GetPage();
}

void CMainFrame::OnPreviewKeyCommand(CPrintPreviewWindow::KeyCommand command) {
    using KeyCommand = CPrintPreviewWindow::KeyCommand;
    if (!m_previewMode)
        return;
    switch (command) {
    case KeyCommand::NextPage:
        OnCommand(ID_NEXT_PANE);
        break;
    case KeyCommand::PreviousPage:
        OnCommand(ID_PREV_PANE);
        break;
    case KeyCommand::ZoomIn:
        if (m_zoomInAllowed)
            OnCommand(ID_PREVIEW_ZOOM_IN);
        break;
    case KeyCommand::ZoomOut:
        if (m_zoomOutAllowed)
            OnCommand(ID_PREVIEW_ZOOM_OUT);
        break;
    case KeyCommand::Close:
        OnCommand(ID_FILE_PRINT_CLOSE);
        break;
    case KeyCommand::None:
        break;
    }
}

void CMainFrame::OnZoom(bool in) {
    if (!m_previewMode)
        return;
    const int zoom = m_previewWindow->GetZoom();
    m_previewWindow->SetZoom(in ? CPrintPreviewWindow::ZoomInStep(zoom)
                                : CPrintPreviewWindow::ZoomOutStep(zoom));
    if (in) {
        m_zoomOutAllowed = true;
        if (m_previewWindow->GetZoom() == CPrintPreviewWindow::kMaxZoom)
            m_zoomInAllowed = false;
    } else {
        m_zoomInAllowed = true;
        if (m_previewWindow->GetZoom() == 0)
            m_zoomOutAllowed = false;
    }
}

void CMainFrame::OnFilePageSetup() {
    if (!m_reports->RunPageSetup(ActiveOwner(this)))
        return;
    if (m_previewMode)
        RebuildPreviewReport();
}

void CMainFrame::RebuildPreviewReport() {
    m_reports->CreateReport(g_doc);
    GivePreviewTheReport();
    m_previewWindow->SetPage(m_previewWindow->GetPage());
    m_previewWindow->viewport()->update();
}

void CMainFrame::OnFilePrint() {
    bool pageChanged = false;
    if (!m_reports->RunPrintDialog(ActiveOwner(this), &pageChanged))
        return;
    // The preview's report was laid out on the page before the dialog; the job and the preview
    // show the one laid out on the page it prints on.
    if (m_previewMode && pageChanged)
        RebuildPreviewReport();
    PrintReport();
}

bool CMainFrame::PrintReport() {
    if (!m_previewMode)
        m_reports->CreateReport(g_doc);
    if (m_previewMode)
        GivePreviewTheReport();
    const bool hasPages = m_reports->PageCount() > 0;
    const bool printed = m_reports->PrintAll();
    if (!m_previewMode)
        m_reports->DeleteReport();
    if (hasPages && !printed) {
        const QPrinter& printer = m_reports->Printer();
        const QString where =
            printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : printer.printerName();
        const QString text = where.isEmpty()
                                 ? QStringLiteral("The report could not be printed.")
                                 : QStringLiteral("The report could not be printed on %1.").arg(where);
        MessageBoxA(this, text.toUtf8().constData(), "Print", MB_OK | MB_ICONEXCLAMATION);
    }
    return printed;
}

void CMainFrame::OnReportFont() {
    m_reports->RunFontDialog(ActiveOwner(this));
}

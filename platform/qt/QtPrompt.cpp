#include "platform/qt/QtPrompt.h"

#include "platform/core/Progress.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>

namespace {

QtPrompt::CreateDbRunner& Runner() {
    static QtPrompt::CreateDbRunner runner;
    return runner;
}

QMessageBox::Icon IconOf(unsigned flags) {
    switch (flags & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

struct ButtonChoice {
    QMessageBox::StandardButton button;
    int result;
};

std::vector<ButtonChoice> ButtonsOf(unsigned flags) {
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {
            {QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL:
        return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default:
        return {{QMessageBox::Ok, IDOK}};
    }
}

// What closing the box with Escape or the window's close button answers, as Windows does: Cancel
// where there is one, OK for a lone OK, otherwise nothing (Escape is then ignored).
int EscapeResult(unsigned flags) {
    switch (flags & MB_TYPEMASK) {
    case MB_OK:
        return IDOK;
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
        return IDCANCEL;
    default:
        return 0;
    }
}

// A question asked in the middle of long work shows the normal arrow: the wait cursor belongs to the
// work, not to the box the user must answer.
class ArrowWhileAsking {
public:
    ArrowWhileAsking() : m_waiting(qApp && QApplication::overrideCursor()) {
        if (m_waiting)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowWhileAsking() {
        if (m_waiting)
            QApplication::restoreOverrideCursor();
    }
    ArrowWhileAsking(const ArrowWhileAsking&) = delete;
    ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;

private:
    bool m_waiting;
};

// Shows the text in the status bar of every visible main window and paints it at once: the work
// that follows holds the event loop.
void ShowProgressInMainWindow(const char* text) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<QMainWindow*>(widget);
        if (!window || !window->isVisible() || !window->statusBar()->isVisible())
            continue;
        if (text)
            window->statusBar()->showMessage(QString::fromUtf8(text));
        else
            window->statusBar()->clearMessage();
        window->statusBar()->repaint();
    }
}

} // namespace

QtPrompt::QtPrompt() {
    SetPrompt(this);
    SetProgressShower(ShowProgressInMainWindow);
}

QtPrompt::~QtPrompt() {
    if (&GetPrompt() == this)
        SetPrompt(nullptr);
    SetProgressShower(nullptr);
}

QtPrompt& QtPrompt::Install() {
    static QtPrompt instance;
    SetPrompt(&instance);
    return instance;
}

void QtPrompt::SetCreateDbRunner(CreateDbRunner runner) {
    Runner() = std::move(runner);
}

QWidget* QtPrompt::OwnerWidget(WindowHandle owner) {
    if (owner)
        return static_cast<QWidget*>(owner);
    return QApplication::activeWindow();
}

int QtPrompt::MessageBox(WindowHandle owner, const char* text, const char* caption, unsigned flags) {
    QMessageBox box(IconOf(flags), QString::fromUtf8(caption ? caption : ""),
                    QString::fromUtf8(text ? text : ""), QMessageBox::NoButton, OwnerWidget(owner));
    // The texts hold file names and error texts: markup in them is shown as it is, never rendered.
    box.setTextFormat(Qt::PlainText);
    const std::vector<ButtonChoice> buttons = ButtonsOf(flags);
    std::vector<std::pair<QAbstractButton*, int>> results;
    for (const ButtonChoice& choice : buttons)
        results.emplace_back(box.addButton(choice.button), choice.result);
    const size_t defaultIndex = (flags & MB_DEFBUTTON2) && buttons.size() > 1 ? 1 : 0;
    box.setDefaultButton(static_cast<QPushButton*>(results[defaultIndex].first));
    const int escape = EscapeResult(flags);
    for (const auto& [button, result] : results)
        if (result == escape)
            box.setEscapeButton(button);
    // The box grows to its text by itself, but not to its caption, which the title bar then cuts.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(MinimumWidthForCaption(box.windowTitle()), 0, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    {
        const ArrowWhileAsking arrow;
        box.exec();
    }
    for (const auto& [button, result] : results)
        if (box.clickedButton() == button)
            return result;
    return escape ? escape : results.front().second;
}

int QtPrompt::MinimumWidthForCaption(const QString& caption) {
    // Title bars draw the caption in the title font, usually bold and larger than the box's text,
    // beside the window's icon and its buttons.
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    if (font.pointSizeF() < QApplication::font().pointSizeF() * 1.2)
        font.setPointSizeF(QApplication::font().pointSizeF() * 1.2);
    const int kTitleBarButtonsAndIcon = 160;
    return QFontMetrics(font).horizontalAdvance(caption) + kTitleBarButtonsAndIcon;
}

bool QtPrompt::RunCreateDbDialog(CreateDbRequest& request) {
    return Runner() ? Runner()(request) : false;
}

QString QtPrompt::NameFilter(const CString& description, const CString& patterns) {
    QString text = QString::fromUtf8(description.c_str()).trimmed();
    // Drop a pattern list the description already shows: Qt reads the patterns from the parentheses.
    text.remove(QRegularExpression(QStringLiteral("\\s*\\([^()]*\\)$")));
    QStringList list = QString::fromUtf8(patterns.c_str()).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : list) {
        pattern = pattern.trimmed();
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    }
    return text + QStringLiteral(" (") + list.join(QLatin1Char(' ')) + QLatin1Char(')');
}

CString QtPrompt::WithDefaultExtension(const CString& path, const CString& defaultExt) {
    if (path.IsEmpty() || defaultExt.IsEmpty())
        return path;
    const QFileInfo info(QString::fromUtf8(path.c_str()));
    if (!info.suffix().isEmpty())
        return path;
    return path + "." + defaultExt;
}

bool QtPrompt::RunFileDialog(FileDialogRequest& request, bool save) {
    QFileDialog dialog(OwnerWidget(request.owner), QString::fromUtf8(request.title.c_str()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save)
        dialog.setFileMode(QFileDialog::AnyFile);
    else
        dialog.setFileMode((request.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                               : QFileDialog::AnyFile);
    if (save && !(request.flags & OFN_OVERWRITEPROMPT))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.defaultExt.IsEmpty())
        dialog.setDefaultSuffix(QString::fromUtf8(request.defaultExt.c_str()));
    QStringList filters;
    for (const auto& [description, patterns] : request.filters)
        filters << NameFilter(description, patterns);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.fileName.IsEmpty()) {
        const QFileInfo proposed(QString::fromUtf8(request.fileName.c_str()));
        if (proposed.isAbsolute() || request.fileName.Find('/') >= 0)
            dialog.setDirectory(proposed.absolutePath());
        dialog.selectFile(proposed.fileName());
    }
    const ArrowWhileAsking arrow;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    request.fileName = WithDefaultExtension(
        CString(dialog.selectedFiles().constFirst().toUtf8().toStdString()), request.defaultExt);
    return true;
}

bool QtPrompt::GetOpenFileName(FileDialogRequest& request) {
    return RunFileDialog(request, false);
}

bool QtPrompt::GetSaveFileName(FileDialogRequest& request) {
    return RunFileDialog(request, true);
}

void QtPrompt::BeginWaitCursor() {
    if (qApp)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtPrompt::EndWaitCursor() {
    if (qApp && QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

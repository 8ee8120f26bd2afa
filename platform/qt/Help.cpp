#include "platform/qt/Help.h"

#include "platform/qt/Controls.h"
#include "platform/qt/ProgramDir.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QKeyEvent>
#include <QPointer>
#include <QTextBrowser>
#include <QTextStream>
#include <QVBoxLayout>
#include <QWhatsThis>

static void InitEmbeddedResources() {
    Q_INIT_RESOURCE(pelmora);
}

namespace {

HelpRequest& Last() {
    static HelpRequest request;
    return request;
}

QPointer<QWidget>& Window() {
    static QPointer<QWidget> window;
    return window;
}

// The help window closes on Escape, as the program's dialogs do.
class HelpWindowWidget : public QWidget {
public:
    HelpWindowWidget() : QWidget(nullptr, Qt::Window) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            close();
            event->accept();
            return;
        }
        QWidget::keyPressEvent(event);
    }
};

QTextBrowser* Browser() {
    if (Window())
        return Window()->findChild<QTextBrowser*>();
    auto* window = new HelpWindowWidget;
    window->setWindowTitle(QStringLiteral("Pelmora Help"));
    window->setObjectName(QStringLiteral("helpWindow"));
    auto* browser = new QTextBrowser(window);
    browser->setOpenExternalLinks(true);
    browser->setSearchPaths({QStringLiteral(":/help/html")});
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    window->resize(640, 520);
    Window() = window;
    // Top-level windows outlive the application object otherwise.
    qAddPostRoutine([] { delete Window().data(); });
    return browser;
}

// While the help window belongs to a modal dialog it is shown above it and takes input; when the
// dialog closes the help window is handed back to the desktop and stays open.
class ModalOwnerWatch : public QObject {
public:
    ModalOwnerWatch(QWidget* dialog, QWidget* help) : QObject(dialog), m_help(help) {
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && watched == parent()) {
            if (m_help && m_help->parentWidget() == watched) {
                const bool visible = m_help->isVisible();
                const QRect geometry = m_help->geometry();
                m_help->setParent(nullptr, Qt::Window);
                m_help->setGeometry(geometry);
                if (visible)
                    m_help->show();
            }
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QWidget> m_help;
};

// True when widget is owner or lies under it, across window boundaries.
bool IsOwnedBy(const QWidget* widget, const QWidget* owner) {
    for (; widget; widget = widget->parentWidget())
        if (widget == owner)
            return true;
    return false;
}

// A window under a modal dialog cannot take input: the help window then becomes the dialog's own
// window, which the dialog does not block.
void KeepAboveModalDialog(QWidget* help, QWidget* owner) {
    QWidget* dialog = owner ? owner->window() : nullptr;
    if (!dialog || dialog == help || dialog->windowModality() == Qt::NonModal)
        dialog = QApplication::activeModalWidget();
    // A dialog owned by the help window itself (it was the active window) would make a parent cycle.
    if (!dialog || IsOwnedBy(dialog, help) || help->parentWidget() == dialog)
        return;
    const QRect geometry = help->geometry();
    const bool visible = help->isVisible();
    help->setParent(dialog, Qt::Window);
    if (visible)
        help->setGeometry(geometry);
    new ModalOwnerWatch(dialog, help);
}

const QHash<int, QString>& PopupTexts() {
    static const QHash<int, QString> texts = [] {
        InitPelmoraResources();
        QHash<int, QString> result;
        QFile file(QStringLiteral(":/help/popups.txt"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return result;
        QTextStream in(&file);
        while (!in.atEnd()) {
            const QString line = in.readLine();
            const int tab = line.indexOf(QLatin1Char('\t'));
            bool ok = false;
            const int topic = line.left(tab).toInt(&ok);
            if (tab > 0 && ok)
                result.insert(topic, line.mid(tab + 1).trimmed());
        }
        return result;
    }();
    return texts;
}

} // namespace

void InitPelmoraResources() {
    static const bool done = (InitEmbeddedResources(), true);
    (void)done;
}

bool ParseHelpAddress(const char* url, HelpAddress& address) {
    address = HelpAddress();
    const CString text(url ? url : "");
    const int separator = text.Find("::");
    if (separator < 0)
        return false;
    const CString file = text.Left(separator);
    CString page = text.Mid(separator + 2);
    const int windowMark = page.Find('>');
    if (windowMark >= 0) {
        address.window = page.Mid(windowMark + 1);
        page = page.Left(windowMark);
    }
    page.TrimLeft("/\\");
    page.Replace('\\', '/');
    if (page.IsEmpty())
        return false;
    address.page = page;
    const int slash = std::max(file.ReverseFind('\\'), file.ReverseFind('/'));
    address.directory = slash >= 0 ? file.Left(slash) : CString();
    address.file = slash >= 0 ? file.Mid(slash + 1) : file;
    return true;
}

CString HelpFilePath() {
    CString path;
    path.Format("%s\\%s", g_programDir.c_str(), "pelmo.chm");
    return path;
}

CString HelpPageAddress(const char* pattern) {
    CString url;
    url.Format(pattern, g_programDir.c_str(), "pelmo.chm");
    return url;
}

const HelpRequest& LastHelpRequest() {
    return Last();
}

void ClearLastHelpRequest() {
    Last() = HelpRequest();
}

bool HtmlHelpTopic(QWidget* owner, const char* url, unsigned command) {
    Last() = HelpRequest{command, url ? url : "", 0};
    HelpAddress address;
    if (!ParseHelpAddress(url, address))
        return false;
    InitPelmoraResources();
    const QString resource = QStringLiteral(":/help/") + QString::fromUtf8(address.page.c_str());
    if (!QFile::exists(resource))
        return false;
    QTextBrowser* browser = Browser();
    browser->setSource(QUrl(QStringLiteral("qrc") + resource), QTextDocument::HtmlResource);
    QWidget* window = Window();
    const bool wasVisible = window->isVisible();
    KeepAboveModalDialog(window, owner);
    if (owner && !wasVisible)
        window->move(owner->window()->geometry().center() - window->rect().center());
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

int PopupTopicOf(int controlId, const std::vector<std::pair<int, int>>& table) {
    for (const auto& [control, topic] : table)
        if (control == controlId)
            return topic;
    return 0;
}

bool HtmlHelpPopup(QWidget* control, const char* helpFile, const std::vector<std::pair<int, int>>& table) {
    const int topic = PopupTopicOf(ControlIdOf(control), table);
    if (!topic)
        return false;
    Last() = HelpRequest{HH_TP_HELP_WM_HELP, helpFile ? helpFile : "", topic};
    QString text = HelpPopupText(topic);
    if (text.isEmpty())
        text = QStringLiteral("No help topic is associated with this item.");
    QWhatsThis::showText(control->mapToGlobal(control->rect().center()), text, control);
    return true;
}

QString HelpPopupText(int topic) {
    return PopupTexts().value(topic);
}

QWidget* HelpWindow() {
    return Window();
}

#include "platform/qt/Shell.h"

#include <QDesktopServices>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

#include <memory>

namespace {
std::function<bool(const QUrl&)>& Opener() {
    static std::function<bool(const QUrl&)> opener;
    return opener;
}

std::function<UrlLaunchResult(const QUrl&)>& Launcher() {
    static std::function<UrlLaunchResult(const QUrl&)> launcher;
    return launcher;
}

// xdg-open's exit codes: 0 done, 3 no tool or handler found, others a failed action.
UrlLaunchResult ResultOfExit(int exitCode) {
    if (exitCode == 0)
        return UrlLaunchResult::Opened;
    return exitCode == 3 ? UrlLaunchResult::NoHandler : UrlLaunchResult::Failed;
}

// Runs the program with the arguments without waiting; finished gets the exit code and output, or
// -1 when the program could not be started.
void RunDetachedWatch(const QString& program, const QStringList& arguments, QObject* context,
                      std::function<void(int, const QByteArray&)> finished) {
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::SeparateChannels);
    auto answered = std::make_shared<bool>(false);
    auto report = [process, answered, context = QPointer<QObject>(context),
                   finished = std::move(finished)](int code) {
        if (*answered)
            return;
        *answered = true;
        const QByteArray output = code >= 0 ? process->readAllStandardOutput() : QByteArray();
        process->deleteLater();
        if (context)
            finished(code, output);
    };
    QObject::connect(process, &QProcess::finished, process, [report](int code, QProcess::ExitStatus status) {
        report(status == QProcess::NormalExit ? code : 4);
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [report](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            report(-1);
    });
    process->start();
}

void OpenWithDesktop(const QUrl& url, QObject* context, std::function<void(UrlLaunchResult)> done) {
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty()) {
        done(QDesktopServices::openUrl(url) ? UrlLaunchResult::Opened : UrlLaunchResult::NoHandler);
        return;
    }
    RunDetachedWatch(xdgOpen, {url.toString(QUrl::FullyEncoded)}, context,
                     [done = std::move(done)](int code, const QByteArray&) {
                         done(code < 0 ? UrlLaunchResult::NoHandler : ResultOfExit(code));
                     });
}

} // namespace

int ShellOpenUrl(const QUrl& url) {
    const bool opened = Opener() ? Opener()(url) : QDesktopServices::openUrl(url);
    return opened ? 42 : 2;
}

void SetUrlOpener(std::function<bool(const QUrl&)> opener) {
    Opener() = std::move(opener);
}

void LaunchUrl(const QUrl& url, QObject* context, std::function<void(UrlLaunchResult)> done) {
    if (Launcher()) {
        done(Launcher()(url));
        return;
    }
    if (!url.isValid()) {
        done(UrlLaunchResult::Failed);
        return;
    }
    // xdg-open reports a missing web or mail program itself; for the other schemes (tel:) ask first
    // whether the desktop has a handler, since xdg-open may hand such a URL to the web browser.
    const QString scheme = url.scheme().toLower();
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
        scheme == QLatin1String("mailto") || xdgMime.isEmpty()) {
        OpenWithDesktop(url, context, std::move(done));
        return;
    }
    RunDetachedWatch(
        xdgMime,
        {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/") + scheme},
        context, [url, context, done = std::move(done)](int code, const QByteArray& output) {
            if (code != 0 || output.trimmed().isEmpty()) {
                done(UrlLaunchResult::NoHandler);
                return;
            }
            OpenWithDesktop(url, context, done);
        });
}

void SetUrlLauncher(std::function<UrlLaunchResult(const QUrl&)> launcher) {
    Launcher() = std::move(launcher);
}

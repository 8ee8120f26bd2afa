#pragma once

#include <QUrl>

#include <functional>

class QObject;

// ShellExecute "open" of a web address or mail link: opens the URL with the desktop and returns a
// value above 32 on success and 2 (file not found) on failure, as the callers test it.
int ShellOpenUrl(const QUrl& url);
// Replaces the opener (tests); nullptr returns to QDesktopServices::openUrl.
void SetUrlOpener(std::function<bool(const QUrl&)> opener);

// How handing a URL to the desktop ended.
enum class UrlLaunchResult {
    Opened,
    NoHandler, // nothing on the desktop opens URLs of this scheme
    Failed,    // a handler was found but could not open it
};

// Hands the URL to the desktop's handler of its scheme without waiting for it: done is called later
// on the UI thread with the outcome, unless context is gone by then. The window never waits for
// the handler.
void LaunchUrl(const QUrl& url, QObject* context, std::function<void(UrlLaunchResult)> done);
// Replaces the launcher (tests): it answers at once. nullptr returns to the desktop's handlers.
void SetUrlLauncher(std::function<UrlLaunchResult(const QUrl&)> launcher);

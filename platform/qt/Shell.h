#pragma once

#include <QUrl>

#include <functional>

// ShellExecute "open" of a web address or mail link: opens the URL with the desktop and returns a
// value above 32 on success and 2 (file not found) on failure, as the callers test it.
int ShellOpenUrl(const QUrl& url);
// Replaces the opener (tests); nullptr returns to QDesktopServices::openUrl.
void SetUrlOpener(std::function<bool(const QUrl&)> opener);

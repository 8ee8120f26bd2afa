#include "platform/qt/Shell.h"

#include <QDesktopServices>

namespace {
std::function<bool(const QUrl&)>& Opener() {
    static std::function<bool(const QUrl&)> opener;
    return opener;
}
} // namespace

int ShellOpenUrl(const QUrl& url) {
    const bool opened = Opener() ? Opener()(url) : QDesktopServices::openUrl(url);
    return opened ? 42 : 2;
}

void SetUrlOpener(std::function<bool(const QUrl&)> opener) {
    Opener() = std::move(opener);
}

#include "ui/frame/WindowPlacement.h"

#include "platform/core/Registry.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <type_traits>

namespace {

// The values in their stored order, each with the field it fills.
template <typename Visit> void ForEachValue(CWindowPlacement& p, const Visit& visit) {
    visit("wp.showCmd", p.showCmd);
    visit("wp.flags", p.flags);
    visit("wp.ptMinPosition.x", p.ptMinPosition.x);
    visit("wp.ptMinPosition.y", p.ptMinPosition.y);
    visit("wp.ptMaxPosition.x", p.ptMaxPosition.x);
    visit("wp.wpMaxPosition", p.ptMaxPosition.y);
    visit("wp.left", p.rcNormalPosition.left);
    visit("wp.right", p.rcNormalPosition.right);
    visit("wp.top", p.rcNormalPosition.top);
    visit("wp.bottom", p.rcNormalPosition.bottom);
}

} // namespace

bool CWindowPlacement::Load(const char* key) {
    RegistryStore& registry = Registry();
    if (!registry.KeyExists(key))
        return false;
    ForEachValue(*this, [&](const char* name, auto& field) {
        if (const std::optional<uint32_t> value = registry.ReadDword(key, name))
            field = static_cast<std::remove_reference_t<decltype(field)>>(*value);
    });
    return true;
}

bool CWindowPlacement::Store(const char* key) {
    RegistryStore& registry = Registry();
    if (!registry.CreateKey(key))
        return false;
    ForEachValue(*this, [&](const char* name, auto& field) {
        registry.WriteDword(key, name, static_cast<uint32_t>(field));
    });
    return true;
}

bool CWindowPlacement::IsOnScreen() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    const QSize size = screen->geometry().size();
    // Windows rectangles exclude their right and bottom edges; an empty intersection fails.
    const int32_t left = std::max(rcNormalPosition.left, 0);
    const int32_t top = std::max(rcNormalPosition.top, 0);
    const int32_t right = std::min(rcNormalPosition.right, size.width());
    const int32_t bottom = std::min(rcNormalPosition.bottom, size.height());
    return left < right && top < bottom;
}

bool CWindowPlacement::Restore(const char* key, QWidget* window) {
    if (!Load(key) || !IsOnScreen())
        return false;
    const QRect normal(rcNormalPosition.left, rcNormalPosition.top,
                       rcNormalPosition.right - rcNormalPosition.left,
                       rcNormalPosition.bottom - rcNormalPosition.top);
    window->setGeometry(normal);
    switch (showCmd) {
    case SW_SHOWMINIMIZED:
        // A window minimised from its maximised state goes back to maximised when restored.
        if (flags & WPF_RESTORETOMAXIMIZED) {
            window->setWindowState(Qt::WindowMinimized | Qt::WindowMaximized);
            window->show();
        } else {
            window->showMinimized();
        }
        break;
    case SW_SHOWMAXIMIZED:
        window->showMaximized();
        break;
    default:
        // A stored hidden state would leave the program without a window: it shows normally.
        window->showNormal();
        break;
    }
    return true;
}

void CWindowPlacement::GetFrom(const QWidget* window) {
    length = 44;
    const Qt::WindowStates states = window->windowState();
    const QRect normal = (states & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
                             ? window->normalGeometry()
                             : window->geometry();
    rcNormalPosition = {normal.left(), normal.top(), normal.left() + normal.width(),
                        normal.top() + normal.height()};
    if (states & Qt::WindowMinimized) {
        showCmd = SW_SHOWMINIMIZED;
        flags = (states & Qt::WindowMaximized) ? uint32_t{WPF_RESTORETOMAXIMIZED} : 0u;
    } else if (states & Qt::WindowMaximized) {
        showCmd = SW_SHOWMAXIMIZED;
        flags = 0;
    } else {
        showCmd = SW_SHOWNORMAL;
        flags = 0;
    }
    ptMinPosition = {-1, -1};
    ptMaxPosition = {-1, -1};
}

bool CWindowPlacement::Save(const char* key, QWidget* window) {
    GetFrom(window);
    return Store(key);
}

#pragma once

#include <cstdint>

class QWidget;

// Show commands of a placement, with the Windows values.
enum : uint32_t { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3 };
// Placement flag: a minimised window goes back to maximised.
enum : uint32_t { WPF_RESTORETOMAXIMIZED = 0x2 };

struct PlacementPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct PlacementRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The main frame's size, position and show state, kept in the registry between runs as the DWORD
// values "wp.showCmd", "wp.flags", "wp.ptMinPosition.x", "wp.ptMinPosition.y",
// "wp.ptMaxPosition.x", "wp.wpMaxPosition" (the maximised y), "wp.left", "wp.right", "wp.top" and
// "wp.bottom" (negative numbers as their two's complement).
class CWindowPlacement {
public:
    uint32_t length = 44;
    uint32_t flags = 0;
    uint32_t showCmd = 0;
    PlacementPoint ptMinPosition;
    PlacementPoint ptMaxPosition;
    PlacementRect rcNormalPosition;

    // Reads every value that is present over the fields; false when the key does not exist.
    bool Load(const char* key);
    // Writes the ten values (creating the key); false when the key cannot be created.
    bool Store(const char* key);
    // Applies a stored placement to the window unless its normal rectangle lies off the primary
    // screen; true when applied.
    bool Restore(const char* key, QWidget* window);
    // Reads the window's placement and stores it.
    bool Save(const char* key, QWidget* window);

    // The window's placement now.
    void GetFrom(const QWidget* window);
    // Whether the normal rectangle meets the primary screen's rectangle (0, 0, width, height).
    bool IsOnScreen() const;
};

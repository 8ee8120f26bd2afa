#pragma once

#include <functional>

// Work that holds the window for seconds tells of itself through this seam: the GUI shows the text
// where the main window tells of work under way (its status bar) at once, without waiting for the
// event loop; tests record it. A null text clears it.
using ProgressShower = std::function<void(const char* text)>;
// Installs the shower; an empty one shows nothing.
void SetProgressShower(ProgressShower shower);
void ShowProgress(const char* text);

// Shows the wait cursor and what is being done for the lifetime of the object.
class BusyNotice {
public:
    explicit BusyNotice(const char* text);
    ~BusyNotice();
    BusyNotice(const BusyNotice&) = delete;
    BusyNotice& operator=(const BusyNotice&) = delete;
};

#pragma once

#include "platform/core/CString.h"

#include <QString>

#include <utility>
#include <vector>

class QWidget;

// The help layer in place of HTML Help: pages are the resources under :/help/html, addressed as
// "<program dir>\\pelmo.chm::/html/<page>.htm>topic"; popup topics are short texts by topic id shown
// as What's-This popups.

enum : unsigned { HH_DISPLAY_TOPIC = 0x0000, HH_DISPLAY_TOC = 0x0001, HH_TP_HELP_WM_HELP = 0x0011 };

// A help address taken apart: "dir\\file::/page>window".
struct HelpAddress {
    CString directory; // without the trailing separator
    CString file;      // e.g. "pelmo.chm"
    CString page;      // without the leading slash, e.g. "html/calendar.htm"
    CString window;    // e.g. "topic"; empty when the address names none
};
// False when the address has no "::" page part.
bool ParseHelpAddress(const char* url, HelpAddress& address);

// The help file's full name as every help address begins: "%s\\%s" of the program directory and
// "pelmo.chm".
CString HelpFilePath();
// A help page address: pattern like "%s\\%s::/html/calendar.htm>topic" filled with the program
// directory and "pelmo.chm".
CString HelpPageAddress(const char* pattern);

// What the last help call asked for (tests read it).
struct HelpRequest {
    unsigned command = 0;
    CString url;
    int popupTopic = 0;
};
const HelpRequest& LastHelpRequest();
void ClearLastHelpRequest();

// HH_DISPLAY_TOPIC / HH_DISPLAY_TOC: shows the page in the help window; false when the address names
// no page of the help.
bool HtmlHelpTopic(QWidget* owner, const char* url, unsigned command = HH_DISPLAY_TOPIC);
// HH_TP_HELP_WM_HELP: shows the popup text of the control's topic from the control-to-topic table;
// false (and nothing shown) when the control is not in the table.
bool HtmlHelpPopup(QWidget* control, const char* helpFile, const std::vector<std::pair<int, int>>& table);
// The popup topic of a control id in a table, 0 when not listed.
int PopupTopicOf(int controlId, const std::vector<std::pair<int, int>>& table);
// The popup text of a topic id; empty when the help has none.
QString HelpPopupText(int topic);
// The help window (created on first use), or null before one was shown.
QWidget* HelpWindow();

// Makes the embedded pages and pictures available (the library is static, so they must be pulled in).
void InitPelmoraResources();

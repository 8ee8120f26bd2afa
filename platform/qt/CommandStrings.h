#pragma once

#include <QString>

class QAction;

// The command strings: for every command id one text "status prompt\ntooltip" in the string table.
// The status bar's default pane shows the prompt while a menu item or toolbar button of the command
// is hovered; the toolbar button's tooltip is the part after the first "\n". Every action that gets
// a command id (SetCommandId) takes both from here, so each menu, toolbar and pane toolbar shows them.

// The string-table id of the status bar's idle text, "Ready".
constexpr int kIdleStatusStringId = 57345;

// The whole command string of an id; empty when the id has none.
QString CommandString(int id);
// Its first line: the status prompt.
QString CommandPrompt(int id);
// What follows its first "\n": the tooltip; empty when the string has no second part.
QString CommandTip(int id);
// The status bar's idle text (string 57345).
QString IdleStatusText();
// Sets the action's status tip and (when the string has one) its tooltip from its command string.
void ApplyCommandString(QAction* action, int id);

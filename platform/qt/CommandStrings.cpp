#include "platform/qt/CommandStrings.h"

#include "platform/core/StringTable.h"

#include <QAction>

namespace {

struct CommandText {
    int id;
    const char* text;
};

// The frame's commands, the print preview's, the panes' and the idle text.
const CommandText kCommandStrings[] = {
    {103, "Look for a newer version of Pelmora on the web\nCheck for update"},
    {32771, "Edit your own name, address and numbers\nEdit user"},
    {32775, "Add a new name to the phone book\nAdd name"},
    {32776, "Delete the selected name\nDelete name"},
    {32777, "Edit the selected name\nEdit name"},
    {32778, "Print the tasks and appointments of the current day\nDaily report"},
    {32779, "Print the appointments of the current day\nDaily appointments"},
    {32780, "Print the tasks of the current day\nDaily tasks"},
    {32781, "Write the phone book to a text file\nExport phone book"},
    {32782, "Print envelopes for the selected names\nEnvelopes"},
    {32783, "Write the appointments to a text file\nExport appointments"},
    {32784, "Print the phone book\nPhone book report"},
    {32785, "Choose the font of the printed reports\nReport font"},
    {32786, "Save a backup copy of the open database\nBackup"},
    {32787, "Remove empty space and old tasks from file\nCompact"},
    {32789, "Choose the sound played for appointment reminders\nAlarm sound"},
    {32790, "Add a new task\n Add task"},
    {32791, "Delete selected task\nDelete task"},
    {32792, "Edit selected task\nEdit task"},
    {32793, "Mark selected task completed\nMark complete"},
    {32797, "Add an appointment\n Add appointment"},
    {32798, "Delete selected appointment\nDelete appointment"},
    {32799, "Edit selected appointment\nEdit appointment"},
    {32801, "Write the tasks to a text file\nExport tasks"},
    {32813, "Read tasks from a text file\nImport tasks"},
    {32814, "Read phone book entries from a text file\nImport phone book"},
    {32815, "Read appointments from a text file\nImport appointments"},
    {32819, "Show the page larger\nZoom in"},
    {32820, "Show the page smaller\nZoom out"},
    {32829, "Print the plan of the current month\nMonthly plan"},
    {32830, "Print the plan of the current week\nWeekly plan"},
    {32831, "Open the last database used when Pelmora starts\nOpen last file"},
    {32832, "Play the alarm sound with appointment reminders\nAudible alarm"},
    {32834, "Add, rename and delete the address book groups\nGroups"},
    {32836, "Write an email to the selected group\nEmail group"},
    {32840, "Show the day plan\nDayplan"},
    {32841, "Show the calendar, appointments, tasks and phone book\nStandard"},
    {32842, "Show the address book\nAddress book"},
    {32844, "Import contacts from an address book file\nImport address book"},
    {32846, "Import tables from another Pelmora database\nImport Pelmora database"},
    {32848, "Change the password of the open database\nChange password"},
    {57345, "Ready"},
    {57600, "Create a new database\nNew"},
    {57601, "Open an existing database\nOpen"},
    {57603, "Save the active document\nSave"},
    {57604, "Save a copy of the open database under a new name\nSave As"},
    {57605, "Change the printing options\nPage Setup"},
    {57607, "Print the report\nPrint"},
    {57609, "Show the report as it will be printed\nPrint Preview"},
    {57616, "Open this database"},
    {57617, "Open this database"},
    {57618, "Open this database"},
    {57619, "Open this database"},
    {57620, "Open this database"},
    {57621, "Open this database"},
    {57622, "Open this database"},
    {57623, "Open this database"},
    {57624, "Open this database"},
    {57625, "Open this database"},
    {57626, "Open this database"},
    {57627, "Open this database"},
    {57628, "Open this database"},
    {57629, "Open this database"},
    {57630, "Open this database"},
    {57631, "Open this database"},
    {57664, "Display program information, version number and copyright\nAbout"},
    {57665, "Quit the application\nExit"},
    {57667, "List the help topics\nHelp Topics"},
    {57669, "Display help for a clicked button, menu or window\nHelp"},
    {58112, "Close print preview mode\nClose preview"},
    {58114, "Go to the next page\nNext page"},
    {58115, "Go to the previous page\nPrevious page"},
    {59392, "Show or hide the toolbar\nToggle toolbar"},
    {59393, "Show or hide the status bar\nToggle status bar"},
};

void RegisterCommandStrings() {
    static const bool done = [] {
        for (const CommandText& entry : kCommandStrings)
            RegisterStringResource(static_cast<uint32_t>(entry.id), entry.text);
        return true;
    }();
    (void)done;
}

} // namespace

QString CommandString(int id) {
    RegisterCommandStrings();
    return id > 0 ? QString::fromUtf8(LoadStringResourceText(static_cast<uint32_t>(id)).c_str()) : QString();
}

QString CommandPrompt(int id) {
    const QString text = CommandString(id);
    const int newline = text.indexOf(QLatin1Char('\n'));
    return newline >= 0 ? text.left(newline) : text;
}

QString CommandTip(int id) {
    const QString text = CommandString(id);
    const int newline = text.indexOf(QLatin1Char('\n'));
    return newline >= 0 ? text.mid(newline + 1) : QString();
}

QString IdleStatusText() {
    return CommandString(kIdleStatusStringId);
}

void ApplyCommandString(QAction* action, int id) {
    if (!action)
        return;
    action->setStatusTip(CommandPrompt(id));
    const QString tip = CommandTip(id);
    if (!tip.isEmpty())
        action->setToolTip(tip);
}

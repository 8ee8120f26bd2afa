#include "data/DbDoc.h"
#include "data/RecurPattern.h"
#include "data/SqlDb.h"
#include "platform/core/Prompt.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "platform/qt/PropertySheet.h"
#include "reports/PersonPickerDlg.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/addressbook/GroupDetailsDlg.h"
#include "ui/addressbook/GroupListDlg.h"
#include "ui/addressbook/PersonSheet.h"
#include "ui/addressbook/UserSheet.h"
#include "ui/calendar/ApptSheet.h"
#include "ui/calendar/TaskSheet.h"
#include "ui/common/SheetParts.h"
#include "ui/document/CreateDbDlg.h"
#include "ui/document/PasswordDlg.h"
#include "ui/exchange/ImportTablesDlg.h"
#include "ui/exchange/ImportWabDlg.h"

#include <QApplication>
#include <QDialog>
#include <QHelpEvent>
#include <QPushButton>
#include <QWhatsThis>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Every sheet and dialog with popup help, control by control: the help key over the control shows
// the popup its table gives it, and that popup's text names the control's field. A popup shown for a
// control the tables here do not list fails too, so no control's text goes unread.

namespace {

struct ControlHelp {
    int control;
    int topic;
    const char* names; // a phrase of the popup text that names the control's field
};

// The popups shown for the controls of `part` (the part's own controls, not those of the parts in
// `inner`, such as a sheet's pages): control id -> topic.
std::map<int, int> PopupsShown(QWidget* part, const std::vector<QWidget*>& inner) {
    std::map<int, int> shown;
    QList<QWidget*> controls = part->findChildren<QWidget*>();
    controls.prepend(part);
    for (QWidget* control : controls) {
        const int id = ControlIdOf(control);
        if (id == 0 || control->window() != part->window())
            continue;
        bool inside = false;
        for (const QWidget* other : inner)
            inside = inside || other == control || other->isAncestorOf(control);
        if (inside)
            continue;
        ClearLastHelpRequest();
        const QPoint corner(1, 1);
        QHelpEvent help(QEvent::WhatsThis, corner, control->mapToGlobal(corner));
        QApplication::sendEvent(control, &help);
        QWhatsThis::hideText();
        if (LastHelpRequest().command == HH_TP_HELP_WM_HELP && LastHelpRequest().popupTopic != 0)
            shown[id] = LastHelpRequest().popupTopic;
    }
    return shown;
}

void ExpectPopups(const char* part, QWidget* widget, const std::vector<ControlHelp>& expected,
                  const std::vector<QWidget*>& inner = {}) {
    SCOPED_TRACE(part);
    const std::map<int, int> shown = PopupsShown(widget, inner);
    for (const ControlHelp& c : expected) {
        SCOPED_TRACE(testing::Message() << "control " << c.control);
        const auto found = shown.find(c.control);
        if (found == shown.end()) {
            ADD_FAILURE() << "no popup";
            continue;
        }
        EXPECT_EQ(found->second, c.topic);
        const QString text = HelpPopupText(found->second);
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.names), Qt::CaseInsensitive))
            << "topic " << found->second << " \"" << text.toStdString() << "\" does not name \"" << c.names
            << "\"";
    }
    for (const auto& [control, topic] : shown) {
        bool listed = false;
        for (const ControlHelp& c : expected)
            listed = listed || c.control == control;
        EXPECT_TRUE(listed) << "control " << control << " shows topic " << topic << " \""
                            << HelpPopupText(topic).toStdString() << "\", which this table does not check";
    }
}

// Every page of a sheet with its table, then the sheet's own buttons.
void ExpectSheetPopups(PropertySheet* sheet, const std::vector<std::vector<ControlHelp>>& pages,
                       const std::vector<ControlHelp>& buttons) {
    ASSERT_EQ(sheet->GetPageCount(), static_cast<int>(pages.size()));
    std::vector<QWidget*> pageWidgets;
    for (int page = 0; page < sheet->GetPageCount(); ++page) {
        ASSERT_TRUE(sheet->SetActivePage(page));
        ExpectPopups(sheet->GetPage(page)->Title().toStdString().c_str(), sheet->GetPage(page), pages[page]);
        pageWidgets.push_back(sheet->GetPage(page));
    }
    ExpectPopups("sheet", sheet, buttons, pageWidgets);
}

// Runs `run` (a modal dialog's DoModal) with `inspect` answering the dialog; the dialog is then
// cancelled, or closed by its button `close`.
void WhileShown(const std::function<int()>& run, const std::function<void(QWidget*)>& inspect,
                int close = 0) {
    bool shown = false;
    AnswerNextModal([&](QWidget* w) {
        shown = true;
        inspect(w);
        if (close)
            FindControl<QPushButton>(w, close)->click();
        else
            static_cast<QDialog*>(w)->reject();
    });
    run();
    EXPECT_TRUE(shown);
}

const std::vector<ControlHelp> kOkCancel = {{IDOK, 1000, "keeps"}, {IDCANCEL, 1001, "without keeping"}};

std::vector<ControlHelp> With(std::vector<ControlHelp> table, const std::vector<ControlHelp>& more) {
    table.insert(table.end(), more.begin(), more.end());
    return table;
}

const std::vector<ControlHelp> kRecurrence = {
    {1256, 1657, "begins"},
    {1257, 1601, "ends"},
    {1430, 1602, "every day"},
    {1431, 1603, "week"},
    {1432, 1604, "month"},
    {1433, 1605, "year"},
    {1004, 1606, "days"},
    {1006, 1607, "weekday"},
    {1005, 1608, "days"},
    {1436, 1609, "weeks"},
    {1437, 1610, "Sunday"},
    {1438, 1611, "Monday"},
    {1439, 1612, "Tuesday"},
    {1441, 1613, "Wednesday"},
    {1440, 1614, "Thursday"},
    {1442, 1615, "Friday"},
    {1443, 1616, "Saturday"},
    {1457, 1617, "day of the month"},
    {1458, 1618, "second Tuesday"},
    {1464, 1619, "moved"},
    {1459, 1620, "day of the month"},
    {1460, 1621, "months"},
    {1461, 1622, "first, second"},
    {1462, 1623, "kind of day"},
    {1463, 1624, "months"},
    {1465, 1625, "first, second"},
    {1475, 1626, "kind of day"},
    {1476, 1627, "months"},
    {1014, 1628, "plus"},
    {1015, 1629, "days"},
    {1470, 1630, "fixed date"},
    {1471, 1631, "every year"},
    {1007, 1632, "month"},
    {1472, 1633, "day of the month"},
    {1473, 1634, "first, second"},
    {1474, 1635, "kind of day"},
    {1008, 1636, "month"},
    {1451, 1637, "how"},
    {1000, 1638, "without an end"},
    {1001, 1639, "after"},
    {1003, 1640, "date"},
    {1002, 1641, "number of occurrences"},
    {1452, 1642, "ends"},
    {1087, 1643, "time of day"},
    {1172, 1644, "begins"},
    {1173, 1645, "ends"},
    {1009, 1646, "days"},
    {1454, 1647, "weeks"},
    {1455, 1648, "days of the week"},
    {1466, 1649, "months"},
    {1467, 1650, "months"},
    {1468, 1651, "months"},
    {1469, 1652, "months"},
    {1477, 1653, "months"},
    {1478, 1654, "months"},
    {1010, 1655, "first day"},
    {1011, 1656, "last day"},
};

// The address part of the person's home and business pages.
const std::vector<ControlHelp> kPersonAddress = {
    {1029, 1209, "city"}, {1030, 1210, "state"}, {1479, 1211, "zip"}};

class PopupHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        prompt.AnswerCreateDb(CString(dir.File("Help")), CString());
        bool error = true;
        ASSERT_TRUE(g_doc.OnFileNew(error));
        prompt.Clear();
        rule.SetStartDate(FormatRuleDate(CDateTime(2026, 12, 10)).c_str());
        rule.SetStartTime("10:30 AM");
        rule.SetEndTime("11:00 AM");
    }

    void TearDown() override {
        StopAnsweringModals();
        g_db.Close();
    }

    TempDir dir;
    ScriptedPrompt prompt;
    CRecurItem rule;
};

TEST_F(PopupHelpTest, TaskSheet) {
    CTaskOptionsSheet sheet;
    sheet.SetRule(&rule);
    sheet.m_page.m_recurring = 1;
    WhileShown([&] { return sheet.DoModal(); },
               [&](QWidget*) {
                   ExpectSheetPopups(&sheet,
                                     {{{1046, 1301, "what the task is about"},
                                       {1062, 1301, "what the task is about"},
                                       {1060, 1302, "priority"},
                                       {1037, 1302, "high"},
                                       {1035, 1302, "medium"},
                                       {1033, 1302, "low"},
                                       {1031, 1302, "done"},
                                       {1102, 1300, "due"},
                                       {1110, 1300, "due"},
                                       {1171, 1304, "repeat"},
                                       {1170, 1304, "repeat"}},
                                      kRecurrence},
                                     {});
               });
}

TEST_F(PopupHelpTest, AppointmentSheet) {
    CApptOptionsSheet sheet;
    sheet.SetRule(&rule);
    sheet.m_page.m_desc = "Review";
    sheet.m_page.m_dateDue = CDateTime(2026, 12, 10);
    sheet.m_page.m_startTime = CDateTime(2026, 12, 10, 10, 30, 0);
    sheet.m_page.m_endTime = CDateTime(2026, 12, 10, 11, 0, 0);
    sheet.m_page.m_alarmTime = sheet.m_page.m_startTime;
    sheet.m_page.m_recurring = 1;
    WhileShown([&] { return sheet.DoModal(); },
               [&](QWidget*) {
                   ExpectSheetPopups(&sheet,
                                     {{{1044, 1400, "what the appointment is about"},
                                       {1081, 1400, "what the appointment is about"},
                                       {1000, 1401, "day"},
                                       {1082, 1401, "day"},
                                       {1049, 1402, "begins"},
                                       {1083, 1402, "begins"},
                                       {1051, 1402, "begins"},
                                       {1050, 1403, "ends"},
                                       {1084, 1403, "ends"},
                                       {1052, 1403, "ends"},
                                       {1087, 1406, "time"},
                                       {1045, 1404, "sets a reminder"},
                                       {1085, 1405, "minutes before"},
                                       {1047, 1405, "minutes before"},
                                       {1048, 1405, "minutes before"},
                                       {1086, 1410, "reminder"},
                                       {1171, 1411, "repeat"},
                                       {1170, 1411, "repeat"}},
                                      kRecurrence},
                                     {});
               });
}

TEST_F(PopupHelpTest, PersonSheet) {
    PersonSheet sheet(QStringLiteral("Add Person"));
    sheet.m_general.m_doc = &g_doc;
    WhileShown([&] { return sheet.DoModal(); },
               [&](QWidget*) {
                   ExpectSheetPopups(&sheet,
                                     {{{1025, 1212, "title"},
                                       {1021, 1201, "first name"},
                                       {1022, 1202, "last name"},
                                       {1027, 1205, "groups"}},
                                      With(kPersonAddress, {{1026, 1207, "first line"},
                                                            {1028, 1208, "second line"},
                                                            {1032, 1220, "home telephone"},
                                                            {1192, 1223, "fax"},
                                                            {1040, 1226, "mobile"},
                                                            {1039, 1225, "pager"},
                                                            {1038, 1224, "e-mail"},
                                                            {1041, 1227, "web page"}}),
                                      With(kPersonAddress, {{1023, 1203, "company"},
                                                            {1024, 1204, "position"},
                                                            {1183, 1207, "first line"},
                                                            {1184, 1208, "second line"},
                                                            {1034, 1221, "work telephone"},
                                                            {1042, 1222, "extension"},
                                                            {1186, 1223, "fax"},
                                                            {1192, 1226, "mobile"},
                                                            {1194, 1225, "pager"},
                                                            {1188, 1224, "e-mail"},
                                                            {1190, 1227, "web page"}}),
                                      {{1043, 1230, "notes"}}},
                                     kOkCancel);
               });
}

TEST_F(PopupHelpTest, UserSheet) {
    CUserSheet sheet;
    WhileShown([&] { return sheet.DoModal(); },
               [&](QWidget*) {
                   ExpectSheetPopups(&sheet,
                                     {{{1025, 1212, "title"},
                                       {1021, 1101, "first name"},
                                       {1022, 1102, "last name"},
                                       {1023, 1103, "company"},
                                       {1024, 1104, "position"}},
                                      {{1026, 1105, "first line"},
                                       {1028, 1106, "second line"},
                                       {1029, 1107, "city"},
                                       {1030, 1108, "state"},
                                       {1479, 1109, "zip"}},
                                      {{1032, 1220, "home telephone"},
                                       {1034, 1221, "work telephone"},
                                       {1042, 1222, "extension"},
                                       {1036, 1223, "fax"},
                                       {1038, 1224, "e-mail"},
                                       {1039, 1225, "pager"},
                                       {1040, 1226, "mobile"},
                                       {1041, 1227, "web page"}}},
                                     kOkCancel);
               });
}

TEST_F(PopupHelpTest, GroupDialogs) {
    CGroupListDlg list;
    list.SetDocument(&g_doc);
    WhileShown([&] { return list.DoModal(); },
               [](QWidget* w) {
                   ExpectPopups("groups", w,
                                {{1103, 1900, "groups of this document"},
                                 {1008, 1010, "adds"},
                                 {1014, 1011, "changes the name"},
                                 {1011, 1012, "is not deleted"},
                                 {IDOK, 1013, "closes the list"}});
               },
               IDOK);
    CGroupDetailsDlg details;
    details.SetDocument(&g_doc);
    WhileShown([&] { return details.DoModal(); },
               [](QWidget* w) {
                   ExpectPopups("group details", w,
                                With({{1062, 1800, "name of the address book group"},
                                      {1067, 1800, "name of the address book group"}},
                                     kOkCancel));
               });
}

TEST_F(PopupHelpTest, DocumentDialogs) {
    // The password dialog shows the path without a browse button.
    const std::vector<ControlHelp> table =
        With({{1058, 1500, "path of the file"}, {57670, 1002, "help page"}}, kOkCancel);
    for (const bool createMode : {true, false}) {
        CCreateDbDlg dialog;
        dialog.m_createMode = createMode;
        WhileShown([&] { return dialog.DoModal(); },
                   [&](QWidget* w) {
                       ExpectPopups("create/open", w, With(table, {{1059, 1501, "browses"}}));
                   });
    }
    CPasswordDlg password;
    password.m_path = "/home/someone/Plans.pgr";
    WhileShown([&] { return password.DoModal(); }, [&](QWidget* w) { ExpectPopups("password", w, table); });
}

TEST_F(PopupHelpTest, PersonPicker) {
    CPersonPickerDlg picker(g_doc, {}, "Persons To Include", true);
    WhileShown(
        [&] { return picker.exec(); },
        [](QWidget* w) {
            ExpectPopups(
                "person picker", w,
                With({{1054, 1600, "persons"}, {1056, 1005, "every person"}, {1057, 1002, "help page"}},
                     kOkCancel));
        });
}

TEST_F(PopupHelpTest, ImportDialogs) {
    CImportTablesDlg tables;
    WhileShown([&] { return tables.DoModal(); },
               [](QWidget* w) {
                   ExpectPopups("import tables", w,
                                With({{1159, 2000, "address book"},
                                      {1160, 2001, "tasks"},
                                      {1161, 2002, "appointments"},
                                      {57670, 1002, "help page"}},
                                     kOkCancel));
               });
    CImportWabDlg wab;
    WhileShown(
        [&] { return wab.DoModal(); },
        [](QWidget* w) {
            ExpectPopups(
                "import address book", w,
                With({{1167, 2100, "Yellow Pages"}, {1168, 2101, "White Pages"}, {57670, 1002, "help page"}},
                     kOkCancel));
        });
}

} // namespace

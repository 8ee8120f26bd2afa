#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include <utility>
#include <vector>

class QDialog;
class QVBoxLayout;
class QWidget;

// Small builders shared by the dialogs: controls that carry their id.
QPushButton* MakeButton(QWidget* parent, int id, const QString& text);
// OK (the default button), Cancel and Help stacked at the top of a column beside the fields.
struct ButtonColumn {
    QPushButton* ok;
    QPushButton* cancel;
    QPushButton* help;
    QVBoxLayout* layout;
};
ButtonColumn MakeOkCancelHelpColumn(QWidget* dialog, const QString& okText, const QString& cancelText,
                                    const QString& helpText);
// Gives a dialog without a parent its owner (the given one, else the active window) before it runs.
void AdoptOwner(QDialog* dialog, QWidget* owner);
// Runs the dialog modally over its owner: IDOK when it was accepted, else IDCANCEL.
int RunModal(QDialog* dialog, QWidget* owner);
// A password edit: at most 31 characters, every character shown as '*'.
QLineEdit* MakePasswordEdit(QWidget* parent, int id);
// Copies the edit's text into a 33-byte password buffer; false (after a beep, with the focus on the
// edit) when it holds more than 32 bytes.
bool ExchangePassword(QLineEdit* edit, char (&buffer)[33]);
// Puts the picture's placeholder centre over the parent, as the dialogs open.
void CentreOverParent(QWidget* dialog);
// The popup table of the database dialogs.
const std::vector<std::pair<int, int>>& DatabaseDialogHelpTable();

// Control ids shared by several dialogs.
enum : int {
    kIdHelp = 57670,
    kIdPath = 1058,
    kIdBrowse = 1059,
    kIdPicture = 1134,
    kIdPassword = 1177,
    kIdPassword2 = 1178,
    kIdPassword3 = 1179,
};

#pragma once

#include <QLineEdit>

// An edit for telephone numbers: typed characters other than digits, space, "(", ")", "+", "-" and
// "." are swallowed without a beep; control keys and characters outside ASCII pass, and pasted text
// is taken as it is.
class CPhoneEdit : public QLineEdit {
public:
    explicit CPhoneEdit(QWidget* parent = nullptr);

    // Whether a typed character goes on to the edit.
    static bool IsAcceptedChar(QChar c);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

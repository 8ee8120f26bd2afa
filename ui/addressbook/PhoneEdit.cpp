#include "ui/addressbook/PhoneEdit.h"

#include <QKeyEvent>

CPhoneEdit::CPhoneEdit(QWidget* parent) : QLineEdit(parent) {}

bool CPhoneEdit::IsAcceptedChar(QChar c) {
    const char16_t code = c.unicode();
    if (code < 32 || code >= 128)
        return true;
    if (code >= '0' && code <= '9')
        return true;
    switch (code) {
    case ' ':
    case '(':
    case ')':
    case '+':
    case '-':
    case '.':
        return true;
    default:
        return false;
    }
}

void CPhoneEdit::keyPressEvent(QKeyEvent* event) {
    // Shortcuts (paste among them) carry no printable text, so they are never filtered.
    const QString text = event->text();
    if (!text.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        for (QChar c : text) {
            if (!IsAcceptedChar(c)) {
                event->accept();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

#include "ui/common/DialogParts.h"

#include "platform/core/Prompt.h"
#include "platform/qt/Controls.h"

#include <QApplication>
#include <QDialog>
#include <QProxyStyle>
#include <QScreen>
#include <QVBoxLayout>
#include <QValidator>
#include <QWidget>

#include <cstring>

namespace {

// Shows '*' for every character of a password edit.
class StarPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Refuses an edit that would make the password longer than the 31 bytes its buffer keeps: a
// character outside ASCII takes several bytes, and a password cut inside one would no longer be
// the text the user typed.
class PasswordBytesValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return input.toUtf8().size() <= 31 ? Acceptable : Invalid;
    }
};

} // namespace

QPushButton* MakeButton(QWidget* parent, int id, const QString& text) {
    auto* button = new QPushButton(text, parent);
    SetControlId(button, id);
    button->setAutoDefault(false);
    return button;
}

ButtonColumn MakeOkCancelHelpColumn(QWidget* dialog, const QString& okText, const QString& cancelText,
                                    const QString& helpText) {
    ButtonColumn column;
    column.ok = MakeButton(dialog, IDOK, okText);
    column.ok->setDefault(true);
    column.cancel = MakeButton(dialog, IDCANCEL, cancelText);
    column.help = MakeButton(dialog, kIdHelp, helpText);
    column.layout = new QVBoxLayout;
    column.layout->addWidget(column.ok);
    column.layout->addWidget(column.cancel);
    column.layout->addWidget(column.help);
    column.layout->addStretch();
    return column;
}

void AdoptOwner(QDialog* dialog, QWidget* owner) {
    if (dialog->parentWidget())
        return;
    QWidget* parent = owner ? owner : QApplication::activeWindow();
    if (parent && parent != dialog)
        dialog->setParent(parent, dialog->windowFlags() | Qt::Dialog);
}

int RunModal(QDialog* dialog, QWidget* owner) {
    AdoptOwner(dialog, owner);
    return dialog->exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

QLineEdit* MakePasswordEdit(QWidget* parent, int id) {
    auto* edit = new QLineEdit(parent);
    SetControlId(edit, id);
    edit->setMaxLength(31);
    edit->setValidator(new PasswordBytesValidator(edit));
    edit->setEchoMode(QLineEdit::Password);
    // The style is owned by the edit (Qt does not delete it), so each edit gets its own.
    auto* style = new StarPasswordStyle;
    style->setParent(edit);
    edit->setStyle(style);
    return edit;
}

bool ExchangePassword(QLineEdit* edit, char (&buffer)[33]) {
    const QByteArray text = edit->text().toUtf8();
    if (text.size() > 32) {
        QApplication::beep();
        edit->setFocus();
        return false;
    }
    std::memset(buffer, 0, sizeof buffer);
    std::memcpy(buffer, text.constData(), static_cast<size_t>(text.size()));
    return true;
}

void CentreOverParent(QWidget* dialog) {
    dialog->adjustSize();
    const QWidget* parent = dialog->parentWidget();
    QRect area;
    if (parent && parent->isVisible())
        area = parent->window()->frameGeometry();
    else if (const QScreen* screen = QApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        dialog->move(area.center() - dialog->rect().center());
}

const std::vector<std::pair<int, int>>& DatabaseDialogHelpTable() {
    static const std::vector<std::pair<int, int>> table = {
        {kIdPath, 1500}, {kIdBrowse, 1501}, {1, 1000}, {2, 1001}, {kIdHelp, 1002}};
    return table;
}

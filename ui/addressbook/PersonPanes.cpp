#include "ui/addressbook/PersonPanes.h"

#include "data/DbDoc.h"
#include "platform/core/Prompt.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Shell.h"
#include "ui/addressbook/ContextHelpClick.h"
#include "ui/common/SheetParts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

const char* const kNotAvailable = "Not Available";
const char* const kCallingError = "Calling Error";
const char* const kNoDialer =
    "There is no phone dialer active on your computer. Ifyou have not done so, please "
    "install the phone dialer applet from Windows Setup";
const char* const kInvalidNumber =
    "The number you have tried to dial is not valid. Please correct it and try again.";
const char* const kUnknownCallError = "Unknown error. The call could not be placed.";

using Row = CPersonDetailPane::Row;
using Kind = CPersonDetailPane::Kind;
using Action = CPersonDetailPane::Action;

} // namespace

CPersonDetailPane::CPersonDetailPane(QWidget* parent, const char* name, bool compact, std::vector<Row> rows)
    : QWidget(parent), m_compact(compact), m_rows(std::move(rows)) {
    setObjectName(QString::fromLatin1(name));
    Attach(&g_doc);
    Build();
}

CPersonDetailPane::~CPersonDetailPane() {
    Detach();
}

void CPersonDetailPane::Build() {
    auto* layout = new QGridLayout(this);
    QGridLayout* numbers = layout;
    QGridLayout* fields = layout;
    if (!m_compact) {
        // The numbers on the left, the address (and company) in a box on the right.
        bool anyNumber = false;
        bool anyField = false;
        for (const Row& row : m_rows) {
            anyNumber |= row.kind == Kind::Button || row.kind == Kind::Static;
            anyField |= row.kind == Kind::Edit;
        }
        if (anyNumber) {
            auto* left = new QGroupBox(this);
            numbers = new QGridLayout(left);
            layout->addWidget(left, 0, 0);
        }
        if (anyField) {
            auto* right = new QGroupBox(this);
            fields = new QGridLayout(right);
            layout->addWidget(right, 0, 1);
        }
        layout->setColumnStretch(0, 1);
        layout->setColumnStretch(1, 1);
    }
    for (const Row& row : m_rows) {
        QWidget* control = nullptr;
        QGridLayout* into = row.kind == Kind::Edit ? fields : numbers;
        switch (row.kind) {
        case Kind::Button: {
            auto* button = new QPushButton(this);
            connect(button, &QPushButton::clicked, this, [this, id = row.id] { Press(id); });
            control = button;
            break;
        }
        case Kind::Static:
            control = new QLabel(this);
            break;
        case Kind::Edit: {
            auto* edit = new QLineEdit(this);
            edit->setReadOnly(true);
            control = edit;
            break;
        }
        case Kind::Notes: {
            auto* notes = new QPlainTextEdit(this);
            notes->setReadOnly(true);
            control = notes;
            break;
        }
        }
        SetControlId(control, row.id);
        if (row.kind == Kind::Notes) {
            layout->addWidget(control, 0, 0);
            continue;
        }
        const int line = into->rowCount();
        into->addWidget(new QLabel(QString::fromUtf8(row.label), this), line, 0);
        into->addWidget(control, line, 1);
        into->setColumnStretch(1, 1);
    }
    for (QGridLayout* grid : {numbers, fields})
        if (grid != layout)
            grid->setRowStretch(grid->rowCount(), 1);
    if (m_compact)
        layout->setRowStretch(layout->rowCount(), 1);
    Show(nullptr);
}

void CPersonDetailPane::mouseReleaseEvent(QMouseEvent* event) {
    try {
        if (!AnswerContextHelpClick(this, event))
            QWidget::mouseReleaseEvent(event);
    } catch (...) {
        // A failed help lookup leaves the tab as it was.
    }
}

void CPersonDetailPane::OnDocumentModified() {
    OnUpdate();
}

void CPersonDetailPane::OnUpdate() {
    if (g_doc.m_currentPersonId.IsEmpty()) {
        Show(nullptr);
        return;
    }
    CPerson person;
    person.m_ID = g_doc.m_currentPersonId;
    if (!g_doc.GetPerson(person)) {
        if (!m_compact)
            return;
        person = CPerson();
    }
    Show(&person);
}

CString CPersonDetailPane::ShownText(const Row& row, const CPerson& person) {
    const CString& value = person.*row.field;
    if (row.field == &CPerson::m_WkPhone && !value.IsEmpty() && !person.m_WkExt.IsEmpty()) {
        CString text;
        text.Format("%sx%s", value.c_str(), person.m_WkExt.c_str());
        return text;
    }
    return value;
}

void CPersonDetailPane::Show(const CPerson* person) {
    for (const Row& row : m_rows) {
        QWidget* control = FindControl(this, row.id);
        const CString text = person ? ShownText(row, *person) : CString();
        switch (row.kind) {
        case Kind::Button:
        case Kind::Static: {
            const QString caption = text.IsEmpty() ? QString::fromLatin1(kNotAvailable) : ToQString(text);
            if (auto* button = qobject_cast<QPushButton*>(control))
                button->setText(caption);
            else if (auto* label = qobject_cast<QLabel*>(control))
                label->setText(caption);
            control->setEnabled(!text.IsEmpty());
            break;
        }
        case Kind::Edit:
            static_cast<QLineEdit*>(control)->setText(ToQString(text));
            break;
        case Kind::Notes:
            static_cast<QPlainTextEdit*>(control)->setPlainText(ToQString(text));
            break;
        }
    }
}

const Row* CPersonDetailPane::RowOf(int id) const {
    for (const Row& row : m_rows)
        if (row.id == id)
            return &row;
    return nullptr;
}

void CPersonDetailPane::Press(int id) {
    const Row* row = RowOf(id);
    if (!row || row->action == Action::None || g_doc.m_currentPersonId.IsEmpty())
        return;
    if (m_compact && row->action != Action::Dial) {
        // The compact tabs open what their button shows, and only while it is enabled.
        auto* button = FindControl<QPushButton>(this, id);
        if (!button || !button->isEnabled())
            return;
        const CString caption = ToCString(button->text());
        Open(row->action == Action::Mail ? MailUrl(caption) : WebUrl(caption), row->action);
        return;
    }
    CPerson person;
    person.m_ID = g_doc.m_currentPersonId;
    // A press acts on the stored value, even when the display is older.
    if (!g_doc.GetPerson(person))
        return;
    const CString& value = person.*row->field;
    if (value.IsEmpty())
        return;
    switch (row->action) {
    case Action::Dial:
        Dial(value);
        break;
    case Action::Mail:
        Open(MailUrl(value), Action::Mail);
        break;
    case Action::Web:
        Open(WebUrl(value), Action::Web);
        break;
    case Action::None:
        break;
    }
}

QString CPersonDetailPane::DialUrl(const CString& number) {
    // Spaces are only for the eye; the dialer gets the digits and the remaining separators.
    QString text = ToQString(number);
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return QStringLiteral("tel:") + text;
}

QString CPersonDetailPane::MailUrl(const CString& address) {
    const QString text = ToQString(address).trimmed();
    if (text.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return text;
    return QStringLiteral("mailto:") + text;
}

QString CPersonDetailPane::WebUrl(const CString& address) {
    const QString text = ToQString(address).trimmed();
    // An address that names its own scheme is opened as it is.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (scheme.match(text).hasMatch())
        return text;
    return QStringLiteral("http://") + text;
}

void CPersonDetailPane::Dial(const CString& number) {
    const QString url = DialUrl(number);
    // A number without a digit cannot be dialled.
    if (!url.contains(QRegularExpression(QStringLiteral("[0-9]")))) {
        MessageBoxA(static_cast<QWidget*>(this), kInvalidNumber, kCallingError, MB_OK | MB_ICONERROR);
        return;
    }
    LaunchUrl(QUrl(url, QUrl::TolerantMode), this, [this](UrlLaunchResult result) {
        if (result == UrlLaunchResult::NoHandler)
            MessageBoxA(static_cast<QWidget*>(this), kNoDialer, kCallingError, MB_OK | MB_ICONERROR);
        else if (result == UrlLaunchResult::Failed)
            MessageBoxA(static_cast<QWidget*>(this), kUnknownCallError, kCallingError, MB_OK | MB_ICONERROR);
    });
}

void CPersonDetailPane::Open(const QString& url, Action action) {
    LaunchUrl(QUrl(url, QUrl::TolerantMode), this, [this, action](UrlLaunchResult result) {
        if (result == UrlLaunchResult::Opened)
            return;
        if (action == Action::Mail)
            MessageBoxA(static_cast<QWidget*>(this), "Error opening E-mail client", "E-Mail Error",
                        MB_OK | MB_ICONERROR);
        else
            MessageBoxA(static_cast<QWidget*>(this), "Error opening web browser", "Web Browser Error",
                        MB_OK | MB_ICONERROR);
    });
}

CVwPhbkHm::CVwPhbkHm(QWidget* parent)
    : CPersonDetailPane(parent, "CVwPhbkHm", false,
                        {
                            {1009, Kind::Button, "Home Phone:", &CPerson::m_HmPhone, Action::Dial},
                            {1016, Kind::Static, "Fax:", &CPerson::m_HmFax},
                            {1015, Kind::Button, "Pager:", &CPerson::m_Pager, Action::Dial},
                            {1018, Kind::Button, "Cel Phone:", &CPerson::m_CelPhone, Action::Dial},
                            {1017, Kind::Button, "E-Mail:", &CPerson::m_Email, Action::Mail},
                            {1019, Kind::Button, "Web Page:", &CPerson::m_WebPage, Action::Web},
                            {1183, Kind::Edit, "Address 1:", &CPerson::m_Addr1},
                            {1184, Kind::Edit, "Address 2:", &CPerson::m_Addr2},
                            {1029, Kind::Edit, "City:", &CPerson::m_City},
                            {1030, Kind::Edit, "State:", &CPerson::m_State},
                            {1479, Kind::Edit, "Zip:", &CPerson::m_Zip},
                        }) {}

CVwPhbkWk::CVwPhbkWk(QWidget* parent)
    : CPersonDetailPane(parent, "CVwPhbkWk", false,
                        {
                            {1012, Kind::Button, "Work Phone:", &CPerson::m_WkPhone, Action::Dial},
                            {1016, Kind::Static, "Fax:", &CPerson::m_WkFax},
                            {1015, Kind::Button, "Pager:", &CPerson::m_WkPager, Action::Dial},
                            {1018, Kind::Button, "Cel Phone:", &CPerson::m_WkCelPhone, Action::Dial},
                            {1017, Kind::Button, "E-Mail:", &CPerson::m_WkEmail, Action::Mail},
                            {1019, Kind::Button, "Web Page:", &CPerson::m_WkWebPage, Action::Web},
                            {1023, Kind::Edit, "Company:", &CPerson::m_Company},
                            {1024, Kind::Edit, "Position:", &CPerson::m_Position},
                            {1183, Kind::Edit, "Address 1:", &CPerson::m_WkAddr1},
                            {1184, Kind::Edit, "Address 2:", &CPerson::m_WkAddr2},
                            {1029, Kind::Edit, "City:", &CPerson::m_WkCity},
                            {1030, Kind::Edit, "State:", &CPerson::m_WkState},
                            {1479, Kind::Edit, "Zip:", &CPerson::m_WkZip},
                        }) {}

CVwPhbkNotes::CVwPhbkNotes(QWidget* parent)
    : CPersonDetailPane(parent, "CVwPhbkNotes", false, {{1043, Kind::Notes, "", &CPerson::m_Notes}}) {}

CVwPhNumHome::CVwPhNumHome(QWidget* parent)
    : CPersonDetailPane(parent, "CVwPhNumHome", true,
                        {
                            {1009, Kind::Button, "Home Phone", &CPerson::m_HmPhone, Action::Dial},
                            {1016, Kind::Static, "Fax", &CPerson::m_HmFax},
                            {1018, Kind::Button, "Cel Phone", &CPerson::m_CelPhone, Action::Dial},
                            {1015, Kind::Button, "Pager", &CPerson::m_Pager, Action::Dial},
                            {1017, Kind::Button, "E-Mail", &CPerson::m_Email, Action::Mail},
                            {1019, Kind::Button, "Web Page", &CPerson::m_WebPage, Action::Web},
                        }) {}

CVwPhNumWork::CVwPhNumWork(QWidget* parent)
    : CPersonDetailPane(parent, "CVwPhNumWork", true,
                        {
                            {1012, Kind::Button, "Phone", &CPerson::m_WkPhone, Action::Dial},
                            {1024, Kind::Static, "Fax", &CPerson::m_WkFax},
                            {1020, Kind::Button, "CelPhone", &CPerson::m_WkCelPhone, Action::Dial},
                            {1022, Kind::Button, "Pager", &CPerson::m_WkPager, Action::Dial},
                            {1023, Kind::Button, "E-Mail", &CPerson::m_WkEmail, Action::Mail},
                            {1021, Kind::Button, "Web Page", &CPerson::m_WkWebPage, Action::Web},
                        }) {}

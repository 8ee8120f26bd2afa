#pragma once

#include "data/DocObserver.h"
#include "data/Records.h"

#include <QWidget>

#include <vector>

class QGridLayout;

// A tab beside the person list that shows the document's current person: numbers, e-mail address
// and web page as buttons that dial, mail or open them, the fax as a label, the rest in read-only
// edits. It keeps no person: every display and every press reads the document again.
class CPersonDetailPane : public QWidget, public CDocObserver {
public:
    enum class Kind { Button, Static, Edit, Notes };
    enum class Action { None, Dial, Mail, Web };
    struct Row {
        int id;
        Kind kind;
        const char* label;
        CString CPerson::*field;
        Action action = Action::None;
    };

    ~CPersonDetailPane() override;

    void OnDocumentModified() override;
    // Shows the current person, or "Not Available" on every button and label without one.
    void OnUpdate() override;
    // What a press of the button with the id does.
    void Press(int id);

    // The text a row shows for the person: the work phone carries its extension as "%sx%s".
    static CString ShownText(const Row& row, const CPerson& person);
    // The address a number, mail or web button opens ("tel:", "mailto:", "http://" or the stored
    // address when it carries its own scheme).
    static QString DialUrl(const CString& number);
    static QString MailUrl(const CString& address);
    static QString WebUrl(const CString& address);

protected:
    // compact: the tabs of the standard view's telephone book, which go on with an empty person when
    // the read fails and open the caption of the pressed mail and web buttons.
    CPersonDetailPane(QWidget* parent, const char* name, bool compact, std::vector<Row> rows);
    // The frame's context-help click over the tab.
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Build();
    void Show(const CPerson* person);
    void Dial(const CString& number);
    void Open(const QString& url, Action action);
    const Row* RowOf(int id) const;

    bool m_compact;
    std::vector<Row> m_rows;
};

// "Home" of the telephone-book view.
class CVwPhbkHm : public CPersonDetailPane {
public:
    explicit CVwPhbkHm(QWidget* parent = nullptr);
};

// "Business" of the telephone-book view.
class CVwPhbkWk : public CPersonDetailPane {
public:
    explicit CVwPhbkWk(QWidget* parent = nullptr);
};

// "Notes" of the telephone-book view.
class CVwPhbkNotes : public CPersonDetailPane {
public:
    explicit CVwPhbkNotes(QWidget* parent = nullptr);
};

// "Home" of the compact telephone book.
class CVwPhNumHome : public CPersonDetailPane {
public:
    explicit CVwPhNumHome(QWidget* parent = nullptr);
};

// "Business" of the compact telephone book.
class CVwPhNumWork : public CPersonDetailPane {
public:
    explicit CVwPhNumWork(QWidget* parent = nullptr);
};

#pragma once

#include <QFrame>

class CVwPhbklist;
class QSplitter;
class QTabWidget;

// The compact tabbed area beside the person list of the standard view: the "Home" and "Business"
// number pages, tabs at the bottom, inside a client edge.
class CPhbkCompactPane : public QFrame {
public:
    explicit CPhbkCompactPane(QWidget* parent = nullptr);

    QTabWidget* Tabs() const { return m_tabs; }
    QWidget* ShowingPane() const;

private:
    QTabWidget* m_tabs = nullptr;
};

// The compact telephone book of the standard view: a person list of its own beside the compact
// tabbed area, split vertically. Its list follows the document like every other list.
class CPhoneBookPane : public QFrame {
public:
    explicit CPhoneBookPane(QWidget* parent = nullptr);

    CVwPhbklist* PersonList() const { return m_list; }
    CPhbkCompactPane* DetailPane() const { return m_detail; }
    QSplitter* Splitter() const { return m_splitter; }

protected:
    // The frame's context-help click over the book.
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QSplitter* m_splitter = nullptr;
    CVwPhbklist* m_list = nullptr;
    CPhbkCompactPane* m_detail = nullptr;
};

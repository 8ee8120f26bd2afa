#pragma once

#include "data/DocObserver.h"
#include "platform/qt/CommandTarget.h"

#include <QFrame>

#include <vector>

class CVwPhbklist;
class QSplitter;
class QTabWidget;

// The tabbed detail area beside the person list: the "Home", "Business" and "Notes" pages, tabs at
// the bottom; the page showing is the one of the chosen tab.
class CPhbkDetailPane : public QWidget {
public:
    explicit CPhbkDetailPane(QWidget* parent = nullptr);

    QTabWidget* Tabs() const { return m_tabs; }
    QWidget* ShowingPane() const;

private:
    QTabWidget* m_tabs = nullptr;
};

// The address-book view: the person list beside the detail pane, split vertically. It is attached
// to the document; its panes attach themselves as they are built.
class CPhoneBookFrame : public QFrame, public CDocObserver, public CCommandTarget {
public:
    explicit CPhoneBookFrame(QWidget* parent = nullptr);
    ~CPhoneBookFrame() override;

    // Commands the frame routes down: the person list's own commands run there; nothing is passed
    // back up.
    bool OnCommand(int id) override;
    // The panes that take a context-help click, in the order they are tested.
    std::vector<QWidget*> HelpPanes() const;

    CVwPhbklist* PersonList() const { return m_list; }
    CPhbkDetailPane* DetailPane() const { return m_detail; }
    QSplitter* Splitter() const { return m_splitter; }

private:
    QSplitter* m_splitter = nullptr;
    CVwPhbklist* m_list = nullptr;
    CPhbkDetailPane* m_detail = nullptr;
};

#pragma once

#include "data/DocObserver.h"
#include "platform/qt/CommandTarget.h"

#include <QFrame>

#include <vector>

// The address-book view: the person list beside the detail pane with the "Home", "Business" and
// "Notes" tabs. It is attached to the document; its panes join it as they are built.
class CPhoneBookFrame : public QFrame, public CDocObserver, public CCommandTarget {
public:
    explicit CPhoneBookFrame(QWidget* parent = nullptr);
    ~CPhoneBookFrame() override;

    // Commands the frame routes down; never passed back up.
    bool OnCommand(int id) override;
    // The panes that take a context-help click, in the order they are tested.
    std::vector<QWidget*> HelpPanes() const;
};

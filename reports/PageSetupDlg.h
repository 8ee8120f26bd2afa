#pragma once

#include "platform/qt/DropShadow.h"

#include <QDialog>
#include <QPageLayout>
#include <QPageSize>

#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QRadioButton;

// Page Setup: the paper (from the papers the printer offers), the orientation and the four report
// margins in inches. It opens on the values it is given and changes nothing until OK; the caller
// reads the choice back afterwards.
class CPageSetupDlg : public QDialog {
public:
    // Thousandths of an inch, as the report takes them.
    struct Margins {
        int left = 750;
        int top = 750;
        int right = 750;
        int bottom = 750;
        friend bool operator==(const Margins&, const Margins&) = default;
    };

    // papers: the choices offered; the current paper is added when it is not among them.
    CPageSetupDlg(std::vector<QPageSize> papers, const QPageSize& paper, QPageLayout::Orientation orientation,
                  const Margins& margins, QWidget* parent = nullptr);

    const QPageSize& Paper() const { return m_paper; }
    QPageLayout::Orientation Orientation() const { return m_orientation; }
    const Margins& PageMargins() const { return m_margins; }

    // Takes the controls' values; refuses margins that leave less than half an inch to print on.
    void accept() override;

private:
    std::vector<QPageSize> m_papers;
    QPageSize m_paper;
    QPageLayout::Orientation m_orientation;
    Margins m_margins;
    QComboBox* m_paperCombo = nullptr;
    QRadioButton* m_portrait = nullptr;
    QRadioButton* m_landscape = nullptr;
    QDoubleSpinBox* m_left = nullptr;
    QDoubleSpinBox* m_top = nullptr;
    QDoubleSpinBox* m_right = nullptr;
    QDoubleSpinBox* m_bottom = nullptr;
    DropShadow m_dropShadow{this};
};

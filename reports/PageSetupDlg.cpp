#include "reports/PageSetupDlg.h"

#include "platform/core/Prompt.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
// The room the margins must leave on each side of the paper, in thousandths of an inch.
constexpr int kLeastPrintArea = 500;

QDoubleSpinBox* MarginBox(QWidget* parent, const char* name, int thousandths) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setDecimals(2);
    box->setRange(0.0, 5.0);
    box->setSingleStep(0.05);
    box->setSuffix(QStringLiteral(" in"));
    box->setValue(thousandths / 1000.0);
    return box;
}

int Thousandths(const QDoubleSpinBox* box) {
    return static_cast<int>(box->value() * 1000.0 + 0.5);
}
} // namespace

CPageSetupDlg::CPageSetupDlg(std::vector<QPageSize> papers, const QPageSize& paper,
                             QPageLayout::Orientation orientation, const Margins& margins, QWidget* parent)
    : QDialog(parent), m_papers(std::move(papers)), m_paper(paper), m_orientation(orientation),
      m_margins(margins) {
    setObjectName(QStringLiteral("PageSetup"));
    setWindowTitle(QStringLiteral("Page Setup"));
    bool listed = false;
    for (const QPageSize& offered : m_papers)
        listed = listed || offered.isEquivalentTo(m_paper);
    if (!listed && m_paper.isValid())
        m_papers.push_back(m_paper);

    auto* paperGroup = new QGroupBox(QStringLiteral("Paper"), this);
    m_paperCombo = new QComboBox(paperGroup);
    m_paperCombo->setObjectName(QStringLiteral("paper"));
    for (const QPageSize& offered : m_papers) {
        m_paperCombo->addItem(offered.name(), static_cast<int>(offered.id()));
        if (offered.isEquivalentTo(m_paper))
            m_paperCombo->setCurrentIndex(m_paperCombo->count() - 1);
    }
    auto* paperLayout = new QFormLayout(paperGroup);
    paperLayout->addRow(QStringLiteral("Si&ze:"), m_paperCombo);

    auto* orientationGroup = new QGroupBox(QStringLiteral("Orientation"), this);
    m_portrait = new QRadioButton(QStringLiteral("P&ortrait"), orientationGroup);
    m_portrait->setObjectName(QStringLiteral("portrait"));
    m_landscape = new QRadioButton(QStringLiteral("L&andscape"), orientationGroup);
    m_landscape->setObjectName(QStringLiteral("landscape"));
    (orientation == QPageLayout::Landscape ? m_landscape : m_portrait)->setChecked(true);
    auto* orientationLayout = new QVBoxLayout(orientationGroup);
    orientationLayout->addWidget(m_portrait);
    orientationLayout->addWidget(m_landscape);

    auto* marginGroup = new QGroupBox(QStringLiteral("Margins (inches)"), this);
    m_left = MarginBox(marginGroup, "leftMargin", margins.left);
    m_right = MarginBox(marginGroup, "rightMargin", margins.right);
    m_top = MarginBox(marginGroup, "topMargin", margins.top);
    m_bottom = MarginBox(marginGroup, "bottomMargin", margins.bottom);
    auto* marginLayout = new QGridLayout(marginGroup);
    const auto addMargin = [marginLayout](int row, int column, const QString& text, QDoubleSpinBox* box) {
        auto* label = new QLabel(text, box->parentWidget());
        label->setBuddy(box);
        marginLayout->addWidget(label, row, column);
        marginLayout->addWidget(box, row, column + 1);
    };
    addMargin(0, 0, QStringLiteral("&Left:"), m_left);
    addMargin(0, 2, QStringLiteral("&Right:"), m_right);
    addMargin(1, 0, QStringLiteral("&Top:"), m_top);
    addMargin(1, 2, QStringLiteral("&Bottom:"), m_bottom);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* pageRow = new QHBoxLayout;
    pageRow->addWidget(paperGroup, 1);
    pageRow->addWidget(orientationGroup);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pageRow);
    layout->addWidget(marginGroup);
    layout->addWidget(buttons);
}

void CPageSetupDlg::accept() {
    const int index = m_paperCombo->currentIndex();
    const QPageSize paper =
        index >= 0 && index < static_cast<int>(m_papers.size()) ? m_papers[index] : m_paper;
    const QPageLayout::Orientation orientation =
        m_landscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait;
    const Margins margins{Thousandths(m_left), Thousandths(m_top), Thousandths(m_right),
                          Thousandths(m_bottom)};
    QSizeF size = paper.size(QPageSize::Inch) * 1000.0;
    if (orientation == QPageLayout::Landscape)
        size.transpose();
    if (margins.left + margins.right > size.width() - kLeastPrintArea ||
        margins.top + margins.bottom > size.height() - kLeastPrintArea) {
        MessageBoxA(this, "The margins leave too little of the paper to print on.", "Page Setup",
                    MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_paper = paper;
    m_orientation = orientation;
    m_margins = margins;
    QDialog::accept();
}

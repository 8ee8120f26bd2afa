#include "ui/common/CaptionPane.h"

#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "ui/frame/MainFrame.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

CCaptionPane::CCaptionPane(const QString& caption, QSize templateSize, QWidget* parent)
    : QFrame(parent), m_templateSize(templateSize) {
    setWindowTitle(caption);
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    m_caption = new QLabel(caption, this);
    m_caption->setObjectName(QStringLiteral("caption"));
    m_caption->setAutoFillBackground(true);
    m_caption->setContentsMargins(4, 2, 4, 2);
    m_caption->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    QPalette palette = m_caption->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Active, QPalette::HighlightedText));
    m_caption->setPalette(palette);
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);
    layout->addWidget(m_caption);
    // The controls' place takes all the height below the caption, also while it is empty.
    auto* body = new QWidget(this);
    body->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_body = new QVBoxLayout(body);
    m_body->setContentsMargins(0, 0, 0, 0);
    m_body->setSpacing(0);
    layout->addWidget(body, 1);
}

QString CCaptionPane::CaptionText() const {
    return m_caption->text();
}

bool CCaptionPane::event(QEvent* event) {
    if (event->type() == QEvent::WindowTitleChange && m_caption)
        m_caption->setText(windowTitle());
    return QFrame::event(event);
}

void CCaptionPane::mouseReleaseEvent(QMouseEvent* event) {
    try {
        if (!CMainFrame::s_contextHelpMode) {
            unsetCursor();
            QFrame::mouseReleaseEvent(event);
            return;
        }
        releaseMouse();
        unsetCursor();
        QWidget* child = childAt(event->position().toPoint());
        QWidget* control = child ? ContextHelpFilter::ControlWithId(child, this) : nullptr;
        auto* frame = dynamic_cast<CMainFrame*>(window());
        if (!control || control == this || !frame) {
            // Nothing with help under the mouse: the mode stays on.
            QFrame::mouseReleaseEvent(event);
            return;
        }
        CMainFrame::s_contextHelpMode = false;
        frame->OnHelp(ControlIdOf(control));
        event->accept();
    } catch (...) {
        CMainFrame::s_contextHelpMode = false;
    }
}

#pragma once

#include <QFrame>

class QLabel;
class QVBoxLayout;

// A child pane with its own caption bar above its controls: the look of a captioned child dialog.
// The caption shows the pane's window title. In the frame's context-help mode a click on one of the
// pane's controls opens that control's help and ends the mode.
class CCaptionPane : public QFrame {
public:
    // templateSize is the pane's size as built, caption included; the split views size from it.
    CCaptionPane(const QString& caption, QSize templateSize, QWidget* parent = nullptr);

    QSize TemplateSize() const { return m_templateSize; }
    QSize sizeHint() const override { return m_templateSize; }
    // The caption text as shown.
    QString CaptionText() const;

protected:
    // The layout below the caption that holds the pane's controls.
    QVBoxLayout* Body() const { return m_body; }
    void SetTemplateSize(QSize size) { m_templateSize = size; }

    bool event(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QLabel* m_caption = nullptr;
    QVBoxLayout* m_body = nullptr;
    QSize m_templateSize;
};

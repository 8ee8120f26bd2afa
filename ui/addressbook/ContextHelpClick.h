#pragma once

class QMouseEvent;
class QWidget;

// In the frame's context-help mode, a button release in pane (which holds the mouse) shows the help
// of the control under it and ends the mode; the mouse is released either way. False when the mode
// is off or nothing with help is under the mouse: the event then goes on as usual.
bool AnswerContextHelpClick(QWidget* pane, QMouseEvent* event);

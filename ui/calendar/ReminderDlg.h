#pragma once

#include "platform/core/CString.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QSoundEffect;
class QTimer;

// The appointment reminder: the appointment's description, "Turn off reminder" and OK. While it is
// open it comes back to the top every minute and, with the audible alarm on, plays the alarm sound
// in a loop until OK.
class CReminderDlg : public QDialog {
public:
    enum : int { kIdCheck = 1094, kIdMessage = 1095 };
    static constexpr int kRepeatMs = 60000;

    explicit CReminderDlg(QWidget* owner = nullptr);
    ~CReminderDlg() override;

    // Set by the caller before the dialog runs; m_turnOff holds the box's state after OK.
    CString m_soundFile;
    CString m_message;
    CString m_title;
    bool m_turnOff = true;
    bool m_sound = false;

    // Shows the values and starts the timer and the sound.
    void Prepare();
    // Prepares, runs modally and answers IDOK when OK closed it.
    int RunModal();
    // The timer's minute: back on top, the sound started again.
    void OnRepeat();
    void OnOk();

    // Where a sound file name is found: an absolute path as it is; a bare name next to the program,
    // in its sounds folder, among the program's own resources, then in the current folder. Empty
    // when none exists.
    static QString ResolveSound(const CString& file);

    QSoundEffect* Sound() const { return m_effect; }
    QTimer* RepeatTimer() const { return m_timer; }
    QCheckBox* TurnOffBox() const { return m_check; }

private:
    void StartSound();
    void StopSound();
    void WaitWhileTheSoundLoads();

    QLabel* m_label;
    QCheckBox* m_check;
    QTimer* m_timer;
    QSoundEffect* m_effect = nullptr;
};

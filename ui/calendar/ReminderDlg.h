#pragma once

#include "platform/core/CString.h"
#include "platform/qt/DropShadow.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QLabel;
class QSoundEffect;
class QTimer;

// The appointment reminder: the appointment's description, "Turn off reminder" and OK. It stays on top
// of the desktop until OK, is brought back to the front every minute and, with the audible alarm on,
// loops the alarm sound without a break; a sound that cannot be played is said so in the dialog.
class CReminderDlg : public QDialog {
public:
    enum : int { kIdCheck = 1094, kIdMessage = 1095 };
    static constexpr int kRepeatMs = 60000;
    // Lets tests run the once-a-minute step at a shorter interval (nullopt: every minute).
    static void OverrideRepeatMs(std::optional<int> repeatMs);
    // Lets tests decide whether a sound output exists (nullopt asks the system).
    static void OverrideSoundOutput(std::optional<bool> available);

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
    // The timer's minute: back to the front; a loop that stopped is started again.
    void OnRepeat();
    void OnOk();

    // Where a sound file name is found: an absolute path as it is; a bare name next to the program,
    // in its sounds folder, among the program's own resources, then in the current folder. Empty
    // when none exists.
    static QString ResolveSound(const CString& file);

    QSoundEffect* Sound() const { return m_effect; }
    QTimer* RepeatTimer() const { return m_timer; }
    QCheckBox* TurnOffBox() const { return m_check; }
    // The line that says the sound could not be played (hidden while it plays or is not wanted).
    QLabel* SoundProblem() const { return m_soundProblem; }
    int RepeatCount() const { return m_repeats; }
    // The width the title bar needs to show the whole title beside the frame's buttons.
    int TitleWidth() const;

private:
    void StartSound();
    void StopSound();
    void WaitWhileTheSoundLoads();
    void ShowSoundProblem(const QString& why);
    // Sizes the dialog to everything it shows, wide enough for its whole title.
    void FitContents();
    static bool SoundOutputAvailable();

    QLabel* m_label;
    QLabel* m_soundProblem;
    QCheckBox* m_check;
    QTimer* m_timer;
    QSoundEffect* m_effect = nullptr;
    int m_repeats = 0;
    DropShadow m_dropShadow{this};
};

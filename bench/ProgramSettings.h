#pragma once

#include "platform/qt/QtRegistry.h"

#include <QTemporaryDir>

// The program's own settings store (QSettings) over a fresh settings file that holds no regional
// values, as a desktop has: every date read and written goes through it as in the program. Installed
// while it lives.
class ProgramSettings {
public:
    ProgramSettings() = default;
    ProgramSettings(const ProgramSettings&) = delete;
    ProgramSettings& operator=(const ProgramSettings&) = delete;

private:
    QTemporaryDir m_dir;
    QtRegistry m_registry{m_dir.filePath(QStringLiteral("Pelmora.conf"))};
};

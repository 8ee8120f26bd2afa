#include "ui/common/SharedRead.h"

#include "data/DbDoc.h"
#include "data/SqlException.h"

#include <QCoreApplication>
#include <QTimer>

#include <sqlcipher/sqlite3.h>

std::optional<DbState> DbState::Current() {
    sqlite3* handle = g_db.Handle();
    if (!handle)
        return std::nullopt;
    DbState state;
    state.handle = handle;
    const char* file = sqlite3_db_filename(handle, "main");
    state.path = file ? file : "";
    state.changes = sqlite3_total_changes(handle);
    try {
        // Moves with every commit of another connection to the same file.
        state.dataVersion = g_db.ExecScalar("pragma data_version");
    } catch (const SqlException&) {
        return std::nullopt;
    }
    return state;
}

bool SharedReadBase::Begin() {
    QCoreApplication* app = QCoreApplication::instance();
    m_state = app ? DbState::Current() : std::nullopt;
    if (!m_state)
        return false;
    if (!m_expiryArmed) {
        m_expiryArmed = true;
        QTimer::singleShot(0, app, [self = std::weak_ptr<SharedReadBase*>(m_self)] {
            if (const std::shared_ptr<SharedReadBase*> alive = self.lock())
                (*alive)->Expire();
        });
    }
    return true;
}

bool SharedReadBase::Fresh() const {
    if (!m_state)
        return false;
    const std::optional<DbState> now = DbState::Current();
    return now && *now == *m_state;
}

void SharedReadBase::Expire() {
    m_state.reset();
    m_expiryArmed = false;
}

#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

struct sqlite3;

// What a read of the document depends on besides its own arguments: the connection, the file it has
// open and every change made to it, through this connection or any other.
struct DbState {
    const sqlite3* handle = nullptr;
    std::string path;
    long long changes = 0;
    int dataVersion = 0;

    bool operator==(const DbState&) const = default;
    // The state of the document's connection now; none while no database is open.
    static std::optional<DbState> Current();
};

// The lifetime of a shared result: it holds while the database is in the state it was read in and
// until the event loop next turns.
class SharedReadBase {
protected:
    SharedReadBase() = default;
    ~SharedReadBase() = default;
    SharedReadBase(const SharedReadBase&) = delete;
    SharedReadBase& operator=(const SharedReadBase&) = delete;
    // Remembers the database state now and arms the expiry; false when nothing can be kept.
    bool Begin();
    bool Fresh() const;
    void Expire();

private:
    std::optional<DbState> m_state;
    bool m_expiryArmed = false;
    // The armed expiry holds this only weakly, so a result destroyed before the loop turns is not touched.
    std::shared_ptr<SharedReadBase*> m_self = std::make_shared<SharedReadBase*>(this);
};

// Keeps the result of the last read of one kind so that the panes that show the same thing (the
// persons of a group in both telephone-book lists, a day's tasks in both tasks panes) read it once
// per notification: a later ask with the same key gets the same result while the database is
// unchanged and the event loop has not turned. Anything else reads afresh.
template <class Key, class Value> class SharedRead : private SharedReadBase {
public:
    std::shared_ptr<const Value> Find(const Key& key) const {
        if (!m_value || !(m_key == key) || !Fresh())
            return nullptr;
        return m_value;
    }

    void Store(const Key& key, std::shared_ptr<const Value> value) {
        if (!Begin()) {
            m_value.reset();
            return;
        }
        m_key = key;
        m_value = std::move(value);
    }

    void Clear() {
        Expire();
        m_value.reset();
    }

private:
    Key m_key{};
    std::shared_ptr<const Value> m_value;
};

#pragma once

#include "convert/PimDocument.h"
#include "platform/core/CString.h"
#include "platform/core/Prompt.h"

#include <memory>
#include <vector>

// What the conversion shows while it runs: the status line and the progress bar of the main dialog.
// Tests drive the conversion with a recording view instead of the window.
class ConversionView {
public:
    virtual ~ConversionView() = default;

    virtual void ShowStatus(bool visible) = 0;
    virtual void SetStatusText(const char* text) = 0;
    virtual void ShowProgress(bool visible) = 0;
    // The bar runs from 0 to `high` (at most 65535, the bar's range).
    virtual void SetProgressRange(int high) = 0;
    virtual void SetProgressPos(int position) = 0;
    // Owner of the message boxes the conversion shows.
    virtual WindowHandle Owner() const = 0;
};

// Turns a version-1 data file into a version-2 document under the same name: the new database is
// built as path + ".new", then takes the file's place while the old file is kept as path + ".ver1"
// (or, when that name is taken, the first free one of ".ver1.1", ".ver1.2", ...).
class CConversion {
public:
    // The schema version that converted documents carry.
    static constexpr int kConvertedVersion = 2;
    // The largest range and position the progress bar can show.
    static constexpr int kProgressLimit = 65535;

    explicit CConversion(ConversionView& view) : m_view(view) {}

    // Runs the whole conversion with the wait cursor; true when the file was converted and swapped.
    // A file that cannot be read ends it quietly, its status line left standing; every other failure
    // has been reported to the user. No failure loses or changes the version-1 file.
    bool Run(const CString& path);

    // The schema steps, each on its own connection to the database at the path. On an error each
    // shows "Error Creating Database", deletes the file and answers false.
    static bool CreateTables(const char* path);
    static bool CreateIndexes(const char* path);
    static bool CreateTriggers(const char* path);

private:
    // New ID texts by version-1 ID, added in ascending version-1 ID order as the mapping phases
    // walk the records; kept in one block rather than one heap text per record.
    class IdMap {
    public:
        void Clear() { m_entries.clear(); }
        void Reserve(size_t count) { m_entries.reserve(count); }
        // `id` must be higher than every ID added before.
        void Add(int id, const char* text);
        // The new ID of `id`, or the empty text when it has none.
        const char* Find(int id) const;

    private:
        struct Entry {
            int id;
            // Room for the longest ID: a whole GUID in the 8-4-4-4-12 form of the standard groups.
            char text[37];
        };
        std::vector<Entry> m_entries;
    };

    void Status(const char* text) { m_view.SetStatusText(text); }
    void StartPhase(const char* status, size_t count);
    void Step(size_t index);
    bool MapIds();
    bool CopyRecords(const CString& newPath);
    const char* GroupId(int id) const;
    const char* RuleId(int recurringId) const;

    ConversionView& m_view;
    std::unique_ptr<PimDocument> m_document;
    // Standard-group IDs by version-1 group ID (entry 0 is unused).
    const char* m_standardGroups[4] = {};
    IdMap m_groupIds;
    IdMap m_personIds;
    IdMap m_ruleIds;
    IdMap m_appointmentIds;
    IdMap m_taskIds;
};

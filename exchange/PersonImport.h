#pragma once

#include "data/DbDoc.h"
#include "data/Records.h"
#include "platform/core/CString.h"

#include <functional>
#include <vector>

// How an import ended: the records the document holds from it, and the error that stopped it
// (empty when it ran to its end).
struct ImportOutcome {
    int added = 0;
    CString failure;

    bool Failed() const { return !failure.IsEmpty(); }
};

// The frame of a bulk import: one transaction around everything the body writes. Nothing of a run
// that is stopped before its commit (a kill, a crash) stays. The body answers the records it added
// and the write that stopped it, if one did. When the database gave the whole transaction up (a full
// disk does), or the begin or the commit failed, nothing stayed: the outcome then has no records and
// that failure. Nothing is shown here; the caller reports the outcome once.
ImportOutcome RunImportTransaction(CDbDoc& doc, const std::function<ImportOutcome()>& body);

// Adds the persons of an import inside RunImportTransaction, with a savepoint per batch of persons
// rather than one per person. When a write of a batch fails, the batch is rolled back and the
// persons before the failing one are written again: the document ends as with a savepoint per
// person, and the import stops at that person.
class PersonImport {
public:
    static constexpr size_t kBatchSize = 256;

    PersonImport(CDbDoc& doc, std::vector<CPhGroup> groups);

    // Queues the person; false once a write has failed (the import has stopped).
    bool Add(CPerson person);
    // Writes the queued persons; false when a write failed.
    bool Flush();

    // The persons written so far.
    int Added() const { return m_added; }
    bool Failed() const { return m_failed; }
    // The message of the write that failed; empty while none did.
    const CString& Failure() const { return m_failure; }

private:
    void Write(const CPerson& person);
    // Writes the first count queued persons again after their batch was rolled back.
    void WriteAgain(size_t count);

    CDbDoc& m_doc;
    std::vector<CPhGroup> m_groups;
    std::vector<CPerson> m_queued;
    int m_added = 0;
    bool m_failed = false;
    CString m_failure;
};

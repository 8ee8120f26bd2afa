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

// Adds the persons of an import inside RunImportTransaction, each written as it comes, without a
// savepoint of its own: a savepoint would copy every page the person touches aside first, which
// costs more than all its writes. When a write fails, what the person wrote before it is deleted
// again: the document ends as with a savepoint per person, and the import stops at that person.
class PersonImport {
public:
    PersonImport(CDbDoc& doc, std::vector<CPhGroup> groups);

    // Writes the person; false once a write has failed (the import has stopped). Throws SqlException
    // when a half-written person could not be taken out again (nothing of the import may then stay).
    bool Add(const CPerson& person);

    // The persons written so far.
    int Added() const { return m_added; }
    bool Failed() const { return m_failed; }
    // The message of the write that failed; empty while none did.
    const CString& Failure() const { return m_failure; }

private:
    // Deletes what the person's writes left; false when that fails.
    bool RemoveWritten(const CPerson& person);

    CDbDoc& m_doc;
    std::vector<CPhGroup> m_groups;
    int m_added = 0;
    bool m_failed = false;
    CString m_failure;
};

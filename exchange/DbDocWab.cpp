// The document's import of the contacts of a vCard address book.

#include "data/DbDoc.h"
#include "data/IdMaker.h"
#include "data/Schema.h"
#include "exchange/PersonImport.h"
#include "exchange/WabImporter.h"
#include "platform/core/Prompt.h"

#include <cstring>

bool CDbDoc::ImportWab(int& count, int choice, const char* path) {
    CString writeError;
    const bool read = ImportWab(count, choice, path, writeError);
    if (!writeError.IsEmpty())
        MessageBoxA(nullptr, writeError, "Error Adding Address Book Entry", MB_OK | MB_ICONERROR);
    return read;
}

bool CDbDoc::ImportWab(int& count, int choice, const char* path, CString& writeError) {
    writeError.Empty();
    CWabImporter importer;
    if (importer.Open(path) == 2)
        return false;

    std::vector<CPhGroup> groups;
    if (choice == 0 || choice == 2) {
        CPhGroup yellow;
        yellow.m_ID = Schema::kGroupYellowPagesId;
        yellow.m_Desc = Schema::kGroupYellowPagesDesc;
        groups.push_back(yellow);
    }
    if (choice == 1 || choice == 2) {
        CPhGroup white;
        white.m_ID = Schema::kGroupWhitePagesId;
        white.m_Desc = Schema::kGroupWhitePagesDesc;
        groups.push_back(white);
    }
    // One transaction for the whole file: a run that is stopped keeps nothing, and the first write
    // that fails ends the import with the persons before it; a failed commit keeps none. The persons
    // go to the document as the cards are read.
    PersonImport persons(*this, groups);
    bool read = true;
    const ImportOutcome outcome = RunImportTransaction(*this, [&]() {
        read = importer.Read([&](CPerson& person) {
            char id[81];
            std::memset(id, 0, sizeof id);
            if (!NewGuidString(id))
                return true;
            person.m_ID = id;
            return persons.Add(person);
        }) != -1;
        return ImportOutcome{persons.Added(), persons.Failure()};
    });
    if (!read)
        return false;
    count += outcome.added;
    writeError = outcome.failure;
    return true;
}

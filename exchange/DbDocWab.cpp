// The document's import of the contacts of a vCard address book.

#include "data/DbDoc.h"
#include "data/IdMaker.h"
#include "data/Schema.h"
#include "exchange/WabImporter.h"

#include <cstring>

bool CDbDoc::ImportWab(int& count, int choice, const char* path) {
    CWabImporter importer;
    if (importer.Open(path) == 2)
        return false;
    if (importer.Read() == -1)
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
    for (const CPerson& contact : importer.Persons()) {
        CPerson person = contact;
        char id[81];
        std::memset(id, 0, sizeof id);
        if (!NewGuidString(id))
            continue;
        person.m_ID = id;
        // Only persons that reached the document are counted; a failed insert has shown its message
        // and the next contact is tried.
        if (InsertPerson(person, groups))
            ++count;
    }
    return true;
}

#pragma once

#include "data/Records.h"
#include "platform/core/CString.h"

#include <functional>
#include <string>
#include <vector>

// Reads the contacts of a vCard file (versions 2.1, 3.0 and 4.0) into persons for the address-book
// import. Open takes the file's text, Read turns every contact card into a CPerson:
//
//     CWabImporter importer;
//     if (importer.Open(path) == 0 && importer.Read() != -1)
//         for (const CPerson& person : importer.Persons()) ...
//
// Folded lines are joined; quoted-printable and base64 values are decoded and then converted from
// their declared CHARSET (Shift_JIS, Windows-1251, ISO-8859-x, ...) to UTF-8; the backslash escapes of
// 3.0 and 4.0 are resolved. N, FN, ORG, TITLE, ADR (HOME or WORK), TEL (home, work, cell, fax, pager),
// EMAIL, URL and NOTE fill the person's fields; everything else is ignored. Group cards (KIND:group,
// distribution lists) and cards nested inside another are skipped. A card cut off before its
// END:VCARD is dropped; the cards after it are read.
class CWabImporter {
public:
    // Why the last Open or Read found nothing to import.
    enum class Problem {
        None,
        CannotRead, // missing, a folder, or no permission
        TooLarge,   // beyond kMaxFileSize
        NoContacts, // read, but not one complete vCard in it
    };

    // Largest file Open accepts: far beyond any address book, small enough to hold in memory.
    static constexpr long long kMaxFileSize = 64LL * 1024 * 1024;

    CWabImporter() = default;
    ~CWabImporter();
    CWabImporter(const CWabImporter&) = delete;
    CWabImporter& operator=(const CWabImporter&) = delete;

    // Reads the file at path; 0 on success, 2 when it cannot be opened or read (or is too large).
    int Open(const char* path);
    // Uses text as the file's contents; always 0.
    int OpenText(std::string text);
    // Collects the persons of the opened text; -1 when nothing was opened or the text holds no
    // complete vCard, otherwise the number of persons collected (0 when no card has a name).
    int Read();
    // The same without collecting: each person is handed to each as it is read, and reading stops
    // when each answers false. Answers the number of persons handed on, or -1 as Read does.
    int Read(const std::function<bool(CPerson&)>& each);
    // Forgets the collected persons and the opened text.
    void Clear();

    bool IsOpened() const { return m_opened; }
    Problem LastProblem() const { return m_problem; }
    const std::vector<CPerson>& Persons() const { return m_persons; }

private:
    std::vector<CPerson> m_persons;
    std::string m_text;
    bool m_opened = false;
    Problem m_problem = Problem::None;
};

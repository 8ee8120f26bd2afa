#pragma once

#include "convert/PimRecords.h"

#include <cstddef>
#include <memory>

class XMLNode;

// One version-1 data file in memory. The file is an XML text whose root "Pim" carries the file
// version; versions 1, 16, 17, 18 and 19 are known, any other loads as an empty document.
class PimDocument {
public:
    virtual ~PimDocument() = default;

    // The whole file followed by a NUL byte, or nullptr when it cannot be opened or read whole.
    static std::unique_ptr<char[]> ReadDataFile(const char* path, size_t* length = nullptr);

    // Parses the text and fills the document. A syntax error is reported to the user ("Parsing error
    // at line %d") and gives false with the document left empty; a root other than "Pim" or an
    // unknown version gives true and an empty document.
    bool Load(const char* text);
    bool Load(const char* text, size_t length);

    PimPersonList Persons;
    PimAppointmentList Appointments;
    PimTaskList Tasks;
    PimUser User;
    PimPhGroupList PhGroups;
    PimRecurringDateList RecurringDates;
    int Version = 0;

private:
    class Reader;

    void Clear();
    void ReadPerson(const XMLNode& element, bool groupsFromFlags);
    void ReadTask(const XMLNode& element, bool elementForm);
    void ReadAppointment(const XMLNode& element, bool elementForm);
    void ReadUser(const XMLNode& element);
    void ReadPhGroup(const XMLNode& element);
    void ReadRecurringDate(const XMLNode& element);
};

#include "convert/PimDocument.h"

#include "convert/SimpleXMLParser.h"
#include "platform/core/Prompt.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Names and values are compared by length first: most differ in it, and no text is measured.
bool Is(const CString& text, std::string_view literal) {
    return text.str() == literal;
}

// Decimal text as the C library reads it: leading digits, 0 when none lead.
int ToInt(const CString& text) {
    return static_cast<int>(std::strtol(text, nullptr, 10));
}

bool ToFlag(const CString& text) {
    return Is(text, "1");
}

// A count of seconds since 1970 (UTC) as local date-time. An empty text is a date the file leaves
// unset, as a missing one is, and stays invalid rather than becoming the first second of 1970.
// Counts beyond the years a date can hold give the invalid date, as counts the C library cannot
// convert do.
CDateTime ToDate(const CString& text) {
    constexpr long long kLatest = 253402300799LL;   // 9999-12-31 23:59:59 UTC
    constexpr long long kEarliest = -62135596800LL; // 0001-01-01 00:00:00 UTC
    CDateTime date;
    const std::string& digits = text.str();
    if (std::all_of(digits.begin(), digits.end(),
                    [](char ch) { return std::isspace(static_cast<unsigned char>(ch)); }))
        return date;
    const long long count = std::strtoll(text, nullptr, 10);
    if (count >= kEarliest && count <= kLatest)
        date.SetFromTimeT(static_cast<time_t>(count));
    return date;
}

template <typename Visit> void ForEachAttribute(const XMLNode& node, Visit visit) {
    if (const auto* attributes = node.attributes()) {
        for (const XMLAttribute* attribute : *attributes)
            visit(attribute->getName(), attribute->getValue());
    }
}

// Child elements in document order; comments are never records or fields.
template <typename Visit> void ForEachChild(const XMLNode& node, Visit visit) {
    if (const auto* children = node.children()) {
        for (const XMLNode* child : *children) {
            if (!Is(child->getName(), "!"))
                visit(*child);
        }
    }
}

void ReadLastID(const XMLNode& collection, int& lastID) {
    ForEachAttribute(collection, [&](const CString& name, const CString& value) {
        if (Is(name, "LastID"))
            lastID = ToInt(value);
    });
}

// Finds a name in a table of fields. Files write the fields of every record in the same order, so
// the search starts after the field found last and mostly ends at its first comparison.
template <typename Field, size_t Count> class FieldFinder {
public:
    explicit FieldFinder(const Field (&fields)[Count]) : m_fields(fields) {}

    const Field* Find(const CString& name) {
        const std::string_view text = name.str();
        for (size_t tried = 0; tried < Count; ++tried) {
            const size_t at = (m_next + tried) % Count;
            if (m_fields[at].name == text) {
                m_next = at + 1;
                return &m_fields[at];
            }
        }
        return nullptr;
    }

private:
    const Field (&m_fields)[Count];
    size_t m_next = 0;
};

struct PersonField {
    enum Kind { kText, kId, kWhitePages, kYellowPages };
    std::string_view name;
    Kind kind;
    CString PimPerson::*text;
};
constexpr PersonField kPersonFields[] = {
    {"ID", PersonField::kId, nullptr},
    {"FName", PersonField::kText, &PimPerson::FName},
    {"LName", PersonField::kText, &PimPerson::LName},
    {"RName", PersonField::kText, &PimPerson::RName},
    {"Addr1", PersonField::kText, &PimPerson::Addr1},
    {"Addr2", PersonField::kText, &PimPerson::Addr2},
    {"City", PersonField::kText, &PimPerson::City},
    {"State", PersonField::kText, &PimPerson::State},
    {"Zip", PersonField::kText, &PimPerson::Zip},
    {"HmPhone", PersonField::kText, &PimPerson::HmPhone},
    {"WkPhone", PersonField::kText, &PimPerson::WkPhone},
    {"WkExt", PersonField::kText, &PimPerson::WkExt},
    {"Fax", PersonField::kText, &PimPerson::Fax},
    {"EMail", PersonField::kText, &PimPerson::EMail},
    {"CelPhone", PersonField::kText, &PimPerson::CelPhone},
    {"Pager", PersonField::kText, &PimPerson::Pager},
    {"Company", PersonField::kText, &PimPerson::Company},
    {"Position", PersonField::kText, &PimPerson::Position},
    {"WebPage", PersonField::kText, &PimPerson::WebPage},
    {"Notes", PersonField::kText, &PimPerson::Notes},
    {"WhitePages", PersonField::kWhitePages, nullptr},
    {"YellowPages", PersonField::kYellowPages, nullptr},
};

void ReadPersonAttribute(PimPerson& person, const PersonField& field, const CString& value) {
    switch (field.kind) {
    case PersonField::kId:
        person.ID = ToInt(value);
        break;
    case PersonField::kWhitePages:
        person.WhitePages = ToFlag(value);
        break;
    case PersonField::kYellowPages:
        person.YellowPages = ToFlag(value);
        break;
    case PersonField::kText:
        person.*field.text = value;
        break;
    }
}

void ReadTaskField(PimTask& task, const CString& name, const CString& value, bool withRule) {
    if (Is(name, "Description"))
        task.Description = value;
    else if (Is(name, "Priority"))
        task.Priority = ToInt(value);
    else if (Is(name, "DueDate"))
        task.DueDate = ToDate(value);
    else if (Is(name, "DoneDate"))
        task.DoneDate = ToDate(value);
    else if (withRule && Is(name, "RecurringID"))
        task.RecurringID = ToInt(value);
}

void ReadAppointmentField(PimAppointment& appointment, const CString& name, const CString& value,
                          bool withRule) {
    if (Is(name, "Description"))
        appointment.Description = value;
    else if (Is(name, "DueDate"))
        appointment.DueDate = ToDate(value);
    else if (Is(name, "StartTime"))
        appointment.StartTime = ToDate(value);
    else if (Is(name, "EndTime"))
        appointment.EndTime = ToDate(value);
    else if (Is(name, "Alarm"))
        appointment.Alarm = ToFlag(value);
    else if (Is(name, "AlarmTime"))
        appointment.AlarmTime = ToDate(value);
    else if (Is(name, "Done"))
        appointment.Done = ToFlag(value);
    else if (withRule && Is(name, "RecurringID"))
        appointment.RecurringID = ToInt(value);
}

void ReadRecurringField(PimRecurringDate& rule, const XMLNode& element) {
    using IntSetter = void (CRecurPattern::*)(int);
    struct IntField {
        const char* name;
        IntSetter set;
    };
    static const IntField kIntFields[] = {
        {"BaseMethod", &CRecurPattern::SetBasicMethod},
        {"EndMethod", &CRecurPattern::SetEndMethod},
        {"EndOccurrences", &CRecurPattern::SetEndOccurences},
        {"DailyMethod", &CRecurPattern::SetDailyMethod},
        {"DailyCnt", &CRecurPattern::SetEveryXDayCount},
        {"WklyCnt", &CRecurPattern::SetEveryWeekCount},
        {"MthlyMethod", &CRecurPattern::SetMonthlyMethod},
        {"MthlyCnt1", &CRecurPattern::SetMonthlyCount1},
        {"MthlyCnt2", &CRecurPattern::SetMonthlyCount2},
        {"MthlyCnt3", &CRecurPattern::SetMonthlyCount3},
        {"MthlyCnt4", &CRecurPattern::SetMonthlyCount4},
        {"MthlyOpt", &CRecurPattern::SetMonthlyTheOption},
        {"MthlyDayOpt", &CRecurPattern::SetMonthlyDayOption},
        {"MthlyOpt1", &CRecurPattern::SetMonthlyTheOption1},
        {"MthlyDayOpt1", &CRecurPattern::SetMonthlyDayOption1},
        {"MthlyMathOp", &CRecurPattern::SetMonthlyMathOp},
        {"MthlyMathDays", &CRecurPattern::SetMonthlyMathDays},
        {"YrlyMethod", &CRecurPattern::SetYearlyMethod},
        {"YrlyMnthDay", &CRecurPattern::SetYearlyMonthDay},
        {"YrlyMnth1", &CRecurPattern::SetYearlyMonth1},
        {"YrlyMnth2", &CRecurPattern::SetYearlyMonth2},
        {"YrlyOpt", &CRecurPattern::SetYearlyTheOption},
        {"YrlyDayOpt", &CRecurPattern::SetYearlyDayOption},
    };
    static const char* const kWeekdays[] = {"WklySun", "WklyMon", "WklyTue", "WklyWed",
                                            "WklyThu", "WklyFri", "WklySat"};

    const CString& name = element.getName();
    const CString& text = element.getText();
    if (Is(name, "StartDate")) {
        rule.SetStartDate(text);
    } else if (Is(name, "EndDate")) {
        rule.SetEndDate(text);
    } else if (Is(name, "StartTime")) {
        rule.SetStartTime(text);
    } else if (Is(name, "EndTime")) {
        rule.SetEndTime(text);
    } else if (Is(name, "IDS")) {
        ForEachChild(element, [&](const XMLNode& id) {
            if (Is(id.getName(), "ID"))
                rule.IDS.push_back(ToInt(id.getText()));
        });
    } else {
        for (int day = 0; day < 7; ++day) {
            if (name == kWeekdays[day]) {
                rule.SetWeeklyDay(day + 1, ToInt(text) != 0);
                return;
            }
        }
        for (const IntField& field : kIntFields) {
            if (name == field.name) {
                (rule.*field.set)(ToInt(text));
                return;
            }
        }
    }
}

// Maps the whole pages of a fresh buffer in one call before it is filled. Left to read(), each page
// is taken on its first touch, which on virtual machines costs a trap into the hypervisor apiece.
void Prefault(char* buffer, size_t size) {
#ifdef MADV_POPULATE_WRITE
    const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t first = (reinterpret_cast<uintptr_t>(buffer) + page - 1) & ~(page - 1);
    const uintptr_t last = (reinterpret_cast<uintptr_t>(buffer) + size) & ~(page - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
    (void)buffer;
    (void)size;
#endif
}

} // namespace

std::unique_ptr<char[]> PimDocument::ReadDataFile(const char* path, size_t* length) {
    // Without blocking, so that a named pipe typed as the path cannot hang the tool; only a regular
    // file has a size to read.
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return nullptr;
    std::unique_ptr<char[]> buffer;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0) {
        const auto size = static_cast<size_t>(info.st_size);
        buffer.reset(new char[size + 1]);
        Prefault(buffer.get(), size);
        size_t done = 0;
        while (done < size) {
            const ssize_t got = ::read(fd, buffer.get() + done, size - done);
            if (got <= 0)
                break;
            done += static_cast<size_t>(got);
        }
        if (done == size) {
            buffer[size] = '\0';
            if (length)
                *length = size;
        } else {
            buffer.reset();
        }
    }
    ::close(fd);
    return buffer;
}

bool PimDocument::Load(const char* text) {
    return Load(text, std::strlen(text));
}

// Fills the document while the parser reads it: the version from the root's start tag, each
// collection's LastID from its own, and each record as soon as it has been read whole, so that only
// one record's elements are held at a time.
class PimDocument::Reader : public SimpleXMLParser::Handler {
public:
    // Records are the children of the root's children.
    static constexpr int kRecordDepth = 3;

    explicit Reader(PimDocument& document) : m_document(document) {}

    void startElement(const XMLElement& element, int depth) override {
        if (depth == 1)
            StartRoot(element);
        else
            StartCollection(element);
    }

    void element(const XMLElement& record) override {
        switch (m_collection) {
        case Collection::kPersons:
            m_document.ReadPerson(record, m_version1);
            break;
        case Collection::kAppointments:
            m_document.ReadAppointment(record, m_version18);
            break;
        case Collection::kTasks:
            m_document.ReadTask(record, m_version18);
            break;
        case Collection::kPhGroups:
            m_document.ReadPhGroup(record);
            break;
        case Collection::kRecurringDates:
            m_document.ReadRecurringDate(record);
            break;
        case Collection::kNone:
            break;
        }
    }

private:
    enum class Collection { kNone, kPersons, kAppointments, kTasks, kPhGroups, kRecurringDates };

    // A root other than "Pim", or a version the reader does not know, reads nothing.
    void StartRoot(const XMLElement& root) {
        if (!Is(root.getName(), "Pim"))
            return;
        ForEachAttribute(root, [&](const CString& name, const CString& value) {
            if (Is(name, "Version"))
                m_document.Version = ToInt(value);
        });
        const int version = m_document.Version;
        m_version1 = version == 1;
        const bool version16 = version == 16 || version == 17;
        m_version18 = version == 18 || version == 19;
        m_known = m_version1 || version16 || m_version18;
        if (m_version1) {
            for (const char* desc : {"All", "White Pages", "Yellow Pages"}) {
                PimPhGroup group;
                group.ID = m_document.PhGroups.NextID();
                group.Desc = desc;
                m_document.PhGroups.Insert(std::move(group));
            }
        }
    }

    void StartCollection(const XMLElement& collection) {
        m_collection = Collection::kNone;
        if (!m_known)
            return;
        const CString& name = collection.getName();
        if (Is(name, "Persons")) {
            ReadLastID(collection, m_document.Persons.LastID);
            m_collection = Collection::kPersons;
        } else if (Is(name, "Appointments")) {
            ReadLastID(collection, m_document.Appointments.LastID);
            m_collection = Collection::kAppointments;
        } else if (Is(name, "Tasks")) {
            ReadLastID(collection, m_document.Tasks.LastID);
            m_collection = Collection::kTasks;
        } else if (Is(name, "User")) {
            m_document.ReadUser(collection);
        } else if (Is(name, "PhGroups") && !m_version1) {
            ReadLastID(collection, m_document.PhGroups.LastID);
            m_collection = Collection::kPhGroups;
        } else if (Is(name, "RecurringDates") && m_version18) {
            ReadLastID(collection, m_document.RecurringDates.LastID);
            m_collection = Collection::kRecurringDates;
        }
    }

    PimDocument& m_document;
    bool m_known = false;
    bool m_version1 = false;
    bool m_version18 = false;
    Collection m_collection = Collection::kNone;
};

bool PimDocument::Load(const char* text, size_t length) {
    WaitCursor wait;
    try {
        Reader reader(*this);
        SimpleXMLParser parser;
        std::unique_ptr<XMLElement> root(parser.parse(text, length, reader, Reader::kRecordDepth));
    } catch (const SimpleXMLParser::Exception& error) {
        // Nothing of a file with a syntax error is kept, whatever came before the error.
        Clear();
        CString message;
        message.Format("Parsing error at line %d", error.line);
        MessageBoxA(nullptr, message, "Error Loading File", MB_ICONERROR);
        return false;
    }
    return true;
}

void PimDocument::Clear() {
    Persons.Clear();
    Appointments.Clear();
    Tasks.Clear();
    User = PimUser();
    PhGroups.Clear();
    RecurringDates.Clear();
    Version = 0;
}

void PimDocument::ReadPerson(const XMLNode& element, bool groupsFromFlags) {
    if (!groupsFromFlags && !Is(element.getName(), "Person"))
        return;
    PimPerson person;
    FieldFinder fields(kPersonFields);
    ForEachAttribute(element, [&](const CString& name, const CString& value) {
        if (const PersonField* field = fields.Find(name))
            ReadPersonAttribute(person, *field, value);
    });
    if (groupsFromFlags) {
        if (person.WhitePages)
            person.Groups.push_back(2);
        if (person.YellowPages)
            person.Groups.push_back(3);
        person.Groups.push_back(1);
    } else {
        ForEachChild(element.findChild("PhGroups"), [&](const XMLNode& group) {
            if (Is(group.getName(), "PhGroup"))
                person.Groups.push_back(ToInt(group.getText()));
        });
    }
    Persons.Insert(std::move(person));
}

void PimDocument::ReadTask(const XMLNode& element, bool elementForm) {
    PimTask task;
    ForEachAttribute(element, [&](const CString& name, const CString& value) {
        if (Is(name, "ID"))
            task.ID = ToInt(value);
        else if (!elementForm)
            ReadTaskField(task, name, value, false);
    });
    if (elementForm) {
        ForEachChild(element, [&](const XMLNode& field) {
            ReadTaskField(task, field.getName(), field.getText(), true);
        });
    }
    Tasks.Insert(std::move(task));
}

void PimDocument::ReadAppointment(const XMLNode& element, bool elementForm) {
    PimAppointment appointment;
    ForEachAttribute(element, [&](const CString& name, const CString& value) {
        if (Is(name, "ID"))
            appointment.ID = ToInt(value);
        else if (!elementForm)
            ReadAppointmentField(appointment, name, value, false);
    });
    if (elementForm) {
        ForEachChild(element, [&](const XMLNode& field) {
            ReadAppointmentField(appointment, field.getName(), field.getText(), true);
        });
    }
    Appointments.Insert(std::move(appointment));
}

void PimDocument::ReadUser(const XMLNode& element) {
    struct Field {
        const char* name;
        CString PimUser::*text;
    };
    static const Field kFields[] = {
        {"FName", &PimUser::FName},       {"LName", &PimUser::LName},       {"Company", &PimUser::Company},
        {"Position", &PimUser::Position}, {"Addr1", &PimUser::Addr1},       {"Addr2", &PimUser::Addr2},
        {"City", &PimUser::City},         {"State", &PimUser::State},       {"Zip", &PimUser::Zip},
        {"HmPhone", &PimUser::HmPhone},   {"WkPhone", &PimUser::WkPhone},   {"WkExt", &PimUser::WkExt},
        {"Fax", &PimUser::Fax},           {"CelPhone", &PimUser::CelPhone}, {"Pager", &PimUser::Pager},
        {"EMail", &PimUser::EMail},       {"WebPage", &PimUser::WebPage},
    };
    ForEachAttribute(element, [&](const CString& name, const CString& value) {
        for (const Field& field : kFields) {
            if (name == field.name)
                User.*field.text = value;
        }
    });
}

void PimDocument::ReadPhGroup(const XMLNode& element) {
    PimPhGroup group;
    ForEachAttribute(element, [&](const CString& name, const CString& value) {
        if (Is(name, "ID"))
            group.ID = ToInt(value);
    });
    group.Desc = element.findChild("Desc").getText();
    PhGroups.Insert(std::move(group));
}

void PimDocument::ReadRecurringDate(const XMLNode& element) {
    PimRecurringDate rule;
    ForEachAttribute(element, [&](const CString& name, const CString& value) {
        if (Is(name, "ID"))
            rule.ID = ToInt(value);
    });
    ForEachChild(element, [&](const XMLNode& field) { ReadRecurringField(rule, field); });
    RecurringDates.Insert(std::move(rule));
}

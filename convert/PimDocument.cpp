#include "convert/PimDocument.h"

#include "convert/SimpleXMLParser.h"
#include "platform/core/Prompt.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Decimal text as the C library reads it: leading digits, 0 when none lead.
int ToInt(const CString& text) {
    return static_cast<int>(std::strtol(text, nullptr, 10));
}

bool ToFlag(const CString& text) {
    return text == "1";
}

// A count of seconds since 1970 (UTC) as local date-time. An empty text is a date the file leaves
// unset, as a missing one is, and stays invalid rather than becoming the first second of 1970.
// Counts beyond the years a date can hold give the invalid date, as counts the C library cannot
// convert do.
CDateTime ToDate(const CString& text) {
    constexpr long long kLatest = 253402300799LL;   // 9999-12-31 23:59:59 UTC
    constexpr long long kEarliest = -62135596800LL; // 0001-01-01 00:00:00 UTC
    CDateTime date;
    if (CString(text).Trim().IsEmpty())
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
            if (child->getName() != "!")
                visit(*child);
        }
    }
}

void ReadLastID(const XMLNode& collection, int& lastID) {
    ForEachAttribute(collection, [&](const CString& name, const CString& value) {
        if (name == "LastID")
            lastID = ToInt(value);
    });
}

void ReadPersonAttribute(PimPerson& person, const CString& name, const CString& value) {
    struct Field {
        const char* name;
        CString PimPerson::*text;
    };
    static const Field kFields[] = {
        {"FName", &PimPerson::FName},       {"LName", &PimPerson::LName},
        {"RName", &PimPerson::RName},       {"Addr1", &PimPerson::Addr1},
        {"Addr2", &PimPerson::Addr2},       {"City", &PimPerson::City},
        {"State", &PimPerson::State},       {"Zip", &PimPerson::Zip},
        {"HmPhone", &PimPerson::HmPhone},   {"WkPhone", &PimPerson::WkPhone},
        {"WkExt", &PimPerson::WkExt},       {"Fax", &PimPerson::Fax},
        {"EMail", &PimPerson::EMail},       {"CelPhone", &PimPerson::CelPhone},
        {"Pager", &PimPerson::Pager},       {"Company", &PimPerson::Company},
        {"Position", &PimPerson::Position}, {"WebPage", &PimPerson::WebPage},
        {"Notes", &PimPerson::Notes},
    };
    if (name == "ID") {
        person.ID = ToInt(value);
    } else if (name == "WhitePages") {
        person.WhitePages = ToFlag(value);
    } else if (name == "YellowPages") {
        person.YellowPages = ToFlag(value);
    } else {
        for (const Field& field : kFields) {
            if (name == field.name) {
                person.*field.text = value;
                return;
            }
        }
    }
}

void ReadTaskField(PimTask& task, const CString& name, const CString& value, bool withRule) {
    if (name == "Description")
        task.Description = value;
    else if (name == "Priority")
        task.Priority = ToInt(value);
    else if (name == "DueDate")
        task.DueDate = ToDate(value);
    else if (name == "DoneDate")
        task.DoneDate = ToDate(value);
    else if (withRule && name == "RecurringID")
        task.RecurringID = ToInt(value);
}

void ReadAppointmentField(PimAppointment& appointment, const CString& name, const CString& value,
                          bool withRule) {
    if (name == "Description")
        appointment.Description = value;
    else if (name == "DueDate")
        appointment.DueDate = ToDate(value);
    else if (name == "StartTime")
        appointment.StartTime = ToDate(value);
    else if (name == "EndTime")
        appointment.EndTime = ToDate(value);
    else if (name == "Alarm")
        appointment.Alarm = ToFlag(value);
    else if (name == "AlarmTime")
        appointment.AlarmTime = ToDate(value);
    else if (name == "Done")
        appointment.Done = ToFlag(value);
    else if (withRule && name == "RecurringID")
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
    if (name == "StartDate") {
        rule.SetStartDate(text);
    } else if (name == "EndDate") {
        rule.SetEndDate(text);
    } else if (name == "StartTime") {
        rule.SetStartTime(text);
    } else if (name == "EndTime") {
        rule.SetEndTime(text);
    } else if (name == "IDS") {
        ForEachChild(element, [&](const XMLNode& id) {
            if (id.getName() == "ID")
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

bool PimDocument::Load(const char* text, size_t length) {
    WaitCursor wait;
    std::unique_ptr<XMLElement> root;
    try {
        SimpleXMLParser parser;
        root.reset(parser.parse(text, length));
    } catch (const SimpleXMLParser::Exception& error) {
        CString message;
        message.Format("Parsing error at line %d", error.line);
        MessageBoxA(nullptr, message, "Error Loading File", MB_ICONERROR);
        return false;
    }
    if (root->getName() != "Pim")
        return true;

    ForEachAttribute(*root, [&](const CString& name, const CString& value) {
        if (name == "Version")
            Version = ToInt(value);
    });

    const bool version1 = Version == 1;
    const bool version16 = Version == 16 || Version == 17;
    const bool version18 = Version == 18 || Version == 19;
    if (!version1 && !version16 && !version18)
        return true;

    if (version1) {
        for (const char* desc : {"All", "White Pages", "Yellow Pages"}) {
            PimPhGroup group;
            group.ID = PhGroups.NextID();
            group.Desc = desc;
            PhGroups.Insert(group);
        }
    }

    ForEachChild(*root, [&](const XMLNode& collection) {
        const CString& name = collection.getName();
        if (name == "Persons")
            ReadPersons(collection, version1);
        else if (name == "Appointments")
            ReadAppointments(collection, version18);
        else if (name == "Tasks")
            ReadTasks(collection, version18);
        else if (name == "User")
            ReadUser(collection);
        else if (name == "PhGroups" && !version1)
            ReadPhGroups(collection);
        else if (name == "RecurringDates" && version18)
            ReadRecurringDates(collection);
    });
    return true;
}

void PimDocument::ReadPersons(const XMLNode& collection, bool groupsFromFlags) {
    ReadLastID(collection, Persons.LastID);
    ForEachChild(collection, [&](const XMLNode& element) {
        if (!groupsFromFlags && element.getName() != "Person")
            return;
        PimPerson person;
        ForEachAttribute(element, [&](const CString& name, const CString& value) {
            ReadPersonAttribute(person, name, value);
        });
        if (groupsFromFlags) {
            if (person.WhitePages)
                person.Groups.push_back(2);
            if (person.YellowPages)
                person.Groups.push_back(3);
            person.Groups.push_back(1);
        } else {
            ForEachChild(element.findChild("PhGroups"), [&](const XMLNode& group) {
                if (group.getName() == "PhGroup")
                    person.Groups.push_back(ToInt(group.getText()));
            });
        }
        Persons.Insert(person);
    });
}

void PimDocument::ReadTasks(const XMLNode& collection, bool elementForm) {
    ReadLastID(collection, Tasks.LastID);
    ForEachChild(collection, [&](const XMLNode& element) {
        PimTask task;
        ForEachAttribute(element, [&](const CString& name, const CString& value) {
            if (name == "ID")
                task.ID = ToInt(value);
            else if (!elementForm)
                ReadTaskField(task, name, value, false);
        });
        if (elementForm) {
            ForEachChild(element, [&](const XMLNode& field) {
                ReadTaskField(task, field.getName(), field.getText(), true);
            });
        }
        Tasks.Insert(task);
    });
}

void PimDocument::ReadAppointments(const XMLNode& collection, bool elementForm) {
    ReadLastID(collection, Appointments.LastID);
    ForEachChild(collection, [&](const XMLNode& element) {
        PimAppointment appointment;
        ForEachAttribute(element, [&](const CString& name, const CString& value) {
            if (name == "ID")
                appointment.ID = ToInt(value);
            else if (!elementForm)
                ReadAppointmentField(appointment, name, value, false);
        });
        if (elementForm) {
            ForEachChild(element, [&](const XMLNode& field) {
                ReadAppointmentField(appointment, field.getName(), field.getText(), true);
            });
        }
        Appointments.Insert(appointment);
    });
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

void PimDocument::ReadPhGroups(const XMLNode& collection) {
    ReadLastID(collection, PhGroups.LastID);
    ForEachChild(collection, [&](const XMLNode& element) {
        PimPhGroup group;
        ForEachAttribute(element, [&](const CString& name, const CString& value) {
            if (name == "ID")
                group.ID = ToInt(value);
        });
        group.Desc = element.findChild("Desc").getText();
        PhGroups.Insert(group);
    });
}

void PimDocument::ReadRecurringDates(const XMLNode& collection) {
    ReadLastID(collection, RecurringDates.LastID);
    ForEachChild(collection, [&](const XMLNode& element) {
        PimRecurringDate rule;
        ForEachAttribute(element, [&](const CString& name, const CString& value) {
            if (name == "ID")
                rule.ID = ToInt(value);
        });
        ForEachChild(element, [&](const XMLNode& field) { ReadRecurringField(rule, field); });
        RecurringDates.Insert(rule);
    });
}

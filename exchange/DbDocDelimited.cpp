// The document's delimited-text export and import of persons, tasks and appointments.

#include "data/DbDoc.h"
#include "data/IdMaker.h"
#include "data/SqlException.h"
#include "data/SqlQuery.h"
#include "exchange/DelimitedText.h"
#include "exchange/ExportTableSpec.h"
#include "exchange/FieldReader.h"
#include "exchange/PersonImport.h"
#include "platform/core/DateFormat.h"
#include "platform/core/Prompt.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// What became of one record of an import.
enum class RecordResult { Skipped, Added, Failed };

// Skipped when the record did not pass its kind's test, else whether its insert succeeded.
RecordResult Inserted(bool passed, bool inserted) {
    return !passed ? RecordResult::Skipped : inserted ? RecordResult::Added : RecordResult::Failed;
}

// One field of the person table: its name in the file, its Person column and the record member.
struct PersonField {
    const char* name;
    const char* column;
    CString CPerson::*member;
};

// In export order, which is also the order the rows are written in.
constexpr std::array<PersonField, 29> kPersonFields = {{
    {"Title", "Title", &CPerson::m_Title},
    {"FirstName", "FName", &CPerson::m_FName},
    {"LastName", "LName", &CPerson::m_LName},
    {"HomeAddress1", "Addr1", &CPerson::m_Addr1},
    {"HomeAddress2", "Addr2", &CPerson::m_Addr2},
    {"HomeCity", "City", &CPerson::m_City},
    {"HomeState", "State", &CPerson::m_State},
    {"HomeZipCode", "Zip", &CPerson::m_Zip},
    {"HomePhone", "HmPhone", &CPerson::m_HmPhone},
    {"HomeFax", "HmFax", &CPerson::m_HmFax},
    {"HomeCelPhone", "CelPhone", &CPerson::m_CelPhone},
    {"HomePager", "Pager", &CPerson::m_Pager},
    {"HomeE-Mail", "Email", &CPerson::m_Email},
    {"HomeWebPage", "WebPage", &CPerson::m_WebPage},
    {"Company", "Company", &CPerson::m_Company},
    {"Position", "Position", &CPerson::m_Position},
    {"WorkAddress1", "WkAddr1", &CPerson::m_WkAddr1},
    {"WorkAddress2", "WkAddr2", &CPerson::m_WkAddr2},
    {"WorkCity", "WkCity", &CPerson::m_WkCity},
    {"WorkState", "WkState", &CPerson::m_WkState},
    {"WorkZipCode", "WkZip", &CPerson::m_WkZip},
    {"WorkPhone", "WkPhone", &CPerson::m_WkPhone},
    {"WorkExtension", "WkExt", &CPerson::m_WkExt},
    {"WorkFax", "WkFax", &CPerson::m_WkFax},
    {"WorkCelPhone", "WkCelPhone", &CPerson::m_WkCelPhone},
    {"WorkPager", "WkPager", &CPerson::m_WkPager},
    {"WorkE-Mail", "WkEmail", &CPerson::m_WkEmail},
    {"WorkWebPage", "WkWebPage", &CPerson::m_WkWebPage},
    {"Notes", "Notes", &CPerson::m_Notes},
}};

constexpr std::array<const char*, 4> kTaskFields = {"Task", "DateDue", "DateDone", "Priority"};
constexpr std::array<const char*, 6> kApptFields = {"Appointment", "Date",    "StartTime",
                                                    "EndTime",     "Alarmed", "AlarmTime"};

// The cells that the import reads as empty.
bool IsMarker(const CString& value) {
    return value == "EMPTY FIELD" || value == "EOF";
}

// What the export writes: the header line (when asked for), then the rows.
class DelimitedWriter {
public:
    explicit DelimitedWriter(const CExportTableSpec& spec) : m_spec(spec) {}

    // Notes which of the table's fields the column fields choose (names the table does not have are
    // left out of the rows) and builds the header line of every non-empty column field.
    std::vector<bool> ChooseFields(const std::vector<const char*>& tableNames) {
        std::vector<bool> chosen(tableNames.size(), false);
        CString header;
        bool first = true;
        for (const CString& name : m_spec.m_columnFields) {
            if (name.IsEmpty())
                continue;
            for (size_t i = 0; i < tableNames.size(); ++i)
                if (name == tableNames[i])
                    chosen[i] = true;
            if (!first)
                header += m_spec.m_separator;
            header += m_spec.m_qualifier + name + m_spec.m_qualifier;
            first = false;
        }
        header += "\n";
        if (m_spec.m_header == 1)
            m_text = header;
        return chosen;
    }

    // Starts the next row; a row joins the text only when it is complete.
    void BeginRow() {
        m_row.Empty();
        m_rowHasValue = false;
    }
    // Appends one value of the row: empty as nothing, otherwise enclosed in the qualifier. Inside the
    // qualifier every backslash and every qualifier is doubled and line breaks stay, so the import
    // reads the value back as it was. Without a qualifier nothing protects a line break, so it
    // becomes white space rather than splitting the record.
    void AddValue(CString value) {
        if (m_rowHasValue)
            m_row += m_spec.m_separator;
        m_rowHasValue = true;
        if (value.IsEmpty())
            return;
        if (m_spec.m_qualifier.IsEmpty()) {
            value.Replace("\r\n", "  ");
            value.Replace("\r", " ");
            value.Replace("\n", " ");
        } else {
            value.Replace("\\", "\\\\");
            value.Replace(m_spec.m_qualifier, m_spec.m_qualifier + m_spec.m_qualifier);
            // A value that is one of the import's markers is escaped so that it reads back as itself.
            if (IsMarker(value))
                value = "\\" + value;
        }
        m_row += m_spec.m_qualifier + value + m_spec.m_qualifier;
    }
    void EndRow() {
        m_text += m_row + "\n";
        ++m_rows;
    }

    int Rows() const { return m_rows; }
    const CString& Text() const { return m_text; }

private:
    const CExportTableSpec& m_spec;
    CString m_text;
    CString m_row;
    bool m_rowHasValue = false;
    int m_rows = 0;
};

CDateTime ParseDbText(const char* text) {
    CDateTime value;
    value.ParseDateTime(text ? text : "");
    return value;
}

CString ShortDateText(const CDateTime& value) {
    return value.IsValid() ? value.FormatDate(nullptr, DATE_SHORTDATE) : CString();
}

CString TimeText(const CDateTime& value) {
    return value.IsValid() ? value.FormatTime(nullptr, TIME_NOSECONDS) : CString();
}

// The minutes an alarm lies before the start, between 0 and 60.
int AlarmMinutes(const CDateTime& start, const CDateTime& alarm) {
    if (!start.IsValid() || !alarm.IsValid())
        return 0;
    // Whole seconds first, so that a stored 15 minutes does not read as 14.999... and truncate to 14.
    const long long seconds = std::llround((start - alarm).GetValue() * 24.0 * 60.0 * 60.0);
    const long long minutes = seconds / 60;
    return static_cast<int>(minutes < 0 ? 0 : minutes > 60 ? 60 : minutes);
}

// Writes text to path through a temporary file beside it that then takes the path's place, so a
// failure leaves no half-written file behind.
bool WriteWholeFile(const CString& path, const CString& text) {
    if (path.IsEmpty())
        return false;
    std::string temp = path.str() + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    bool ok = true;
    const char* data = text.c_str();
    size_t left = static_cast<size_t>(text.GetLength());
    while (ok && left > 0) {
        const ssize_t written = write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            ok = false;
            break;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    ok = ok && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok)
        unlink(temp.c_str());
    return ok;
}

// Shows the box of a database error during an export.
void ReportExportError(const char* message, const char* caption) {
    MessageBoxA(nullptr, message, caption, MB_OK | MB_ICONERROR);
}

// Runs an export: the count, the header and the rows, then the file. On a database error the text
// collected so far is still written and its rows are counted.
template <typename BuildRows>
int RunExport(const CExportTableSpec& spec, const char* countSql, const char* emptyText,
              const char* emptyCaption, unsigned emptyFlags, const char* errorCaption,
              const std::vector<const char*>& tableNames, BuildRows buildRows) {
    try {
        DelimitedWriter writer(spec);
        try {
            if (g_db.ExecScalar(countSql) == 0) {
                MessageBoxA(nullptr, emptyText, emptyCaption, emptyFlags);
                return 0;
            }
            const std::vector<bool> chosen = writer.ChooseFields(tableNames);
            buildRows(writer, chosen);
        } catch (const SqlException& error) {
            ReportExportError(error.errorMessage(), errorCaption);
        }
        return WriteWholeFile(spec.m_filePath, writer.Text()) ? writer.Rows() : 0;
    } catch (...) {
        return 0;
    }
}

// The reading frame of the imports: the file's decoded text cut into records, the field reader and
// the header line.
class DelimitedReader {
public:
    explicit DelimitedReader(const CExportTableSpec& spec) : m_spec(spec) {
        if (!spec.m_qualifier.IsEmpty())
            m_reader.SetQuoteChar(spec.m_qualifier[0]);
        if (!spec.m_separator.IsEmpty())
            m_reader.SetDelimiter(spec.m_separator[0]);
    }

    // Reads the file and skips the header line when there is one; false when there is nothing to
    // read. A file that cannot be read says so once.
    bool Start() {
        const DelimitedFileResult result = ReadDelimitedFile(m_spec.m_filePath, m_text);
        if (result == DelimitedFileResult::ReadError)
            MessageBoxA(nullptr, "Error reading file", "File Error", MB_OK | MB_ICONINFORMATION);
        if (result != DelimitedFileResult::Ok)
            return false;
        m_splitter.emplace(m_text, m_reader.GetQuoteChar(), m_reader.GetDelimiter());
        if (m_spec.m_header == 1) {
            CString header;
            return ReadLine(header);
        }
        return true;
    }

    // The next record whole, however many lines a quoted field spans; false at the end of the text.
    bool ReadLine(CString& line) { return m_splitter && m_splitter->Next(line.str()); }

    // The cells of one record: every column consumes a field; a record that runs out leaves the rest
    // empty. The markers "EMPTY FIELD" and "EOF" read as empty cells, quoted or not, unless the file
    // wrote them with an escape.
    std::vector<CString> Cells(const CString& line) const {
        std::vector<CString> cells(static_cast<size_t>(m_spec.m_columnCount > 0 ? m_spec.m_columnCount : 0));
        std::string_view rest(line.str());
        const char* const end = rest.data() + rest.size();
        for (CString& cell : cells) {
            const char* const start = rest.data();
            m_reader.NextField(rest, cell.str());
            // Written with an escape (as the export writes such a value), a marker is a value.
            const char* const stop = rest.empty() ? end : rest.data();
            const std::string_view written(start, static_cast<size_t>(stop - start));
            if (IsMarker(cell) && written.find('\\') == std::string_view::npos)
                cell.Empty();
        }
        return cells;
    }

    // The field name of a column; empty for an ignored one.
    CString FieldOf(size_t column) const {
        return column < m_spec.m_columnFields.size() ? m_spec.m_columnFields[column] : CString();
    }

private:
    const CExportTableSpec& m_spec;
    std::string m_text;
    std::optional<CRecordSplitter> m_splitter;
    CFieldReader m_reader;
};

// Reads every record of the options' file and inserts the ones that pass, all in one transaction: a
// record whose insert fails is rolled back alone, not counted, and ends the import (a full disk or a
// broken file fails every record after it alike). written() answers, from the number of records
// readRecord added, how many reached the document and the write that failed, if one did. Answers the number
// of records the document really holds afterwards; the modified flag is set with notification when there are
// any. The error that stopped the import goes to failure when given, else into one box under failureCaption.
template <typename ReadRecord, typename Written>
int RunImport(CDbDoc& doc, const CExportTableSpec& spec, const char* failureCaption, CString* failure,
              ReadRecord readRecord, Written written) {
    if (failure)
        failure->Empty();
    DelimitedReader reader(spec);
    try {
        if (!reader.Start())
            return 0;
    } catch (...) {
        return 0;
    }
    const ImportOutcome outcome = RunImportTransaction(doc, [&]() {
        int added = 0;
        bool stopped = false;
        CString line;
        while (reader.ReadLine(line)) {
            std::vector<CString> cells = reader.Cells(line);
            const RecordResult result = readRecord(reader, cells);
            if (result == RecordResult::Failed) {
                stopped = true;
                break;
            }
            if (result == RecordResult::Added)
                ++added;
        }
        ImportOutcome result = written(added);
        if (stopped && !result.Failed())
            result.failure = doc.GetLastRecordError().IsEmpty() ? CString("A record could not be added.")
                                                                : doc.GetLastRecordError();
        return result;
    });
    if (outcome.added > 0)
        doc.SetModifiedFlag(true, true);
    if (failure)
        *failure = outcome.failure;
    else if (outcome.Failed())
        MessageBoxA(nullptr, outcome.failure + "\n\nThe import stopped there.", failureCaption,
                    MB_OK | MB_ICONERROR);
    return outcome.added;
}

// For the kinds whose records are written as they are read.
ImportOutcome AllWritten(int added) {
    return ImportOutcome{added, CString()};
}

// A new record ID; false when none could be made.
bool NewId(CString& id) {
    char buffer[81] = {};
    if (!NewGuidString(buffer))
        return false;
    id = buffer;
    return true;
}

// A date typed in the user's locale, at 00:00:00; invalid when the cell is no date in the valid range.
CDateTime ParseDateCell(const CString& cell) {
    CDateTime value;
    if (!value.ParseDateTimeEx(cell, VAR_DATEVALUEONLY) || !value.IsValid())
        value.SetNull();
    return value;
}

// A time of day typed in the user's locale, on the day of `day`, seconds 0, rounded to the nearest
// quarter hour (7 minutes past rounds down, 8 up); invalid when the cell is no time.
CDateTime ParseQuarterTime(const CString& cell, const CDateTime& day) {
    CDateTime time;
    if (!time.ParseDateTimeEx(cell, VAR_TIMEVALUEONLY) || !time.IsValid())
        return CDateTime();
    CDateTime result(day.GetYear(), day.GetMonth(), day.GetDay(), time.GetHour(), time.GetMinute(), 0);
    if (!result.IsValid())
        return result;
    const int remainder = result.GetMinute() % 15;
    if (remainder >= 1 && remainder <= 7)
        result -= CDateTimeSpan(0, 0, remainder, 0);
    else if (remainder >= 8)
        result += CDateTimeSpan(0, 0, 15 - remainder, 0);
    return result;
}

// The cell's leading integer rounded to a multiple of 5 (remainders 1 and 2 down, 3 and 4 up).
int RoundToFive(const CString& cell) {
    int minutes = std::atoi(cell);
    const int remainder = minutes % 5;
    if (remainder == 1 || remainder == 2)
        minutes -= remainder;
    else if (remainder == 3 || remainder == 4)
        minutes += 5 - remainder;
    return minutes;
}

bool IsTrueWord(CString cell) {
    cell.MakeLower();
    return cell == "true" || cell == "t" || cell == "yes" || cell == "1";
}

} // namespace

int CDbDoc::ExportAddressBookCsv(const CExportTableSpec& spec) {
    std::vector<const char*> names;
    for (const PersonField& field : kPersonFields)
        names.push_back(field.name);
    return RunExport(spec, "select count(*) from Person", "There is no one in the address book to export",
                     "Empty Address Book", MB_OK | MB_ICONINFORMATION, "Error Exporting Address Book", names,
                     [](DelimitedWriter& writer, const std::vector<bool>& chosen) {
                         SqlQuery query = g_db.ExecQuery("select * from Person order by LName, FName");
                         for (; !query.Eof(); query.NextRow()) {
                             writer.BeginRow();
                             for (size_t i = 0; i < kPersonFields.size(); ++i) {
                                 if (!chosen[i])
                                     continue;
                                 writer.AddValue(query.GetStringField(kPersonFields[i].column, ""));
                             }
                             writer.EndRow();
                         }
                     });
}

int CDbDoc::ExportTasksCsv(const CExportTableSpec& spec) {
    const std::vector<const char*> names(kTaskFields.begin(), kTaskFields.end());
    return RunExport(
        spec, "select count(*) from Task", "There are no tasks to export", "Empty Task Table", MB_OK,
        "Error Exporting Tasks", names, [](DelimitedWriter& writer, const std::vector<bool>& chosen) {
            SqlQuery query = g_db.ExecQuery("select * from Task order by DateDue");
            for (; !query.Eof(); query.NextRow()) {
                writer.BeginRow();
                if (chosen[0])
                    writer.AddValue(query.GetStringField("Desc", ""));
                if (chosen[1])
                    writer.AddValue(ShortDateText(ParseDbText(query.GetStringField("DateDue", ""))));
                if (chosen[2])
                    writer.AddValue(ShortDateText(ParseDbText(query.GetStringField("DateDone", ""))));
                if (chosen[3]) {
                    CString priority;
                    priority.Format("%d", query.GetIntField("Priority", 0));
                    writer.AddValue(priority);
                }
                writer.EndRow();
            }
        });
}

int CDbDoc::ExportApptsCsv(const CExportTableSpec& spec) {
    const std::vector<const char*> names(kApptFields.begin(), kApptFields.end());
    return RunExport(
        spec, "select count(*) from Appt", "There are no appointments to export", "Empty Appointment Table",
        MB_OK, "Error Exporting Appointments", names,
        [](DelimitedWriter& writer, const std::vector<bool>& chosen) {
            SqlQuery query = g_db.ExecQuery("select * from Appt order by DateDue");
            for (; !query.Eof(); query.NextRow()) {
                const CDateTime start = ParseDbText(query.GetStringField("StartTime", ""));
                const bool alarm = query.GetIntField("Alarm", 0) != 0;
                writer.BeginRow();
                if (chosen[0])
                    writer.AddValue(query.GetStringField("Desc", ""));
                if (chosen[1])
                    writer.AddValue(ShortDateText(ParseDbText(query.GetStringField("DateDue", ""))));
                if (chosen[2])
                    writer.AddValue(TimeText(start));
                if (chosen[3])
                    writer.AddValue(TimeText(ParseDbText(query.GetStringField("EndTime", ""))));
                if (chosen[4])
                    writer.AddValue(alarm ? "TRUE" : "FALSE");
                if (chosen[5]) {
                    CString minutes;
                    minutes.Format(
                        "%d",
                        alarm ? AlarmMinutes(start, ParseDbText(query.GetStringField("AlarmTime", ""))) : 0);
                    writer.AddValue(minutes);
                }
                writer.EndRow();
            }
        });
}

int CDbDoc::ImportAddressBookCsv(const CExportTableSpec& spec, CString* failure) {
    // The person field each column fills, looked up once for the whole file.
    std::vector<const PersonField*> columnFields(spec.m_columnFields.size(), nullptr);
    for (size_t column = 0; column < columnFields.size(); ++column)
        for (const PersonField& entry : kPersonFields)
            if (spec.m_columnFields[column] == entry.name)
                columnFields[column] = &entry;

    PersonImport persons(*this, {});
    return RunImport(
        *this, spec, "Error Adding Address Book Entry", failure,
        [&](const DelimitedReader&, std::vector<CString>& cells) {
            CPerson person;
            for (size_t column = 0; column < cells.size() && column < columnFields.size(); ++column) {
                const PersonField* field = columnFields[column];
                if (!field)
                    continue;
                CString& cell = cells[column];
                // The title and the three name fields take only a non-empty cell.
                const bool onlyText =
                    field->member == &CPerson::m_FName || field->member == &CPerson::m_LName ||
                    field->member == &CPerson::m_Company || field->member == &CPerson::m_Title;
                if (!cell.IsEmpty() || !onlyText)
                    person.*field->member = std::move(cell);
            }
            // One of the names must hold text as the document stores it (up to a NUL) for the person
            // to be added.
            auto stored = [](const CString& name) { return name.c_str()[0] != '\0'; };
            if (!stored(person.m_FName) && !stored(person.m_LName) && !stored(person.m_Company))
                return RecordResult::Skipped;
            if (!NewId(person.m_ID))
                return RecordResult::Failed;
            person.BuildDisplayName();
            return persons.Add(person) ? RecordResult::Added : RecordResult::Failed;
        },
        [&](int) {
            return ImportOutcome{persons.Added(), persons.Failure()};
        });
}

int CDbDoc::ImportTasksCsv(const CExportTableSpec& spec, CString* failure) {
    return RunImport(
        *this, spec, "Error Importing Tasks", failure,
        [this](const DelimitedReader& reader, const std::vector<CString>& cells) {
            CTask task;
            bool hasText = false;
            for (size_t column = 0; column < cells.size(); ++column) {
                const CString field = reader.FieldOf(column);
                const CString& cell = cells[column];
                if (field == "Task") {
                    if (!cell.IsEmpty()) {
                        task.m_Desc = cell;
                        hasText = true;
                    }
                } else if (field == "DateDue" || field == "DateDone") {
                    const CDateTime date = ParseDateCell(cell);
                    if (date.IsValid())
                        (field == "DateDue" ? task.m_DateDue : task.m_DateDone) = date;
                } else if (field == "Priority") {
                    const int priority = std::atoi(cell);
                    if (priority >= kPriorityHigh && priority <= kPriorityDone)
                        task.m_Priority = priority;
                }
            }
            if (!hasText)
                return RecordResult::Skipped;
            if (!NewId(task.m_ID))
                return RecordResult::Failed;
            return Inserted(true, InsertTask(task));
        },
        AllWritten);
}

int CDbDoc::ImportApptsCsv(const CExportTableSpec& spec, CString* failure) {
    return RunImport(
        *this, spec, "Error Importing Appointments", failure,
        [this](const DelimitedReader& reader, const std::vector<CString>& cells) {
            CAppt appt;
            bool hasText = false, hasDate = false, hasStart = false, hasEnd = false;
            int alarmMinutes = 0;
            for (size_t column = 0; column < cells.size(); ++column) {
                const CString field = reader.FieldOf(column);
                const CString& cell = cells[column];
                if (field == "Appointment") {
                    if (!cell.IsEmpty()) {
                        appt.m_Desc = cell;
                        hasText = true;
                    }
                } else if (field == "Date") {
                    const CDateTime date = ParseDateCell(cell);
                    if (date.IsValid()) {
                        appt.m_DateDue = date;
                        hasDate = true;
                    }
                } else if (field == "StartTime") {
                    const CDateTime start = ParseQuarterTime(cell, appt.m_DateDue);
                    if (start.IsValid()) {
                        appt.m_StartTime = start;
                        hasStart = true;
                    }
                } else if (field == "EndTime") {
                    const CDateTime end = ParseQuarterTime(cell, appt.m_DateDue);
                    if (end.IsValid()) {
                        appt.m_EndTime = end;
                        hasEnd = true;
                    }
                    if (appt.m_EndTime < appt.m_StartTime)
                        appt.m_EndTime = appt.m_StartTime;
                } else if (field == "AlarmTime") {
                    appt.m_AlarmTime = appt.m_StartTime;
                    alarmMinutes = RoundToFive(cell);
                } else if (field == "Alarmed") {
                    appt.m_Alarm = IsTrueWord(cell);
                }
            }
            if (!hasText || !hasDate || !hasStart || !hasEnd)
                return RecordResult::Skipped;
            if (!NewId(appt.m_ID))
                return RecordResult::Failed;
            if (alarmMinutes >= 0 && alarmMinutes <= 60)
                appt.m_AlarmTime -= CDateTimeSpan(0, 0, alarmMinutes, 0);
            return Inserted(true, InsertAppt(appt));
        },
        AllWritten);
}

#pragma once

#include "data/DateTime.h"
#include "data/Records.h"
#include "reports/Report.h"

#include <QRect>
#include <QString>

#include <vector>

// The monthly plan on one page: the neighbouring months' small calendars at the top, then a grid
// of the month's weeks with each day's appointments and tasks written into its cell.
class CMonthReport : public CReport {
public:
    CMonthReport(QPrinter* printer, std::vector<CTask> tasks, std::vector<CAppt> appts, int month, int year);

    bool PrintPage(QPainter& dc, int page) override;
    void DrawTitle() override;
    void DrawFooter(int) override {}
    void DrawFrame() override {}
    void Paginate() override { m_pageCount = 1; }

    // The text written into the day's cell: appointments first, then tasks.
    QString DayText(int day) const;
    // Set by the last drawing of the grid.
    int DayCount() const { return m_dayCount; }
    int WeekRows() const { return m_weekRows; }
    // The grid's rectangle: a title band, the weekday heads' band and six week bands.
    QRect GridRect() const { return m_grid; }
    QRect DayRect(int day) const { return m_dayRects[static_cast<size_t>(day - 1)]; }

private:
    void DrawGrid(const QRect& grid);

    std::vector<CTask> m_tasks;
    std::vector<CAppt> m_appts;
    int m_month;
    int m_year;
    int m_dayCount = 0;
    int m_weekRows = 0;
    QRect m_grid;
    QRect m_dayRects[31];
    QPainter* m_dc = nullptr;
};

// The weekly plan on two pages: Sunday to Wednesday, then Thursday to Saturday and a band for
// notes; each day a band with its appointments on the left and its tasks on the right.
class CWeekReport : public CReport {
public:
    CWeekReport(QPrinter* printer, std::vector<CTask> tasks, std::vector<CAppt> appts,
                const CDateTime& firstDay, const CDateTime& lastDay);

    bool PrintPage(QPainter& dc, int page) override;
    void DrawTitle() override;
    void DrawFooter(int) override {}
    void DrawFrame() override {}
    void Paginate() override { m_pageCount = 2; }
    virtual void DrawDays(int page);

    // "Mar 28 - 31", "May 30 - Jun 2": the page's days.
    QString PageTitle(int page) const;
    // The months of the page's two small calendars, as (month, year).
    std::pair<std::pair<int, int>, std::pair<int, int>> PageMonths(int page) const;

private:
    // The distance from a day band's top to its entry boxes, at the report's size.
    int EntryOffset() const;

    std::vector<CTask> m_tasks;
    std::vector<CAppt> m_appts;
    CDateTime m_firstDay;
    CDateTime m_lastDay;
    int m_page = 0;
    QPainter* m_dc = nullptr;
};

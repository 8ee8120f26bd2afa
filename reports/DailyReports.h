#pragma once

#include "data/Records.h"
#include "reports/ListReport.h"
#include "reports/ReportDraw.h"

#include <vector>

// "DAILY PLAN": the day's appointments on the left half, its tasks on the right, each half paged
// on its own; the report has as many pages as the longer half.
class CDailyPlanReport : public CListReport {
public:
    CDailyPlanReport(QPrinter* printer, std::vector<CTask> tasks, std::vector<CAppt> appts);
    void Paginate() override;
    void DrawFrame() override;
    int ApptPageCount() const { return static_cast<int>(m_apptPages.size()); }
    int TaskPageCount() const { return static_cast<int>(m_taskPages.size()); }

protected:
    QString FooterText(int page) const override;
    void DrawHeads() override;
    void DrawRecords(int page) override;
    bool ColumnsFit() const override { return ApptColumns().fits && TaskColumns().fits; }

private:
    report_draw::ColumnRow ApptColumns() const;
    report_draw::ColumnRow TaskColumns() const;

    std::vector<CTask> m_tasks;
    std::vector<CAppt> m_appts;
    std::vector<std::vector<int>> m_apptPages;
    std::vector<std::vector<int>> m_taskPages;
};

// "DAILY TASKS": one line a task with its priority and due date.
class CDailyTasksReport : public CListReport {
public:
    CDailyTasksReport(QPrinter* printer, std::vector<CTask> tasks);
    void Paginate() override;

protected:
    QString FooterText(int page) const override;
    void DrawHeads() override;
    void DrawRecords(int page) override;
    bool ColumnsFit() const override { return Columns().fits; }

private:
    report_draw::ColumnRow Columns() const;

    std::vector<CTask> m_tasks;
    std::vector<std::vector<int>> m_pages;
};

// "DAILY APPOINTMENTS": one line an appointment with its start and end.
class CDailyApptsReport : public CListReport {
public:
    CDailyApptsReport(QPrinter* printer, std::vector<CAppt> appts);
    void Paginate() override;

protected:
    QString FooterText(int page) const override;
    void DrawHeads() override;
    void DrawRecords(int page) override;
    bool ColumnsFit() const override { return Columns().fits; }

private:
    report_draw::ColumnRow Columns() const;

    std::vector<CAppt> m_appts;
    std::vector<std::vector<int>> m_pages;
};

#pragma once

#include "ui/exchange/CsvImportWizard.h"

#include <optional>
#include <tuple>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The first step: the file to read or write.
class SelectDocumentPage : public CsvWizardPage {
public:
    enum : int { kIdSelectFileGroup = 1001 };

    explicit SelectDocumentPage(QWidget* parent = nullptr);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnWizardNext() override;
    const std::vector<std::pair<int, int>>& HelpTable() const override;

    CString m_path;

private:
    void OnPathChanged();
    void OnBrowse();
    void UpdateButtons();

    QLineEdit* m_pathEdit;
};

// The second step: the separator, the qualifier and whether the first line holds field names.
class DocumentStructurePage : public CsvWizardPage {
public:
    enum : int {
        kIdHeaderBox = 1135,
        kIdFieldNamesGroup = 1003,
        kIdSeparatorList = 1140,
        kIdSeparatorGroup = 1005,
        kIdQualifierList = 1141,
        kIdQualifierGroup = 1007,
        kIdFirstLineEdit = 1144,
        kIdFirstLineGroup = 1150,
    };

    explicit DocumentStructurePage(QWidget* parent = nullptr);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnWizardNext() override;
    const std::vector<std::pair<int, int>>& HelpTable() const override;

private:
    QCheckBox* m_headerBox;
    QListWidget* m_separatorList;
    QListWidget* m_qualifierList;
    QGroupBox* m_firstLineGroup;
    QLineEdit* m_firstLineEdit;
};

// The last step: which column of the file fills which field (import), or which fields to write
// (export).
class FieldsToImportPage : public CsvWizardPage {
public:
    enum : int { kIdFieldList = 1145, kIdAvailableGroup = 1010 };

    explicit FieldsToImportPage(QWidget* parent = nullptr);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnWizardFinish() override;
    const std::vector<std::pair<int, int>>& HelpTable() const override;

    // A click on a row of the import list: the Fields dialog assigns that column a field, which then
    // leaves any other column it was assigned to.
    void OnRowClicked(int row);

    // 0 persons, 1 tasks, 2 appointments.
    int m_recordKind = 0;
    QTreeWidget* List() const { return m_list; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the import list was split from: the file, its first line, the separator, the qualifier
    // and the header flag.
    using ListSource = std::tuple<CString, CString, CString, CString, int>;

    // Splits the first line into the list's columns anew, keeping the fields of the columns that are
    // still there.
    void FillImportList();
    bool FinishImport();
    bool FinishExport();

    std::optional<ListSource> m_listSource;
    std::vector<CString> m_tableFields;
    std::vector<CString> m_requiredFields;
    QLabel* m_hint;
    QTreeWidget* m_list;
};

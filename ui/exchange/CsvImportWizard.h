#pragma once

#include "exchange/ExportTableSpec.h"
#include "platform/qt/DropShadow.h"

#include <QDialog>
#include <QString>
#include <QWidget>

#include <utility>
#include <vector>

class CsvImportWizard;
class QLabel;
class QPushButton;
class QStackedWidget;

// One step of the delimited-text wizard. Every page holds the options record it fills, whether the
// run imports (1) or exports (0), and paints the program's picture into its placeholder.
class CsvWizardPage : public QWidget {
public:
    explicit CsvWizardPage(QWidget* parent = nullptr);

    CExportTableSpec* m_spec = nullptr;
    int m_import = 0;

    CsvImportWizard* Sheet() const { return m_sheet; }
    bool IsInitialized() const { return m_initialized; }

    // The page's controls get their first values (the first time it becomes active).
    virtual void OnInitDialog() {}
    // The page becomes the current one: its title and the wizard buttons.
    virtual void OnSetActive() {}
    // Next and Finish: false keeps the page current.
    virtual bool OnWizardNext() { return true; }
    virtual bool OnWizardFinish() { return true; }
    // The page's help: the import or the export topic.
    void OnHelp();
    // The popup table of the page's controls.
    virtual const std::vector<std::pair<int, int>>& HelpTable() const = 0;

    // Where the picture goes: the placeholder's rectangle inset by 10, in page coordinates.
    QRect PictureRect() const;

protected:
    // Lays the page out: the picture placeholder on the left, the page's controls to its right.
    void SetContent(QLayout* content);
    void paintEvent(QPaintEvent* event) override;

private:
    friend class CsvImportWizard;
    CsvImportWizard* m_sheet = nullptr;
    QWidget* m_placeholder;
    bool m_initialized = false;
};

// The wizard sheet of the delimited-text commands: its pages one after the other, with Back, Next
// or Finish, Cancel and Help.
class CsvImportWizard : public QDialog {
public:
    enum : int { kIdBack = 12323, kIdNext = 12324, kIdFinish = 12325, kIdSheetHelp = 57670 };
    enum : unsigned { PSWIZB_BACK = 1, PSWIZB_NEXT = 2, PSWIZB_FINISH = 4 };

    explicit CsvImportWizard(const QString& title, QWidget* parent = nullptr);
    ~CsvImportWizard() override;

    // Appends a page; the caller keeps it alive while the sheet uses it.
    void AddPage(CsvWizardPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    int GetActiveIndex() const { return m_current; }
    CsvWizardPage* GetActivePage() const;

    // Which of Back, Next and Finish are offered (Finish stands in Next's place).
    void SetWizardButtons(unsigned flags);
    // The sheet's caption.
    void SetTitle(const QString& title);
    // The title the command gave the wizard, shown above the pages.
    QString WizardTitle() const;

    // Runs modally over the owner (the active window when null); IDOK after Finish, else IDCANCEL.
    int DoModal(QWidget* owner = nullptr);

    // The buttons, as a click on them does.
    void PressBack();
    void PressNext();
    void PressFinish();
    void PressCancel();

    QPushButton* BackButton() const { return m_back; }
    QPushButton* NextButton() const { return m_next; }
    QPushButton* FinishButton() const { return m_finish; }
    QPushButton* CancelButton() const { return m_cancel; }

    static const std::vector<std::pair<int, int>>& HelpTable();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void Activate(int index);
    static void FocusFirstControl(QWidget* page);
    bool OnContextHelp(QWidget* control);

    std::vector<CsvWizardPage*> m_pages;
    int m_current = -1;
    QLabel* m_heading;
    QStackedWidget* m_stack;
    QPushButton* m_back;
    QPushButton* m_next;
    QPushButton* m_finish;
    QPushButton* m_cancel;
    QPushButton* m_help;
    DropShadow m_dropShadow{this};
};

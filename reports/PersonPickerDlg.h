#pragma once

#include "data/Records.h"
#include "platform/core/CString.h"
#include "platform/qt/DropShadow.h"

#include <QDialog>

#include <vector>

class CDbDoc;
class QCheckBox;
class QListWidget;
class QPushButton;

// "Persons To Include": picks the persons of the phone book or of the envelopes from the persons
// offered. In envelope mode both business-name check boxes show; in phone-book mode only the one
// for the address.
class CPersonPickerDlg : public QDialog {
public:
    enum : int {
        kIdList = 1054,
        kIdSelectAll = 1056,
        kIdHelp = 1057,
        kIdBusinessInAddress = 1164,
        kIdBusinessInReturn = 1165,
    };

    // offered: ID, names, company and display name of each person; envelopes selects the mode.
    CPersonPickerDlg(CDbDoc& doc, std::vector<CPerson> offered, const CString& caption, bool envelopes,
                     QWidget* parent = nullptr);

    // The list text of a person: "display name (company)", or the display name alone.
    static QString EntryText(const CPerson& person);

    // After OK: the chosen persons read whole from the document, in list order, and the check boxes.
    const std::vector<CPerson>& Chosen() const { return m_chosen; }
    bool BusinessNameInAddress() const { return m_businessInAddress; }
    bool BusinessNameInReturnAddress() const { return m_businessInReturn; }

    void accept() override;

private:
    void OnSelectAll(bool checked);
    void OnListChanged();
    void OnHelp();
    bool OnContextHelp(QWidget* control);

    CDbDoc& m_doc;
    std::vector<CPerson> m_offered;
    std::vector<CPerson> m_chosen;
    bool m_envelopes;
    bool m_businessInAddress = false;
    bool m_businessInReturn = false;
    QListWidget* m_list = nullptr;
    QCheckBox* m_selectAll = nullptr;
    QCheckBox* m_inAddress = nullptr;
    QCheckBox* m_inReturn = nullptr;
    QPushButton* m_ok = nullptr;
    DropShadow m_dropShadow{this};
};

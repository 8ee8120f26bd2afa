#pragma once

#include "data/Records.h"
#include "platform/core/CString.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

// One entry of the person list: what the list shows of a person and the ID it stands for.
using PersonListRow = CPersonListEntry;
using PersonListRows = std::vector<PersonListRow>;

// Takes the listed fields out of the persons a group query returned, in their order.
PersonListRows TakePersonListRows(std::vector<CPerson>& persons);

// The person list's two columns, "Name" and "Company", over rows that may be shared with the other
// telephone-book list. Texts are made only for the rows the list asks for, so a long address book
// costs nothing until it is drawn.
class CPersonListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetRows(std::shared_ptr<const PersonListRows> rows);
    const PersonListRow* Row(int row) const;
    int Count() const { return m_rows ? static_cast<int>(m_rows->size()) : 0; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const PersonListRows> m_rows;
};

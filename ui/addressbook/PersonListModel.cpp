#include "ui/addressbook/PersonListModel.h"

#include "data/Records.h"

PersonListRows TakePersonListRows(std::vector<CPerson>& persons) {
    PersonListRows rows;
    rows.reserve(persons.size());
    for (CPerson& person : persons)
        rows.push_back(
            {std::move(person.m_ID), std::move(person.m_DisplayName), std::move(person.m_Company)});
    return rows;
}

void CPersonListModel::SetRows(std::shared_ptr<const PersonListRows> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

const PersonListRow* CPersonListModel::Row(int row) const {
    if (row < 0 || row >= Count())
        return nullptr;
    return &(*m_rows)[static_cast<size_t>(row)];
}

int CPersonListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

int CPersonListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant CPersonListModel::data(const QModelIndex& index, int role) const {
    const PersonListRow* row = index.isValid() ? Row(index.row()) : nullptr;
    if (!row || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    // The tip repeats the text, so an entry too long for its column can be read whole.
    return QString::fromUtf8(index.column() == 0 ? row->displayName.c_str() : row->company.c_str());
}

QVariant CPersonListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    if (section == 0)
        return QStringLiteral("Name");
    if (section == 1)
        return QStringLiteral("Company");
    return QVariant();
}

#include "shell/listing_model.h"

#include <QDate>
#include <QFontMetrics>
#include <QTime>
#include <algorithm>

namespace tv {
namespace {

struct Column {
    const char* caption;
    int width;
    Qt::Alignment alignment;
};
constexpr Column kColumns[] = {
    {"Filename", 250, Qt::AlignLeft}, {"Size", 50, Qt::AlignRight},   {"Date", 110, Qt::AlignLeft},
    {"Packed", 50, Qt::AlignRight},   {"Folder", 160, Qt::AlignLeft},
};
constexpr int kDateColumn = 2;

}  // namespace

ListingModel::ListingModel(const std::vector<ListingRow>& rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows) {}

void ListingModel::EndReset() {
    iconKeys_.clear();
    iconKeys_.reserve(rows_.size());
    for (const ListingRow& row : rows_) {
        iconKeys_.push_back(GetFileIconKey(row.fileName, ilsIcons16, "DEFAULT"));
    }
    endResetModel();
}

QString ListingModel::ShortDateTime(const EntryDateTime& d, const QLocale& locale) {
    return locale.toString(QDate(d.year, d.month, d.day), QLocale::ShortFormat) + " " +
           locale.toString(QTime(d.hour, d.minute, d.second), QLocale::ShortFormat);
}

int ListingModel::ColumnWidth(int column, const QFontMetrics& metrics) {
    const int width = kColumns[column].width;
    if (column != kDateColumn) {
        return width;
    }
    // 110 pixels cut the date short in many locales and fonts; a wide date (two-digit
    // day, month and hour, afternoon) plus the cell's margins decides instead.
    const EntryDateTime widest{2008, 12, 28, 22, 58, 58};
    return std::max(width, metrics.horizontalAdvance(ShortDateTime(widest)) + 16);
}

int ListingModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(iconKeys_.size());
}

int ListingModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(std::size(kColumns));
}

QVariant ListingModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        static_cast<std::size_t>(index.row()) >= rows_.size()) {
        return {};
    }
    const ListingRow& row = rows_[static_cast<std::size_t>(index.row())];
    const QString& iconKey = iconKeys_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case 0:
                    return QString::fromStdString(row.listedName);
                case 1:
                    return QString::number(row.size);
                case 2:
                    return ShortDateTime(row.date, locale_);
                case 3:
                    return QString::number(row.packed);
                case 4:
                    return QString::fromStdString(row.folder);
            }
            return {};
        case Qt::TextAlignmentRole:
            return static_cast<int>(kColumns[index.column()].alignment | Qt::AlignVCenter);
        case Qt::DecorationRole:
            return index.column() == 0 ? QVariant(ilsIcons16.Image(iconKey)) : QVariant();
        case KeyRole:
            return index.column() == 0 ? QVariant(QString::fromStdString(row.key)) : QVariant();
        case IconKeyRole:
            return index.column() == 0 ? QVariant(iconKey) : QVariant();
    }
    return {};
}

QVariant ListingModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QString(kColumns[section].caption);
    }
    if (role == Qt::TextAlignmentRole) {
        return static_cast<int>(kColumns[section].alignment | Qt::AlignVCenter);
    }
    return {};
}

}  // namespace tv

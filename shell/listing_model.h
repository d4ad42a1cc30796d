#pragma once
// The package listing as a table model in front of lvwZip: five columns over the
// session's listing rows, which it reads in place (no copy, no item per row), so a
// package of ten thousand entries costs one icon key per row and nothing more until
// rows are painted.
//
// The owner brackets every change of the rows with BeginReset and EndReset. Column 0
// also carries the row's key ("File1", ...) and its icon key in KeyRole and IconKeyRole.
#include <QAbstractTableModel>
#include <QLocale>
#include <vector>

#include "shell/file_icons.h"
#include "shell/listing.h"

namespace tv {

class ListingModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int IconKeyRole = Qt::UserRole + 1;

    ListingModel(const std::vector<ListingRow>& rows, QObject* parent = nullptr);

    void BeginReset() {
        beginResetModel();
        iconKeys_.clear();  // no rows until EndReset, whatever the listing holds meanwhile
    }
    // Looks up the icon of every row (adding each new extension's image once).
    void EndReset();

    // The image list behind the rows' small icons; holds "DEFAULT" from the start.
    const ImageList& Icons() const { return ilsIcons16; }

    // The Date column's text: the short date and the short time of the user's locale.
    static QString ShortDateTime(const EntryDateTime& d, const QLocale& locale = QLocale());
    // The design widths of the five columns; Date is widened to hold its longest text.
    static int ColumnWidth(int column, const QFontMetrics& metrics);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const std::vector<ListingRow>& rows_;
    ImageList ilsIcons16;
    std::vector<QString> iconKeys_;
    QLocale locale_;
};

}  // namespace tv

// The package listing: opening a package, its rows and icons, the archive
// component's progress, the recent-file slots, and files dropped on the window.
#include <QDate>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QTime>
#include <QTreeWidget>
#include <QUrl>

#include "platform/strings.h"
#include "shell/app_state.h"
#include "shell/folders.h"
#include "shell/frmUnzip.h"
#include "shell/listing.h"

namespace tv {
namespace {

QString ShortDateTime(const EntryDateTime& d) {
    const QDate date(d.year, d.month, d.day);
    const QTime time(d.hour, d.minute, d.second);
    const QLocale locale;
    return locale.toString(date, QLocale::ShortFormat) + " " +
           locale.toString(time, QLocale::ShortFormat);
}

}  // namespace

void frmUnzip::OpenPackage(const std::string& path) {
    lvwZip->clear();
    RawSourceView = false;
    m_cUnzip.SetZipFile(path);
    m_cUnzip.Directory();
    if (m_cUnzip.FileCount() >= 1) {
        m_MRU.Add(path);
        ShowRecentFiles();
    }
    const PackageListing listing = BuildPackageListing(m_cUnzip);
    MainDocEntry = listing.MainDocEntry;
    SeqListEntry = listing.SeqListEntry;

    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(listing.rows.size()));
    for (const ListingRow& row : listing.rows) {
        const QString iconKey = GetFileIconKey(row.fileName, ilsIcons16, "DEFAULT");
        auto* item = new QTreeWidgetItem;
        item->setData(0, Qt::UserRole, QString::fromStdString(row.key));
        item->setText(0, QString::fromStdString(row.listedName));
        item->setIcon(0, ilsIcons16.Image(iconKey));
        item->setData(0, Qt::UserRole + 1, iconKey);
        item->setText(1, QString::number(row.size));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(2, ShortDateTime(row.date));
        item->setText(3, QString::number(row.packed));
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(4, QString::fromStdString(row.folder));
        items.append(item);
    }
    lvwZip->addTopLevelItems(items);
    lvwZip->clearSelection();
    UpdateCommandStates();
    RenderPackage();
}

void frmUnzip::ShowRecentFiles() {
    const int count = m_MRU.Count();
    for (int i = 1; i <= count && i <= 12; ++i) {
        QAction* slot = mnuFile[static_cast<std::size_t>(5 + i)];
        const QString path = QString::fromStdString(m_MRU.Item(i));
        slot->setVisible(true);
        // "&&" keeps a literal "&" of the path from becoming an access key.
        slot->setText(QString("&%1) %2").arg(i).arg(QString(path).replace("&", "&&")));
        slot->setData(path);
        slot->setCheckable(i == 1);
        if (i == 1) {
            slot->setChecked(m_cUnzip.FileCount() > 0);
        }
    }
}

void frmUnzip::Progress(int /*lCount*/, const std::string& sMsg) {
    sbrPanel1->setText(QString::fromStdString(sMsg));
    // Extraction runs on this thread: paint now so a long extraction shows its steps,
    // but not for every one of thousands of small entries.
    if (!m_ProgressPainted.isValid() || m_ProgressPainted.elapsed() >= ProgressPaintIntervalMs) {
        sbrPanel1->repaint();
        m_ProgressPainted.start();
    }
}

void frmUnzip::Cancel(const std::string& /*sMsg*/, bool& /*bCancel*/) {
    // The window never stops an extraction.
}

namespace {
QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            files.append(url.toLocalFile());
        }
    }
    return files;
}
}  // namespace

void frmUnzip::dragEnterEvent(QDragEnterEvent* event) {
    if (LocalFiles(event->mimeData()).isEmpty() || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void frmUnzip::dragMoveEvent(QDragMoveEvent* event) {
    if (LocalFiles(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void frmUnzip::dropEvent(QDropEvent* event) {
    const QStringList files = LocalFiles(event->mimeData());
    if (files.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // Opening and rendering take a while: let the drag source finish its drop first.
    QMetaObject::invokeMethod(
        this, [this, files] { DropFiles(files); }, Qt::QueuedConnection);
}

void frmUnzip::DropFiles(const QStringList& files) {
    for (const QString& file : files) {
        const std::string path = file.toStdString();
        if (IEquals(ExtensionAfterLastDot(path), "xml")) {
            TransformXmlFile(path, GetAppPath() + kStylesheetRelativePath, GetWorkingFolder());
            lvwZip->clear();
        } else {
            // Unlike the command line, any dropped file is tried as a package.
            OpenPackage(path);
        }
        UpdateCommandStates();
    }
}

}  // namespace tv

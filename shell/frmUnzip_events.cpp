// The window's events and the session's notifications: start-up and close, the
// resize rule, drag and drop, the commands, the listing, the recent-file recent and
// the status bar.
#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeView>
#include <QUrl>
#include <algorithm>

#include "lookup/commands.h"
#include "shell/cmdline.h"
#include "shell/frmUnzip.h"
#include "shell/layout.h"
#include "shell/listing_model.h"

namespace tv {

void frmUnzip::Load() {
    const std::vector<std::string> args = GetCmdLine(10);
    CreateListingColumns();
    // The toolbar's images are bound when it is created.
    session_.Load(args);
    UpdateCommandStates();
}

void frmUnzip::CreateListingColumns() {
    for (int i = 0; i < listingModel_->columnCount(); ++i) {
        lvwZip->setColumnWidth(i, ListingModel::ColumnWidth(i, lvwZip->fontMetrics()));
    }
}

void frmUnzip::ConnectCommands() {
    const std::pair<QPushButton*, LookupCommand> buttons[] = {
        {Command1, LookupCommand::SearchGrantex}, {Command2, LookupCommand::SearchPubex},
        {Command4, LookupCommand::PageImagesIE},  {Command5, LookupCommand::PageImagesChrome},
        {Command6, LookupCommand::Espacenet},     {Command7, LookupCommand::GooglePatents},
    };
    for (const auto& [button, command] : buttons) {
        connect(button, &QPushButton::clicked, this,
                [this, c = command] { session_.RunLookup(c); });
    }
    connect(mnuFile[3], &QAction::triggered, this,
            [this] { session_.RunLookup(LookupCommand::SearchGrantex); });
    connect(mnuFile[4], &QAction::triggered, this,
            [this] { session_.RunLookup(LookupCommand::SearchPubex); });
    connect(Text1, &QLineEdit::textChanged, this,
            [this](const QString& text) { session_.SetSearchText(text.toStdString()); });

    connect(mnuFile[1], &QAction::triggered, this, &frmUnzip::RenderSelection);
    connect(ToolbarRender, &QAction::triggered, this, &frmUnzip::RenderSelection);
    connect(mnuFile[2], &QAction::triggered, this, &frmUnzip::RenderPackage);
    for (int i = 6; i <= 17; ++i) {
        QAction* slot = mnuFile[static_cast<std::size_t>(i)];
        connect(slot, &QAction::triggered, this,
                [this, slot] { session_.OpenRecentFile(slot->data().toString().toStdString()); });
    }
    connect(CopyFile, &QAction::toggled, this,
            [this](bool on) { session_.SetInlineRendering(on); });
    connect(unreferenceDTD, &QAction::toggled, this,
            [this](bool on) { session_.SetRemoveDtdReference(on); });
    connect(lvwZip->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmUnzip::HandSelectionToSession);
}

void frmUnzip::HandSelectionToSession() {
    std::vector<int> entries;
    for (const QModelIndex& index : lvwZip->selectionModel()->selectedRows()) {
        entries.push_back(index.row() + 1);
    }
    std::sort(entries.begin(), entries.end());
    session_.SetSelection(std::move(entries));
}

void frmUnzip::UpdateCommandStates() {
    const bool hasEntries = session_.HasEntries();
    ToolbarRender->setEnabled(hasEntries);
    mnuFile[1]->setEnabled(hasEntries);
    mnuFile[2]->setEnabled(hasEntries);
}

void frmUnzip::ListingAboutToChange() {
    listingModel_->BeginReset();
}

void frmUnzip::ListingChanged() {
    listingModel_->EndReset();
    lvwZip->clearSelection();
    // Shown now: rendering follows the listing and may wait for tools.
    lvwZip->viewport()->repaint();
    UpdateCommandStates();
    // The first slot's check mark follows the loaded package, also when an open failed
    // (and a click on a checkable action flips it behind our back).
    ShowRecentFiles();
}

void frmUnzip::ShowRecentFiles() {
    const std::vector<RecentSlot> recent = session_.RecentSlots();
    // Slots are only ever shown, never hidden again.
    for (std::size_t i = 0; i < recent.size(); ++i) {
        QAction* slot = mnuFile[6 + i];
        slot->setVisible(true);
        slot->setText(QString::fromStdString(recent[i].caption));
        slot->setData(QString::fromStdString(recent[i].path));
        slot->setCheckable(recent[i].checkable);
        slot->setChecked(recent[i].checked);
    }
}

void frmUnzip::Progress(const std::string& sMsg, bool paintNow) {
    sbrPanel1->setText(QString::fromStdString(sMsg));
    if (paintNow) {
        sbrPanel1->repaint();  // extraction holds the event loop: paint now or never
    }
}

void frmUnzip::SearchTextChanged() {
    const QString text = QString::fromStdString(session_.SearchText());
    if (Text1->text() != text) {
        Text1->setText(text);
    }
}

void frmUnzip::SelectionChanged() {
    QItemSelection selection;
    const int lastColumn = listingModel_->columnCount() - 1;
    for (const int entry : session_.Selection()) {
        selection.select(listingModel_->index(entry - 1, 0),
                         listingModel_->index(entry - 1, lastColumn));
    }
    lvwZip->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void frmUnzip::CommandRefused() {
    sbrPanel1->setText("A preparation tool is still running; try again when it has ended.");
}

void frmUnzip::CloseNow() {
    // The command the close waited for has returned; this time the close goes ahead.
    close();
}

void frmUnzip::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    LayoutListing();
}

void frmUnzip::LayoutListing() {
    QWidget* client = centralWidget();
    if (client == nullptr || lvwZip == nullptr) {
        return;
    }
    // The client area holds the central widget and the status bar below it.
    Rect r{lvwZip->x(), lvwZip->y(), 0, 0};
    const int statusHeight = sbrMain->isVisible() ? sbrMain->height() : 0;
    if (ListingGeometry(client->width(), client->height() + statusHeight, statusHeight, r)) {
        lvwZip->setGeometry(r.left, r.top, r.width, r.height);
    }
}

void frmUnzip::closeEvent(QCloseEvent* event) {
    // During a tool wait the command is wound up first and CloseNow closes again. The
    // close is never cancelled; a failed save has told the user already.
    if (!session_.RequestClose()) {
        event->ignore();
        return;
    }
    if (!session_.Unloaded()) {
        session_.QueryUnload();
        session_.Unload();
    }
    event->accept();
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
    std::vector<std::string> paths;
    for (const QString& file : files) {
        paths.push_back(file.toStdString());
    }
    session_.OpenFiles(paths);
}

}  // namespace tv

#include "shell/frmUnzip.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>

#include "shell/app_state.h"
#include "shell/layout.h"
#include "shell/listing_model.h"
#include "shell/tool_pump.h"

namespace tv {
namespace {
constexpr int kListingLeft = 8;
}  // namespace

frmUnzip::frmUnzip(QWidget* parent)
    : QMainWindow(parent),
      tools_(MakeQtToolPump([this] { return session_.Abandoning(); })),
      session_(SessionPorts{launcher_, messages_, nullptr, &tools_}) {
    session_.SetToolTimeOut(ToolTimeOutFromEnvironment());
    setObjectName("frmUnzip");
    setWindowTitle(kAppTitle);
    CreateMenus();
    CreateToolbar();
    CreateControls();
    ConnectCommands();
    ConnectDialogCommands();
    session_.SetObserver(this);
    setAcceptDrops(true);
    resize(820, 560);
}

frmUnzip::~frmUnzip() {
    session_.SetObserver(nullptr);
    // The model reads the session's rows, which go before the window's children do.
    lvwZip->setModel(nullptr);
    delete listingModel_;
}

void frmUnzip::CreateControls() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);

    Label1 = new QLabel(
        "Search Patent/PGPub Number in Grantex/Pubex: "
        "[1--10+million]+/D+/H+/PP+/RE+/[2001+<400,000]",
        client);
    Label1->setObjectName("Label1");
    Label1->setGeometry(kListingLeft, 6, 740, 18);

    Text1 = new QLineEdit(QString::fromStdString(session_.SearchText()), client);
    Text1->setObjectName("Text1");
    Text1->setGeometry(kListingLeft, 28, 160, 24);

    struct ButtonSpec {
        QPushButton** control;
        const char* name;
        const char* caption;
    };
    const ButtonSpec buttons[] = {
        {&Command1, "Command1", "Search Grantex"},
        {&Command2, "Command2", "Search Pubex"},
        {&Command4, "Command4", "Open Grantex/Pubex in IE"},
        {&Command5, "Command5", "Open Gran/Pubex in Chrome"},
        {&Command6, "Command6", "Open Espacenet in Chrome"},
        {&Command7, "Command7", "Open Google Patents in Chrome"},
    };
    // Three buttons a row beside the search box; the listing starts below them.
    int y = 28;
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        if (i > 0 && i % 3 == 0) {
            y += 30;
        }
        int x = kListingLeft + 168;
        for (std::size_t j = i - i % 3; j < i; ++j) {
            x += (*buttons[j].control)->width() + 4;
        }
        auto* button = new QPushButton(buttons[i].caption, client);
        button->setObjectName(buttons[i].name);
        button->setGeometry(x, y, button->sizeHint().width() + 8, 26);
        *buttons[i].control = button;
    }
    CreateListing(client, y + 26 + 10);

    sbrMain = statusBar();
    sbrMain->setObjectName("sbrMain");
    sbrPanel1 = new QLabel(sbrMain);
    sbrPanel1->setObjectName("sbrPanel1");
    sbrMain->addWidget(sbrPanel1, 1);
}

void frmUnzip::CreateListing(QWidget* client, int top) {
    listingModel_ = new ListingModel(session_.Listing(), this);
    lvwZip = new QTreeView(client);
    lvwZip->setObjectName("lvwZip");
    lvwZip->setModel(listingModel_);
    lvwZip->setRootIsDecorated(false);
    lvwZip->setItemsExpandable(false);
    lvwZip->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwZip->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwZip->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwZip->setSortingEnabled(false);  // rows stay in entry order
    lvwZip->setUniformRowHeights(true);
    lvwZip->setGeometry(kListingLeft, top, 600, 300);
    lvwZip->header()->setStretchLastSection(false);
}

void frmUnzip::CreateMenus() {
    struct Item {
        const char* caption;
        QKeySequence shortcut;
        bool enabled;
    };
    mnuFileTOP = menuBar()->addMenu("&File");
    mnuFileTOP->setObjectName("mnuFileTOP");
    const Item fileItems[] = {
        {"&Open...", QKeySequence("Ctrl+O"), true},
        {"&Render", QKeySequence("Ctrl+R"), false},
        {"&View Raw XML Source...", QKeySequence("F5"), false},
        {"Search &Grantex", QKeySequence("F7"), true},
        {"Search &Pubex", QKeySequence("F8"), true},
    };
    for (int i = 0; i < 20; ++i) {
        QAction* action = nullptr;
        if (i < 5) {
            action = mnuFileTOP->addAction(fileItems[i].caption);
            action->setShortcut(fileItems[i].shortcut);
            action->setEnabled(fileItems[i].enabled);
        } else if (i == 5 || i == 18) {
            action = mnuFileTOP->addSeparator();
        } else if (i == 19) {
            action = mnuFileTOP->addAction("E&xit");
            connect(action, &QAction::triggered, this, &QWidget::close);
        } else {
            action = mnuFileTOP->addAction(QString());
            action->setVisible(false);  // recent-file slot, shown as the list fills
        }
        action->setObjectName(QString("mnuFile%1").arg(i));
        action->setProperty("index", i);
        mnuFile[static_cast<std::size_t>(i)] = action;
    }

    mnuOptionTOP = menuBar()->addMenu("&Option");
    mnuOptionTOP->setObjectName("mnuOptionTOP");
    Preferences = mnuOptionTOP->addAction("&Preferences");
    Preferences->setObjectName("Preferences");
    Preferences->setProperty("index", 20);
    Navigation = mnuOptionTOP->addAction("Render XML with &Navigation");
    Navigation->setObjectName("Navigation");
    Navigation->setProperty("index", 21);
    CopyFile = mnuOptionTOP->addAction("XML &Inline Rendering");
    CopyFile->setObjectName("CopyFile");
    CopyFile->setCheckable(true);
    unreferenceDTD = mnuOptionTOP->addAction("&Remove Sable DTD reference");
    unreferenceDTD->setObjectName("unreferenceDTD");
    unreferenceDTD->setCheckable(true);

    mnuHelpTOP = menuBar()->addMenu("&Help");
    mnuHelpTOP->setObjectName("mnuHelpTOP");
    menuhelpcontents = mnuHelpTOP->addAction("&Table of Contents");
    menuhelpcontents->setObjectName("menuhelpcontents");
    menuhelpcontents->setShortcut(QKeySequence("F1"));
    mnuHelp0 = mnuHelpTOP->addAction("&About...");
    mnuHelp0->setObjectName("mnuHelp0");
    mnuHelp0->setProperty("index", 0);
}

void frmUnzip::CreateToolbar() {
    Toolbar1 = addToolBar("Toolbar1");
    Toolbar1->setObjectName("Toolbar1");
    Toolbar1->setMovable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // ImageList1: the toolbar's two images.
    const QIcon ImageList1[] = {style()->standardIcon(QStyle::SP_DialogOpenButton),
                                style()->standardIcon(QStyle::SP_MediaPlay)};
    ToolbarOpen = Toolbar1->addAction(ImageList1[0], "Open");
    ToolbarOpen->setObjectName("Toolbar1_Open");
    ToolbarOpen->setToolTip("Open Patent FIles");
    ToolbarOpen->setProperty("index", 1);
    ToolbarRender = Toolbar1->addAction(ImageList1[1], "Render");
    ToolbarRender->setObjectName("Toolbar1_Render");
    ToolbarRender->setToolTip("Render in Internet Explorer");
    ToolbarRender->setProperty("index", 2);
    ToolbarRender->setEnabled(false);
}

}  // namespace tv

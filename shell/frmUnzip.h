#pragma once
// The main window: widgets only. It holds one package session (shell/package_session.h)
// for the run, turns widget events into calls of it and redraws what the session
// reports as changed. The operations the rest of the program knows by name (Load,
// OpenPackage, the settings by identifier, ...) forward to the session.
//
// Every control carries its name as objectName ("lvwZip", "Text1", "Command1",
// "mnuFile6", "Toolbar1", ...), so tests and tools find it with findChild.
//
// frmUnzip.cpp builds the controls; frmUnzip_events.cpp handles the window's events,
// the session's notifications and the forwarders; frmUnzip_commands.cpp the menu and
// toolbar commands that open dialogs and windows.
#include <QMainWindow>
#include <array>
#include <string>

#include "render/tools.h"
#include "settings/settings_table.h"
#include "shell/package_session.h"
#include "shell/session_ports.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolBar;
class QTreeView;

namespace tv {

class ListingModel;

class frmUnzip : public QMainWindow, private SessionObserver {
    Q_OBJECT
  public:
    explicit frmUnzip(QWidget* parent = nullptr);
    ~frmUnzip() override;

    // The load event: start-up steps in their fixed order. Call once.
    void Load();

    PackageSession& Session() { return session_; }
    std::string GetAppPath() const { return session_.GetAppPath(); }
    std::string GetAppDataPath() const { return session_.GetAppDataPath(); }

    // Enables Render (toolbar and menu) and View Raw XML Source exactly when the
    // session's listing holds an entry.
    void UpdateCommandStates();

    void OpenPackage(const std::string& path) { session_.OpenPackage(path); }
    void TransformXmlFile(const std::string& xmlPath, const std::string& stylesheetPath,
                          const std::string& outputFolder) {
        session_.TransformXmlFile(xmlPath, stylesheetPath, outputFolder);
    }
    void RenderPackage() { session_.RenderPackage(); }
    void RenderSelection() { session_.RenderSelection(); }

    // "&Open...": the open dialog, then each chosen file in the dialog's order. A
    // cancelled dialog opens nothing.
    void ChooseAndOpenFiles();
    // The open dialog's first folder (see PackageSession::GetLastFolder).
    std::string GetLastFolder() const { return session_.GetLastFolder(); }

    // Fills the File menu's recent-file slots from the session's recent-files list.
    void ShowRecentFiles();
    // Opens dropped files in order (see PackageSession::OpenFiles).
    void DropFiles(const QStringList& files);

    bool LoadPathSettings() { return session_.LoadPathSettings(); }
    bool LoadOptionSettings() { return session_.LoadOptionSettings(); }
    bool SaveSettings() { return session_.SaveSettings(); }
    // Settings by identifier (see PackageSession::Set: stores, then saves everything).
    SettingValue Get(SettingId id) const { return session_.Get(id); }
    bool Set(SettingId id, const SettingValue& value) { return session_.Set(id, value); }
    // The window's setters by name, as the rest of the program knows them.
    void setNavigationOption(int16_t inti) { Set(SettingId::NavigationOption, inti); }
    void SetIE11Path(const std::string& txt) { Set(SettingId::IE11Path, txt); }
    void SetChromePath(const std::string& txt) { Set(SettingId::ChromePath, txt); }
    void SetEspacenetUrl(const std::string& txt) { Set(SettingId::EspacenetUrl, txt); }
    void SetGrantexUrl(const std::string& txt) { Set(SettingId::GrantexUrl, txt); }
    void SetPubexUrl(const std::string& txt) { Set(SettingId::PubexUrl, txt); }
    void SetGooglePatentsUrl(const std::string& txt) { Set(SettingId::GooglePatentsUrl, txt); }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateControls();
    void CreateListing(QWidget* client, int top);
    void CreateMenus();
    void CreateToolbar();
    void CreateListingColumns();
    void ConnectCommands();
    void ConnectDialogCommands();
    void ShowPreferences();
    void ShowNavigationOptions();
    void ShowHelp();
    void LayoutListing();
    void HandSelectionToSession();

    // Session notifications.
    void ListingAboutToChange() override;
    void ListingChanged() override;
    void RecentFilesChanged() override { ShowRecentFiles(); }
    void Progress(const std::string& sMsg, bool paintNow) override;
    void SearchTextChanged() override;
    void SelectionChanged() override;
    void CommandRefused() override;
    void CloseNow() override;

    // Declared before the session, which keeps references to them. Tools are waited
    // for with the window's events pumped (shell/tool_pump.h).
    BrowserLauncher launcher_;
    MessageBoxSink messages_;
    render::ProcessToolRunner tools_;
    PackageSession session_;
    ListingModel* listingModel_ = nullptr;

    // Controls, named as the program's documentation names them.
    QTreeView* lvwZip = nullptr;
    QStatusBar* sbrMain = nullptr;
    QLabel* sbrPanel1 = nullptr;  // the status bar's first panel
    QToolBar* Toolbar1 = nullptr;
    QAction* ToolbarOpen = nullptr;    // button 1, "Open"
    QAction* ToolbarRender = nullptr;  // button 2, "Render"
    QLineEdit* Text1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
    QMenu* mnuFileTOP = nullptr;
    QMenu* mnuOptionTOP = nullptr;
    QMenu* mnuHelpTOP = nullptr;
    std::array<QAction*, 20> mnuFile{};  // 5 and 18 separators, 6..17 recent slots
    QAction* Preferences = nullptr;
    QAction* Navigation = nullptr;
    QAction* CopyFile = nullptr;
    QAction* unreferenceDTD = nullptr;
    QAction* menuhelpcontents = nullptr;
    QAction* mnuHelp0 = nullptr;  // "&About..."
};

}  // namespace tv

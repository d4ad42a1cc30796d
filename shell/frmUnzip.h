#pragma once
// The main window: the hub that owns the archive component, the recent-files list
// and the settings for the run. It turns widget events into calls of the plain C++
// layers and their results into widgets; the decisions live in those layers.
//
// Its operations are spread over files by concern: frmUnzip.cpp (controls, layout),
// frmUnzip_life.cpp (start-up, command line, shutdown), frmUnzip_listing.cpp (the
// package listing, drag and drop, recent-file slots), frmUnzip_settings.cpp (loads,
// saves, setters) and frmUnzip_lookup.cpp (the lookup buttons).
//
// The settings members (m_IE11Path, ...) come from SettingsMembers.
#include <QElapsedTimer>
#include <QMainWindow>
#include <array>
#include <string>

#include "archive/cUnzip.h"
#include "settings/cMRU.h"
#include "settings/settings_store.h"
#include "shell/file_icons.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolBar;
class QTreeWidget;

namespace tv {

enum class LookupCommand;

class frmUnzip : public QMainWindow, public SettingsMembers, private cUnzipEvents {
    Q_OBJECT
  public:
    explicit frmUnzip(QWidget* parent = nullptr);
    ~frmUnzip() override;

    // The load event: start-up steps in their fixed order. Call once.
    void Load();

    std::string GetAppPath() const { return m_AppPath; }
    std::string GetAppDataPath() const { return m_AppDataPath; }

    // Enables Render (toolbar and menu) and View Raw XML Source exactly when the
    // listing holds an entry.
    void UpdateCommandStates();

    // Lists a package and renders it.
    void OpenPackage(const std::string& path);
    // Shows a loose XML file (a table file is transformed first).
    void TransformXmlFile(const std::string& xmlPath, const std::string& stylesheetPath,
                          const std::string& outputFolder);
    void RenderPackage();

    // Fills the File menu's recent-file slots from the recent-files list.
    void ShowRecentFiles();
    // Handles dropped files in order: XML files are shown, anything else is opened
    // as a package.
    void DropFiles(const QStringList& files);

    // Settings: both loads read the product key; a save that fails tells the user.
    bool LoadPathSettings();
    bool LoadOptionSettings();
    // Writes every setting; false (after one message naming the hive) when it failed.
    bool SaveSettings();
    void setNavigationOption(int16_t inti);
    void SetIE11Path(const std::string& txt);
    void SetChromePath(const std::string& txt);
    void SetEspacenetUrl(const std::string& txt);
    void SetGrantexUrl(const std::string& txt);
    void SetPubexUrl(const std::string& txt);
    void SetGooglePatentsUrl(const std::string& txt);

    // Package state written by the listing and read by rendering.
    int MainDocEntry = 0;
    int SeqListEntry = 0;
    bool RawSourceView = false;

    // The status bar is repainted during extraction at most this often.
    int ProgressPaintIntervalMs = 40;

    cUnzip m_cUnzip;
    cMRU m_MRU;
    ImageList ilsIcons16;

    // Controls, named as the program's documentation names them.
    QTreeWidget* lvwZip = nullptr;
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

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateControls();
    void CreateMenus();
    void CreateToolbar();
    void CreateListingColumns();
    void LayoutListing();
    void DispatchArgument(const std::string& argument);
    void ClearListing();
    void QueryUnload();
    void Unload();
    void ConnectLookupCommands();
    void RunLookup(LookupCommand command);

    // Archive component events.
    void Progress(int lCount, const std::string& sMsg) override;
    void Cancel(const std::string& sMsg, bool& bCancel) override;

    QElapsedTimer m_ProgressPainted;
    std::string m_AppPath;
    std::string m_AppDataPath;
    bool m_Unloaded = false;
};

}  // namespace tv

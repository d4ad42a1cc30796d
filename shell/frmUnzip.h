#pragma once
// The main window: the hub that owns the archive component, the recent-files list
// and the settings for the run. It turns widget events into calls of the plain C++
// layers and their results into widgets; the decisions live in those layers.
//
// Its operations are spread over files by concern: frmUnzip.cpp (controls, layout),
// frmUnzip_life.cpp (start-up, command line, shutdown).
#include <QMainWindow>
#include <array>
#include <string>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolBar;
class QTreeWidget;

namespace tv {

class frmUnzip : public QMainWindow {
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

    // Settings (frmUnzip_settings.cpp).
    bool LoadPathSettings();
    bool LoadOptionSettings();
    void SaveSettingsAtClose();
    int NavigationOption() const;

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

    std::string m_AppPath;
    std::string m_AppDataPath;
    bool m_Unloaded = false;
};

}  // namespace tv

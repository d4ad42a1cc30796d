// The window's life: start-up in its fixed order, command-line dispatch, and what
// happens at close (settings saved) and unload (working folder cleaned).
#include <QCloseEvent>
#include <QTreeWidget>

#include "platform/environment.h"
#include "platform/message_box.h"
#include "shell/app_state.h"
#include "shell/cmdline.h"
#include "shell/folders.h"
#include "shell/frmUnzip.h"

namespace tv {

void frmUnzip::Load() {
    const std::vector<std::string> args = GetCmdLine(10);
    CreateListingColumns();
    // The toolbar's images are bound when it is created.
    const bool productKeyFound = LoadPathSettings();
    if (!productKeyFound) {
        MsgBox("Fatal Error: Could not find Internet Explorer.", kOkOnly, kAppTitle);
    }
    if (m_Unloaded) {
        return;  // closed while the message was up
    }
    Process().PrizmInstalled = FolderExists(kPrizmViewerFolder);
    LoadOptionSettings();
    Process().CatalogFileName = ChooseCatalogFileName(m_NavigationOption, Process().PrizmInstalled);
    for (std::size_t i = 1; i < args.size() && !m_Unloaded; ++i) {
        DispatchArgument(args[i]);
    }
    UpdateCommandStates();
}

void frmUnzip::DispatchArgument(const std::string& argument) {
    switch (ClassifyArgument(argument)) {
        case ArgumentKind::XmlFile:
            TransformXmlFile(argument, GetAppPath() + kStylesheetRelativePath, GetWorkingFolder());
            ClearListing();
            break;
        case ArgumentKind::Package:
            OpenPackage(argument);
            break;
        case ArgumentKind::Ignored:
            break;
    }
}

void frmUnzip::closeEvent(QCloseEvent* event) {
    if (!m_Unloaded) {
        QueryUnload();
        Unload();
    }
    event->accept();
}

// The close is never cancelled; a failed save has told the user already.
void frmUnzip::QueryUnload() {
    SaveSettings();
}

void frmUnzip::Unload() {
    m_Unloaded = true;
    RemoveDir(GetWorkingFolder());
}

}  // namespace tv

// The commands that open a dialog or a window: the open dialog ("&Open..." and the
// toolbar's Open button), the two settings dialogs, the help window and the about box.
#include <QAction>
#include <QPointer>

#include "dialogs/cCommonDialog.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "settings/ui/frmNavigationOptions.h"
#include "settings/ui/frmPreferences.h"
#include "shell/app_state.h"
#include "shell/frmAbout.h"
#include "shell/frmUnzip.h"
#include "shell/help_window.h"

namespace tv {

namespace {
constexpr const char* kOpenTitle = "Choose Patent Zipped or XML FIles";
constexpr const char* kOpenFilter =
    "Zipped Patent Files (*.zip)|*.ZIP|XML Files (*.xml)|*.xml|All Files (*.*)|*.*";
}  // namespace

void frmUnzip::ConnectDialogCommands() {
    connect(mnuFile[0], &QAction::triggered, this, &frmUnzip::ChooseAndOpenFiles);
    connect(ToolbarOpen, &QAction::triggered, this, &frmUnzip::ChooseAndOpenFiles);
    connect(Preferences, &QAction::triggered, this, &frmUnzip::ShowPreferences);
    connect(Navigation, &QAction::triggered, this, &frmUnzip::ShowNavigationOptions);
    connect(menuhelpcontents, &QAction::triggered, this, &frmUnzip::ShowHelp);
    connect(mnuHelp0, &QAction::triggered, this, [this] { frmAbout::ShowModal(this); });
}

void frmUnzip::ChooseAndOpenFiles() {
    if (session_.Busy()) {  // nothing opens while a tool runs; don't ask for files then
        CommandRefused();
        return;
    }
    std::string folder;
    std::vector<std::string> names;
    std::int32_t count = 0;
    {
        cCommonDialog dialog;
        dialog.SetDialogTitle(kOpenTitle);
        dialog.SetHwnd(this);
        // Multiple selection alone: the dialog offers only existing files to choose from.
        dialog.SetFlags(OFN_ALLOWMULTISELECT);
        dialog.SetInitDir(session_.GetLastFolder());
        dialog.SetFilter(kOpenFilter);
        dialog.SetFilterIndex(1);
        try {
            dialog.ShowOpen();
        } catch (const AppError& e) {
            // A dialog that could not be shown must not end the program from a menu click.
            MsgBox(e.Description(), kExclamation, kAppTitle);
            return;
        }
        dialog.ParseMultiFileName(folder, names, count);
    }
    session_.OpenChosenFiles(folder, names);
    UpdateCommandStates();
}

// The dialogs get the window as their parent (centred on it, never lost behind it).
void frmUnzip::ShowPreferences() {
    frmPreferences::ShowModal(session_, this);
}

void frmUnzip::ShowNavigationOptions() {
    frmNavigationOptions::ShowModal(session_, this);
}

void frmUnzip::ShowHelp() {
    QPointer<HelpWindow> help = ShowHelpContents(GetAppPath());
    // The help is the window's: it must neither keep the program running after the
    // window closed nor outlive it.
    help->setAttribute(Qt::WA_QuitOnClose, false);
    connect(this, &QObject::destroyed, help, [help] { delete help.data(); });
}

}  // namespace tv

// The lookup buttons and the two search items of the File menu.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include "lookup/commands.h"
#include "render/launch.h"
#include "shell/frmUnzip.h"

namespace tv {

void frmUnzip::ConnectLookupCommands() {
    const std::pair<QPushButton*, LookupCommand> buttons[] = {
        {Command1, LookupCommand::SearchGrantex}, {Command2, LookupCommand::SearchPubex},
        {Command4, LookupCommand::PageImagesIE},  {Command5, LookupCommand::PageImagesChrome},
        {Command6, LookupCommand::Espacenet},     {Command7, LookupCommand::GooglePatents},
    };
    for (const auto& [button, command] : buttons) {
        connect(button, &QPushButton::clicked, this, [this, c = command] { RunLookup(c); });
    }
    connect(mnuFile[3], &QAction::triggered, this,
            [this] { RunLookup(LookupCommand::SearchGrantex); });
    connect(mnuFile[4], &QAction::triggered, this,
            [this] { RunLookup(LookupCommand::SearchPubex); });
}

void frmUnzip::RunLookup(LookupCommand command) {
    const LookupSettings settings{m_IE11Path, m_ChromePath,   m_GrantexUrl,
                                  m_PubexUrl, m_EspacenetUrl, m_GooglePatentsUrl};
    const LaunchRequest request =
        BuildLookupRequest(command, Text1->text().toStdString(), settings);
    LaunchInBrowser(request.program, request.target, request.workingDirectory);
}

}  // namespace tv

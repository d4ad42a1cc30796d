// Settings glue: the window's members are filled by the loads and written by every
// save; the archive component's two options travel through ArchiveOptions.
#include "platform/error.h"
#include "platform/message_box.h"
#include "shell/app_state.h"
#include "shell/frmUnzip.h"

namespace tv {

bool frmUnzip::LoadPathSettings() {
    return tv::LoadPathSettings(HKEY_CURRENT_USER_ROOT, *this, m_AppPath, m_AppDataPath);
}

bool frmUnzip::LoadOptionSettings() {
    ArchiveOptions options{m_cUnzip.UseFolderNames(), m_cUnzip.PromptToOverwrite()};
    const bool found = tv::LoadOptionSettings(HKEY_CURRENT_USER_ROOT, *this, options, m_MRU);
    m_cUnzip.SetUseFolderNames(options.useFolderNames);
    m_cUnzip.SetPromptToOverwrite(options.promptToOverwrite);
    if (found) {
        ShowRecentFiles();
    }
    return found;
}

bool frmUnzip::SaveSettings() {
    const ArchiveOptions options{m_cUnzip.UseFolderNames(), m_cUnzip.PromptToOverwrite()};
    try {
        tv::SaveSettings(HKEY_CURRENT_USER_ROOT, *this, options, m_MRU);
        return true;
    } catch (const AppError& e) {
        // Losing the user's settings without a word is worse than one message.
        MsgBox(SaveFailureMessage(e), kExclamation, kAppTitle);
        return false;
    }
}

void frmUnzip::setNavigationOption(int16_t inti) {
    m_NavigationOption = inti;
    SaveSettings();
}

void frmUnzip::SetIE11Path(const std::string& txt) {
    m_IE11Path = txt;
    SaveSettings();
}

void frmUnzip::SetChromePath(const std::string& txt) {
    m_ChromePath = txt;
    SaveSettings();
}

void frmUnzip::SetEspacenetUrl(const std::string& txt) {
    m_EspacenetUrl = txt;
    SaveSettings();
}

void frmUnzip::SetGrantexUrl(const std::string& txt) {
    m_GrantexUrl = txt;
    SaveSettings();
}

void frmUnzip::SetPubexUrl(const std::string& txt) {
    m_PubexUrl = txt;
    SaveSettings();
}

void frmUnzip::SetGooglePatentsUrl(const std::string& txt) {
    m_GooglePatentsUrl = txt;
    SaveSettings();
}

// Rendering and the transformation of loose XML files join these calls with the
// rendering layer; until then a listed package is only listed.
void frmUnzip::TransformXmlFile(const std::string&, const std::string&, const std::string&) {}
void frmUnzip::RenderPackage() {}

}  // namespace tv

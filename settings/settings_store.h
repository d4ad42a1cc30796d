#pragma once
// The settings store: loads and saves every persistent setting of the viewer under
// the product key "SOFTWARE\Norvane\Tessel Viewer" (recent files in its subkey
// "FileOpenMRU") through cRegistry. The table of settings (settings/settings_table.h)
// names every registry value; nothing else does.
//
// Promises:
//  - Loads never raise: a value that is missing or cannot be converted leaves its
//    member as it was.
//  - SaveSettings writes every setting in a fixed order and creates the keys. A key
//    that cannot be created ends the save with error 26001 (values written before it
//    stay written). A single value the hive refuses does not stop the save, but the
//    save ends with error 26002 naming the first refused value; both errors are
//    RegistryError and name the hive file and the reason (SaveFailureMessage). A hive
//    that another program keeps locked fails the save after one wait of 3 seconds.
//  - AppPath and AppDataPath are only read; WriteInstallationValues is the set-up
//    step that writes them (and the suggested values), never over a user's choice.
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/error.h"
#include "settings/cMRU.h"

namespace tv {

enum class SettingId;  // settings/settings_table.h

// A setting's value in memory: text for the paths and addresses, a number for the
// options; monostate for a setting that is not held here (the two folders, the archive
// options and the recent-files list have owners of their own).
using SettingValue = std::variant<std::monostate, std::string, std::int16_t>;

// The window's settings members (the main window inherits them).
struct SettingsMembers {
    std::string m_IE11Path, m_ChromePath, m_VantorDavUrl, m_EspacenetUrl, m_GrantexUrl, m_PubexUrl,
        m_GooglePatentsUrl;
    std::int16_t m_SpecificationRenderOption = 0, m_NavigationOption = 0, m_ZornRenderOption = 0;

    // The member that holds setting id, found through the table of settings.
    SettingValue Value(SettingId id) const;
    // Stores value in that member; false (nothing stored) for a setting not held here
    // or a value of the other kind.
    bool Store(SettingId id, const SettingValue& value);
};

// The text or number in value; empty or 0 when it holds the other kind or nothing.
std::string TextOf(const SettingValue& value);
std::int16_t NumberOf(const SettingValue& value);

// What the preferences and navigation dialogs need of the main window: the current
// values and one setter. Set stores the value, saves every setting at once and answers
// false when the save failed (the target has then told the user: "Your settings could
// not be saved to ...") or the value does not fit the setting.
class SettingsTarget {
  public:
    virtual ~SettingsTarget() = default;
    virtual SettingValue Get(SettingId id) const = 0;
    virtual bool Set(SettingId id, const SettingValue& value) = 0;
    // The application folder (ending with the separator; empty when unknown): the
    // document opener suggested for the Internet Explorer role lives there.
    virtual std::string GetAppPath() const = 0;
};

// The archive component's two persisted options.
struct ArchiveOptions {
    bool useFolderNames = false;
    bool promptToOverwrite = false;
};

inline constexpr std::int32_t HKEY_CURRENT_USER_ROOT = static_cast<std::int32_t>(0x80000001);

// True when the product key exists; then fills the members and the two folders.
bool LoadPathSettings(std::int32_t root, SettingsMembers& members, std::string& appPath,
                      std::string& appDataPath);

// True when the recent-files key exists. Reads the members and the archive options
// (left untouched when the product key is missing), then the recent-files list.
bool LoadOptionSettings(std::int32_t root, SettingsMembers& members, ArchiveOptions& options,
                        cMRU& mru);

// Writes everything; raises RegistryError 26001 or 26002 (see above).
void SaveSettings(std::int32_t root, const SettingsMembers& members, const ArchiveOptions& options,
                  const cMRU& mru);

// What the user is told when a save failed: "Your settings could not be saved to
// <hive file>: <reason>."
std::string SaveFailureMessage(const AppError& error);

// The values the preferences dialog's "Default" button offers (the six text
// settings that have one; everything else as initialised).
SettingsMembers SuggestedSettings();

// What the installation's set-up step writes. An empty browser path takes the
// settings table's suggestion.
struct InstallationValues {
    std::string appPath, appDataPath, ie11Path, chromePath;
};
using WrittenValues = std::vector<std::pair<std::string, std::string>>;

// The installation's set-up step for the current user: writes AppPath, AppDataPath, the
// two browsers and the suggested service values into the product key, each only when
// the value is missing or empty (a user's real choice is never empty). Returns the
// names and values it wrote, in table order; or, when a value could not be written,
// the save's number and SaveFailureMessage's text.
Result<WrittenValues> WriteInstallationValues(const InstallationValues& values);

// An installation's application folder under PREFIX (ending with the separator) and
// its data folder; the installed layout.
std::string InstalledAppFolder(const std::string& prefix);
std::string InstalledDataFolder(const std::string& prefix);

// The values of an installation with these folders: the document opener in the
// application folder as the first browser and Chromium, when the desktop has it, as
// the second.
InstallationValues InstallationValuesFor(const std::string& appPath,
                                         const std::string& appDataPath);

// The set-up step run by the viewer itself, so that a user who installed the package
// and opens a file from the file manager needs no set-up of their own: when the program
// folder PREFIX/bin/ lies in an installation (PREFIX/lib/tessel-viewer/tessel-open is an
// executable file), writes that installation's values as WriteInstallationValues does
// (never replacing a value the user has). Returns whether it wrote anything; a failed
// save writes nothing and leaves the usual start-up message to say what is missing.
bool SetUpInstallationOf(const std::string& programFolder);

}  // namespace tv

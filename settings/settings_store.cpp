#include "settings/settings_store.h"

#include <filesystem>

#include "platform/registry/registry.h"
#include "settings/cRegistry.h"
#include "settings/settings_table.h"

namespace tv {

namespace {

using enum SettingId;

constexpr std::int32_t kReadAsText = 1;

bool IsBytes(const RegVariant& v) {
    return std::holds_alternative<std::vector<std::uint8_t>>(v);
}

// The loads skip whatever fails: the target keeps its value.
void ReadText(cRegistry& r, SettingId id, std::string& out) {
    r.ValueKey(SettingName(id));
    if (const Result<RegVariant> v = r.Read(); v && !IsBytes(*v)) {
        out = RegVariantText(*v);
    }
}

void ReadNumber(cRegistry& r, SettingId id, std::int16_t& out) {
    r.ValueKey(SettingName(id));
    if (const Result<RegVariant> v = r.Read()) {
        if (const Result<std::int16_t> n = RegVariantToInt16(*v)) {
            out = *n;
        }
    }
}

void ReadFlag(cRegistry& r, SettingId id, bool& out) {
    r.ValueKey(SettingName(id));
    if (const Result<RegVariant> v = r.Read()) {
        if (const Result<std::int32_t> n = RegVariantToInt32(*v)) {
            out = *n != 0;
        }
    }
}

void Write(cRegistry& r, SettingId id, const RegVariant& value) {
    r.ValueType(GetSetting(id).writtenType);
    r.ValueKey(SettingName(id));
    r.Value(value);
}

// Raises 26002 for the first value the hive refused.
void ThrowOnRefusedWrite(const cRegistry& r) {
    const cRegistry::WriteFailure& f = r.FirstWriteFailure();
    if (f.status == 0) {
        return;
    }
    throw RegistryError(kErrRegistryWriteFailed,
                        "Failed to write registry value '" + f.valueName + "' in '" + f.section +
                            "' to " + f.hivePath + ": " + f.reason,
                        f.hivePath, f.reason);
}

}  // namespace

SettingValue SettingsMembers::Value(SettingId id) const {
    const Setting& s = GetSetting(id);
    if (s.text != nullptr) {
        return this->*s.text;
    }
    if (s.number != nullptr) {
        return this->*s.number;
    }
    return {};
}

bool SettingsMembers::Store(SettingId id, const SettingValue& value) {
    const Setting& s = GetSetting(id);
    if (const auto* text = std::get_if<std::string>(&value); text != nullptr && s.text != nullptr) {
        this->*s.text = *text;
        return true;
    }
    if (const auto* number = std::get_if<std::int16_t>(&value);
        number != nullptr && s.number != nullptr) {
        this->*s.number = *number;
        return true;
    }
    return false;
}

std::string TextOf(const SettingValue& value) {
    const auto* text = std::get_if<std::string>(&value);
    return text != nullptr ? *text : std::string();
}

std::int16_t NumberOf(const SettingValue& value) {
    const auto* number = std::get_if<std::int16_t>(&value);
    return number != nullptr ? *number : std::int16_t{0};
}

bool LoadPathSettings(std::int32_t root, SettingsMembers& members, std::string& appPath,
                      std::string& appDataPath) {
    cRegistry r;
    r.ClassKey(root);
    r.SectionKey(SettingKeyPath(SettingKey::Product));
    if (!r.KeyExists()) {
        return false;
    }
    r.ValueType(kReadAsText);
    ReadText(r, AppPath, appPath);
    ReadText(r, AppDataPath, appDataPath);
    for (const Setting& s : SettingsTable()) {
        if (s.text != nullptr) {
            ReadText(r, s.id, members.*s.text);
        }
    }
    return true;
}

bool LoadOptionSettings(std::int32_t root, SettingsMembers& members, ArchiveOptions& options,
                        cMRU& mru) {
    cRegistry r;
    r.ClassKey(root);
    r.SectionKey(SettingKeyPath(SettingKey::Product));
    if (!r.KeyExists()) {
        return false;
    }
    r.ValueType(kReadAsText);
    ReadNumber(r, SpecificationRenderOption, members.*GetSetting(SpecificationRenderOption).number);
    for (const Setting& s : SettingsTable()) {
        if (s.text != nullptr) {
            r.ValueType(kReadAsText);
            ReadText(r, s.id, members.*s.text);
        }
    }
    for (SettingId id : {NavigationOption, ZornRenderOption}) {
        r.ValueType(kReadAsText);
        ReadNumber(r, id, members.*GetSetting(id).number);
    }

    r.ValueType(GetSetting(UseFolderNames).writtenType);
    ReadFlag(r, UseFolderNames, options.*GetSetting(UseFolderNames).flag);
    ReadFlag(r, OverwritePrompt, options.*GetSetting(OverwritePrompt).flag);

    r.SectionKey(SettingKeyPath(SettingKey::RecentFiles));
    if (!r.KeyExists()) {
        return false;
    }
    try {
        mru.DeSerialise(r);
    } catch (const AppError&) {
        // A damaged list leaves the list as it was; the load goes on.
    }
    return true;
}

void SaveSettings(std::int32_t root, const SettingsMembers& members, const ArchiveOptions& options,
                  const cMRU& mru) {
    cRegistry r;
    r.ClassKey(root);
    r.SectionKey(SettingKeyPath(SettingKey::Product));
    for (SettingId id : {SpecificationRenderOption, NavigationOption, ZornRenderOption}) {
        Write(r, id, members.*GetSetting(id).number);
    }
    for (const Setting& s : SettingsTable()) {
        if (s.text != nullptr) {
            Write(r, s.id, members.*s.text);
        }
    }
    r.SectionKey(SettingKeyPath(SettingKey::RecentFiles));
    mru.Serialise(r);
    r.SectionKey(SettingKeyPath(SettingKey::Product));
    for (SettingId id : {UseFolderNames, OverwritePrompt}) {
        Write(r, id, std::int32_t{options.*GetSetting(id).flag ? 1 : 0});
    }
    ThrowOnRefusedWrite(r);
}

std::string SaveFailureMessage(const AppError& error) {
    std::string path;
    std::string reason;
    if (const auto* e = dynamic_cast<const RegistryError*>(&error)) {
        path = e->HivePath();
        reason = e->Reason();
    }
    if (path.empty()) {
        path = reg::HivePath();
    }
    if (reason.empty()) {
        reason = error.Description();
    }
    std::string message = "Your settings could not be saved to " + path + ": " + reason;
    if (message.back() != '.') {
        message += '.';
    }
    return message;
}

SettingsMembers SuggestedSettings() {
    SettingsMembers members;
    for (const Setting& s : SettingsTable()) {
        if (s.text != nullptr && s.suggested != nullptr) {
            members.*s.text = s.suggested;
        }
    }
    return members;
}

namespace {

// The registry class raises on a write it cannot make, as saving expects.
WrittenValues WriteInstallationValuesOrRaise(const InstallationValues& values) {
    cRegistry r;
    r.ClassKey(HKEY_CURRENT_USER_ROOT);
    r.SectionKey(SettingKeyPath(SettingKey::Product));
    WrittenValues written;
    // Missing, or empty as a first save leaves it: a user's real choice is never empty.
    auto writeIfUnset = [&r, &written](SettingId id, const std::string& value) {
        r.ValueKey(SettingName(id));
        const Result<RegVariant> current = r.Read();
        const bool unset = current && (std::holds_alternative<std::monostate>(*current) ||
                                       (std::holds_alternative<std::string>(*current) &&
                                        std::get<std::string>(*current).empty()));
        if (unset) {
            r.ValueType(kReadAsText);
            r.Value(value);
            written.emplace_back(SettingName(id), value);
        }
    };
    writeIfUnset(AppPath, values.appPath);
    writeIfUnset(AppDataPath, values.appDataPath);
    for (const Setting& s : SettingsTable()) {
        if (s.suggested == nullptr) {
            continue;
        }
        const std::string& chosen = s.id == IE11Path     ? values.ie11Path
                                    : s.id == ChromePath ? values.chromePath
                                                         : std::string();
        writeIfUnset(s.id, chosen.empty() ? s.suggested : chosen);
    }
    ThrowOnRefusedWrite(r);
    return written;
}

}  // namespace

Result<WrittenValues> WriteInstallationValues(const InstallationValues& values) {
    try {
        return WriteInstallationValuesOrRaise(values);
    } catch (const AppError& e) {
        return Status(e.Number(), e.Source(), SaveFailureMessage(e));
    }
}

std::string InstalledAppFolder(const std::string& prefix) {
    return prefix + "lib/tessel-viewer/";
}

std::string InstalledDataFolder(const std::string& prefix) {
    return prefix + "share/tessel-viewer/";
}

InstallationValues InstallationValuesFor(const std::string& appPath,
                                         const std::string& appDataPath) {
    namespace fs = std::filesystem;
    InstallationValues values;
    values.appPath = appPath;
    values.appDataPath = appDataPath;
    values.ie11Path = values.appPath + "tessel-open";
    // The second browser: Chromium when the desktop has it, else the document opener,
    // which hands addresses to the desktop's browser.
    constexpr const char* kChromium = "/usr/bin/chromium";
    std::error_code ec;
    const bool chromium =
        fs::is_regular_file(kChromium, ec) &&
        (fs::status(kChromium, ec).permissions() & fs::perms::others_exec) != fs::perms::none;
    values.chromePath = chromium ? kChromium : values.ie11Path;
    return values;
}

bool SetUpInstallationOf(const std::string& programFolder) {
    namespace fs = std::filesystem;
    const std::string prefix = fs::path(programFolder + "../").lexically_normal().string();
    const InstallationValues values =
        InstallationValuesFor(InstalledAppFolder(prefix), InstalledDataFolder(prefix));
    std::error_code ec;
    const auto opener = fs::status(values.ie11Path, ec);
    if (ec || !fs::is_regular_file(opener) ||
        (opener.permissions() & fs::perms::owner_exec) == fs::perms::none) {
        return false;  // run from a build tree or a moved copy: nothing to point at
    }
    const Result<WrittenValues> written = WriteInstallationValues(values);
    return written && !written->empty();
}

}  // namespace tv

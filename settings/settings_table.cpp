#include "settings/settings_table.h"

namespace tv {

namespace {

using enum SettingId;
using M = SettingsMembers;

constexpr std::int32_t kNever = 0;
constexpr std::int32_t kText = 1;   // REG_SZ, or REG_EXPAND_SZ for "%...%"
constexpr std::int32_t kDword = 4;  // REG_DWORD

// Order matters: loads and saves walk the text settings in this order.
constexpr Setting kTable[] = {
    {.id = AppPath, .name = "AppPath", .key = SettingKey::Product, .writtenType = kNever},
    {.id = AppDataPath, .name = "AppDataPath", .key = SettingKey::Product, .writtenType = kNever},
    {.id = IE11Path,
     .name = "IE11Path",
     .key = SettingKey::Product,
     .writtenType = kText,
     .text = &M::m_IE11Path,
     .suggested = "/usr/bin/x-www-browser"},
    {.id = ChromePath,
     .name = "ChromePath",
     .key = SettingKey::Product,
     .writtenType = kText,
     .text = &M::m_ChromePath,
     .suggested = "/usr/bin/chromium"},
    {.id = VantorDavUrl,
     .name = "VantorDavUrl",
     .key = SettingKey::Product,
     .writtenType = kText,
     .text = &M::m_VantorDavUrl},
    {.id = EspacenetUrl,
     .name = "EspacenetUrl",
     .key = SettingKey::Product,
     .writtenType = kText,
     .text = &M::m_EspacenetUrl,
     .suggested = "https://worldwide.espacenet.com/patent/search?q=us"},
    {.id = GrantexUrl,
     .name = "GrantexUrl",
     .key = SettingKey::Product,
     .writtenType = kText,
     .text = &M::m_GrantexUrl,
     .suggested = "http://grantex.tessel-office.example/netahtml/NVO/srchnum.htm"},
    {.id = PubexUrl,
     .name = "PubexUrl",
     .key = SettingKey::Product,
     .writtenType = kText,
     .text = &M::m_PubexUrl,
     .suggested = "http://pubex.tessel-office.example/netahtml/NVO/srchnum.html"},
    {.id = GooglePatentsUrl,
     .name = "GooglePatentsUrl",
     .key = SettingKey::Product,
     .writtenType = kText,
     .text = &M::m_GooglePatentsUrl,
     .suggested = "https://patents.google.com/patent/US"},
    {.id = SpecificationRenderOption,
     .name = "SpecificationRenderOption",
     .key = SettingKey::Product,
     .writtenType = kText,
     .number = &M::m_SpecificationRenderOption},
    {.id = NavigationOption,
     .name = "NavigationOption",
     .key = SettingKey::Product,
     .writtenType = kText,
     .number = &M::m_NavigationOption},
    {.id = ZornRenderOption,
     .name = "ZornRenderOption",
     .key = SettingKey::Product,
     .writtenType = kText,
     .number = &M::m_ZornRenderOption},
    {.id = UseFolderNames,
     .name = "UseFolderNames",
     .key = SettingKey::Product,
     .writtenType = kDword,
     .flag = &ArchiveOptions::useFolderNames},
    {.id = OverwritePrompt,
     .name = "OverwritePrompt",
     .key = SettingKey::Product,
     .writtenType = kDword,
     .flag = &ArchiveOptions::promptToOverwrite},
    {.id = MaxCount, .name = "MaxCount", .key = SettingKey::RecentFiles, .writtenType = kDword},
    {.id = Count, .name = "Count", .key = SettingKey::RecentFiles, .writtenType = kText},
    {.id = Item, .name = "Item", .key = SettingKey::RecentFiles, .writtenType = kText},
};

constexpr bool TableInIdOrder() {
    for (std::size_t i = 0; i < std::size(kTable); ++i) {
        if (static_cast<std::size_t>(kTable[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(TableInIdOrder(), "GetSetting indexes the table by id");

constexpr const char* kProductKey = "SOFTWARE\\Norvane\\Tessel Viewer";
constexpr const char* kRecentFilesKey = "SOFTWARE\\Norvane\\Tessel Viewer\\FileOpenMRU";

}  // namespace

std::span<const Setting> SettingsTable() {
    return kTable;
}

const Setting& GetSetting(SettingId id) {
    return kTable[static_cast<std::size_t>(id)];
}

const char* SettingName(SettingId id) {
    return GetSetting(id).name;
}

std::string SettingKeyPath(SettingKey key) {
    return key == SettingKey::Product ? kProductKey : kRecentFilesKey;
}

}  // namespace tv

#pragma once
// The table of settings: every registry value the viewer reads or writes, with its
// key, the type it is written as, where it lives in memory and its suggested value.
// Loads, saves, the recent-files list and the set-up step take names from here.
// Initial values are those of the members (SettingsMembers: empty texts, zeros), the
// archive component's own for the two options, and an empty list of at most 16 for
// the recent files (cMRU).
#include <cstdint>
#include <span>
#include <string>

#include "settings/settings_store.h"

namespace tv {

enum class SettingId {
    AppPath,
    AppDataPath,
    IE11Path,
    ChromePath,
    VantorDavUrl,
    EspacenetUrl,
    GrantexUrl,
    PubexUrl,
    GooglePatentsUrl,
    SpecificationRenderOption,
    NavigationOption,
    ZornRenderOption,
    UseFolderNames,
    OverwritePrompt,
    MaxCount,  // recent-files list
    Count,
    Item,  // "Item" followed by the position: Item1, Item2, ...
};

enum class SettingKey { Product, RecentFiles };

struct Setting {
    SettingId id;
    const char* name;
    SettingKey key;
    std::int32_t writtenType;  // 0: never written by the viewer; 1 text rule; 4 REG_DWORD
    // Where the value lives in memory (at most one is set; none for the folders and
    // the recent-files list, whose owners keep them).
    std::string SettingsMembers::*text = nullptr;
    std::int16_t SettingsMembers::*number = nullptr;
    bool ArchiveOptions::*flag = nullptr;
    const char* suggested = nullptr;  // the preferences "Default" value, if any
};

std::span<const Setting> SettingsTable();
const Setting& GetSetting(SettingId id);
const char* SettingName(SettingId id);

// "SOFTWARE\Norvane\Tessel Viewer" or that followed by "\FileOpenMRU".
std::string SettingKeyPath(SettingKey key);

}  // namespace tv

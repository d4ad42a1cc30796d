#pragma once
// The decisions of the file dialog service that need no window: which flag bits reach
// the dialog, how a "|"-separated filter becomes description/pattern pairs, how a
// multiple-selection answer is built and split, and the error numbers the service
// raises. The Qt layer (cCommonDialog, GCommonDialog) only turns these into widgets.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tv {

// Flag bits of the open and save dialogs, as the classic common dialogs number them.
enum OpenFlag : std::int32_t {
    OFN_READONLY = 0x1,
    OFN_OVERWRITEPROMPT = 0x2,
    OFN_HIDEREADONLY = 0x4,
    OFN_ENABLEHOOK = 0x20,
    OFN_ENABLETEMPLATE = 0x40,
    OFN_ALLOWMULTISELECT = 0x200,
    OFN_PATHMUSTEXIST = 0x800,
    OFN_FILEMUSTEXIST = 0x1000,
    OFN_EXPLORER = 0x80000,
};

// Error numbers of the service.
inline constexpr long kErrCommonDialogBase = 13450;  // OR-ed with the extended error
inline constexpr long kErrInvalidHelpCommand = 13705;
inline constexpr const char* kInvalidHelpCommandText =
    "Invalid WinHelp Command Passed to ShowHelp function.";
inline constexpr std::int32_t HELP_QUIT = 2;
inline constexpr std::int32_t HELP_MULTIKEY = 513;
inline constexpr std::int32_t HELP_SETWINPOS = 515;

// What the open and save dialogs are given, decided from the caller's properties.
struct OpenDialogSetup {
    std::int32_t flags = 0;        // only the bits that are passed on
    std::int32_t filterIndex = 1;  // 1-based; 0 became 1
    bool multiSelect = false;
    bool fileMustExist = false;
    bool useTemplate = false;
    bool hooked = false;
};

// Keeps the four switches (file must exist, multiple selection, read-only, hide
// read-only), adds the template bit only with an instance above 0, Explorer style with
// multiple selection, and Explorer style plus the hook bit when hookDialog is set.
OpenDialogSetup DecideOpenSetup(std::int32_t flags, std::int32_t filterIndex,
                                std::int64_t hInstance, bool hookDialog);

// "Desc|pattern|..." with every "|" and ":" made a NUL and two NULs appended.
std::string ConvertFilter(std::string_view filter);

struct FilterPair {
    std::string description;
    std::string pattern;  // ";"-separated patterns, as given
    bool operator==(const FilterPair&) const = default;
};
// The pairs of a converted filter, up to its first empty part; a description without
// a pattern at the end is dropped, as the dialog ignores it.
std::vector<FilterPair> FilterPairs(std::string_view convertedFilter);

// The patterns of one filter pair as the Qt dialog takes them: space-separated, and
// "*.*" made "*" so that it matches names without a dot too, as users expect of it.
std::string DialogNamePatterns(std::string_view pattern);

// The multiple-selection answer for files chosen in one folder: folder, NUL, name,
// NUL, ..., two NULs; the folder keeps its separator only when it is the root. A single
// file gives its full path followed by two NULs, as the Explorer-style dialog answers.
// Unlike the classic dialog there is no size limit: every chosen file is in it.
std::string MultiSelectAnswer(const std::vector<std::string>& fullPaths);

// Splits an answer (cut before its first pair of NULs). A single file gives the text
// before its last separator as the folder (nothing when it has none) and the rest as
// the one name. Otherwise the first part becomes the folder when `folder` is empty, and
// every further part is appended to `names`; `count` is the number of names.
void ParseMultiFileName(std::string_view fileName, std::string& folder,
                        std::vector<std::string>& names, std::int32_t& count);

// True when a dialog call's result is a failure the caller must hear about: only a
// value other than 0 (cancel, or a failure the classic dialog does not explain) and 1.
bool RaisesOnResult(std::int32_t apiReturn);
// The number raised for a failed dialog call.
long CommonDialogErrorNumber(std::int32_t extendedError);

// ShowHelp refuses the multi-key and window-position commands.
bool IsRefusedHelpCommand(std::int32_t command);

// Colours travel as 0x00BBGGRR, as the colour and font properties hold them.
struct Rgb {
    int red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};
Rgb RgbFromColorRef(std::int32_t colorRef);
std::int32_t ColorRefFromRgb(Rgb rgb);

}  // namespace tv

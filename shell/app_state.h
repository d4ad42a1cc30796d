#pragma once
// Process-wide values decided at start-up and read by rendering.
#include <string>

namespace tv {

// The plug-in probe's fixed folder; no other location is looked at.
inline constexpr const char* kPrizmViewerFolder = "/opt/TMSSequoia/Prizm Viewer";

inline constexpr const char* kAppTitle = "Tessel Viewer";
inline constexpr const char* kProductKeyPath = "SOFTWARE\\Norvane\\Tessel Viewer";
inline constexpr const char* kStylesheetRelativePath = "XslShelf/cals.xsl";

struct ProcessState {
    bool PrizmInstalled = false;
    std::string CatalogFileName;
};

// The one instance for the run.
ProcessState& Process();

// Test hook: TESSEL_TOOL_TIMEOUT_MS, a positive number of milliseconds, replaces the
// time-out of every tool wait, so a test can watch a tool that never ends being given
// up. 0 (the tools' own time-out) when unset or not a positive number.
long ToolTimeOutFromEnvironment();

}  // namespace tv

// tessel-setup: the installation's per-user step. Writes the application and data
// folders, the document opener as the document browser, the second browser and the
// service addresses into the user's product key, keeping every value the user already
// has, and says what it wrote. Run it again at any time: it changes nothing then.
//
//   tessel-setup [--app-folder DIR] [--data-folder DIR]
//
// Without options the folders are found from where the command is installed:
// PREFIX/bin/tessel-setup gives PREFIX/lib/tessel-viewer/ and PREFIX/share/tessel-viewer/.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "settings/settings_store.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: tessel-setup [--app-folder DIR] [--data-folder DIR]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string prefix =
        std::filesystem::path(tv::ExecutableFolder() + "../").lexically_normal().string();
    std::string appPath = tv::InstalledAppFolder(prefix);
    std::string appDataPath = tv::InstalledDataFolder(prefix);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--app-folder" || arg == "--data-folder") && i + 1 < argc) {
            (arg == "--app-folder" ? appPath : appDataPath) = tv::WithTrailingSeparator(argv[++i]);
        } else {
            return Usage();
        }
    }
    const tv::InstallationValues values = tv::InstallationValuesFor(appPath, appDataPath);

    const tv::Result<tv::WrittenValues> written = tv::WriteInstallationValues(values);
    if (!written) {
        std::fprintf(stderr, "tessel-setup: %s\n", written.status().Description().c_str());
        return 1;
    }
    if (written->empty()) {
        std::printf("tessel-setup: every setting was already there; nothing changed.\n");
    }
    for (const auto& [name, value] : *written) {
        std::printf("tessel-setup: wrote %s = %s\n", name.c_str(), value.c_str());
    }
    return 0;
}

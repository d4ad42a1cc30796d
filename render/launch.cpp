#include "render/launch.h"

#include "platform/process/start_detached.h"

namespace tv {

void LaunchInBrowser(const std::string& programPath, const std::string& target,
                     const std::string& workingDirectory) {
    // A browser that does not start is deliberately not reported.
    (void)StartDetached(programPath, target, workingDirectory);
}

}  // namespace tv

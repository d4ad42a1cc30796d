#include "platform/process/spawn_posix.h"

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tv::spawn {
namespace {

std::mutex g_unreapedMutex;
std::vector<pid_t> g_unreaped;

}  // namespace

int ResetSignals(Attributes& attr, short extraFlags) {
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    int rc = posix_spawnattr_setflags(
        attr.get(),
        static_cast<short>(extraFlags | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF));
    if (rc == 0) {
        rc = posix_spawnattr_setsigmask(attr.get(), &none);
    }
    if (rc == 0) {
        rc = posix_spawnattr_setsigdefault(attr.get(), &all);
    }
    return rc;
}

void ReapInBackground(pid_t pid) {
    try {
        std::thread([pid] {
            while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        std::lock_guard lock(g_unreapedMutex);
        g_unreaped.push_back(pid);
    }
}

int SweepUnreaped() {
    std::lock_guard lock(g_unreapedMutex);
    std::erase_if(g_unreaped, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
    return static_cast<int>(g_unreaped.size());
}

}  // namespace tv::spawn

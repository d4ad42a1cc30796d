#include "platform/signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <iterator>

namespace tv {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
volatile std::sig_atomic_t g_writeFd = -1;
struct sigaction g_previous[std::size(kSignals)];

void OnTerminate(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already says that a signal is pending: the lost byte does not matter.
    [[maybe_unused]] const ssize_t n = write(g_writeFd, &byte, 1);
    errno = savedErrno;
}

bool SetFlags(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 &&
           fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

}  // namespace

TerminationSignals::TerminationSignals() {
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    if (!SetFlags(fds[0]) || !SetFlags(fds[1])) {
        close(fds[0]);
        close(fds[1]);
        return;
    }
    readFd_ = fds[0];
    writeFd_ = fds[1];
    g_writeFd = writeFd_;
    struct sigaction sa {};
    sa.sa_handler = OnTerminate;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &sa, &g_previous[i]);
    }
}

TerminationSignals::~TerminationSignals() {
    if (readFd_ < 0) {
        return;
    }
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &g_previous[i], nullptr);
    }
    g_writeFd = -1;
    close(readFd_);
    close(writeFd_);
}

bool TerminationSignals::Consume() {
    bool arrived = false;
    char buffer[16];
    ssize_t n;
    while ((n = read(readFd_, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        arrived = arrived || n > 0;
    }
    return arrived;
}

}  // namespace tv

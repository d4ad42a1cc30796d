#include "platform/fd.h"

#include <sys/stat.h>

#include <cerrno>

namespace tv {

int ReadAll(int fd, std::string& out) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return errno;
        }
        if (n == 0) {
            return 0;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

int WriteAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return errno;
        }
        if (n == 0) {
            return EIO;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

int WriteNewAndClose(UniqueFd fd, std::string_view bytes) {
    int error = WriteAll(fd.Get(), bytes.data(), bytes.size());
    if (error == 0 && ::fchmod(fd.Get(), 0644) != 0) {
        error = errno;
    }
    if (::close(fd.Release()) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

}  // namespace tv

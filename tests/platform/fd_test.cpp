#include "platform/fd.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

namespace tv {
namespace {

// More than a pipe holds, so both sides see partial transfers.
TEST(Fd, FullReadAndWriteThroughAPipeAndFailuresAsErrno) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    UniqueFd readEnd(ends[0]), writeEnd(ends[1]);
    std::string sent(1 << 20, '\0');
    for (std::size_t i = 0; i < sent.size(); ++i) {
        sent[i] = static_cast<char>(i * 7);
    }
    std::thread writer([&] {
        EXPECT_EQ(WriteAll(writeEnd.Get(), sent.data(), sent.size()), 0);
        writeEnd.Reset();
    });
    std::string received = "kept:";
    EXPECT_EQ(ReadAll(readEnd.Get(), received), 0);
    writer.join();
    EXPECT_EQ(received, "kept:" + sent);

    EXPECT_EQ(WriteAll(readEnd.Get(), "x", 1), EBADF);
    const int released = readEnd.Release();
    EXPECT_FALSE(readEnd.Valid());
    EXPECT_EQ(ReadAll(released, received), 0) << "still open after Release";
    ::close(released);
}

}  // namespace
}  // namespace tv

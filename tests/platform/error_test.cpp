#include "platform/error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace tv {
namespace {

// The classic numbers are written out: rules elsewhere ("error 53") depend on them.
// ENOENT is 53 when the name itself is missing, 76 when a folder on the way is.
TEST(Error, ClassicNumbersFromErrno) {
    const struct {
        int err;
        bool pathMissing;
        long number;
    } cases[] = {
        {ENOENT, false, 53},       {ENOENT, true, 76},  {ENOTDIR, false, 76}, {EACCES, false, 70},
        {EPERM, false, 70},        {EROFS, false, 75},  {ENOSPC, false, 61},  {EEXIST, false, 58},
        {ENAMETOOLONG, false, 52}, {EINVAL, false, 51},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorNumberFromErrno(c.err, c.pathMissing), c.number) << std::strerror(c.err);
    }
}

TEST(Error, SystemErrorCarriesNumberSourceAndText) {
    const AppError e = SystemError(EACCES, "cRegistry", "cannot open", "/x/y");
    EXPECT_EQ(e.Number(), 70);
    EXPECT_EQ(e.Source(), "tessel-viewer.cRegistry");
    EXPECT_EQ(e.Description(), std::string("cannot open: /x/y: ") + std::strerror(EACCES));
    EXPECT_STREQ(e.what(), e.Description().c_str());
}

// A Result never says "ok" without a value, even when handed a successful Status.
TEST(Error, ResultHoldsAValueOrAFailure) {
    const Result<std::string> value("page.html");
    const Result<std::string> failed(SystemStatus(ENOENT, "x", "cannot open", "/a"));
    const Result<std::string> empty{Status()};
    EXPECT_TRUE(value.Ok());
    EXPECT_EQ(*value, "page.html");
    EXPECT_TRUE(value.status().Ok());
    EXPECT_FALSE(failed.Ok());
    EXPECT_EQ(failed.status().Number(), kErrFileNotFound);
    EXPECT_FALSE(empty.Ok());
    EXPECT_EQ(empty.status().Number(), kErrInternal);
}

}  // namespace
}  // namespace tv

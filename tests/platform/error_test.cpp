#include "platform/error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace tv {
namespace {

TEST(Error, ClassicNumbersFromErrno) {
    const struct {
        int err;
        bool pathMissing;
        long number;
    } cases[] = {
        {ENOENT, false, kErrFileNotFound},  // 53: the name itself is missing
        {ENOENT, true, kErrPathNotFound},   // 76: a folder on the way is missing
        {ENOTDIR, false, kErrPathNotFound},     {EACCES, false, kErrPermission},
        {EPERM, false, kErrPermission},         {EROFS, false, kErrAccess},
        {ENOSPC, false, kErrDiskFull},          {EEXIST, false, kErrFileExists},
        {ENAMETOOLONG, false, kErrBadFileName}, {EINVAL, false, kErrInternal},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorNumberFromErrno(c.err, c.pathMissing), c.number) << std::strerror(c.err);
    }
    EXPECT_EQ(kErrFileNotFound, 53);
    EXPECT_EQ(kErrPathNotFound, 76);
    EXPECT_EQ(kErrPermission, 70);
    EXPECT_EQ(kErrDiskFull, 61);
}

TEST(Error, SystemErrorCarriesNumberSourceAndText) {
    const AppError e = SystemError(EACCES, "cRegistry", "cannot open", "/x/y");
    EXPECT_EQ(e.Number(), 70);
    EXPECT_EQ(e.Source(), "tessel-viewer.cRegistry");
    EXPECT_EQ(e.Description(), std::string("cannot open: /x/y: ") + std::strerror(EACCES));
    EXPECT_STREQ(e.what(), e.Description().c_str());
}

}  // namespace
}  // namespace tv

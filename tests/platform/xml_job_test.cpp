// The module's file rules as a reader other than libxml2 meets them (Job::OpenFile).
#include "platform/xml/xml_job.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/platform/test_env.h"

namespace tv::xml {
namespace {

TEST(XmlJob, OpenFileKeepsToTheRules) {
    test::TempFolder dir;
    test::TempFolder outside;
    test::WriteFile(dir / "ok.ent", "<!ENTITY a 'b'>");
    test::WriteFile(dir / "big.ent", std::string(100, 'x'));
    test::WriteFile(dir / "z.gz", std::string("\x1f\x8b\x08\x00", 4));
    test::WriteFile(outside / "secret.txt", "SECRET");
    std::filesystem::create_symlink(outside / "secret.txt", dir / "out.lnk");
    std::filesystem::create_symlink(dir / "ok.ent", dir / "in.lnk");
    std::filesystem::create_symlink(outside.Path(), dir / "sub");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder");
    const struct {
        std::string path;
        bool opens;
        Rule rule;
    } cases[] = {
        {dir / "ok.ent", true, Rule::None},
        {dir / "in.lnk", true, Rule::None},
        {dir / "out.lnk", false, Rule::OutsideFolders},
        {dir / "sub/secret.txt", false, Rule::OutsideFolders},
        {outside / "secret.txt", false, Rule::OutsideFolders},
        {dir / "fifo", false, Rule::NotRegularFile},
        {dir / "folder", false, Rule::NotRegularFile},
        {"/dev/zero", false, Rule::OutsideFolders},
        {dir / "z.gz", false, Rule::Compressed},
        {dir / "big.ent", false, Rule::InputSize},
        {dir / "missing", false, Rule::None},
    };
    Limits limits;
    limits.maxInputBytes = 64;
    for (const auto& c : cases) {
        Job job(limits);
        job.AllowFolder(dir.Path());
        const UniqueFd fd = job.OpenFile(c.path);
        EXPECT_EQ(fd.Valid(), c.opens) << c.path;
        EXPECT_EQ(job.error().rule, c.rule) << c.path << ": " << job.error().reason;
    }
}

}  // namespace
}  // namespace tv::xml

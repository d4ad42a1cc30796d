#include "shell/folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/platform/test_env.h"

namespace tv {
namespace {

namespace sfs = std::filesystem;
using test::ScopedEnv;
using test::WriteFile;
using Paths = std::vector<std::string>;

// A folder under test (d_, ending with "/") and one outside it whose files must
// survive whatever links inside point to them.
class Folders : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFile(outside_ / "keep.txt");
        WriteFile(outside_ / "sub/keep2.txt");
    }
    bool OutsideIntact() const {
        return sfs::is_regular_file(outside_ / "keep.txt") &&
               sfs::is_regular_file(outside_ / "sub/keep2.txt");
    }
    static bool OnDisk(const std::string& path) { return sfs::exists(sfs::symlink_status(path)); }
    // Every entry below root that is not a real folder (files and links), never following links.
    static Paths NonFolders(const std::string& root) {
        Paths found;
        for (const auto& e : sfs::recursive_directory_iterator(root)) {
            if (!e.is_directory() || e.is_symlink()) {
                found.push_back(e.path().string());
            }
        }
        return found;
    }

    test::TempFolder tmp_, outside_;
    const std::string d_ = tmp_.Path() + "/";
};

TEST_F(Folders, DocumentsFolderFromVariableUserDirsOrHome) {
    const std::string home = d_ + "home", userDirs = d_ + "cfg/user-dirs.dirs";
    ScopedEnv h("HOME", home);
    ScopedEnv cfg("XDG_CONFIG_HOME", d_ + "cfg");
    const char* const papers =
        "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
        "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n";
    // Values in user-dirs.dirs are absolute or $HOME-relative; others are not valid there.
    const struct {
        std::optional<std::string> variable;
        const char* userDirs;  // "": no such file
        std::string documents;
    } cases[] = {
        {"/srv/ann/Docs", papers, "/srv/ann/Docs/"},
        {"relative/docs", "", home + "/Documents/"},
        {std::nullopt, "", home + "/Documents/"},
        {std::nullopt, papers, home + "/Papers/"},
        {std::nullopt, "XDG_DOCUMENTS_DIR=\"/data/papers/\"\n", "/data/papers/"},
        {std::nullopt, "XDG_DOCUMENTS_DIR=\"$HOMEWORK/x\"\n", home + "/Documents/"},
        {std::nullopt, "XDG_DOCUMENTS_DIR=\"relative/x\"\n", home + "/Documents/"},
    };
    for (const auto& c : cases) {
        ScopedEnv docs("XDG_DOCUMENTS_DIR", c.variable);
        sfs::remove(userDirs);
        if (*c.userDirs != '\0') {
            WriteFile(userDirs, c.userDirs);
        }
        EXPECT_EQ(GetDocumentsFolder(), c.documents)
            << c.variable.value_or("(unset)") << " / " << c.userDirs;
        EXPECT_EQ(GetWorkingFolder(), c.documents + "MyTessel");
    }
    EXPECT_FALSE(GetLoginName().empty());
}

TEST_F(Folders, FileAndFolderExists) {
    for (const char* name : {"a.xml", "b.txt", "NOEXT", "only-folders/inner/x.txt"}) {
        WriteFile(d_ + name);
    }
    const auto check = [&](const Paths& names, bool file, bool folder) {
        for (const std::string& name : names) {
            EXPECT_EQ(FileExists(d_ + name), file) << name;
            EXPECT_EQ(FolderExists(d_ + name), folder) << name;
        }
    };
    check({"*.xml", "?.xml", "*.*", "NOEXT"}, true, true);  // a file counts as a folder too
    check({"only-folders", "only-folders//", "only-folders/*.*"}, false, true);
    check({"*.pdf", "??.xml", "missing", "missing/*.*", "a.xml/x"}, false, false);
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FolderExists(""));
    // Exact (the renderer's): no wildcards, and a link is never taken for a file.
    sfs::create_symlink(d_ + "a.xml", d_ + "link.xml");
    EXPECT_TRUE(FileExists(d_ + "link.xml"));
    const struct {
        const char* name;
        bool file, folder;
    } exact[] = {{"a.xml", true, true},     {"*.xml", false, false},
                 {"link.xml", false, true}, {"only-folders/", false, true},
                 {"missing", false, false}, {"", false, true}};
    for (const auto& c : exact) {
        EXPECT_EQ(FileExists(d_ + c.name, fs::Match::Exact), c.file) << c.name;
        EXPECT_EQ(FolderExists(d_ + c.name, fs::Match::Exact), c.folder) << c.name;
    }
}

TEST_F(Folders, KillFile) {
    for (const char* name : {"README", "a.txt", "b.tar.gz", ".hidden", "sub/keep.txt"}) {
        WriteFile(d_ + name);
    }
    sfs::create_symlink(outside_ / "keep.txt", d_ + "file-link");
    sfs::create_symlink(outside_ / "sub", d_ + "dir-link");

    EXPECT_TRUE(KillFile(d_ + "*.none"));  // nothing matched
    EXPECT_TRUE(KillFile(d_ + "absent.txt"));
    EXPECT_FALSE(KillFile(d_ + "missing-folder/*.*"));  // path not found is an error
    EXPECT_TRUE(OnDisk(d_ + "README"));

    EXPECT_TRUE(KillFile(d_ + "*.*"));
    EXPECT_EQ(NonFolders(d_), Paths{d_ + "sub/keep.txt"});
    EXPECT_TRUE(OutsideIntact()) << "links go as links";

    // A file that cannot be deleted is a failure (root may delete it anyway).
    chmod((d_ + "sub").c_str(), 0555);
    EXPECT_EQ(KillFile(d_ + "sub/*.*"), geteuid() == 0);
    EXPECT_EQ(OnDisk(d_ + "sub/keep.txt"), geteuid() != 0);
}

TEST_F(Folders, RemoveDirCleansTreeButNeverLeavesIt) {
    const std::string root = d_ + "work/";
    for (const char* name :
         {"top.txt", "NOEXT", "ro.txt", "one/a.xml", "one/two/b.tif", "one/two/three/c",
          "one/two/three/d.txt", "locked/e.txt", "one/locked2/f.txt"}) {
        WriteFile(root + name);
    }
    sfs::create_symlink(outside_.Path(), root + "one/two/out-link");
    sfs::create_symlink(outside_ / "keep.txt", root + "file-link");
    chmod((root + "ro.txt").c_str(), 0444);
    chmod((root + "one/two/three/d.txt").c_str(), 0444);
    chmod((root + "locked").c_str(), 0555);  // no write permission
    chmod((root + "one/locked2").c_str(), 0555);
    chmod((root + "one/two/three").c_str(), 0);  // not even readable

    // Without and with the trailing separator; the second call finds new files.
    for (const std::string& folder : {root.substr(0, root.size() - 1), root}) {
        RemoveDir(folder);
        EXPECT_TRUE(sfs::is_directory(root)) << folder;
        EXPECT_EQ(NonFolders(root), Paths{}) << folder;
        WriteFile(root + "again/x.txt");
    }
    EXPECT_TRUE(OutsideIntact());

    // Given a link (however written) or nothing, it does nothing.
    const std::string link = d_ + "link";
    sfs::create_symlink(outside_.Path(), link);
    for (const std::string& p : {link, link + "/", link + "//", d_ + "missing", std::string()}) {
        RemoveDir(p);
        EXPECT_TRUE(OutsideIntact()) << p;
    }
    EXPECT_TRUE(sfs::is_symlink(link));
    EXPECT_FALSE(OnDisk(d_ + "missing"));
}

// Deeper than any path the system takes (1,000 levels of 9 bytes): the walk goes by
// descriptors, not by names.
TEST_F(Folders, RemoveDirEmptiesATreeDeeperThanThePathLimit) {
    constexpr int kDepth = 1000;
    const std::string root = d_ + "deep";
    ASSERT_EQ(mkdir(root.c_str(), 0700), 0);
    int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; level < kDepth && fd >= 0; ++level) {
        close(openat(fd, "file.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
        const int next =
            mkdirat(fd, "d", 0700) == 0 ? openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        close(fd);
        fd = next;
    }
    ASSERT_GE(fd, 0);
    symlinkat(outside_.Path().c_str(), fd, "out-link");
    close(fd);

    RemoveDir(root);
    EXPECT_TRUE(sfs::is_directory(root));
    EXPECT_TRUE(sfs::is_empty(root));
    EXPECT_TRUE(OutsideIntact());
}

}  // namespace
}  // namespace tv

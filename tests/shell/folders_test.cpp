#include "shell/folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/platform/test_env.h"

namespace tv {
namespace {

namespace sfs = std::filesystem;
using test::ScopedEnv;
using test::TempFolder;
using test::WriteFile;

bool OnDisk(const std::string& path) {
    return sfs::exists(sfs::symlink_status(path));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every entry below root that is not a real folder (files and links), never
// following links.
std::vector<std::string> NonFolders(const std::string& root) {
    std::vector<std::string> found;
    for (const auto& e : sfs::recursive_directory_iterator(root)) {
        if (!e.is_directory() || e.is_symlink()) {
            found.push_back(e.path().string());
        }
    }
    return found;
}

TEST(Folders, DocumentsAndWorkingFolder) {
    TempFolder tmp;
    const std::string home = tmp / "home";
    ScopedEnv h("HOME", home);
    ScopedEnv cfg("XDG_CONFIG_HOME", tmp / "cfg");
    {
        ScopedEnv docs("XDG_DOCUMENTS_DIR", "/srv/ann/Docs");
        EXPECT_EQ(GetDocumentsFolder(), "/srv/ann/Docs/");
        EXPECT_EQ(GetWorkingFolder(), "/srv/ann/Docs/MyTessel");
    }
    ScopedEnv docs("XDG_DOCUMENTS_DIR", std::nullopt);
    // No user-dirs.dirs: $HOME/Documents.
    EXPECT_EQ(GetDocumentsFolder(), home + "/Documents/");
    EXPECT_EQ(GetWorkingFolder(), home + "/Documents/MyTessel");

    WriteFile(tmp / "cfg/user-dirs.dirs",
              "# written by xdg-user-dirs-update\n"
              "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
              "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    EXPECT_EQ(GetDocumentsFolder(), home + "/Papers/");
    EXPECT_EQ(GetWorkingFolder(), home + "/Papers/MyTessel");

    WriteFile(tmp / "cfg/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/data/papers/\"\n");
    EXPECT_EQ(GetDocumentsFolder(), "/data/papers/");

    // Values that are neither absolute nor $HOME-relative are not valid there.
    WriteFile(tmp / "cfg/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOMEWORK/x\"\n");
    EXPECT_EQ(GetDocumentsFolder(), home + "/Documents/");
    WriteFile(tmp / "cfg/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"relative/x\"\n");
    EXPECT_EQ(GetDocumentsFolder(), home + "/Documents/");
    {
        ScopedEnv relative("XDG_DOCUMENTS_DIR", "relative/docs");
        EXPECT_EQ(GetDocumentsFolder(), home + "/Documents/");
    }
    EXPECT_FALSE(GetLoginName().empty());
}

TEST(Folders, FileAndFolderExists) {
    TempFolder tmp;
    WriteFile(tmp / "a.xml");
    WriteFile(tmp / "b.txt");
    WriteFile(tmp / "NOEXT");
    WriteFile(tmp / "only-folders/inner/x.txt");
    const std::string d = tmp.Path() + "/";

    const struct {
        std::string path;
        bool file;
        bool folder;
    } cases[] = {
        {d + "*.xml", true, true},
        {d + "*.pdf", false, false},
        {d + "?.xml", true, true},
        {d + "??.xml", false, false},
        {d + "*.*", true, true},
        {d + "NOEXT", true, true},  // a file also counts as a folder
        {d + "a.xml", true, true},
        {d + "only-folders", false, true},
        {d + "only-folders/", false, true},
        {d + "only-folders//", false, true},
        {d + "only-folders/*.*", false, true},
        {d + "missing", false, false},
        {d + "missing/", false, false},
        {d + "missing/*.*", false, false},
        {d + "a.xml/x", false, false},
        {"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileExists(c.path), c.file) << c.path;
        EXPECT_EQ(FolderExists(c.path), c.folder) << c.path;
    }
    EXPECT_TRUE(FolderExists(tmp.Path()));
}

TEST(Folders, KillFile) {
    TempFolder tmp, outside;
    const std::string d = tmp.Path() + "/";
    for (const char* name : {"README", "a.txt", "b.tar.gz", ".hidden"}) {
        WriteFile(d + name);
    }
    WriteFile(d + "sub/keep.txt");
    WriteFile(outside / "target.txt", "precious");
    WriteFile(outside / "dir/inner.txt", "precious");
    sfs::create_symlink(outside / "target.txt", d + "file-link");
    sfs::create_symlink(outside / "dir", d + "dir-link");

    EXPECT_TRUE(KillFile(d + "*.none"));  // nothing matched
    EXPECT_TRUE(KillFile(d + "absent.txt"));
    EXPECT_FALSE(KillFile(d + "missing-folder/*.*"));  // path not found is an error
    EXPECT_TRUE(OnDisk(d + "README"));

    EXPECT_TRUE(KillFile(d + "*.*"));
    EXPECT_EQ(NonFolders(tmp.Path()), std::vector<std::string>{d + "sub/keep.txt"});
    // Links go as links; what they point to stays.
    EXPECT_EQ(ReadFile(outside / "target.txt"), "precious");
    EXPECT_EQ(ReadFile(outside / "dir/inner.txt"), "precious");

    // A file that cannot be deleted is a failure (root may delete it anyway).
    chmod((d + "sub").c_str(), 0555);
    EXPECT_EQ(KillFile(d + "sub/*.*"), geteuid() == 0);
    EXPECT_EQ(OnDisk(d + "sub/keep.txt"), geteuid() != 0);
}

TEST(Folders, RemoveDirCleansTreeButNeverLeavesIt) {
    TempFolder tmp, outside;
    const std::string root = tmp / "work";
    WriteFile(root + "/top.txt");
    WriteFile(root + "/NOEXT");
    WriteFile(root + "/ro.txt");
    WriteFile(root + "/one/a.xml");
    WriteFile(root + "/one/two/b.tif");
    WriteFile(root + "/one/two/three/c");
    WriteFile(root + "/one/two/three/d.txt");
    WriteFile(root + "/locked/e.txt");
    WriteFile(root + "/one/locked2/f.txt");
    WriteFile(outside / "keep.txt", "precious");
    WriteFile(outside / "sub/keep2.txt", "precious");
    sfs::create_symlink(outside.Path(), root + "/one/two/out-link");
    sfs::create_symlink(outside / "keep.txt", root + "/file-link");
    chmod((root + "/ro.txt").c_str(), 0444);
    chmod((root + "/one/two/three/d.txt").c_str(), 0444);
    chmod((root + "/locked").c_str(), 0555);  // no write permission
    chmod((root + "/one/locked2").c_str(), 0555);

    RemoveDir(root);

    EXPECT_TRUE(sfs::is_directory(root));
    EXPECT_EQ(NonFolders(root), std::vector<std::string>{});
    EXPECT_EQ(ReadFile(outside / "keep.txt"), "precious");
    EXPECT_EQ(ReadFile(outside / "sub/keep2.txt"), "precious");

    WriteFile(root + "/again/x.txt");
    RemoveDir(root + "/");  // a trailing separator changes nothing
    EXPECT_TRUE(sfs::is_directory(root));
    EXPECT_EQ(NonFolders(root), std::vector<std::string>{});
}

TEST(Folders, RemoveDirOnLinkOrMissingFolderDoesNothing) {
    TempFolder tmp, outside;
    WriteFile(outside / "keep.txt", "precious");
    WriteFile(outside / "sub/keep2.txt", "precious");
    const std::string link = tmp / "link";
    sfs::create_symlink(outside.Path(), link);

    for (const std::string& p : {link, link + "/", link + "//"}) {
        RemoveDir(p);
        EXPECT_EQ(ReadFile(outside / "keep.txt"), "precious") << p;
        EXPECT_EQ(ReadFile(outside / "sub/keep2.txt"), "precious") << p;
    }
    EXPECT_TRUE(sfs::is_symlink(link));

    RemoveDir(tmp / "missing");
    RemoveDir("");
    EXPECT_FALSE(OnDisk(tmp / "missing"));
}

}  // namespace
}  // namespace tv

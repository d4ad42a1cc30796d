#pragma once
// Test helpers for code that reads the environment or touches the disk: a variable
// set for one scope, and a private temporary folder removed afterwards.
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tv::test {

// Sets (or with nullopt unsets) an environment variable and restores the old state.
class ScopedEnv {
  public:
    ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
        if (const char* old = getenv(name_.c_str())) {
            old_ = old;
        }
        Apply(name_, value);
    }
    ~ScopedEnv() { Apply(name_, old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    static void Apply(const std::string& name, const std::optional<std::string>& value) {
        if (value) {
            setenv(name.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }
    std::string name_;
    std::optional<std::string> old_;
};

// A fresh folder under $TMPDIR (else /tmp); Path() has no trailing separator. The
// destructor restores owner permissions (tests take them away) and removes the tree
// without following links.
class TempFolder {
  public:
    TempFolder() {
        const char* tmp = getenv("TMPDIR");
        std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/tessel-test-XXXXXX";
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        if (mkdtemp(buf.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed for " + tmpl);
        }
        path_ = buf.data();
    }
    ~TempFolder() {
        namespace sfs = std::filesystem;
        std::error_code ec;
        for (auto it = sfs::recursive_directory_iterator(path_, ec);
             !ec && it != sfs::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_directory(ec) && !it->is_symlink(ec)) {
                chmod(it->path().c_str(), 0700);
            }
        }
        chmod(path_.c_str(), 0700);
        sfs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// Writes a small file, creating its folders.
inline void WriteFile(const std::string& path, const std::string& text = "x") {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << text;
}

}  // namespace tv::test

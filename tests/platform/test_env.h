#pragma once
// Test helpers: an environment variable set for one scope, a private temporary folder
// removed afterwards, and a small file written with its folders.
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

namespace tv::test {

// Sets (or with nullopt unsets) a variable and restores the old state.
class ScopedEnv {
  public:
    ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* old = getenv(name_.c_str())) {
            old_ = old;
        }
        Apply(value);
    }
    ~ScopedEnv() { Apply(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    void Apply(const std::optional<std::string>& v) {
        v ? setenv(name_.c_str(), v->c_str(), 1) : unsetenv(name_.c_str());
    }
    std::string name_;
    std::optional<std::string> old_;
};

// A fresh folder under $TMPDIR (else /tmp), without trailing separator. The destructor
// gives back the folder permissions tests take away and removes the tree, not following
// links.
class TempFolder {
  public:
    TempFolder() {
        const char* tmp = getenv("TMPDIR");
        path_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/tessel-test-XXXXXX";
        if (mkdtemp(path_.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed for " + path_);
        }
    }
    ~TempFolder() {
        namespace sfs = std::filesystem;
        std::error_code ec;
        chmod(path_.c_str(), 0700);
        for (sfs::recursive_directory_iterator it(path_, ec), end; !ec && it != end;
             it.increment(ec)) {
            if (it->is_directory(ec) && !it->is_symlink(ec)) {
                chmod(it->path().c_str(), 0700);
            }
        }
        sfs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& text = "x") {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << text;
}

}  // namespace tv::test

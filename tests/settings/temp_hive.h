#pragma once
// A fresh hive file for each test: a temporary folder beside the test's own home
// (under the build tree) or under $TMPDIR, with TESSEL_REGISTRY_FILE pointing into it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry/registry.h"

namespace tv::testing {

// Sets an environment variable for a scope.
class EnvGuard {
  public:
    EnvGuard(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvGuard() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

class TempHiveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* env = std::getenv("TESSEL_REGISTRY_FILE");
        if (env != nullptr) {
            oldHive_ = env;
        }
        std::filesystem::path base = oldHive_ ? std::filesystem::path(*oldHive_).parent_path()
                                              : std::filesystem::temp_directory_path();
        std::filesystem::create_directories(base);
        std::string pattern = (base / "hive-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        hive_ = dir_ + "/user.reg";
        ::setenv("TESSEL_REGISTRY_FILE", hive_.c_str(), 1);
    }

    void TearDown() override {
        reg::testing::SetWriteFault(0);
        std::error_code ec;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(dir_, ec);
        if (oldHive_) {
            ::setenv("TESSEL_REGISTRY_FILE", oldHive_->c_str(), 1);
        } else {
            ::unsetenv("TESSEL_REGISTRY_FILE");
        }
    }

    static void WriteFile(const std::string& path, const std::string& text) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Replaces the hive the way another program would (new file, renamed over it).
    void ReplaceHive(const std::string& text) {
        WriteFile(hive_ + ".new", text);
        std::filesystem::rename(hive_ + ".new", hive_);
    }

    struct Stored {
        reg::DWORD type = 0;
        std::vector<std::uint8_t> data;
    };

    // A value as the registry functions report it; nullopt when missing.
    static std::optional<Stored> Query(const std::string& key, const std::string& name) {
        reg::HKEY h{};
        if (reg::RegOpenKeyEx(reg::HKEY_CURRENT_USER, key, 0, reg::KEY_READ, &h) !=
            reg::ERROR_SUCCESS) {
            return std::nullopt;
        }
        reg::KeyHandle handle(h);
        Stored stored;
        reg::DWORD size = 0;
        if (reg::RegQueryValueEx(h, name, &stored.type, nullptr, &size) != reg::ERROR_SUCCESS) {
            return std::nullopt;
        }
        stored.data.resize(size);
        std::uint8_t dummy = 0;
        EXPECT_EQ(
            reg::RegQueryValueEx(h, name, &stored.type, size ? stored.data.data() : &dummy, &size),
            reg::ERROR_SUCCESS);
        return stored;
    }

    static std::vector<std::uint8_t> Text(const std::string& s) {
        std::vector<std::uint8_t> data(s.begin(), s.end());
        data.push_back(0);
        return data;
    }

    static std::vector<std::uint8_t> Dword(std::uint32_t n) {
        return {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
    }

    std::string dir_;
    std::string hive_;
    std::optional<std::string> oldHive_;
};

}  // namespace tv::testing

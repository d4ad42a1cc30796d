#pragma once
// A fresh hive for each test: a temporary folder beside the test's own home (in the
// build tree) or under $TMPDIR, with TESSEL_REGISTRY_FILE pointing into it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry/registry.h"
#include "tests/platform/test_env.h"

namespace tv::testing {

using Bytes = std::vector<std::uint8_t>;

using EnvGuard = tv::test::ScopedEnv;

inline Bytes Text(const std::string& s) {
    Bytes data(s.begin(), s.end());
    data.push_back(0);
    return data;
}

inline Bytes Dword(std::uint32_t n) {
    return {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
            static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
}

class TempHiveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* env = std::getenv("TESSEL_REGISTRY_FILE");
        std::filesystem::path base =
            env ? std::filesystem::path(env).parent_path() : std::filesystem::temp_directory_path();
        std::filesystem::create_directories(base);
        std::string pattern = (base / "hive-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        hive_ = dir_ + "/user.reg";
        env_.emplace("TESSEL_REGISTRY_FILE", hive_);
    }

    void TearDown() override {
        reg::testing::SetWriteFault(0);
        env_.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    static void WriteFile(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // Replaces the hive as another program would: a new file renamed over it.
    void ReplaceHive(const std::string& text) {
        WriteFile(hive_ + ".new", text);
        std::filesystem::rename(hive_ + ".new", hive_);
    }

    struct Stored {
        reg::DWORD type = 0;
        Bytes data;
    };

    // A value as the registry functions report it; nullopt when missing.
    static std::optional<Stored> Query(const std::string& key, const std::string& name) {
        reg::HKEY h{};
        if (reg::RegOpenKeyEx(reg::HKEY_CURRENT_USER, key, 0, reg::KEY_READ, &h) != 0) {
            return std::nullopt;
        }
        reg::KeyHandle handle(h);
        Stored stored{0, Bytes(reg::kMaxValueDataSize)};
        auto size = static_cast<reg::DWORD>(stored.data.size());
        if (reg::RegQueryValueEx(h, name, &stored.type, stored.data.data(), &size) != 0) {
            return std::nullopt;
        }
        stored.data.resize(size);
        return stored;
    }

    std::string dir_;
    std::string hive_;
    std::optional<EnvGuard> env_;
};

}  // namespace tv::testing

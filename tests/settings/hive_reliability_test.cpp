// Several processes on one hive: no lost writes, no damaged file after a kill.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "platform/registry/hive.h"
#include "settings/cRegistry.h"
#include "tests/settings/temp_hive.h"

namespace tv {
namespace {

constexpr std::size_t kBlobSize = 30000;

class HiveReliabilityTest : public tv::testing::TempHiveTest {
  protected:
    // Runs body in a child process that exits with body's result.
    template <typename Body>
    static pid_t Spawn(Body body) {
        pid_t pid = ::fork();
        if (pid == 0) {
            int rc = 3;
            try {
                rc = body();
            } catch (...) {
            }
            ::_exit(rc);
        }
        return pid;
    }

    std::optional<reg::Hive> Parsed() { return reg::ParseHive(ReadFile(hive_)); }
};

TEST_F(HiveReliabilityTest, TwoProcessesWritingAtOnceKeepEachOthersValues) {
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = Spawn([&, c] {
            ::close(gate[1]);
            char byte;
            (void)::read(gate[0], &byte, 1);  // returns when the parent opens the gate
            cRegistry r;
            r.ClassKey(static_cast<std::int32_t>(0x80000001));
            r.SectionKey("SOFTWARE\\Race");
            r.ValueType(1);
            for (int i = 0; i < 500; ++i) {
                r.ValueKey("p" + std::to_string(c) + "_" + std::to_string(i));
                r.Value("value " + std::to_string(i));
                if (r.LastWriteStatus() != 0) {
                    return 1;
                }
            }
            return 0;
        });
        ASSERT_GT(children[c], 0);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto hive = Parsed();
    ASSERT_TRUE(hive);
    const reg::HiveKey* key = hive->FindKey("HKEY_CURRENT_USER\\SOFTWARE\\Race");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values.size(), 1000u);
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < 500; ++i) {
            auto v = key->FindValue("p" + std::to_string(c) + "_" + std::to_string(i));
            ASSERT_NE(v, nullptr) << c << " " << i;
            EXPECT_EQ(v->data, Text("value " + std::to_string(i)));
        }
    }
}

TEST_F(HiveReliabilityTest, WriterKilledAtRandomMomentsNeverLeavesADamagedHive) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMicros(0, 40000);
    long lastSeen = -1;
    for (int round = 0; round < 60; ++round) {
        int progress[2];
        ASSERT_EQ(::pipe(progress), 0);
        pid_t child = Spawn([&] {
            ::close(progress[0]);
            reg::HKEY h{};
            if (reg::RegCreateKeyEx(reg::HKEY_CURRENT_USER, "SOFTWARE\\Kill", 0,
                                    reg::KEY_ALL_ACCESS, &h, nullptr) != 0) {
                return 1;
            }
            // A large value makes each write long enough to be hit in the middle.
            std::vector<std::uint8_t> blob(kBlobSize);
            for (std::uint32_t n = 0;; ++n) {
                std::fill(blob.begin(), blob.end(), static_cast<std::uint8_t>(n));
                const std::string counter = std::to_string(n);
                if (reg::RegSetValueEx(h, "Blob", reg::REG_BINARY, blob.data(), kBlobSize) != 0 ||
                    reg::RegSetValueEx(h, "Counter", reg::REG_SZ,
                                       reinterpret_cast<const std::uint8_t*>(counter.c_str()),
                                       static_cast<reg::DWORD>(counter.size() + 1)) != 0) {
                    return 1;
                }
                if (n == 0) {
                    ::close(progress[1]);  // the first complete write is on disk
                }
            }
        });
        ASSERT_GT(child, 0);
        ::close(progress[1]);
        if (round % 2 == 0) {  // every other round kills only after a complete write
            char byte;
            (void)::read(progress[0], &byte, 1);
        }
        ::close(progress[0]);
        ::usleep(static_cast<useconds_t>(delayMicros(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own in round " << round;
        if (!std::filesystem::exists(hive_)) {
            continue;  // killed before its first write
        }
        auto hive = Parsed();
        ASSERT_TRUE(hive) << "damaged hive in round " << round;
        EXPECT_FALSE(std::filesystem::exists(hive_ + ".corrupt"));
        const reg::HiveKey* key = hive->FindKey("HKEY_CURRENT_USER\\SOFTWARE\\Kill");
        if (const reg::HiveValue* blob = key ? key->FindValue("Blob") : nullptr) {
            ASSERT_EQ(blob->data.size(), kBlobSize);
            EXPECT_EQ(std::count(blob->data.begin(), blob->data.end(), blob->data[0]),
                      static_cast<std::ptrdiff_t>(kBlobSize));
        }
        if (const reg::HiveValue* counter = key ? key->FindValue("Counter") : nullptr) {
            lastSeen = std::stol(std::string(counter->data.begin(), counter->data.end() - 1));
        }
    }
    EXPECT_GE(lastSeen, 0);

    reg::HKEY h{};  // the next write replaces what the killed writers left
    ASSERT_EQ(reg::RegCreateKeyEx(reg::HKEY_CURRENT_USER, "SOFTWARE\\After", 0, reg::KEY_ALL_ACCESS,
                                  &h, nullptr),
              0);
    reg::RegCloseKey(h);
    EXPECT_FALSE(std::filesystem::exists(hive_ + ".tmp"));
}

}  // namespace
}  // namespace tv

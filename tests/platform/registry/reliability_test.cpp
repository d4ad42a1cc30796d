// Several processes on one hive: no lost writes, no damaged file after a kill.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <random>

#include "platform/registry/hive.h"
#include "settings/cRegistry.h"
#include "settings/settings_store.h"
#include "tests/platform/registry/temp_hive.h"

namespace tv {
namespace {

// Runs body in a child process that exits with body's result (3 when it threw).
template <typename Body>
pid_t Spawn(Body body) {
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

class HiveReliabilityTest : public tv::testing::TempHiveTest {};

TEST_F(HiveReliabilityTest, TwoProcessesWritingAtOnceKeepEachOthersValues) {
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = Spawn([&, c] {
            ::close(gate[1]);
            char byte;
            (void)::read(gate[0], &byte, 1);  // returns when the parent closes the gate
            cRegistry r;
            r.ClassKey(static_cast<std::int32_t>(0x80000001));
            r.SectionKey("SOFTWARE\\Race");
            r.ValueType(1);
            for (int i = 0; i < 500 && r.FirstWriteFailure().status == 0; ++i) {
                r.ValueKey("p" + std::to_string(c) + "_" + std::to_string(i));
                r.Value("value " + std::to_string(i));
            }
            return r.FirstWriteFailure().status == 0 ? 0 : 1;
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
    auto hive = reg::ParseHive(ReadFile(hive_));
    ASSERT_TRUE(hive);
    const reg::HiveKey* key = hive->FindKey("HKEY_CURRENT_USER\\SOFTWARE\\Race");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values.size(), 1000u);
    for (int i = 0; i < 1000; ++i) {
        auto v = key->FindValue("p" + std::to_string(i / 500) + "_" + std::to_string(i % 500));
        ASSERT_NE(v, nullptr) << i;
        EXPECT_EQ(v->data, tv::testing::Text("value " + std::to_string(i % 500)));
    }
}

TEST_F(HiveReliabilityTest, WriterKilledAtRandomMomentsNeverLeavesADamagedHive) {
    constexpr std::size_t kBlobSize = 30000;  // long enough to be hit in the middle
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMicros(0, 40000);
    int blobsSeen = 0;
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
            for (std::uint32_t n = 0;; ++n) {
                const tv::testing::Bytes blob(kBlobSize, static_cast<std::uint8_t>(n));
                if (reg::RegSetValueEx(h, "Blob", reg::REG_BINARY, blob.data(), kBlobSize) != 0) {
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
        auto hive = reg::ParseHive(ReadFile(hive_));
        ASSERT_TRUE(hive) << "damaged hive in round " << round;
        EXPECT_FALSE(std::filesystem::exists(hive_ + ".corrupt"));
        const reg::HiveKey* key = hive->FindKey("HKEY_CURRENT_USER\\SOFTWARE\\Kill");
        if (const reg::HiveValue* blob = key ? key->FindValue("Blob") : nullptr) {
            ++blobsSeen;
            const auto& data = blob->data;
            EXPECT_TRUE(data.size() == kBlobSize && std::count(data.begin(), data.end(), data[0]) ==
                                                        static_cast<std::ptrdiff_t>(kBlobSize))
                << "a mixture of two writes in round " << round;
        }
    }
    EXPECT_GE(blobsSeen, 30) << "half the rounds wait for a complete write";
}

TEST_F(HiveReliabilityTest, ALockHeldElsewhereFailsTheSaveInBoundedTimeWithoutBlockingReaders) {
    using Clock = std::chrono::steady_clock;
    SettingsMembers members;
    ArchiveOptions options;
    cMRU mru;
    SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
    int locked[2], release[2];
    ASSERT_EQ(::pipe(locked), 0);
    ASSERT_EQ(::pipe(release), 0);
    pid_t holder = Spawn([&] {  // holds the lock until released (at most 30 s)
        int fd = ::open((hive_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0) {
            return 1;
        }
        ::close(locked[1]);
        ::close(release[1]);
        ::alarm(30);
        char byte;
        (void)::read(release[0], &byte, 1);
        return 0;
    });
    ASSERT_GT(holder, 0);
    ::close(locked[1]);
    ::close(release[0]);
    char byte;
    (void)::read(locked[0], &byte, 1);
    ::close(locked[0]);

    members.m_IE11Path = "changed";
    const auto start = Clock::now();
    auto save = std::async(std::launch::async, [&]() -> std::string {
        try {
            SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
        } catch (const AppError& e) {
            return SaveFailureMessage(e);
        }
        return "";
    });
    ::usleep(300000);
    const auto readStart = Clock::now();
    ASSERT_TRUE(Query("SOFTWARE\\Norvane\\Tessel Viewer", "IE11Path"));
    EXPECT_LT(Clock::now() - readStart, std::chrono::seconds(1)) << "a waiting save blocks readers";
    EXPECT_EQ(save.get(), "Your settings could not be saved to " + hive_ +
                              ": another program has kept the settings file locked.");
    const auto took = Clock::now() - start;
    EXPECT_GT(took, std::chrono::seconds(2));
    EXPECT_LT(took, std::chrono::seconds(6)) << "one wait per save, not one per value";

    ::close(release[1]);
    int status = 0;
    ::waitpid(holder, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    SaveSettings(HKEY_CURRENT_USER_ROOT, members, options, mru);
    EXPECT_EQ(Query("SOFTWARE\\Norvane\\Tessel Viewer", "IE11Path")->data,
              tv::testing::Text("changed"));
}

}  // namespace
}  // namespace tv

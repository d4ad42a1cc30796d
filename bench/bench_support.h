#pragma once
// What the benchmarks share: reproducible package content, writing a package, running
// a peer program with its output thrown away, and the median of a set of timings.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace tv::bench {

// A fixed xorshift sequence, so every run builds the same packages.
struct Rng {
    std::uint64_t s = 0x9e3779b97f4a7c15ull;
    std::uint64_t Next() {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    }
};

// n bytes that do not compress, like image data.
inline std::string Noise(Rng& rng, std::size_t n) {
    std::string out(n, '\0');
    for (std::size_t i = 0; i + 8 <= n; i += 8) {
        const std::uint64_t v = rng.Next();
        std::memcpy(&out[i], &v, 8);
    }
    return out;
}

// About n bytes of patent-like paragraphs between head and tail.
inline std::string XmlText(Rng& rng, std::size_t n, const std::string& head,
                           const std::string& tail) {
    static const char* words[] = {"claim",      "invention", "apparatus", "wherein", "method",
                                  "comprising", "said",      "layer",     "device",  "signal"};
    std::string out = head;
    while (out.size() < n) {
        out += "<p>";
        for (int w = 0; w < 12; ++w) {
            out += words[rng.Next() % 10];
            out += ' ';
        }
        out += "</p>\n";
    }
    return out + tail;
}

// Writes a package of (name, data) entries; ends the benchmark when it cannot.
inline void WriteZip(const std::string& path,
                     const std::vector<std::pair<std::string, std::string>>& items) {
    int error = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (za == nullptr) {
        std::fprintf(stderr, "cannot create %s\n", path.c_str());
        std::exit(1);
    }
    for (const auto& [name, data] : items) {
        zip_source_t* src = zip_source_buffer(za, data.data(), data.size(), 0);
        if (src == nullptr || zip_file_add(za, name.c_str(), src, ZIP_FL_ENC_UTF_8) < 0) {
            std::fprintf(stderr, "cannot add %s\n", name.c_str());
            std::exit(1);
        }
    }
    if (zip_close(za) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

// Runs a program found on PATH with its standard output on /dev/null and waits for it;
// its exit code, or -1.
inline int RunQuiet(std::vector<std::string> args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (rc != 0 || waitpid(pid, &status, 0) < 0) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The folder a benchmark works in: the one given, else a fresh one under the temporary
// folder; empty when it cannot be made.
inline std::string WorkFolder(int argc, char** argv, int index = 1) {
    if (argc > index) {
        std::error_code ec;
        std::filesystem::create_directories(argv[index], ec);
        return ec ? std::string() : std::string(argv[index]);
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "tessel-bench-XXXXXX").string();
    return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One round of a side-by-side run. Which side goes first alternates from round to round,
// so both meet the same cache state; the peer is left out when it is not installed.
template <class Ours, class Peer>
void InterleavedRound(int round, Ours&& ours, Peer&& peer, bool havePeer) {
    if (round % 2 == 0) {
        ours();
    }
    if (havePeer) {
        peer();
    }
    if (round % 2 != 0) {
        ours();
    }
}

}  // namespace tv::bench

#pragma once
// What the benchmarks of the installed tools share: an installation of this build (the
// one given, or one made into the work folder at run time), a browser that records the
// page it is handed, and the system's load.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "bench/bench_support.h"

namespace tv::bench {

struct Installation {
    std::string prefix;
    std::string app() const { return prefix + "/lib/tessel-viewer/"; }
    std::string data() const { return prefix + "/share/tessel-viewer/"; }
    std::string catalog(const std::string& name) const { return data() + "DTDs/" + name; }
};

// The installation at prefix; when prefix is empty, this build installed into
// work/prefix. Ends the benchmark when the opener is not there.
inline Installation Install(const std::string& prefix, const std::string& work) {
    Installation in{prefix};
    if (in.prefix.empty()) {
        in.prefix = work + "/prefix";
        if (RunQuiet({TV_BENCH_CMAKE, "--install", TV_BENCH_BUILD_DIR, "--prefix", in.prefix}) !=
            0) {
            std::fprintf(stderr, "cannot install %s into %s\n", TV_BENCH_BUILD_DIR,
                         in.prefix.c_str());
            std::exit(1);
        }
    }
    if (access((in.app() + "tessel-open").c_str(), X_OK) != 0) {
        std::fprintf(stderr, "no tessel-open in %s\n", in.app().c_str());
        std::exit(1);
    }
    return in;
}

// $BROWSER for everything this process starts: a script that writes the target it is
// given into a log, which the benchmark watches, so it learns when a page is handed over
// (within a fraction of a millisecond) and a browser never waits for the benchmark.
class BrowserRecorder {
  public:
    explicit BrowserRecorder(const std::string& work)
        : log_(work + "/browser.log"), script_(work + "/browser") {
        std::ofstream(script_) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << log_ << "'\n";
        std::filesystem::permissions(script_, std::filesystem::perms::owner_all);
        setenv("BROWSER", script_.c_str(), 1);
        unsetenv("DISPLAY");
    }

    // Before each start: forgets what was handed over before.
    void Arm() { std::filesystem::remove(log_); }

    // The target handed over, once a browser was started; nothing after timeoutMs.
    std::optional<std::string> Wait(int timeoutMs) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            std::ifstream in(log_);
            std::string line;
            if (in && std::getline(in, line) && !in.eof()) {
                return line;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return std::nullopt;
    }

  private:
    std::string log_, script_;
};

// Removes a work folder the benchmark made for itself when it ends, also by exit().
inline void RemoveAtExit(const std::string& folder) {
    static std::string made;
    made = folder;
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(made, ec);
    });
}

// "1.23 0.98 0.77": the load averages now.
inline std::string LoadAverage() {
    std::string a, b, c;
    std::ifstream("/proc/loadavg") >> a >> b >> c;
    return a + " " + b + " " + c;
}

}  // namespace tv::bench

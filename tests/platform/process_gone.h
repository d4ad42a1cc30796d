#pragma once
// Whether a process has ended, for tests that check no tool is left running: a process
// that has ended but was not reaped yet (its parent gone, or not waiting) counts as
// ended.
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace tv::test {

inline bool ProcessGone(long pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), {});
    const auto name = stat.rfind(')');  // "<pid> (<name>) <state> ..."
    return name == std::string::npos || stat.compare(name + 2, 1, "Z") == 0;
}

inline bool ProcessGoneWithin(long pid, std::chrono::milliseconds limit) {
    for (auto end = std::chrono::steady_clock::now() + limit; !ProcessGone(pid);) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace tv::test

// Times SaveSettings with sixteen recent files on a temporary hive: the median and
// 95th percentile per save over 200 saves, in four cases: nothing changed (closing
// the window), a setter changing one value, a new recent file (every item moves), and
// every value changed.
//
//   bench_settings_save [saves]      (hive in a fresh folder under $TMPDIR)
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "settings/settings_store.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Stats {
    double median = 0;
    double p95 = 0;
};

template <typename Step>
Stats Time(int saves, Step step) {
    std::vector<double> ms;
    for (int i = 0; i < saves; ++i) {
        auto start = Clock::now();
        step(i);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[ms.size() * 95 / 100]};
}

}  // namespace

int main(int argc, char** argv) {
    const int saves = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    std::string folder = tv::TempFolder() + "bench-settings-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string hive = folder + "/user.reg";
    ::setenv("TESSEL_REGISTRY_FILE", hive.c_str(), 1);

    tv::SettingsMembers members = tv::SuggestedSettings();
    members.m_VantorDavUrl = "https://dav.example/vantor";
    tv::ArchiveOptions options{true, false};
    tv::cMRU mru;
    for (int i = 0; i < 16; ++i) {
        mru.Add("/home/user/Documents/packages/US" + std::to_string(10000000 + i) + "B2.zip");
    }
    int status = 0;
    try {
        tv::SaveSettings(tv::HKEY_CURRENT_USER_ROOT, members, options, mru);

        Stats unchanged = Time(saves, [&](int) {
            tv::SaveSettings(tv::HKEY_CURRENT_USER_ROOT, members, options, mru);
        });
        Stats setter = Time(saves, [&](int i) {
            members.m_IE11Path = i % 2 ? "/usr/bin/x-www-browser" : "/usr/bin/firefox";
            tv::SaveSettings(tv::HKEY_CURRENT_USER_ROOT, members, options, mru);
        });
        Stats recent = Time(saves, [&](int i) {
            mru.Add("/home/user/Documents/packages/new" + std::to_string(i) + ".zip");
            tv::SaveSettings(tv::HKEY_CURRENT_USER_ROOT, members, options, mru);
        });
        Stats everything = Time(saves, [&](int i) {
            const std::string tag = std::to_string(i);
            for (std::string* text :
                 {&members.m_IE11Path, &members.m_ChromePath, &members.m_VantorDavUrl,
                  &members.m_EspacenetUrl, &members.m_GrantexUrl, &members.m_PubexUrl,
                  &members.m_GooglePatentsUrl}) {
                *text = "/changed/" + tag;
            }
            members.m_SpecificationRenderOption = static_cast<std::int16_t>(i);
            members.m_NavigationOption = static_cast<std::int16_t>(i % 2);
            members.m_ZornRenderOption = static_cast<std::int16_t>(i + 1);
            options = {i % 2 == 0, i % 2 == 1};
            mru.Add("/home/user/Documents/packages/all" + tag + ".zip");
            tv::SaveSettings(tv::HKEY_CURRENT_USER_ROOT, members, options, mru);
        });
        std::printf("SaveSettings, 16 recent files, %d saves each (ms per save)\n", saves);
        std::printf("  %-28s median %7.3f   p95 %7.3f\n", "nothing changed", unchanged.median,
                    unchanged.p95);
        std::printf("  %-28s median %7.3f   p95 %7.3f\n", "one value changed", setter.median,
                    setter.p95);
        std::printf("  %-28s median %7.3f   p95 %7.3f\n", "new recent file", recent.median,
                    recent.p95);
        std::printf("  %-28s median %7.3f   p95 %7.3f\n", "every value changed", everything.median,
                    everything.p95);
    } catch (const tv::AppError& e) {
        std::fprintf(stderr, "%s\n", tv::SaveFailureMessage(e).c_str());
        status = 1;
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return status;
}

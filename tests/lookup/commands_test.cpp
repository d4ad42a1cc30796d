#include "lookup/commands.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>

namespace tv {
namespace {

TEST(PageImageAddress, GrantDesignPublicationForcedGrantAndEmpty) {
    // grant 6,123,456
    EXPECT_EQ(
        PageImageAddress("006123456"),
        "http://pimg-grant.tessel-office.example/.piw?Docid=0006123456&homeurl=http%3A%2F%2F"
        "grantex.tessel-office.example%2Fnetacgi%2Fnph-Parser%3FSect1%3DNVO1%2526Sect2%3DHITOFF"
        "%2526d%3DPALL%2526p%3D1%2526u%3D%25252Fnetahtml%25252FNVO%25252Fsrchnum.htm%2526r%3D1"
        "%2526f%3DG%2526l%3D50%2526s1%3D006123456.PN.%2526OS%3DPN%2F006123456%2526RS%3DPN%2F"
        "006123456");
    // design: the Docid carries the extra 0 in front of the letter too
    EXPECT_EQ(
        PageImageAddress("D0512345"),
        "http://pimg-grant.tessel-office.example/.piw?Docid=0D0512345&homeurl=http%3A%2F%2F"
        "grantex.tessel-office.example%2Fnetacgi%2Fnph-Parser%3FSect1%3DNVO1%2526Sect2%3DHITOFF"
        "%2526d%3DPALL%2526p%3D1%2526u%3D%25252Fnetahtml%25252FNVO%25252Fsrchnum.htm%2526r%3D1"
        "%2526f%3DG%2526l%3D50%2526s1%3DD0512345.PN.%2526OS%3DPN%2FD0512345%2526RS%3DPN%2F"
        "D0512345");
    // publication
    EXPECT_EQ(
        PageImageAddress("20120012345"),
        "http://pimg-pub.tessel-office.example/.aiw?Docid=20120012345&homeurl=http%3A%2F%2F"
        "pubex.tessel-office.example%2Fnetacgi%2Fnph-Parser%3FSect1%3DNVO1%2526Sect2%3DHITOFF"
        "%2526d%3DPG01%2526p%3D1%2526u%3D%25252Fnetahtml%25252FNVO%25252Fsrchnum.html%2526r%3D1"
        "%2526f%3DG%2526l%3D50%2526s1%3D%25252220120012345%252522.PGNR.%2526OS%3DDN%2F"
        "20120012345%2526RS%3DDN%2F20120012345");
    // forced grant beginning with "2": the first character sends it to the publication viewer
    EXPECT_EQ(
        PageImageAddress("202345678"),
        "http://pimg-pub.tessel-office.example/.aiw?Docid=202345678&homeurl=http%3A%2F%2F"
        "pubex.tessel-office.example%2Fnetacgi%2Fnph-Parser%3FSect1%3DNVO1%2526Sect2%3DHITOFF"
        "%2526d%3DPG01%2526p%3D1%2526u%3D%25252Fnetahtml%25252FNVO%25252Fsrchnum.html%2526r%3D1"
        "%2526f%3DG%2526l%3D50%2526s1%3D%252522202345678%252522.PGNR.%2526OS%3DDN%2F"
        "202345678%2526RS%3DDN%2F202345678");
    // unrecognised number: grant address with the number parts empty
    EXPECT_EQ(
        PageImageAddress(""),
        "http://pimg-grant.tessel-office.example/.piw?Docid=0&homeurl=http%3A%2F%2F"
        "grantex.tessel-office.example%2Fnetacgi%2Fnph-Parser%3FSect1%3DNVO1%2526Sect2%3DHITOFF"
        "%2526d%3DPALL%2526p%3D1%2526u%3D%25252Fnetahtml%25252FNVO%25252Fsrchnum.htm%2526r%3D1"
        "%2526f%3DG%2526l%3D50%2526s1%3D.PN.%2526OS%3DPN%2F%2526RS%3DPN%2F");
}

std::string PercentDecode(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() &&
            std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string FullyDecoded(std::string s) {
    for (std::string d = PercentDecode(s); d != s; d = PercentDecode(s)) {
        s = d;
    }
    return s;
}

// The homeurl link read back as the search program's query: host, keys and values.
std::map<std::string, std::string> HomeLink(const std::string& address) {
    const std::string link = PercentDecode(address.substr(address.find("&homeurl=") + 9));
    std::map<std::string, std::string> q;
    const std::size_t mark = link.find('?');
    q["@"] = link.substr(0, mark);
    std::string rest = link.substr(mark + 1);
    while (!rest.empty()) {
        const std::size_t amp = rest.find("%26");
        const std::string pair = rest.substr(0, amp);
        const std::size_t eq = pair.find('=');
        q[pair.substr(0, eq)] = FullyDecoded(pair.substr(eq + 1));
        rest = amp == std::string::npos ? "" : rest.substr(amp + 3);
    }
    return q;
}

TEST(PageImageAddress, HomeLinkCarriesTheSearchForTheSameNumber) {
    using Q = std::map<std::string, std::string>;
    EXPECT_EQ(HomeLink(GrantPageImageAddress("006123456")),
              (Q{{"@", "http://grantex.tessel-office.example/netacgi/nph-Parser"},
                 {"Sect1", "NVO1"},
                 {"Sect2", "HITOFF"},
                 {"d", "PALL"},
                 {"p", "1"},
                 {"u", "/netahtml/NVO/srchnum.htm"},
                 {"r", "1"},
                 {"f", "G"},
                 {"l", "50"},
                 {"s1", "006123456.PN."},
                 {"OS", "PN/006123456"},
                 {"RS", "PN/006123456"}}));
    EXPECT_EQ(HomeLink(PublicationPageImageAddress("20120012345")),
              (Q{{"@", "http://pubex.tessel-office.example/netacgi/nph-Parser"},
                 {"Sect1", "NVO1"},
                 {"Sect2", "HITOFF"},
                 {"d", "PG01"},
                 {"p", "1"},
                 {"u", "/netahtml/NVO/srchnum.html"},
                 {"r", "1"},
                 {"f", "G"},
                 {"l", "50"},
                 {"s1", "\"20120012345\".PGNR."},
                 {"OS", "DN/20120012345"},
                 {"RS", "DN/20120012345"}}));
}

TEST(ServiceSearchNumber, LeadingZerosGoOnlyFromAllDigitNumbers) {
    EXPECT_EQ(ServiceSearchNumber("010000000"), "10000000");
    EXPECT_EQ(ServiceSearchNumber("000000000"), "");
    EXPECT_EQ(ServiceSearchNumber("20120012345"), "20120012345");
    EXPECT_EQ(ServiceSearchNumber("D0512345"), "D0512345");
    EXPECT_EQ(ServiceSearchNumber("PP012345"), "PP012345");
    EXPECT_EQ(ServiceSearchNumber(""), "");
}

class BuildLookupRequestTest : public ::testing::Test {
  protected:
    LookupSettings settings{"/opt/ie dir/iexplore",
                            "/opt/Chrome Browser/chrome",
                            "http://grantex.tessel-office.example/netahtml/NVO/srchnum.htm",
                            "http://pubex.tessel-office.example/netahtml/NVO/srchnum.html",
                            "https://espacenet.invalid/patent/search?q=us",
                            "https://patents.invalid/patent/US"};

    LaunchRequest Run(LookupCommand c, const char* text) {
        return BuildLookupRequest(c, text, settings, 2026);
    }
};

TEST_F(BuildLookupRequestTest, EachCommandPicksItsBrowserAndAddress) {
    const std::string cDrive = R"("c:\")";
    const char* box = "10,000,000";

    LaunchRequest r = Run(LookupCommand::SearchGrantex, box);
    EXPECT_EQ(r.program, settings.ie11Path);
    EXPECT_EQ(r.target, settings.grantexUrl);
    EXPECT_EQ(r.workingDirectory, cDrive);

    r = Run(LookupCommand::SearchPubex, "anything");
    EXPECT_EQ(r.program, settings.ie11Path);
    EXPECT_EQ(r.target, settings.pubexUrl);
    EXPECT_EQ(r.workingDirectory, cDrive);

    r = Run(LookupCommand::PageImagesIE, box);
    EXPECT_EQ(r.program, settings.ie11Path);
    EXPECT_TRUE(r.target.starts_with(
        "http://pimg-grant.tessel-office.example/.piw?Docid=0010000000&homeurl="));
    EXPECT_EQ(r.target, GrantPageImageAddress("010000000"));
    EXPECT_EQ(r.workingDirectory, cDrive);

    r = Run(LookupCommand::PageImagesChrome, "2012/0012345");
    EXPECT_EQ(r.program, settings.chromePath);
    EXPECT_EQ(r.target, PublicationPageImageAddress("20120012345"));
    EXPECT_EQ(r.workingDirectory, cDrive);

    r = Run(LookupCommand::Espacenet, box);
    EXPECT_EQ(r.program, settings.chromePath);
    EXPECT_EQ(r.target, "https://espacenet.invalid/patent/search?q=us10000000");
    EXPECT_EQ(r.workingDirectory, cDrive);

    r = Run(LookupCommand::GooglePatents, "2012/0012345");
    EXPECT_EQ(r.program, settings.chromePath);
    EXPECT_EQ(r.target, "https://patents.invalid/patent/US20120012345");
    EXPECT_EQ(r.workingDirectory, cDrive);
}

TEST_F(BuildLookupRequestTest, ChromeSearchesOpenTheBareServiceForEmptyOrZeroNumbers) {
    EXPECT_EQ(Run(LookupCommand::GooglePatents, "").target, settings.googlePatentsUrl);
    EXPECT_EQ(Run(LookupCommand::Espacenet, "13,000,000").target, settings.espacenetUrl);
    EXPECT_EQ(Run(LookupCommand::Espacenet, "d512,345").target,
              "https://espacenet.invalid/patent/search?q=usD0512345");
    EXPECT_EQ(Run(LookupCommand::PageImagesIE, "13,000,000").target, GrantPageImageAddress(""));
}

}  // namespace
}  // namespace tv

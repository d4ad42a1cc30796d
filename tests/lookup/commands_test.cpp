#include "lookup/commands.h"

#include <gtest/gtest.h>

#include <string>

namespace tv {
namespace {

TEST(PageImageAddress, GrantDesignPublicationForcedGrantAndEmpty) {
    const struct {
        const char* number;
        const char* address;
    } cases[] = {
        {"006123456",  // grant 6,123,456
         "http://pimg-grant.tessel-office.example/.piw?Docid=0006123456&homeurl=http%3A%2F%2F"
         "grantex.tessel-office.example%2Fnetacgi%2Fnph-Parser%3FSect1%3DNVO1%2526Sect2%3DHITOFF"
         "%2526d%3DPALL%2526p%3D1%2526u%3D%25252Fnetahtml%25252FNVO%25252Fsrchnum.htm%2526r%3D1"
         "%2526f%3DG%2526l%3D50%2526s1%3D006123456.PN.%2526OS%3DPN%2F006123456%2526RS%3DPN%2F"
         "006123456"},
        {"D0512345",  // design: the Docid carries the extra 0 in front of the letter too
         "http://pimg-grant.tessel-office.example/.piw?Docid=0D0512345&homeurl=http%3A%2F%2F"
         "grantex.tessel-office.example%2Fnetacgi%2Fnph-Parser%3FSect1%3DNVO1%2526Sect2%3DHITOFF"
         "%2526d%3DPALL%2526p%3D1%2526u%3D%25252Fnetahtml%25252FNVO%25252Fsrchnum.htm%2526r%3D1"
         "%2526f%3DG%2526l%3D50%2526s1%3DD0512345.PN.%2526OS%3DPN%2FD0512345%2526RS%3DPN%2F"
         "D0512345"},
        {"20120012345",  // publication
         "http://pimg-pub.tessel-office.example/.aiw?Docid=20120012345&homeurl=http%3A%2F%2F"
         "pubex.tessel-office.example%2Fnetacgi%2Fnph-Parser%3FSect1%3DNVO1%2526Sect2%3DHITOFF"
         "%2526d%3DPG01%2526p%3D1%2526u%3D%25252Fnetahtml%25252FNVO%25252Fsrchnum.html%2526r%3D1"
         "%2526f%3DG%2526l%3D50%2526s1%3D%25252220120012345%252522.PGNR.%2526OS%3DDN%2F"
         "20120012345%2526RS%3DDN%2F20120012345"},
        {"202345678",  // forced grant beginning with "2": the first character picks the viewer
         "http://pimg-pub.tessel-office.example/.aiw?Docid=202345678&homeurl=http%3A%2F%2F"
         "pubex.tessel-office.example%2Fnetacgi%2Fnph-Parser%3FSect1%3DNVO1%2526Sect2%3DHITOFF"
         "%2526d%3DPG01%2526p%3D1%2526u%3D%25252Fnetahtml%25252FNVO%25252Fsrchnum.html%2526r%3D1"
         "%2526f%3DG%2526l%3D50%2526s1%3D%252522202345678%252522.PGNR.%2526OS%3DDN%2F"
         "202345678%2526RS%3DDN%2F202345678"},
        {"",  // unrecognised number: grant address with the number parts empty
         "http://pimg-grant.tessel-office.example/.piw?Docid=0&homeurl=http%3A%2F%2F"
         "grantex.tessel-office.example%2Fnetacgi%2Fnph-Parser%3FSect1%3DNVO1%2526Sect2%3DHITOFF"
         "%2526d%3DPALL%2526p%3D1%2526u%3D%25252Fnetahtml%25252FNVO%25252Fsrchnum.htm%2526r%3D1"
         "%2526f%3DG%2526l%3D50%2526s1%3D.PN.%2526OS%3DPN%2F%2526RS%3DPN%2F"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PageImageAddress(c.number), c.address) << '"' << c.number << '"';
    }
}

// Service addresses get the number without leading zeros when it is all digits; an
// unrecognised number leaves the bare address.
TEST(BuildLookupRequest, EachCommandPicksItsBrowserAndAddress) {
    const LookupSettings set{"ie", "chrome", "grantex", "pubex", "esp?q=us", "gp/US"};
    using C = LookupCommand;
    const struct {
        C command;
        const char* box;
        const char* program;
        std::string target;
    } cases[] = {
        {C::SearchGrantex, "10,000,000", "ie", "grantex"},
        {C::SearchPubex, "10,000,000", "ie", "pubex"},
        {C::PageImagesIE, "10,000,000", "ie", GrantPageImageAddress("010000000")},
        {C::PageImagesIE, "13,000,000", "ie", GrantPageImageAddress("")},
        {C::PageImagesChrome, "2012/0012345", "chrome", PublicationPageImageAddress("20120012345")},
        {C::Espacenet, "10,000,000", "chrome", "esp?q=us10000000"},
        {C::Espacenet, "d512,345", "chrome", "esp?q=usD0512345"},
        {C::Espacenet, "13,000,000", "chrome", "esp?q=us"},
        {C::GooglePatents, "2012/0012345", "chrome", "gp/US20120012345"},
        {C::GooglePatents, "", "chrome", "gp/US"},
    };
    for (const auto& c : cases) {
        const LaunchRequest r = BuildLookupRequest(c.command, c.box, set, 2026);
        EXPECT_EQ(r.program, c.program) << c.box;
        EXPECT_EQ(r.target, c.target) << c.box;
        EXPECT_EQ(r.workingDirectory, R"("c:\")");
    }
}

}  // namespace
}  // namespace tv

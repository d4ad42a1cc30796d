#include "lookup/commands.h"

#include <algorithm>

#include "lookup/hosts.h"
#include "lookup/normalize.h"

namespace tv {
namespace {

// The homeurl value is a full-text search link, encoded in layers the viewers expect;
// it is kept verbatim.
constexpr std::string_view kGrantHomeQuery =
    "%2Fnetacgi%2Fnph-Parser%3FSect1%3DNVO1%2526Sect2%3DHITOFF%2526d%3DPALL%2526p%3D1"
    "%2526u%3D%25252Fnetahtml%25252FNVO%25252Fsrchnum.htm%2526r%3D1%2526f%3DG%2526l%3D50"
    "%2526s1%3D";
constexpr std::string_view kPublicationHomeQuery =
    "%2Fnetacgi%2Fnph-Parser%3FSect1%3DNVO1%2526Sect2%3DHITOFF%2526d%3DPG01%2526p%3D1"
    "%2526u%3D%25252Fnetahtml%25252FNVO%25252Fsrchnum.html%2526r%3D1%2526f%3DG%2526l%3D50"
    "%2526s1%3D%252522";

bool AllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string GrantPageImageAddress(std::string_view n) {
    std::string a = "http://";
    a += kGrantImageHost;
    a += "/.piw?Docid=0";
    a += n;
    a += "&homeurl=http%3A%2F%2F";
    a += kGrantSearchHost;
    a += kGrantHomeQuery;
    a += n;
    a += ".PN.%2526OS%3DPN%2F";
    a += n;
    a += "%2526RS%3DPN%2F";
    a += n;
    return a;
}

std::string PublicationPageImageAddress(std::string_view n) {
    std::string a = "http://";
    a += kPublicationImageHost;
    a += "/.aiw?Docid=";
    a += n;
    a += "&homeurl=http%3A%2F%2F";
    a += kPublicationSearchHost;
    a += kPublicationHomeQuery;
    a += n;
    a += "%252522.PGNR.%2526OS%3DDN%2F";
    a += n;
    a += "%2526RS%3DDN%2F";
    a += n;
    return a;
}

std::string PageImageAddress(std::string_view n) {
    // Only the first character decides, so a forced grant beginning with "2" goes to
    // the publication viewer.
    return n.starts_with('2') ? PublicationPageImageAddress(n) : GrantPageImageAddress(n);
}

std::string ServiceSearchNumber(std::string_view n) {
    return AllDigits(n) ? RemoveLeadingZeroes(n) : std::string(n);
}

LaunchRequest BuildLookupRequest(LookupCommand command, std::string_view searchBoxText,
                                 const LookupSettings& settings, int currentYear) {
    LaunchRequest r;
    r.workingDirectory = kLookupWorkingDirectory;
    switch (command) {
        case LookupCommand::SearchGrantex:
            r.program = settings.ie11Path;
            r.target = settings.grantexUrl;
            break;
        case LookupCommand::SearchPubex:
            r.program = settings.ie11Path;
            r.target = settings.pubexUrl;
            break;
        case LookupCommand::PageImagesIE:
            r.program = settings.ie11Path;
            r.target = PageImageAddress(NormalizePatentNumber(searchBoxText, currentYear));
            break;
        case LookupCommand::PageImagesChrome:
            r.program = settings.chromePath;
            r.target = PageImageAddress(NormalizePatentNumber(searchBoxText, currentYear));
            break;
        case LookupCommand::Espacenet:
            r.program = settings.chromePath;
            r.target = settings.espacenetUrl +
                       ServiceSearchNumber(NormalizePatentNumber(searchBoxText, currentYear));
            break;
        case LookupCommand::GooglePatents:
            r.program = settings.chromePath;
            r.target = settings.googlePatentsUrl +
                       ServiceSearchNumber(NormalizePatentNumber(searchBoxText, currentYear));
            break;
    }
    return r;
}

LaunchRequest BuildLookupRequest(LookupCommand command, std::string_view searchBoxText,
                                 const LookupSettings& settings) {
    return BuildLookupRequest(command, searchBoxText, settings, CurrentLocalYear());
}

}  // namespace tv

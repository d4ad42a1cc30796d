#pragma once
// The online lookup commands: which browser each command starts, on which address.
//
// The window reads its search box and settings, calls BuildLookupRequest and hands
// the request to LaunchInBrowser (render/launch.h). Nothing here starts a program or
// validates anything: an unrecognised number still gives a request (the grant
// address with empty number parts, or the bare service address).
#include <string>
#include <string_view>

namespace tv {

enum class LookupCommand {
    SearchGrantex,     // Command1, File menu "Search &Grantex": GrantexUrl in IE
    SearchPubex,       // Command2, File menu "Search &Pubex": PubexUrl in IE
    PageImagesIE,      // Command4: page-image address in IE
    PageImagesChrome,  // Command5: page-image address in Chrome
    Espacenet,         // Command6: EspacenetUrl + M in Chrome
    GooglePatents,     // Command7: GooglePatentsUrl + M in Chrome
};

struct LookupSettings {
    std::string ie11Path;
    std::string chromePath;
    std::string grantexUrl;
    std::string pubexUrl;
    std::string espacenetUrl;
    std::string googlePatentsUrl;
};

struct LaunchRequest {
    std::string program;
    std::string target;
    std::string workingDirectory;
};

// The working directory every lookup passes: c:\ in double quotes. The launch layer
// removes the quotes and, as it names no folder here, keeps the viewer's own.
inline constexpr const char* kLookupWorkingDirectory = "\"c:\\\"";

// Page-image viewer address for a normalised number n: the publication viewer when n
// begins with "2", else the grant viewer (also for an empty n). n goes in unencoded.
std::string PageImageAddress(std::string_view n);
std::string GrantPageImageAddress(std::string_view n);
std::string PublicationPageImageAddress(std::string_view n);

// The number appended to the Espacenet and Google Patents addresses: n without its
// leading zeros when it is all digits (000000000 gives ""), otherwise n unchanged.
std::string ServiceSearchNumber(std::string_view n);

LaunchRequest BuildLookupRequest(LookupCommand command, std::string_view searchBoxText,
                                 const LookupSettings& settings, int currentYear);
// The same with the year from the local clock.
LaunchRequest BuildLookupRequest(LookupCommand command, std::string_view searchBoxText,
                                 const LookupSettings& settings);

}  // namespace tv

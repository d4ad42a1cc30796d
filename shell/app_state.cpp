#include "shell/app_state.h"

#include <charconv>

#include "platform/environment.h"
#include "shell/layout.h"

namespace tv {

ProcessState& Process() {
    static ProcessState state;
    return state;
}

long ToolTimeOutFromEnvironment() {
    const std::optional<std::string> text = GetEnv("TESSEL_TOOL_TIMEOUT_MS");
    if (!text) {
        return 0;
    }
    long ms = 0;
    const char* end = text->data() + text->size();
    const auto [ptr, ec] = std::from_chars(text->data(), end, ms);
    return ec == std::errc() && ptr == end && ms > 0 ? ms : 0;
}

bool ListingGeometry(int clientWidth, int clientHeight, int statusBarHeight, Rect& listing) {
    const int width = clientWidth - 2 * listing.left;
    const int height = clientHeight - listing.top - statusBarHeight - 4;
    if (width <= 0 || height <= 0) {
        return false;
    }
    listing.width = width;
    listing.height = height;
    return true;
}

}  // namespace tv

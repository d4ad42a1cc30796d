#include "shell/app_state.h"
#include "shell/layout.h"

namespace tv {

ProcessState& Process() {
    static ProcessState state;
    return state;
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

#pragma once
// The listing's resize rule: it keeps its left and top position, fills the client
// width less twice its left offset, and reaches down to 4 pixels above the status bar.

namespace tv {

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

// False when the window is too small (for example minimised): nothing changes then.
bool ListingGeometry(int clientWidth, int clientHeight, int statusBarHeight, Rect& listing);

}  // namespace tv

#include "dialogs/mDialogHook.h"

#include "dialogs/GCommonDialog.h"

namespace tv::mDialogHook {

namespace {
GCommonDialog* g_registered = nullptr;
}

GCommonDialog* Registered() {
    return g_registered;
}

std::int32_t HookProc(QWidget* dialog, HookMessage message) {
    return g_registered != nullptr ? g_registered->DialogHook(dialog, message) : 0;
}

// A dialog opened from inside a hook handler registers over the outer one; the outer
// one is back when the inner dialog has closed.
HookRegistration::HookRegistration(GCommonDialog* target) : previous_(g_registered) {
    g_registered = target;
}

HookRegistration::~HookRegistration() {
    g_registered = previous_;
}

}  // namespace tv::mDialogHook

#pragma once
// The hook of the common dialogs: while a hooked dialog is on screen, one GCommonDialog
// is registered here, and the dialog's notifications come through HookProc to it.
// The registration lasts exactly as long as a HookRegistration object.
#include <cstdint>

class QWidget;

namespace tv {

class GCommonDialog;

// The notifications a dialog sends, in the order of the events they raise.
enum class HookMessage {
    InitDialog,    // the dialog is shown
    SelChange,     // the current file changed
    FolderChange,  // another folder was entered
    FileOk,        // the user accepts; a non-zero answer keeps the dialog open
    TypeChange,    // another filter was chosen
    Destroy,       // the dialog closed
};

namespace mDialogHook {

// The registered object, or nullptr.
GCommonDialog* Registered();

// Forwards to the registered object's DialogHook; 0 when none is registered.
std::int32_t HookProc(QWidget* dialog, HookMessage message);

class HookRegistration {
  public:
    explicit HookRegistration(GCommonDialog* target);
    ~HookRegistration();
    HookRegistration(const HookRegistration&) = delete;
    HookRegistration& operator=(const HookRegistration&) = delete;

  private:
    GCommonDialog* previous_;
};

}  // namespace mDialogHook
}  // namespace tv

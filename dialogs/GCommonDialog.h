#pragma once
// Shows Qt's own dialogs (never the platform's native ones, so tests can drive them)
// for the file dialog service and keeps the result of the last call: APIReturn is 1
// when the user confirmed, 0 on cancel; ExtendedError explains a failure (0: none).
// Both are reset at the start of each call. While a hooked dialog is open, DialogHook
// passes its notifications to the receiving cCommonDialog.
#include <QColor>
#include <QFont>
#include <array>
#include <cstdint>
#include <string>

#include "dialogs/dialog_rules.h"
#include "dialogs/mDialogHook.h"

class QWidget;

namespace tv {

class cCommonDialog;

struct FileDialogRequest {
    QWidget* owner = nullptr;
    OpenDialogSetup setup;
    std::string filter;  // converted: NUL-separated, two NULs at the end
    std::string fileName, initialDir, title, defaultExt;
    bool save = false;
    bool overwritePrompt = false;
};

struct FileDialogAnswer {
    std::string fileName;  // one full path, or the multiple-selection answer
    std::string fileTitle;
    std::int32_t flags = 0;
    std::int32_t filterIndex = 0;
};

struct PrintRequest {
    QWidget* owner = nullptr;
    std::int32_t copies = 1, fromPage = 0, toPage = 0, minPage = 0, maxPage = 0;
};

class GCommonDialog {
  public:
    std::int32_t APIReturn() const { return apiReturn_; }
    std::int32_t ExtendedError() const { return extendedError_; }

    // The object that receives the hook notifications (nullptr: none).
    void SetHookTarget(cCommonDialog* target) { hookTarget_ = target; }
    std::int32_t DialogHook(QWidget* dialog, HookMessage message);

    std::int32_t VBGetOpenFileName(const FileDialogRequest& request, FileDialogAnswer& answer);
    std::int32_t VBGetSaveFileName(const FileDialogRequest& request, FileDialogAnswer& answer);
    // The name part of a path, as the dialogs show it.
    static std::string VBGetFileTitle(const std::string& path);
    std::int32_t VBChooseColor(QWidget* owner, QColor& color,
                               std::array<std::int32_t, 16>& customColors, bool hooked);
    std::int32_t VBChooseFont(QWidget* owner, QFont& font, bool hooked);
    std::int32_t VBPrintDlg(PrintRequest& request, bool hooked);

  private:
    std::int32_t RunFileDialog(const FileDialogRequest& request, FileDialogAnswer& answer);
    void Reset() { apiReturn_ = extendedError_ = 0; }

    std::int32_t apiReturn_ = 0;
    std::int32_t extendedError_ = 0;
    cCommonDialog* hookTarget_ = nullptr;
};

}  // namespace tv

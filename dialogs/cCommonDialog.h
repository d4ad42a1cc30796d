#pragma once
// The file dialog service: properties in the manner of a dialog control, one Show
// operation per dialog, and events raised from the dialog's hook (only with
// HookDialog set). One object is meant for one command; it shows Qt's own dialogs.
//
// ShowOpen leaves in Filename: nothing on cancel; one full path for a single choice;
// with OFN_ALLOWMULTISELECT the answer "folder NUL name NUL ... NUL NUL" that
// ParseMultiFileName splits. A cancel never raises, whatever CancelError says; a
// dialog failure raises ExtendedError OR 13450 with source "tessel-viewer.cCommonDialog".
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/GCommonDialog.h"
#include "dialogs/dialog_rules.h"

namespace tv {

class cCommonDialog : public QObject {
    Q_OBJECT

  public:
    explicit cCommonDialog(QObject* parent = nullptr);
    ~cCommonDialog() override;

    // Properties.
    bool CancelError() const { return cancelError_; }
    void SetCancelError(bool v) { cancelError_ = v; }
    const std::string& Filename() const { return filename_; }
    void SetFilename(std::string v) { filename_ = std::move(v); }
    const std::string& Filter() const { return filter_; }
    void SetFilter(std::string v) { filter_ = std::move(v); }
    std::int32_t FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(std::int32_t v) { filterIndex_ = v; }
    std::int32_t Color() const { return color_; }  // 0x00BBGGRR
    void SetColor(std::int32_t v) { color_ = v; }
    std::int32_t Copies() const { return copies_; }
    void SetCopies(std::int32_t v) { copies_ = v; }
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(std::string v) { defaultExt_ = std::move(v); }
    const std::string& DialogTitle() const { return dialogTitle_; }
    void SetDialogTitle(std::string v) { dialogTitle_ = std::move(v); }
    std::int32_t flags() const { return flags_; }
    void SetFlags(std::int32_t v) { flags_ = v; }
    bool FontBold() const { return fontBold_; }
    void SetFontBold(bool v) { fontBold_ = v; }
    bool FontItalic() const { return fontItalic_; }
    void SetFontItalic(bool v) { fontItalic_ = v; }
    const std::string& FontName() const { return fontName_; }
    void SetFontName(std::string v) { fontName_ = std::move(v); }
    double FontSize() const { return fontSize_; }
    void SetFontSize(double v) { fontSize_ = v; }
    bool FontStrikethru() const { return fontStrikethru_; }
    void SetFontStrikethru(bool v) { fontStrikethru_ = v; }
    bool FontUnderline() const { return fontUnderline_; }
    void SetFontUnderline(bool v) { fontUnderline_ = v; }
    std::int32_t FontColor() const { return fontColor_; }
    void SetFontColor(std::int32_t v) { fontColor_ = v; }
    std::int32_t FromPage() const { return fromPage_; }
    void SetFromPage(std::int32_t v) { fromPage_ = v; }
    std::int32_t ToPage() const { return toPage_; }
    void SetToPage(std::int32_t v) { toPage_ = v; }
    std::int32_t Min() const { return min_; }
    void SetMin(std::int32_t v) { min_ = v; }
    std::int32_t Max() const { return max_; }
    void SetMax(std::int32_t v) { max_ = v; }
    // The owner window; nullptr for none.
    QWidget* hwnd() const { return hwnd_; }
    void SetHwnd(QWidget* v) { hwnd_ = v; }
    std::int32_t HelpCommand() const { return helpCommand_; }
    void SetHelpCommand(std::int32_t v) { helpCommand_ = v; }
    std::int32_t HelpContext() const { return helpContext_; }
    void SetHelpContext(std::int32_t v) { helpContext_ = v; }
    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(std::string v) { helpFile_ = std::move(v); }
    const std::string& HelpKey() const { return helpKey_; }
    void SetHelpKey(std::string v) { helpKey_ = std::move(v); }
    const std::string& InitDir() const { return initDir_; }
    void SetInitDir(std::string v) { initDir_ = std::move(v); }
    // Kept for callers; the answer has no fixed buffer, so it limits nothing.
    std::int32_t MaxFileSize() const { return maxFileSize_; }
    void SetMaxFileSize(std::int32_t v) { maxFileSize_ = v; }
    // The window CentreDialog centres on.
    QWidget* Object() const { return object_; }
    void SetObject(QWidget* v) { object_ = v; }
    bool PrinterDefault() const { return printerDefault_; }
    void SetPrinterDefault(bool v) { printerDefault_ = v; }
    const std::string& FileTitle() const { return fileTitle_; }
    void SetFileTitle(std::string v) { fileTitle_ = std::move(v); }
    // 16 entries; an index outside 0..15 raises error 9.
    std::int32_t CustomColor(int i) const;
    void SetCustomColor(int i, std::int32_t v);
    bool HookDialog() const { return hookDialog_; }
    void SetHookDialog(bool v) { hookDialog_ = v; }
    // Custom dialog templates do not exist for Qt's dialogs: the instance and the
    // template name only take part in the flag decision.
    std::int64_t hInstance() const { return hInstance_; }
    void SetHInstance(std::int64_t v) { hInstance_ = v; }
    const std::string& TemplateName() const { return templateName_; }
    void SetTemplateName(std::string v) { templateName_ = std::move(v); }
    // True after ShowOpen or ShowSave.
    bool IsExplorerDialog() const { return explorer_; }

    // The dialogs.
    void ShowOpen();
    void ShowSave();
    void ShowColor();
    void ShowFont();
    void ShowPrinter();
    // Opens HelpFile with the desktop's viewer; HELP_QUIT does nothing. Raises 13705
    // for HELP_MULTIKEY and HELP_SETWINPOS, and a numbered error when the file cannot
    // be shown.
    void ShowHelp();

    // Splits Filename (see ParseMultiFileName in dialog_rules.h).
    void ParseMultiFileName(std::string& folder, std::vector<std::string>& names,
                            std::int32_t& count) const;

    // Centres dialog on the window of object; without one on the work area, and
    // without that on the screen.
    static void CentreDialog(QWidget* dialog, QWidget* object);
    static QSize GetDialogSize(QWidget* dialog);

    // Called by the hook: raises the event of message; 1 refuses a FileOk.
    std::int32_t RaiseHookEvent(QWidget* dialog, HookMessage message);

    GCommonDialog& Api();

  signals:
    void InitDialog(QWidget* dialog);
    void FileChange(QWidget* dialog);
    void FolderChange(QWidget* dialog);
    // Set bCancel to keep the dialog open.
    void ConfirmOK(bool& bCancel);
    void TypeChange(QWidget* dialog);
    void DialogClose();

  private:
    void ShowFileDialog(bool save);
    // Raises the error of a failed call (a value other than 0 and 1).
    void RaiseOnFailure(const char* what);

    bool cancelError_ = false;
    std::string filename_, filter_, defaultExt_, dialogTitle_, fontName_, helpFile_, helpKey_,
        initDir_, fileTitle_, templateName_;
    std::int32_t filterIndex_ = 1, color_ = 0, copies_ = 1, flags_ = 0, fontColor_ = 0,
                 fromPage_ = 0, toPage_ = 0, min_ = 0, max_ = 0, helpCommand_ = 0, helpContext_ = 0,
                 maxFileSize_ = 260;
    double fontSize_ = 0;
    bool fontBold_ = false, fontItalic_ = false, fontStrikethru_ = false, fontUnderline_ = false,
         printerDefault_ = false, hookDialog_ = false, explorer_ = false;
    QPointer<QWidget> hwnd_, object_;
    std::int64_t hInstance_ = 0;
    std::array<std::int32_t, 16> customColors_{};
    std::unique_ptr<GCommonDialog> api_;  // created on first use
};

}  // namespace tv

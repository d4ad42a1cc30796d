#include "dialogs/cCommonDialog.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>
#include <QWidget>
#include <cerrno>
#include <optional>

#include "platform/error.h"

namespace tv {

namespace {
constexpr const char* kClassName = "cCommonDialog";
}

cCommonDialog::cCommonDialog(QObject* parent) : QObject(parent) {}
cCommonDialog::~cCommonDialog() = default;

GCommonDialog& cCommonDialog::Api() {
    if (!api_) {
        api_ = std::make_unique<GCommonDialog>();
    }
    return *api_;
}

std::int32_t cCommonDialog::CustomColor(int i) const {
    if (i < 0 || i >= static_cast<int>(customColors_.size())) {
        throw AppError(kErrSubscript, ErrorSource(kClassName), "Subscript out of range");
    }
    return customColors_[static_cast<std::size_t>(i)];
}

void cCommonDialog::SetCustomColor(int i, std::int32_t v) {
    if (i < 0 || i >= static_cast<int>(customColors_.size())) {
        throw AppError(kErrSubscript, ErrorSource(kClassName), "Subscript out of range");
    }
    customColors_[static_cast<std::size_t>(i)] = v;
}

void cCommonDialog::ShowOpen() {
    ShowFileDialog(false);
}
void cCommonDialog::ShowSave() {
    ShowFileDialog(true);
}

void cCommonDialog::ShowFileDialog(bool save) {
    explorer_ = true;
    const OpenDialogSetup setup = DecideOpenSetup(flags_, filterIndex_, hInstance_, hookDialog_);
    FileDialogRequest request;
    request.owner = hwnd_;
    request.setup = setup;
    request.filter = ConvertFilter(filter_);
    request.fileName = filename_;
    request.initialDir = initDir_;
    request.title = dialogTitle_;
    request.defaultExt = defaultExt_;
    request.overwritePrompt = (flags_ & OFN_OVERWRITEPROMPT) != 0;
    if (save) {
        request.setup.flags |= flags_ & OFN_OVERWRITEPROMPT;
    }
    GCommonDialog& api = Api();
    FileDialogAnswer answer;
    {
        std::optional<mDialogHook::HookRegistration> hook;
        if (setup.hooked) {
            api.SetHookTarget(this);
            hook.emplace(&api);
        }
        if (save) {
            api.VBGetSaveFileName(request, answer);
        } else {
            api.VBGetOpenFileName(request, answer);
        }
        api.SetHookTarget(nullptr);
    }
    if (api.APIReturn() == 1) {
        filename_ = answer.fileName;
        if (!setup.multiSelect) {
            fileTitle_ = answer.fileTitle;
        }
        flags_ = answer.flags;
        filterIndex_ = answer.filterIndex;
        return;
    }
    filename_.clear();
    fileTitle_.clear();
    flags_ = 0;
    filterIndex_ = -1;
    filter_.clear();
    RaiseOnFailure(save ? "The save dialog failed" : "The open dialog failed");
}

void cCommonDialog::RaiseOnFailure(const char* what) {
    const GCommonDialog& api = *api_;
    if (RaisesOnResult(api.APIReturn())) {
        throw AppError(
            CommonDialogErrorNumber(api.ExtendedError()), ErrorSource(kClassName),
            std::string(what) + " (extended error " + std::to_string(api.ExtendedError()) + ").");
    }
}

void cCommonDialog::ShowColor() {
    const Rgb rgb = RgbFromColorRef(color_);
    QColor color(rgb.red, rgb.green, rgb.blue);
    GCommonDialog& api = Api();
    std::optional<mDialogHook::HookRegistration> hook;
    if (hookDialog_) {
        api.SetHookTarget(this);
        hook.emplace(&api);
    }
    const std::int32_t result = api.VBChooseColor(hwnd_, color, customColors_, hookDialog_);
    api.SetHookTarget(nullptr);
    if (result == 1) {
        color_ = ColorRefFromRgb({color.red(), color.green(), color.blue()});
    }
    RaiseOnFailure("The colour dialog failed");
}

void cCommonDialog::ShowFont() {
    QFont font;
    if (!fontName_.empty()) {
        font.setFamily(QString::fromStdString(fontName_));
    }
    if (fontSize_ > 0) {
        font.setPointSizeF(fontSize_);
    }
    font.setBold(fontBold_);
    font.setItalic(fontItalic_);
    font.setStrikeOut(fontStrikethru_);
    font.setUnderline(fontUnderline_);
    GCommonDialog& api = Api();
    std::optional<mDialogHook::HookRegistration> hook;
    if (hookDialog_) {
        api.SetHookTarget(this);
        hook.emplace(&api);
    }
    const std::int32_t result = api.VBChooseFont(hwnd_, font, hookDialog_);
    api.SetHookTarget(nullptr);
    if (result == 1) {
        fontName_ = font.family().toStdString();
        fontSize_ = font.pointSizeF();
        fontBold_ = font.bold();
        fontItalic_ = font.italic();
        fontStrikethru_ = font.strikeOut();
        fontUnderline_ = font.underline();
    }
    RaiseOnFailure("The font dialog failed");
}

void cCommonDialog::ShowPrinter() {
    PrintRequest request{hwnd_, copies_, fromPage_, toPage_, min_, max_};
    GCommonDialog& api = Api();
    std::optional<mDialogHook::HookRegistration> hook;
    if (hookDialog_) {
        api.SetHookTarget(this);
        hook.emplace(&api);
    }
    const std::int32_t result = api.VBPrintDlg(request, hookDialog_);
    api.SetHookTarget(nullptr);
    if (result == 1) {
        copies_ = request.copies;
        fromPage_ = request.fromPage;
        toPage_ = request.toPage;
    }
    RaiseOnFailure("The print dialog failed");
}

void cCommonDialog::ShowHelp() {
    if (IsRefusedHelpCommand(helpCommand_)) {
        throw AppError(kErrInvalidHelpCommand, ErrorSource(kClassName), kInvalidHelpCommandText);
    }
    if (helpCommand_ == HELP_QUIT) {
        return;  // the desktop's viewer is not ours to close
    }
    const QString file = QString::fromStdString(helpFile_);
    if (!QFileInfo(file).isFile()) {
        throw SystemError(ENOENT, kClassName, "Cannot open the help file", helpFile_);
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file))) {
        throw AppError(kErrInternal, ErrorSource(kClassName),
                       "No program could be started to show the help file: " + helpFile_);
    }
}

void cCommonDialog::ParseMultiFileName(std::string& folder, std::vector<std::string>& names,
                                       std::int32_t& count) const {
    tv::ParseMultiFileName(filename_, folder, names, count);
}

void cCommonDialog::CentreDialog(QWidget* dialog, QWidget* object) {
    if (dialog == nullptr) {
        return;
    }
    QWidget* window = dialog->window();
    QRect target;
    if (object != nullptr && object->window() != nullptr && object->window() != window) {
        target = object->window()->frameGeometry();
    } else if (QScreen* screen =
                   window->screen() ? window->screen() : QGuiApplication::primaryScreen()) {
        target = screen->availableGeometry();
        if (target.isEmpty()) {
            target = screen->geometry();
        }
    }
    if (target.isEmpty()) {
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(target.center());
    window->move(frame.topLeft());
}

QSize cCommonDialog::GetDialogSize(QWidget* dialog) {
    return dialog != nullptr ? dialog->window()->frameGeometry().size() : QSize();
}

std::int32_t cCommonDialog::RaiseHookEvent(QWidget* dialog, HookMessage message) {
    switch (message) {
        case HookMessage::InitDialog:
            emit InitDialog(dialog);
            return 0;
        case HookMessage::SelChange:
            emit FileChange(dialog);
            return 0;
        case HookMessage::FolderChange:
            emit FolderChange(dialog);
            return 0;
        case HookMessage::FileOk: {
            bool bCancel = false;
            emit ConfirmOK(bCancel);
            return bCancel ? 1 : 0;
        }
        case HookMessage::TypeChange:
            emit TypeChange(dialog);
            return 0;
        case HookMessage::Destroy:
            emit DialogClose();
            return 0;
    }
    return 0;
}

}  // namespace tv

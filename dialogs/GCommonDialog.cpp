#include "dialogs/GCommonDialog.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <filesystem>
#include <optional>

#include "dialogs/cCommonDialog.h"

namespace tv {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The file dialog whose acceptance the hook may refuse. Overriding done() rather than
// accept() lets Qt finish its own checks (existence, overwrite question) first, as
// the classic dialog sends its notification only for a name it would accept.
class HookedFileDialog : public QFileDialog {
  public:
    HookedFileDialog(QWidget* owner, bool hooked) : QFileDialog(owner), hooked_(hooked) {}
    void done(int result) override {
        if (hooked_ && result == QDialog::Accepted &&
            mDialogHook::HookProc(this, HookMessage::FileOk) != 0) {
            return;
        }
        QFileDialog::done(result);
    }

  private:
    bool hooked_;
};

// Runs a modal dialog, telling the hook when it is on screen and when it has closed.
int ExecHooked(QDialog& dialog, bool hooked) {
    if (hooked) {
        QTimer::singleShot(0, &dialog,
                           [&dialog] { mDialogHook::HookProc(&dialog, HookMessage::InitDialog); });
    }
    const int result = dialog.exec();
    if (hooked) {
        mDialogHook::HookProc(&dialog, HookMessage::Destroy);
    }
    return result;
}

}  // namespace

std::int32_t GCommonDialog::DialogHook(QWidget* dialog, HookMessage message) {
    return hookTarget_ != nullptr ? hookTarget_->RaiseHookEvent(dialog, message) : 0;
}

std::int32_t GCommonDialog::VBGetOpenFileName(const FileDialogRequest& request,
                                              FileDialogAnswer& answer) {
    FileDialogRequest open = request;
    open.save = false;
    return RunFileDialog(open, answer);
}

std::int32_t GCommonDialog::VBGetSaveFileName(const FileDialogRequest& request,
                                              FileDialogAnswer& answer) {
    FileDialogRequest save = request;
    save.save = true;
    return RunFileDialog(save, answer);
}

std::string GCommonDialog::VBGetFileTitle(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::int32_t GCommonDialog::RunFileDialog(const FileDialogRequest& request,
                                          FileDialogAnswer& answer) {
    Reset();
    const OpenDialogSetup& setup = request.setup;
    HookedFileDialog dialog(request.owner, setup.hooked);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The descriptions already name their patterns ("XML Files (*.xml)").
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (request.save) {
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    } else if (setup.multiSelect) {
        // Qt offers several names only among existing files; an open dialog means those.
        dialog.setFileMode(QFileDialog::ExistingFiles);
    } else {
        dialog.setFileMode(setup.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    dialog.setWindowTitle(!request.title.empty() ? Q(request.title)
                          : request.save         ? QStringLiteral("Save As")
                                                 : QStringLiteral("Open"));
    const std::vector<FilterPair> pairs = FilterPairs(request.filter);
    QStringList nameFilters;
    for (const FilterPair& p : pairs) {
        nameFilters << Q(p.description + " (" + DialogNamePatterns(p.pattern) + ")");
    }
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        const int index = setup.filterIndex - 1;
        dialog.selectNameFilter(
            nameFilters.value(index >= 0 && index < nameFilters.size() ? index : 0));
    }
    if (!request.initialDir.empty()) {
        dialog.setDirectory(Q(request.initialDir));
    }
    if (!request.defaultExt.empty()) {
        dialog.setDefaultSuffix(Q(request.defaultExt));
    }
    if (!request.fileName.empty()) {
        dialog.selectFile(Q(request.fileName));
    }
    if (setup.hooked) {
        QObject::connect(&dialog, &QFileDialog::currentChanged, &dialog,
                         [&dialog] { mDialogHook::HookProc(&dialog, HookMessage::SelChange); });
        QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog,
                         [&dialog] { mDialogHook::HookProc(&dialog, HookMessage::FolderChange); });
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog] { mDialogHook::HookProc(&dialog, HookMessage::TypeChange); });
    }
    if (ExecHooked(dialog, setup.hooked) != QDialog::Accepted) {
        return apiReturn_ = 0;
    }
    std::vector<std::string> paths;
    for (const QString& f : dialog.selectedFiles()) {
        paths.push_back(f.toStdString());
    }
    if (paths.empty()) {
        return apiReturn_ = 0;
    }
    if (setup.multiSelect) {
        answer.fileName = MultiSelectAnswer(paths);
    } else {
        answer.fileName = paths.front();
        answer.fileTitle = VBGetFileTitle(paths.front());
    }
    answer.flags = setup.flags;
    // With the details hidden, selectedNameFilter() answers the shortened text; the
    // filter box's index is the one thing that names the pair without doubt.
    const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    const qsizetype chosen =
        types != nullptr ? types->currentIndex() : nameFilters.indexOf(dialog.selectedNameFilter());
    answer.filterIndex = chosen >= 0 ? static_cast<std::int32_t>(chosen) + 1 : setup.filterIndex;
    return apiReturn_ = 1;
}

std::int32_t GCommonDialog::VBChooseColor(QWidget* owner, QColor& color,
                                          std::array<std::int32_t, 16>& customColors, bool hooked) {
    Reset();
    for (int i = 0; i < 16; ++i) {
        const Rgb c = RgbFromColorRef(customColors[i]);
        QColorDialog::setCustomColor(i, QColor(c.red, c.green, c.blue));
    }
    QColorDialog dialog(color, owner);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (ExecHooked(dialog, hooked) != QDialog::Accepted) {
        return apiReturn_ = 0;
    }
    color = dialog.selectedColor();
    for (int i = 0; i < 16; ++i) {
        const QColor c = QColorDialog::customColor(i);
        customColors[i] = ColorRefFromRgb({c.red(), c.green(), c.blue()});
    }
    return apiReturn_ = 1;
}

std::int32_t GCommonDialog::VBChooseFont(QWidget* owner, QFont& font, bool hooked) {
    Reset();
    QFontDialog dialog(font, owner);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (ExecHooked(dialog, hooked) != QDialog::Accepted) {
        return apiReturn_ = 0;
    }
    font = dialog.selectedFont();
    return apiReturn_ = 1;
}

std::int32_t GCommonDialog::VBPrintDlg(PrintRequest& request, bool hooked) {
    Reset();
    QPrinter printer;
    printer.setCopyCount(std::max(1, request.copies));
    if (request.fromPage > 0 && request.toPage >= request.fromPage) {
        printer.setFromTo(request.fromPage, request.toPage);
    }
    QPrintDialog dialog(&printer, request.owner);
    if (request.maxPage > 0 && request.maxPage >= request.minPage) {
        dialog.setMinMax(request.minPage, request.maxPage);
    }
    if (ExecHooked(dialog, hooked) != QDialog::Accepted) {
        return apiReturn_ = 0;
    }
    request.copies = printer.copyCount();
    request.fromPage = printer.fromPage();
    request.toPage = printer.toPage();
    return apiReturn_ = 1;
}

}  // namespace tv

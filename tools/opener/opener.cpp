#include "tools/opener/opener.h"

#include <filesystem>
#include <memory>

#include "platform/environment.h"
#include "platform/process/start_detached.h"
#include "platform/strings.h"
#include "tools/opener/error_page.h"
#include "tools/opener/output_file.h"
#include "tools/opener/transform.h"

namespace tv::opener {
namespace {

bool IsSchemeChar(char c, bool first) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return letter || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

bool HasScheme(std::string_view target) {
    const size_t colon = target.find(':');
    if (colon == std::string_view::npos || colon < 2) {
        return false;
    }
    for (size_t i = 0; i < colon; ++i) {
        if (!IsSchemeChar(target[i], i == 0)) {
            return false;
        }
    }
    return true;
}

std::string Absolute(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

OpenResult Hand(const std::string& target, const std::string& folder) {
    OpenResult result;
    const std::string program = BrowserProgram();
    const StartResult started = StartDetached(program, target, folder);
    result.handedOver = target;
    if (started.status != StartStatus::Started) {
        result.exitCode = 1;
        result.message = "tessel-open: cannot start the browser " + program + ": " +
                         (started.status == StartStatus::ProgramNotFound ? "not found"
                          : started.status == StartStatus::NotExecutable ? "not executable"
                                                                         : "start failed");
    }
    return result;
}

OpenResult ShowError(const OpenError& error, const std::string& besidePath) {
    const std::string page = ErrorPageHtml(error);
    if (WriteFileReplacing(besidePath, page).empty()) {
        return Hand(besidePath, besidePath.substr(0, besidePath.rfind('/') + 1));
    }
    const std::string temp = WriteNewFile(TempFolder(), "tessel-open-error-", ".html", page);
    if (temp.empty()) {
        OpenResult result;
        result.exitCode = 1;
        result.message = "tessel-open: " + error.stage + ": " + error.file +
                         ": and no error page could be written";
        return result;
    }
    return Hand(temp, TempFolder());
}

}  // namespace

bool IsWebAddress(std::string_view target) {
    return HasScheme(target) && !IStartsWith(target, "file:");
}

std::string BrowserProgram() {
    const std::optional<std::string> browser = GetEnv("BROWSER");
    return browser && !browser->empty() ? *browser : "xdg-open";
}

OpenResult OpenTarget(const std::string& target, const TiffLimits& limits) {
    if (IsWebAddress(target)) {
        return Hand(target, "");
    }
    std::string path = LocalFilePath(target).value_or("");
    if (path.empty()) {
        return Hand(target, "");  // a file: URL of another host: the browser's business
    }
    path = Absolute(path);
    const std::string folder = path.substr(0, path.rfind('/') + 1);
    if (!IEndsWith(path, ".xml") || !IsRegularFile(path)) {
        return Hand(path, folder);
    }
    const std::string htmlPath = path + ".html";
    const TransformOutcome outcome = TransformToHtml(path, htmlPath, limits);
    switch (outcome.kind) {
        case TransformOutcome::Kind::NoStylesheet:
            return Hand(path, folder);
        case TransformOutcome::Kind::Written:
            return Hand(outcome.htmlPath, folder);
        case TransformOutcome::Kind::Failed:
            break;
    }
    return ShowError(outcome.error, htmlPath);
}

}  // namespace tv::opener

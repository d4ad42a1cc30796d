#include "tools/opener/opener.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/environment.h"
#include "platform/fd.h"
#include "platform/process/start_detached.h"
#include "platform/strings.h"
#include "tools/opener/error_page.h"
#include "tools/opener/output_file.h"
#include "tools/opener/transform.h"

namespace tv::opener {
namespace {

// The child's time beyond the job's own limit, which normally ends it first.
constexpr std::chrono::seconds kChildGrace{5};

// A child process that is killed and reaped unless it was waited for.
class Child {
  public:
    explicit Child(pid_t pid) : pid_(pid) {}
    ~Child() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            Reap();
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Waits for the end; true when the child exited with status 0.
    bool Reap() {
        int status = 0;
        pid_t r;
        do {
            r = ::waitpid(pid_, &status, 0);
        } while (r < 0 && errno == EINTR);
        pid_ = -1;
        return r > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

  private:
    pid_t pid_;
};

// A transformation's outcome across the pipe: length-prefixed fields.
void Put(std::string& out, const std::string& field) {
    const std::uint64_t n = field.size();
    out.append(reinterpret_cast<const char*>(&n), sizeof n);
    out += field;
}

bool Get(std::string_view& in, std::string& field) {
    std::uint64_t n = 0;
    if (in.size() < sizeof n) {
        return false;
    }
    std::memcpy(&n, in.data(), sizeof n);
    in.remove_prefix(sizeof n);
    if (in.size() < n) {
        return false;
    }
    field.assign(in.substr(0, n));
    in.remove_prefix(n);
    return true;
}

bool GetInt(std::string_view& in, int& value) {
    std::string text;
    return Get(in, text) &&
           std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc();
}

std::string Encode(const TransformOutcome& o) {
    std::string out;
    for (int v : {static_cast<int>(o.kind), o.error.line, o.error.column, o.cleaned.elements,
                  o.cleaned.attributes, static_cast<int>(o.drawingProblems.size())}) {
        Put(out, std::to_string(v));
    }
    for (const std::string* f : {&o.htmlPath, &o.error.stage, &o.error.file, &o.error.reason,
                                 &o.error.sourceText, &o.error.rule}) {
        Put(out, *f);
    }
    for (const std::string& p : o.drawingProblems) {
        Put(out, p);
    }
    return out;
}

std::optional<TransformOutcome> Decode(std::string_view in) {
    TransformOutcome o;
    int kind = 0;
    int problems = 0;
    bool ok = GetInt(in, kind) && GetInt(in, o.error.line) && GetInt(in, o.error.column) &&
              GetInt(in, o.cleaned.elements) && GetInt(in, o.cleaned.attributes) &&
              GetInt(in, problems);
    for (std::string* f : {&o.htmlPath, &o.error.stage, &o.error.file, &o.error.reason,
                           &o.error.sourceText, &o.error.rule}) {
        ok = ok && Get(in, *f);
    }
    for (int i = 0; ok && i < problems; ++i) {
        ok = Get(in, o.drawingProblems.emplace_back());
    }
    if (!ok || kind < 0 || kind > static_cast<int>(TransformOutcome::Kind::Failed)) {
        return std::nullopt;
    }
    o.kind = static_cast<TransformOutcome::Kind>(kind);
    return o;
}

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

Result<std::string> Hand(const std::string& target, const std::string& folder) {
    const std::string program = BrowserProgram();
    const Result<long> started = StartDetached(program, target, folder);
    if (!started.Ok()) {
        const Status& why = started.status();
        return Status(why.Number(), why.Source(),
                      "tessel-open: cannot start the browser " + program + ": " +
                          (why.Number() == kErrFileNotFound ? "not found"
                           : why.Number() == kErrPermission ? "not executable"
                                                            : "start failed"),
                      why.OsError());
    }
    return target;
}

Result<std::string> ShowError(const OpenError& error, const std::string& besidePath) {
    const std::string page = ErrorPageHtml(error);
    if (WriteFileReplacing(besidePath, page).Ok()) {
        return Hand(besidePath, besidePath.substr(0, besidePath.rfind('/') + 1));
    }
    const Result<std::string> temp =
        WriteNewFile(TempFolder(), "tessel-open-error-", ".html", page);
    if (!temp.Ok()) {
        return Status(temp.status().Number(), temp.status().Source(),
                      "tessel-open: " + error.stage + ": " + error.file +
                          ": and no error page could be written",
                      temp.status().OsError());
    }
    return Hand(temp.value(), TempFolder());
}

}  // namespace

bool IsWebAddress(std::string_view target) {
    return HasScheme(target) && !IStartsWith(target, "file:");
}

std::string BrowserProgram() {
    const std::optional<std::string> browser = GetEnv("BROWSER");
    return browser && !browser->empty() ? *browser : "xdg-open";
}

ChildResult RunInChild(const std::function<std::string()>& work, std::chrono::milliseconds limit) {
    ChildResult result;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return result;
    }
    UniqueFd readEnd(fds[0]);
    UniqueFd writeEnd(fds[1]);
    const pid_t pid = ::fork();
    if (pid < 0) {
        return result;
    }
    if (pid == 0) {
        readEnd.Reset();
        const std::string answer = work();
        ::_exit(WriteAll(writeEnd.Get(), answer.data(), answer.size()) == 0 ? 0 : 1);
    }
    Child child(pid);
    writeEnd.Reset();
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::string answer;
    char buffer[65536];
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        pollfd p{readEnd.Get(), POLLIN, 0};
        const int ready =
            left > 0 ? ::poll(&p, 1, static_cast<int>(std::min<long long>(left, INT_MAX))) : 0;
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready == 0) {
            result.timedOut = true;
            return result;  // the child is killed on the way out
        }
        const ssize_t n = ::read(readEnd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    if (child.Reap()) {
        result.answer = std::move(answer);
    }
    return result;
}

Result<std::string> OpenTarget(const std::string& target, const TiffLimits& limits,
                               std::chrono::milliseconds timeLimit) {
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
    const ChildResult child =
        RunInChild([&] { return Encode(TransformToHtml(path, htmlPath, limits, timeLimit)); },
                   timeLimit + kChildGrace);
    std::optional<TransformOutcome> decoded =
        child.answer ? Decode(*child.answer) : std::optional<TransformOutcome>();
    if (!decoded) {
        decoded.emplace();
        decoded->error.stage = "Error executing the Transform";
        decoded->error.file = path;
        if (child.timedOut) {
            decoded->error.rule = xml::RuleText(xml::Rule::TimeLimit);
            decoded->error.reason = "the document was not ready after " +
                                    std::to_string(timeLimit.count()) + " ms and was stopped";
        } else {
            decoded->error.reason = "the transformation ended without a result";
        }
    }
    const TransformOutcome& outcome = *decoded;
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

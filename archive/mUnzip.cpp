#include "archive/mUnzip.h"

#include <algorithm>
#include <limits>

#include "archive/cUnzip.h"
#include "platform/environment.h"
#include "platform/strings.h"

namespace tv {
namespace {

constexpr std::size_t kMaxMessageBytes = 32000;

// The library already reports "/"; a stray "\" is a separator too.
std::string WithPlatformSeparators(std::string text) {
    std::replace(text.begin(), text.end(), '\\', kPathSeparator);
    return text;
}

bool Reportable(const std::string& text) {
    return text.size() >= 2 && text.size() < kMaxMessageBytes;
}

class RealLibrary : public UnzipLibrary {
  public:
    Status Run(const unzip::Request& request, unzip::Listener& listener) override {
        return unzip::Run(request, listener);
    }
};

// One call's listener: it raises the library's reports as the component's events.
class LibraryCall : public unzip::Listener {
  public:
    explicit LibraryCall(cUnzip& unzip) : unzip_(unzip) {}

    void Message(const std::string& line) override {
        if (Reportable(line)) {
            Guarded([&] { unzip_.RaiseProgress(WithPlatformSeparators(line)); });
        }
    }
    void Listed(const unzip::ListedEntry& entry) override {
        Guarded([&] { unzip_.AddEntry(mUnzip::EntryOf(entry)); });
    }
    bool Proceed(const std::string& name) override {
        bool cancel = false;
        if (Reportable(name)) {
            Guarded([&] { unzip_.RaiseCancel(WithPlatformSeparators(name), cancel); });
        }
        return !cancel;
    }
    void Ask(unzip::OverwriteQuery& query) override {
        unzip::OverwriteQuery asked;
        asked.path = WithPlatformSeparators(query.path);
        if (Guarded([&] { unzip_.RaiseOverwritePrompt(asked); })) {
            query.answer = asked.answer;
        }
    }
    void Ask(unzip::PasswordQuery& query) override {
        if (passwordRefused_) {
            return;
        }
        unzip::PasswordQuery asked;
        asked.entry = WithPlatformSeparators(query.entry);
        const bool answered = Guarded([&] { unzip_.RaisePasswordRequest(asked); });
        asked.password = TrimSpaces(asked.password);
        if (!answered || !asked.given || asked.password.empty()) {
            passwordRefused_ = true;
            return;
        }
        query.password = asked.password;
        query.given = true;
    }

  private:
    // False when the handler threw: it counts as not answering.
    template <class F>
    static bool Guarded(F&& raise) {
        try {
            raise();
            return true;
        } catch (...) {
            return false;
        }
    }

    cUnzip& unzip_;
    bool passwordRefused_ = false;
};

}  // namespace

UnzipLibrary& OurUnzipLibrary() {
    static RealLibrary library;
    return library;
}

namespace mUnzip {

Status RunLibraryUnzip(cUnzip& oUnzip, UnzipLibrary& library, const unzip::Request& request) {
    LibraryCall call(oUnzip);
    return library.Run(request, call);
}

void SplitEntryName(const std::string& sBuffer, std::string& sName, std::string& sFolder) {
    const std::string text = WithPlatformSeparators(sBuffer.substr(0, sBuffer.find('\0')));
    const std::size_t last = text.rfind(kPathSeparator);
    if (last == std::string::npos) {
        sFolder.clear();
        sName = text;
    } else {
        sFolder = text.substr(0, last);
        sName = text.substr(last + 1);
    }
}

PackageEntry EntryOf(const unzip::ListedEntry& listed) {
    PackageEntry e;
    SplitEntryName(listed.name, e.name, e.folder);
    int year = listed.year & 0xffff;
    if (year < 100) {
        year += year < 30 ? 2000 : 1900;
    }
    e.date = EntryDateTime{year,
                           listed.month & 0xffff,
                           listed.day & 0xffff,
                           listed.hour & 0xffff,
                           listed.minute & 0xffff,
                           0};
    e.size = static_cast<std::int64_t>(
        std::min<std::uint64_t>(listed.size, std::numeric_limits<std::int64_t>::max()));
    e.compressionRatio = static_cast<std::int16_t>(listed.factor & 0xffff);
    e.method = listed.method;
    e.crc = static_cast<std::int32_t>(listed.crc);
    e.encrypted = listed.encrypted;
    e.archiveIndex = listed.index;
    e.archiveName = listed.name;
    return e;
}

}  // namespace mUnzip
}  // namespace tv

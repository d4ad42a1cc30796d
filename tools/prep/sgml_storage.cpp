#include "tools/prep/sgml_storage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "platform/fd.h"
#include "tools/prep/entity_chars.h"
#include "tools/prep/prep_file.h"

namespace tv::prep {

namespace sp = OpenSP;

namespace {

namespace sfs = std::filesystem;

std::string Utf8(const sp::StringC& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        AppendUtf8(out, static_cast<char32_t>(s[i] <= 0x10FFFF ? s[i] : 0xFFFD));
    }
    return out;
}

class FileObject : public sp::StorageObject {
  public:
    FileObject(UniqueFd fd, ReadPolicy& policy) : fd_(std::move(fd)), policy_(policy) {}

    sp::Boolean read(char* buf, size_t size, sp::Messenger&, size_t& nread) override {
        if (policy_.budget == 0) {
            policy_.Refuse("more than the allowed bytes to read (entities included)");
            return false;
        }
        size = static_cast<size_t>(std::min<std::uint64_t>(size, policy_.budget));
        ssize_t n;
        do {
            n = ::read(fd_.Get(), buf, size);
        } while (n < 0 && errno == EINTR);
        if (n <= 0) {
            return false;
        }
        policy_.budget -= static_cast<std::uint64_t>(n);
        nread = static_cast<size_t>(n);
        return true;
    }

    sp::Boolean rewind(sp::Messenger&) override { return ::lseek(fd_.Get(), 0, SEEK_SET) == 0; }

  private:
    UniqueFd fd_;
    ReadPolicy& policy_;
};

// The only storage the parser gets: regular files inside the allowed folders.
class GuardedFiles : public sp::IdStorageManager {
  public:
    GuardedFiles(const sp::CharsetInfo* charset, ReadPolicy& policy)
        : IdStorageManager(charset), policy_(policy) {}

    sp::StorageObject* makeStorageObject(const sp::StringC& specId, const sp::StringC& baseId,
                                         sp::Boolean, sp::Boolean, sp::Messenger&,
                                         sp::StringC& actualId) override {
        const std::string id = Utf8(specId);
        if (id.find("://") != std::string::npos || id.rfind("<", 0) == 0) {
            policy_.Refuse("refused to read " + id + ": not a local file");
            return nullptr;
        }
        std::vector<std::string> candidates;
        if (!id.empty() && id[0] == '/') {
            candidates.push_back(id);
        } else if (!id.empty()) {
            const std::string base = Utf8(baseId);
            if (!base.empty()) {
                candidates.push_back((sfs::path(base).parent_path() / id).string());
            }
            candidates.push_back((sfs::path(policy_.dtdFolder) / id).string());
        }
        // A missing candidate leaves the refusal of an earlier one standing.
        Status why = PrepFailure(kErrFileNotFound, "refused to read " + id + ": no such file");
        for (const std::string& c : candidates) {
            Result<UniqueFd> fd = Open(c);
            if (fd) {
                if (!Judge(fd->Get(), c)) {
                    return nullptr;
                }
                actualId = ToStringC(c);
                return new FileObject(std::move(fd).value(), policy_);
            }
            if (fd.status().Number() != kErrFileNotFound) {
                why = fd.status();
            }
        }
        policy_.Refuse(why.Description());
        return nullptr;
    }

    sp::Boolean resolveRelative(const sp::StringC& base, sp::StringC& specId,
                                sp::Boolean search) const override {
        if (specId.size() > 0 && specId[0] == '/') {
            return true;
        }
        if (search) {
            return false;  // makeStorageObject looks beside the base, then in the DTD folder
        }
        specId = ToStringC((sfs::path(Utf8(base)).parent_path() / Utf8(specId)).string());
        return true;
    }

    const char* type() const override { return "OSFILE"; }

  private:
    // A file of the document's folder may declare entities: their growth is judged
    // before the parser reads them (our DTD folder's files are ours).
    bool Judge(int fd, const std::string& path) {
        std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                         &std::free);
        if (!real || !ReadPolicy::Under(policy_.documentRoot, real.get())) {
            return true;
        }
        std::string text;
        char block[1 << 16];
        for (off_t at = 0; text.size() < policy_.budget;) {
            const ssize_t n = ::pread(fd, block, sizeof block, at);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            text.append(block, static_cast<std::size_t>(n));
            at += n;
        }
        if (const Status grown = policy_.growth.Add(text); !grown.Ok()) {
            policy_.Refuse("refused to read " + path + ": " + grown.Description());
            return false;
        }
        return true;
    }

    // The file's real path must lie in an allowed folder, and what is opened must be
    // a regular file (O_NONBLOCK: opening a FIFO must not wait for a writer).
    // A path that resolves to nothing fails with kErrFileNotFound.
    Result<UniqueFd> Open(const std::string& path) const {
        std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                         &std::free);
        if (!real) {
            return PrepFailure(kErrFileNotFound, "refused to read " + path + ": no such file");
        }
        if (!policy_.Inside(real.get())) {
            return PrepFailure(kErrPermission, "refused to read " + path +
                                                   ": outside the document's folder and the DTD "
                                                   "folder");
        }
        UniqueFd fd(::open(real.get(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat st {};
        if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
            return PrepFailure(kErrAccess, "refused to read " + path + ": not a regular file");
        }
        return fd;
    }

    ReadPolicy& policy_;
};

}  // namespace

// Paths are UTF-8 bytes; a byte that starts no valid sequence stands for itself.
// (Built whole: growing a StringC copies from a null buffer, which the sanitizers flag.)
sp::StringC ToStringC(const std::string& bytes) {
    std::vector<sp::Char> chars;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const int n = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        char32_t cp = n == 0 ? b : b & (0x3F >> n);
        bool ok = i + n < bytes.size() || n == 0;
        for (int k = 1; ok && k <= n; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            ok = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3F);
        }
        chars.push_back(static_cast<sp::Char>(ok ? cp : b));
        i += ok ? n + 1 : 1;
    }
    return chars.empty() ? sp::StringC() : sp::StringC(chars.data(), chars.size());
}

std::unique_ptr<sp::IdStorageManager> MakeGuardedFiles(const sp::CharsetInfo* charset,
                                                       ReadPolicy& policy) {
    return std::make_unique<GuardedFiles>(charset, policy);
}

}  // namespace tv::prep

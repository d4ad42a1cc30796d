#include "tools/opener/seq_listing.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "platform/strings.h"

namespace tv::opener {
namespace {

namespace sfs = std::filesystem;

constexpr std::size_t kHeadBytes = 4096;
constexpr std::size_t kMaxEntries = 4096;   // folder entries looked through
constexpr std::size_t kMaxCandidates = 64;  // .xml files read

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Past a DOCTYPE declaration starting at i: its internal subset and quoted literals may
// hold '>'. npos when it does not end within the text.
std::size_t SkipDoctype(std::string_view s, std::size_t i) {
    char quote = 0;
    int depth = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (quote != 0) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            --depth;
        } else if (c == '>' && depth <= 0) {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

std::string ReadHead(const sfs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(kHeadBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return head;
}

bool IsListingRoot(const std::string& root) {
    return root == "ST26SequenceListing" || root == "sequence-cwu";
}

}  // namespace

std::string RootElementName(std::string_view s) {
    std::size_t i = s.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (i < s.size()) {
        if (IsSpace(s[i])) {
            ++i;
            continue;
        }
        if (s[i] != '<' || i + 1 >= s.size()) {
            return "";
        }
        std::size_t end = std::string_view::npos;
        if (s.compare(i, 2, "<?") == 0) {
            end = s.find("?>", i + 2);
            end = end == std::string_view::npos ? end : end + 2;
        } else if (s.compare(i, 4, "<!--") == 0) {
            end = s.find("-->", i + 4);
            end = end == std::string_view::npos ? end : end + 3;
        } else if (s.compare(i, 9, "<!DOCTYPE") == 0) {
            end = SkipDoctype(s, i + 9);
        } else {
            std::size_t n = i + 1;
            while (n < s.size() && !IsSpace(s[n]) && s[n] != '>' && s[n] != '/') {
                ++n;
            }
            if (n == s.size()) {
                return "";  // the name may go on past the text
            }
            const std::string_view name = s.substr(i + 1, n - i - 1);
            const std::size_t colon = name.rfind(':');
            return std::string(colon == std::string_view::npos ? name : name.substr(colon + 1));
        }
        if (end == std::string_view::npos) {
            return "";
        }
        i = end;
    }
    return "";
}

std::string SequenceListingPage(const std::string& documentPath) {
    const sfs::path doc(documentPath);
    std::error_code ec;
    if (IsListingRoot(RootElementName(ReadHead(doc)))) {
        return "";
    }
    std::vector<sfs::path> candidates;
    std::size_t seen = 0;
    const sfs::path folder = doc.has_parent_path() ? doc.parent_path() : sfs::path(".");
    for (sfs::directory_iterator it(folder, ec), end; !ec && it != end && seen < kMaxEntries;
         it.increment(ec), ++seen) {
        const sfs::path& p = it->path();
        // symlink_status: a link is not followed, and a FIFO or device is never opened.
        if (IEndsWith(p.filename().string(), ".xml") && p.filename() != doc.filename() &&
            sfs::is_regular_file(it->symlink_status(ec))) {
            candidates.push_back(p);
        }
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.resize(std::min(candidates.size(), kMaxCandidates));
    for (const sfs::path& p : candidates) {
        if (IsListingRoot(RootElementName(ReadHead(p)))) {
            return PercentEncoded(p.filename().string() + ".html");
        }
    }
    return "";
}

}  // namespace tv::opener

#include "tools/prep/prolog.h"

#include <cstring>
#include <string_view>

#include "tools/prep/prep_file.h"

namespace tv::prep {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameChar(char c) {
    return !IsSpace(c) && c != '>' && c != '[' && c != '/' && c != '"' && c != '\'' && c != '<' &&
           c != '?';
}

class Scanner {
  public:
    explicit Scanner(const std::string& t) : t_(t) {}

    Result<Prolog> Run() {
        Prolog p;
        if (At("\xFF\xFE") || At("\xFE\xFF")) {
            return Fail("UTF-16 documents are not supported");
        }
        if (At("\xEF\xBB\xBF")) {
            pos_ = p.start = 3;
        }
        if (At("<?xml") && pos_ + 5 < t_.size() && IsSpace(t_[pos_ + 5])) {
            const std::size_t b = pos_;
            if (!SkipPast("?>")) {
                return Fail("the XML declaration is not closed");
            }
            p.xmlDeclaration = Span{b, pos_};
        }
        while (true) {
            SkipSpaces();
            if (pos_ >= t_.size()) {
                return p;  // no root element: nothing more to record
            }
            const std::size_t b = pos_;
            if (At("<!--")) {
                if (!SkipPast("-->")) {
                    return Fail("a comment in the prolog is not closed");
                }
            } else if (At("<?")) {
                if (!SkipPast("?>")) {
                    return Fail("a processing instruction in the prolog is not closed");
                }
                const std::size_t n = std::strlen("<?xml-stylesheet");
                if (t_.compare(b, n, "<?xml-stylesheet") == 0 &&
                    (IsSpace(t_[b + n]) || t_[b + n] == '?')) {
                    p.stylesheetPis.push_back({b, pos_});
                }
            } else if (At("<!DOCTYPE") && !p.doctype) {
                Result<Doctype> d = ReadDoctype();
                if (!d) {
                    return d.status();
                }
                p.doctype = std::move(d).value();
            } else if (At("<") && pos_ + 1 < t_.size() && t_[pos_ + 1] != '!' &&
                       IsNameChar(t_[pos_ + 1])) {
                pos_ += 1;
                p.rootName = ReadName();
                p.complete = pos_ < t_.size();
                return p;
            } else {
                // What might still begin a declaration once more text follows is no end.
                const std::string_view rest(t_.data() + pos_, t_.size() - pos_);
                const bool mark =
                    pos_ == 0 && (std::string_view("\xEF\xBB\xBF").starts_with(rest) ||
                                  std::string_view("\xFF\xFE").starts_with(rest) ||
                                  std::string_view("\xFE\xFF").starts_with(rest));
                p.complete =
                    !mark && (rest.size() >= 9 || !std::string_view("<!DOCTYPE").starts_with(rest));
                return p;  // text the prolog cannot hold: leave the rest alone
            }
        }
    }

  private:
    Result<Doctype> ReadDoctype() {
        Doctype d;
        d.whole.begin = pos_;
        pos_ += std::strlen("<!DOCTYPE");
        SkipSpaces();
        d.name = ReadName();
        d.afterName = pos_;
        if (d.name.empty()) {
            return Fail("the DOCTYPE declaration has no name");
        }
        SkipSpaces();
        const std::string keyword = ReadName();
        if (keyword == "PUBLIC" || keyword == "SYSTEM") {
            SkipSpaces();
            Span s;
            auto lit = ReadLiteral(&s);
            if (!lit) {
                return Fail("the DOCTYPE declaration's identifier is not quoted");
            }
            if (keyword == "PUBLIC") {
                d.publicId = lit;
                d.publicLiteral = s;
                SkipSpaces();
                lit = ReadLiteral(&s);  // optional in SGML-style declarations
            }
            if (lit) {
                d.systemId = lit;
                d.systemLiteral = s;
            }
        } else if (!keyword.empty()) {
            return Fail("unexpected \"" + keyword + "\" in the DOCTYPE declaration");
        }
        SkipSpaces();
        if (At("[") && !SkipInternalSubset()) {
            return Fail("the DOCTYPE declaration's internal subset is not closed");
        }
        SkipSpaces();
        if (!At(">")) {
            return Fail("the DOCTYPE declaration is not closed");
        }
        d.whole.end = ++pos_;
        return d;
    }

    // From "[" to past the matching "]": declarations with quoted parameters, comments,
    // PIs and parameter entity references, none of which may hide a "]".
    bool SkipInternalSubset() {
        ++pos_;
        while (pos_ < t_.size()) {
            if (At("]")) {
                ++pos_;
                return true;
            }
            if (At("<!--")) {
                if (!SkipPast("-->")) {
                    return false;
                }
            } else if (At("<?")) {
                if (!SkipPast("?>")) {
                    return false;
                }
            } else if (At("<")) {
                ++pos_;
                while (pos_ < t_.size() && t_[pos_] != '>') {
                    if (t_[pos_] == '"' || t_[pos_] == '\'') {
                        if (!ReadLiteral(nullptr)) {
                            return false;
                        }
                    } else {
                        ++pos_;
                    }
                }
                if (pos_ >= t_.size()) {
                    return false;
                }
                ++pos_;
            } else {
                ++pos_;
            }
        }
        return false;
    }

    std::optional<std::string> ReadLiteral(Span* span) {
        if (pos_ >= t_.size() || (t_[pos_] != '"' && t_[pos_] != '\'')) {
            return std::nullopt;
        }
        const std::size_t end = t_.find(t_[pos_], pos_ + 1);
        if (end == std::string::npos) {
            return std::nullopt;
        }
        std::string value = t_.substr(pos_ + 1, end - pos_ - 1);
        if (span) {
            *span = {pos_, end + 1};
        }
        pos_ = end + 1;
        return value;
    }

    std::string ReadName() {
        const std::size_t b = pos_;
        while (pos_ < t_.size() && IsNameChar(t_[pos_])) {
            ++pos_;
        }
        return t_.substr(b, pos_ - b);
    }

    bool At(const char* s) const { return t_.compare(pos_, std::strlen(s), s) == 0; }

    bool SkipPast(const char* s) {
        const std::size_t end = t_.find(s, pos_);
        if (end == std::string::npos) {
            return false;
        }
        pos_ = end + std::strlen(s);
        return true;
    }

    void SkipSpaces() {
        while (pos_ < t_.size() && IsSpace(t_[pos_])) {
            ++pos_;
        }
    }

    static Status Fail(const std::string& why) { return PrepFailure(kErrInvalidFormat, why); }

    const std::string& t_;
    std::size_t pos_ = 0;
};

}  // namespace

Result<Prolog> ScanProlog(const std::string& text) {
    return Scanner(text).Run();
}

}  // namespace tv::prep

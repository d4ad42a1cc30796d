#include "tools/prep/rewrite.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "tools/prep/prep_file.h"
#include "tools/prep/prolog.h"

namespace tv::prep {

namespace {

struct Edit {
    Span at;  // bytes replaced; empty for an insertion
    std::string with;
};

std::string Apply(const std::string& text, std::vector<Edit> edits) {
    // Insertions go before a removal starting at the same place; edits never overlap.
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) {
        return a.at.begin != b.at.begin ? a.at.begin < b.at.begin : a.at.end < b.at.end;
    });
    std::string out;
    std::size_t pos = 0;
    for (const Edit& e : edits) {
        out.append(text, pos, e.at.begin - pos);
        out += e.with;
        pos = e.at.end;
    }
    out.append(text, pos);
    return out;
}

std::string LineBreakOf(const std::string& text) {
    const std::size_t lf = text.find('\n');
    return lf != std::string::npos && lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
}

// A stylesheet PI together with one line break around it: the one before it when there
// is one (the break we insert it after), else the one after it.
Span WithLineBreak(const std::string& text, Span pi) {
    if (pi.begin >= 2 && text.compare(pi.begin - 2, 2, "\r\n") == 0) {
        pi.begin -= 2;
    } else if (pi.begin >= 1 && text[pi.begin - 1] == '\n') {
        pi.begin -= 1;
    } else if (text.compare(pi.end, 2, "\r\n") == 0) {
        pi.end += 2;
    } else if (pi.end < text.size() && text[pi.end] == '\n') {
        pi.end += 1;
    }
    return pi;
}

bool DocNumberWithin1000(const std::string& text) {
    const std::string head = text.substr(0, 1000);
    std::size_t at = head.find("<doc-number>");
    while (at != std::string::npos && at != 0 && head[at - 1] != '\n' && head[at - 1] != '\r') {
        at = head.find("<doc-number>", at + 1);
    }
    return at != std::string::npos;
}

// The DTD's path as a system identifier: the plain absolute path, or its file URL when
// it holds characters a URI cannot carry as they are (a space in the data folder's
// path would otherwise make XML parsers miss the DTD).
std::string SystemLiteral(const std::string& path) {
    const std::string url = FileUrl(path);
    return '"' + (url == "file://" + path ? path : url) + '"';
}

// The href pseudo-attribute of an xml-stylesheet PI; empty when it has none.
std::string PiHref(std::string_view pi) {
    const auto space = [&](std::size_t i) {
        return i < pi.size() && (pi[i] == ' ' || pi[i] == '\t' || pi[i] == '\r' || pi[i] == '\n');
    };
    for (std::size_t at = pi.find("href"); at != std::string_view::npos;
         at = pi.find("href", at + 4)) {
        std::size_t i = at + 4;
        while (space(i)) {
            ++i;
        }
        if (i >= pi.size() || pi[i] != '=' || !space(at - 1)) {
            continue;  // "href" inside another name or value
        }
        for (++i; space(i);) {
            ++i;
        }
        if (i >= pi.size() || (pi[i] != '"' && pi[i] != '\'')) {
            return {};
        }
        if (const std::size_t end = pi.find(pi[i], i + 1); end != std::string_view::npos) {
            return std::string(pi.substr(i + 1, end - i - 1));
        }
        return {};
    }
    return {};
}

// Whether href loads a stylesheet that lies in folder: a plain relative path (no scheme,
// no "..", no escapes) naming a regular file whose real path is inside folder's.
bool LoadsFromFolder(const std::string& href, const std::string& folder) {
    if (folder.empty() || href.empty() || href[0] == '/' ||
        href.find_first_of(":\\%?#&") != std::string::npos ||
        href.find("..") != std::string::npos) {
        return false;
    }
    using Real = std::unique_ptr<char, decltype(&std::free)>;
    const Real base(::realpath(folder.c_str(), nullptr), &std::free);
    const Real file(::realpath((folder + "/" + href).c_str(), nullptr), &std::free);
    if (!base || !file) {
        return false;
    }
    const std::string b = base.get(), f = file.get();
    std::error_code ec;
    return f.size() > b.size() && f.compare(0, b.size(), b) == 0 && f[b.size()] == '/' &&
           std::filesystem::is_regular_file(f, ec);
}

}  // namespace

bool HoldsProlog(const std::string& text) {
    const Result<Prolog> prolog = ScanProlog(text);
    return prolog && prolog->complete;
}

std::string StylesheetPi(const std::string& absolutePath) {
    return "<?xml-stylesheet type=\"text/xsl\" href=\"" + FileUrl(absolutePath) + "\"?>";
}

Result<Rewritten> MendPaths(const std::string& text, const Catalog& catalog,
                            const std::string& documentFolder) {
    const Result<Prolog> prolog = ScanProlog(text);
    if (!prolog) {
        return prolog.status();
    }
    Rewritten result;
    std::vector<Edit> edits;
    std::string typeName = prolog->rootName;
    if (const auto& d = prolog->doctype) {
        typeName = d->name;
        const auto dtd =
            catalog.ResolveDtd(d->publicId.value_or(""), d->systemId.value_or(""), d->name);
        if (!dtd) {
            result.warnings.push_back("no DTD found in the catalog for document type " + d->name +
                                      "; its DOCTYPE is left as it was");
        } else if (d->systemLiteral) {
            edits.push_back({*d->systemLiteral, SystemLiteral(*dtd)});
        } else if (d->publicLiteral) {
            edits.push_back(
                {{d->publicLiteral->end, d->publicLiteral->end}, " " + SystemLiteral(*dtd)});
        } else {
            edits.push_back({{d->afterName, d->afterName}, " SYSTEM " + SystemLiteral(*dtd)});
        }
    }
    bool keptOwn = false;
    for (const Span& pi : prolog->stylesheetPis) {
        const std::string_view piText(text.data() + pi.begin, pi.end - pi.begin);
        if (LoadsFromFolder(PiHref(piText), documentFolder)) {
            keptOwn = true;
        } else {
            edits.push_back({WithLineBreak(text, pi), ""});
        }
    }
    const auto sheet = catalog.Stylesheet(typeName);
    if (sheet && !keptOwn) {
        const std::string eol = LineBreakOf(text);
        if (prolog->xmlDeclaration) {
            const std::size_t at = prolog->xmlDeclaration->end;
            edits.push_back({{at, at}, eol + StylesheetPi(*sheet)});
        } else {
            edits.push_back({{prolog->start, prolog->start}, StylesheetPi(*sheet) + eol});
        }
    } else if (!sheet && !keptOwn && !typeName.empty()) {
        result.warnings.push_back("the catalog names no stylesheet for document type " + typeName);
    }
    result.text = Apply(text, std::move(edits));
    if (DocNumberWithin1000(text) && !DocNumberWithin1000(result.text)) {
        result.warnings.push_back(
            "the <doc-number> line is now beyond the first 1000 characters (long paths)");
    }
    return result;
}

Result<std::string> StripDoctype(const std::string& text) {
    const Result<Prolog> prolog = ScanProlog(text);
    if (!prolog) {
        return prolog.status();
    }
    if (!prolog->doctype) {
        return text;
    }
    const Span s = prolog->doctype->whole;
    return text.substr(0, s.begin) + text.substr(s.end);
}

}  // namespace tv::prep

#include "tools/prep/sgml_lift.h"

// OpenSP's own classes: the generic kit cannot be given storage managers of ours.
#include <OpenSP/config.h>  // first: the other headers depend on it
//
#include <OpenSP/CodingSystemKit.h>
#include <OpenSP/ExtendEntityManager.h>
#include <OpenSP/GenericEventHandler.h>
#include <OpenSP/MessageReporter.h>
#include <OpenSP/OutputCharStream.h>
#include <OpenSP/ParserOptions.h>
#include <OpenSP/SOEntityCatalog.h>
#include <OpenSP/SgmlParser.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <utility>
#include <vector>

#include "tools/prep/entity_chars.h"
#include "tools/prep/prep_file.h"
#include "tools/prep/sgml_storage.h"

namespace tv::prep {

namespace {

namespace sp = OpenSP;
namespace sfs = std::filesystem;

using Char = SGMLApplication::Char;
using CharString = SGMLApplication::CharString;

std::string Ascii(const CharString& s) {
    std::string out;
    for (std::size_t i = 0; i < s.len; ++i) {
        AppendUtf8(out, static_cast<char32_t>(s.ptr[i]));
    }
    return out;
}

// "FILE:LINE:COLUMN:E: text" and any continuation lines become
// "line LINE, column COLUMN: text".
std::string Brief(const CharString& message) {
    std::string first = Ascii(message);
    first = first.substr(0, first.find('\n'));
    static const std::regex kLocated(R"(^.*:(\d+):(\d+):[A-Z]: (.*)$)");
    std::smatch m;
    if (std::regex_match(first, m, kLocated)) {
        return "line " + m[1].str() + ", column " + m[2].str() + ": " + m[3].str();
    }
    return first;
}

// Turns the parser's events into the generic ones XmlWriter reads, with messages
// formatted as text.
class Events : public sp::GenericEventHandler {
  public:
    explicit Events(SGMLApplication& app)
        : GenericEventHandler(app, false), text_(new sp::StrOutputCharStream), reporter_(text_) {}

    void reportMessage(const sp::Message& msg, sp::StringC& str) override {
        reporter_.dispatchMessage(msg);
        text_->extractString(str);
    }

  private:
    sp::StrOutputCharStream* text_;  // owned by reporter_
    sp::MessageReporter reporter_;
};

class XmlWriter : public SGMLApplication {
  public:
    Lifted result;
    std::string firstError;

    XmlWriter(std::uint64_t maxBytes, volatile std::sig_atomic_t* cancel)
        : maxBytes_(maxBytes), cancel_(cancel) {}

    void startElement(const StartElementEvent& e) override {
        std::string name = Ascii(e.gi);
        if (result.rootName.empty()) {
            result.rootName = name;
        }
        // MathML keeps its own names: lower case, in its namespace.
        const bool math = mathDepth_ > 0 || name == "MATH";
        if (math) {
            name = ToLower(name);
        }
        out_ += '<';
        out_ += name;
        if (math && mathDepth_++ == 0) {
            out_ += " xmlns=\"http://www.w3.org/1998/Math/MathML\"";
        }
        for (std::size_t i = 0; i < e.nAttributes; ++i) {
            WriteAttribute(e.attributes[i], math);
        }
        out_ += '>';
        open_.push_back(std::move(name));
        Check();
    }

    void endElement(const EndElementEvent&) override {
        if (open_.empty()) {
            return;
        }
        out_ += "</";
        out_ += open_.back();
        out_ += '>';
        open_.pop_back();
        if (mathDepth_ > 0) {
            --mathDepth_;
        }
    }

    void data(const DataEvent& e) override {
        Text(e.data, false);
        Check();
    }

    void sdata(const SdataEvent& e) override { Sdata(e.text, e.entityName, false); }

    // References to external data entities in content, processing instructions and
    // non-SGML characters have no place in the XML view; they are left out.

    void error(const ErrorEvent& e) override {
        if (e.type == ErrorEvent::info || e.type == ErrorEvent::warning) {
            return;
        }
        // A claim reference to a missing claim is no reason to show nothing at all.
        if (e.type == ErrorEvent::idref) {
            result.warnings += Brief(e.message) + '\n';
            return;
        }
        Fail(Brief(e.message));
    }

    void Fail(const std::string& why) {
        if (firstError.empty()) {
            firstError = why;
        }
        ++errors_;
        *cancel_ = 1;  // nothing more is needed: a document with an error is not converted
    }

    std::string TakeXml() { return std::move(out_); }
    unsigned Errors() const { return errors_; }

  private:
    // An entity without end stops here, before it takes the memory.
    void Check() {
        if (out_.size() > maxBytes_ && errors_ == 0) {
            Fail("the document expands to more than " + std::to_string(maxBytes_ >> 20) +
                 " MB of XML (entities within entities?)");
        }
    }

    void WriteAttribute(const Attribute& a, bool math) {
        if (a.type != Attribute::cdata && a.type != Attribute::tokenized) {
            return;  // implied or invalid: nothing to write
        }
        out_ += ' ';
        out_ += math ? ToLower(Ascii(a.name)) : Ascii(a.name);
        out_ += "=\"";
        if (a.type == Attribute::cdata) {
            for (std::size_t i = 0; i < a.nCdataChunks; ++i) {
                const auto& c = a.cdataChunks[i];
                if (c.isSdata) {
                    Sdata(c.data, c.entityName, true);
                } else if (!c.isNonSgml) {
                    Text(c.data, true);
                }
            }
        } else if (a.nEntities > 0) {
            // An entity attribute names its files (drawings, formula images), which lie
            // beside the document: the file name is all a page may use.
            for (std::size_t i = 0; i < a.nEntities; ++i) {
                const auto& ent = a.entities[i];
                if (i > 0) {
                    out_ += ' ';
                }
                std::string file =
                    ent.externalId.haveSystemId ? Ascii(ent.externalId.systemId) : Ascii(ent.name);
                file = file.substr(file.find_last_of("/\\") + 1);
                AppendEscaped(file, true);
            }
        } else {
            Text(a.tokens, true);
        }
        out_ += '"';
    }

    // The markup characters as XML writes them; false for any other character.
    bool AppendMarkup(char32_t c, bool inAttribute) {
        switch (c) {
            case '&':
                out_ += "&amp;";
                return true;
            case '<':
                out_ += "&lt;";
                return true;
            case '>':
                out_ += "&gt;";
                return true;
            case '"':
                out_ += inAttribute ? "&quot;" : "\"";
                return true;
            default:
                return false;
        }
    }

    void AppendEscaped(const std::string& utf8, bool inAttribute) {
        for (char c : utf8) {
            if (!AppendMarkup(static_cast<unsigned char>(c), inAttribute) &&
                static_cast<unsigned char>(c) >= 0x20) {
                out_ += c;
            }
        }
    }

    void Sdata(const CharString& text, const CharString& entityName, bool inAttribute) {
        auto c = EntityCharByName(Ascii(entityName));
        if (!c) {
            c = EntityCharBySdataText(Ascii(text));
        }
        if (c && *c == '\n') {
            out_ += inAttribute ? "&#10;" : "\n";  // a line break, not a record start
        } else if (c) {
            Char ch = *c;
            Text({&ch, 1}, inAttribute);
        } else {
            Text(text, inAttribute);  // an unknown name: its text is the best we have
        }
    }

    void Text(const CharString& s, bool inAttribute) {
        for (std::size_t i = 0; i < s.len; ++i) {
            const char32_t c = s.ptr[i];
            if (AppendMarkup(c, inAttribute)) {
                continue;
            }
            switch (c) {
                case '\r':
                    out_ += inAttribute ? "&#10;" : "\n";
                    break;  // record end
                case '\n':
                    break;  // record start
                case '\t':
                    out_ += inAttribute ? "&#9;" : "\t";
                    break;
                default:
                    // Characters XML cannot carry are dropped.
                    if (c >= 0x20 && !(c >= 0xD800 && c <= 0xDFFF) && c != 0xFFFE && c != 0xFFFF &&
                        c <= 0x10FFFF) {
                        AppendUtf8(out_, c);
                    }
            }
        }
    }

    std::string out_;
    std::vector<std::string> open_;  // names written for the open elements
    unsigned mathDepth_ = 0;
    unsigned errors_ = 0;
    std::uint64_t maxBytes_;
    volatile std::sig_atomic_t* cancel_;
};

}  // namespace

Result<Lifted> LiftSgml(const std::string& sgmlPath, const std::string& catalogPath,
                        const LiftLimits& limits) {
    volatile std::sig_atomic_t ownFlag = 0;
    volatile std::sig_atomic_t* cancel = limits.cancel ? limits.cancel : &ownFlag;
    const std::string file = AbsolutePath(sgmlPath), catalog = AbsolutePath(catalogPath);
    ReadPolicy policy;
    policy.budget = limits.maxBytesRead;
    policy.dtdFolder = sfs::path(catalog).parent_path().string();
    for (const std::string& folder : {sfs::path(file).parent_path().string(), policy.dtdFolder}) {
        std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.c_str(), nullptr),
                                                         &std::free);
        if (real) {
            policy.roots.emplace_back(real.get());
            if (policy.documentRoot.empty()) {
                policy.documentRoot = real.get();
            }
        }
    }

    // A declaration of the document's own could lift the parser's quantities (literal
    // lengths, entity levels) that bound what it builds.
    {
        std::ifstream in(file, std::ios::binary);
        std::string head(256, '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<std::size_t>(in.gcount()));
        const std::size_t at = head.find_first_not_of(" \t\r\n");
        if (at != std::string::npos && ToUpper(head.substr(at, 6)) == "<!SGML") {
            return PrepFailure(kErrInvalidFormat,
                               "a document's own SGML declaration is not accepted");
        }
    }

    // Declared before the parser so that they outlive it.
    XmlWriter writer(limits.maxXmlBytes, cancel);
    Events events(writer);
    sp::ParserOptions options;
    {
        sp::ConstPtr<sp::InputCodingSystemKit> kit(sp::CodingSystemKit::make(nullptr));
        const sp::CharsetInfo* charset = &kit->systemCharset();
        // Bytes as ISO 8859-1: the identity coding, whatever SP_ENCODING says.
        sp::Ptr<sp::ExtendEntityManager> em(
            sp::ExtendEntityManager::make(MakeGuardedFiles(charset, policy).release(),
                                          kit->identityInputCodingSystem(), kit, true));
        sp::Vector<sp::StringC> catalogs;
        catalogs.push_back(ToStringC(catalog));
        // Our catalog only: none from the environment, none of the document's folder.
        em->setCatalogManager(sp::SOCatalogManager::make(catalogs, 1, charset, charset, false));
        sp::SgmlParser::Params params;
        params.sysid = ToStringC(file);
        params.entityManager = em.pointer();
        params.options = &options;
        sp::SgmlParser parser(params);
        parser.parseAll(events, cancel);
    }
    std::string error = writer.firstError;
    if (!policy.refusal.empty()) {
        error = policy.refusal;  // says more than the parser's "cannot open"
    } else if (*cancel && writer.Errors() == 0) {
        error = "stopped: the time limit was reached";
    }
    if (writer.Errors() != 0 || !error.empty() || writer.result.rootName.empty()) {
        return PrepFailure(kErrInvalidFormat,
                           error.empty() ? "the document could not be parsed" : error);
    }
    Lifted lifted = std::move(writer.result);
    lifted.xml = writer.TakeXml();
    return lifted;
}

}  // namespace tv::prep

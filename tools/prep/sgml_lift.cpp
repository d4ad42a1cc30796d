#include "tools/prep/sgml_lift.h"

#include <OpenSP/EventGenerator.h>
#include <OpenSP/ParserEventGeneratorKit.h>

#include <filesystem>
#include <memory>
#include <regex>

#include "tools/prep/entity_chars.h"
#include "tools/prep/prep_file.h"

namespace tv::prep {

namespace {

using Char = SGMLApplication::Char;
using CharString = SGMLApplication::CharString;

std::string Ascii(const CharString& s) {
    std::string out;
    for (std::size_t i = 0; i < s.len; ++i) {
        AppendUtf8(out, static_cast<char32_t>(s.ptr[i]));
    }
    return out;
}

// "PROGRAM:FILE:LINE:COLUMN:E: text" and any continuation lines become
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

class XmlWriter : public SGMLApplication {
  public:
    LiftResult result;

    void startElement(const StartElementEvent& e) override {
        if (result.rootName.empty()) {
            result.rootName = Ascii(e.gi);
        }
        out_ += '<';
        out_ += Ascii(e.gi);
        for (std::size_t i = 0; i < e.nAttributes; ++i) {
            WriteAttribute(e.attributes[i]);
        }
        out_ += '>';
    }

    void endElement(const EndElementEvent& e) override {
        out_ += "</";
        out_ += Ascii(e.gi);
        out_ += '>';
    }

    void data(const DataEvent& e) override { Text(e.data, false); }

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
        if (result.error.empty()) {
            result.error = Brief(e.message);
        }
        ++errors_;
    }

    std::string TakeXml() { return std::move(out_); }
    unsigned Errors() const { return errors_; }

  private:
    void WriteAttribute(const Attribute& a) {
        if (a.type != Attribute::cdata && a.type != Attribute::tokenized) {
            return;  // implied or invalid: nothing to write
        }
        out_ += ' ';
        out_ += Ascii(a.name);
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
            // An entity attribute names its files (the drawings' TIFF images).
            for (std::size_t i = 0; i < a.nEntities; ++i) {
                const auto& ent = a.entities[i];
                if (i > 0) {
                    out_ += ' ';
                }
                Text(ent.externalId.haveSystemId ? ent.externalId.systemId : ent.name, true);
            }
        } else {
            Text(a.tokens, true);
        }
        out_ += '"';
    }

    void Sdata(const CharString& text, const CharString& entityName, bool inAttribute) {
        auto c = EntityCharByName(Ascii(entityName));
        if (!c) {
            c = EntityCharBySdataText(Ascii(text));
        }
        if (c) {
            Char ch = *c;
            Text({&ch, 1}, inAttribute);
        } else {
            Text(text, inAttribute);  // an unknown name: its text is the best we have
        }
    }

    void Text(const CharString& s, bool inAttribute) {
        for (std::size_t i = 0; i < s.len; ++i) {
            const char32_t c = s.ptr[i];
            switch (c) {
                case '&':
                    out_ += "&amp;";
                    break;
                case '<':
                    out_ += "&lt;";
                    break;
                case '>':
                    out_ += "&gt;";
                    break;
                case '"':
                    out_ += inAttribute ? "&quot;" : "\"";
                    break;
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
    unsigned errors_ = 0;
};

}  // namespace

LiftResult LiftSgml(const std::string& sgmlPath, const std::string& catalogPath) {
    ParserEventGeneratorKit kit;
    kit.setProgramName("SgmlLift24");
    // The kit keeps the option texts by pointer until the generator is made, so they
    // live here. Paths are absolute, so none can read as a parser "<STORAGE>" identifier.
    const std::string catalog = AbsolutePath(catalogPath);
    kit.setOption(ParserEventGeneratorKit::addCatalog, catalog.c_str());
    // A DTD named by a bare system identifier is also looked for beside the catalog.
    const std::string folder = std::filesystem::path(catalog).parent_path();
    kit.setOption(ParserEventGeneratorKit::addSearchDir, folder.c_str());
    std::string file = AbsolutePath(sgmlPath);
    char* files[] = {file.data()};
    std::unique_ptr<EventGenerator> gen(kit.makeEventGenerator(1, files));
    gen->inhibitMessages(true);  // the messages reach error() below; we print one line
    XmlWriter writer;
    // run() counts dangling IDREFs too; error() above decides what is fatal.
    gen->run(writer);
    LiftResult r = std::move(writer.result);
    r.xml = writer.TakeXml();
    r.ok = writer.Errors() == 0 && !r.rootName.empty();
    if (!r.ok && r.error.empty()) {
        r.error = "the document could not be parsed";
    }
    return r;
}

}  // namespace tv::prep

#include "render/renderer.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <system_error>
#include <vector>

#include "platform/filesystem.h"
#include "platform/message_box.h"
#include "platform/strings.h"
#include "render/doc_number.h"
#include "render/documents.h"
#include "render/tools.h"

namespace tv::render {
namespace {

namespace sfs = std::filesystem;

constexpr const char* kWorkingFolderName = "MyTessel";
constexpr const char* kErrorClass = "frmUnzip";

// A name that stays inside the folder it is joined to.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

std::string PlainOrEmpty(const std::string& name) {
    return IsPlainName(name) ? name : std::string();
}

// Creates a folder and any missing folder above it (a fresh account may have no
// Documents folder yet).
Status CreateFolders(const std::string& path) {
    std::error_code ec;
    sfs::create_directories(path, ec);
    if (ec) {
        return SystemStatus(ec.value(), kErrorClass, "Could not create the folder", path);
    }
    return {};
}

std::string StemOf(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

Status FromException() {
    try {
        throw;
    } catch (const AppError& e) {
        return e.GetStatus();
    } catch (const std::exception& e) {
        return Status(kErrInternal, ErrorSource(kErrorClass), e.what());
    }
}

// What RenderPackage and RenderSelection both take from the listing, so "Render" opens
// the very files the package render prepared: the documents (a name that is no plain
// file name dropped) and the package folder the base name gives.
struct PackagePlan {
    PackageDocuments docs;
    std::string working;        // the working folder, without a trailing "/"
    std::string packageFolder;  // without a trailing "/"
};

PackagePlan PlanPackage(const RenderSettings& settings, std::span<const std::string> itemTexts) {
    PackagePlan plan{ClassifyPackage(itemTexts), settings.documentsFolder + kWorkingFolderName, {}};
    PackageDocuments& docs = plan.docs;
    docs.mainDocName = PlainOrEmpty(docs.mainDocName);
    for (FoundEntry& found : docs.last) {
        found.name = PlainOrEmpty(found.name);
    }
    plan.packageFolder = plan.working + "/" + SafeFolderName(docs.baseName);
    return plan;
}

// What the preparation of one document may use and change.
struct StepContext {
    ToolRunner& tools;
    const ToolFolders& folders;
    const RenderSettings& settings;
    const PackageDocuments& docs;
    const std::string& target;  // the folder the documents were extracted into
    RenderOutcome& out;
    MessageSink& messages;
};
using Prepare = void (*)(StepContext&, const std::string& path);

// PathMend, the document number, DtdStrip when asked; an SGML main document is
// converted first (the tool writes base name + ".xml" beside the source).
void PrepareMainDocument(StepContext& c, const std::string& path) {
    const std::string& sgml = c.docs.Last(DocumentKind::SgmlSource).name;
    if (FileExists(path, fs::Match::Exact)) {
        RunPathMend(c.tools, c.folders, path);
        c.out.searchText = GetDocNumber(path);
        if (c.settings.unreferenceDTD) {
            RunDtdStrip(c.tools, c.folders, path);
        }
    } else if (!sgml.empty() && FileExists(c.target + sgml, fs::Match::Exact)) {
        RunSgmlLift24(c.tools, c.folders, c.target + sgml);
        if (!FileExists(path, fs::Match::Exact)) {
            // The tool refused or failed (it keeps nothing half-written): say so rather
            // than open nothing.
            c.messages.Show(SgmlNotConvertedText(sgml), kOkOnly, kRenderTitle);
        }
    }
}

void PrepareWithPathMend(StepContext& c, const std::string& path) {
    RunPathMend(c.tools, c.folders, path);
}

enum class Stage {
    kBeforeRest,  // prepared while nothing but the documents is extracted
    kAfterRest,   // prepared just before it is opened
};

// The documents a package render prepares and opens, in this order: each when the
// package holds one and its option bit (if any) is set. The raw view prepares nothing
// and extracts nothing but the documents, so it takes these along.
struct DocumentStep {
    DocumentKind kind;
    int RenderSettings::*option;  // nullptr: whenever present
    int bit;
    Prepare prepare;  // nullptr: opened as extracted
    Stage stage;
    bool onlyWhenPresent;  // opened only when the file exists (the main document may not)
};

constexpr DocumentStep kDocumentSteps[] = {
    {DocumentKind::MainDocument, nullptr, 0, &PrepareMainDocument, Stage::kBeforeRest, true},
    {DocumentKind::Transmittal, &RenderSettings::specificationRenderOption, kTransmittalBit,
     nullptr, Stage::kAfterRest, false},
    {DocumentKind::Request, &RenderSettings::zornRenderOption, kRequestBit, nullptr,
     Stage::kAfterRest, false},
    {DocumentKind::SequenceListing, nullptr, 0, &PrepareWithPathMend, Stage::kAfterRest, false},
};

// The file a step works on and the entry it comes from. The main document goes by the
// name the classification gave it (base name + ".xml" for an SGML source).
FoundEntry DocumentOf(const DocumentStep& step, const PackageDocuments& docs) {
    if (step.kind == DocumentKind::MainDocument) {
        return {docs.mainDocSource, docs.mainDocName};
    }
    return docs.Last(step.kind);
}

bool Wanted(const DocumentStep& d, const RenderSettings& settings, const PackageDocuments& docs) {
    return !DocumentOf(d, docs).name.empty() &&
           (d.option == nullptr || (settings.*d.option & d.bit));
}

}  // namespace

std::string RenderErrorText(const Status& error) {
    return "Error # " + std::to_string(error.Number()) + " was generated by " + error.Source() +
           "\r" + error.Description() + kNoXmlText;
}

std::string SafeFolderName(const std::string& baseName) {
    return IsPlainName(baseName) ? baseName : kFallbackFolderName;
}

void Renderer::Finish(const Status& error, RenderOutcome& out) {
    out.error = error;
    if (!error.Ok()) {
        messages_.Show(RenderErrorText(error), kOkOnly, kRenderTitle);
    }
}

RenderOutcome Renderer::RenderPackage(const RenderSettings& settings, PackageState& state,
                                      std::span<const std::string> itemTexts) {
    RenderOutcome out;
    out.catalogFileName = ChooseCatalogFileName(settings.navigationOption, settings.prizmInstalled);
    Status error;
    try {
        error = DocumentSteps(settings, state, itemTexts, out);
    } catch (...) {
        error = FromException();
    }
    Finish(error, out);
    return out;
}

Status Renderer::DocumentSteps(const RenderSettings& settings, PackageState& state,
                               std::span<const std::string> itemTexts, RenderOutcome& out) {
    if (state.MainDocEntry == 0) {
        if (state.SeqListEntry == 0) {
            messages_.Show(kNoXmlText, kOkOnly, kRenderTitle);
        }
        return {};
    }
    const PackagePlan plan = PlanPackage(settings, itemTexts);
    const PackageDocuments& docs = plan.docs;
    const std::string& working = plan.working;
    const std::string& packageFolder = plan.packageFolder;
    std::string target = packageFolder + "/";
    if (FolderExists(packageFolder, fs::Match::Exact)) {
        state.RawSourceView = true;
        const std::string raw = packageFolder + "[1]";
        if (!FolderExists(raw, fs::Match::Exact)) {
            if (Status s = CreateFolders(raw); !s) {
                return s;
            }
        }
        target = raw + "/";
    }
    if (!FolderExists(working, fs::Match::Exact)) {
        if (Status s = CreateFolders(working); !s) {
            return s;
        }
    }
    const bool raw = state.RawSourceView;

    // The documents first, so they can be prepared while nothing else is there yet: the
    // two entries the listing recorded, the main document rendering chose, and in the
    // raw view every document it opens.
    const int count = extractor_.FileCount();
    std::vector<bool> first(static_cast<std::size_t>(count) + 1, false);
    auto takeFirst = [&](int i) {
        if (i >= 1 && i <= count) {
            first[static_cast<std::size_t>(i)] = true;
        }
    };
    takeFirst(state.MainDocEntry);
    takeFirst(state.SeqListEntry);
    for (const DocumentStep& d : kDocumentSteps) {
        if (Wanted(d, settings, docs) && (raw || d.stage == Stage::kBeforeRest)) {
            takeFirst(DocumentOf(d, docs).entry);
        }
    }
    std::vector<int> documents, rest;
    for (int i = 1; i <= count; ++i) {
        (first[static_cast<std::size_t>(i)] ? documents : rest).push_back(i);
    }
    if (Status s = extractor_.Extract(documents, target); !s) {
        return s;
    }

    const ToolFolders tools{settings.appPath, settings.appDataPath, out.catalogFileName};
    StepContext context{tools_, tools, settings, docs, target, out, messages_};
    auto prepare = [&](Stage stage) {
        for (const DocumentStep& d : kDocumentSteps) {
            if (!raw && d.stage == stage && d.prepare != nullptr && Wanted(d, settings, docs)) {
                d.prepare(context, target + DocumentOf(d, docs).name);
            }
        }
    };
    prepare(Stage::kBeforeRest);
    if (!raw && !rest.empty()) {
        if (Status s = extractor_.Extract(rest, target); !s) {
            return s;
        }
    }
    for (const DocumentStep& d : kDocumentSteps) {
        if (!Wanted(d, settings, docs)) {
            continue;
        }
        const std::string path = target + DocumentOf(d, docs).name;
        if (!raw && d.stage == Stage::kAfterRest && d.prepare != nullptr) {
            d.prepare(context, path);
        }
        if (!d.onlyWhenPresent || FileExists(path, fs::Match::Exact)) {
            launcher_.Launch(settings.ie11Path, path, target);
        }
    }
    return {};
}

RenderOutcome Renderer::RenderSelection(const RenderSettings& settings, const PackageState& state,
                                        std::span<ListingItem> items) {
    RenderOutcome out;
    Status error;
    try {
        error = SelectionSteps(settings, state, items);
    } catch (...) {
        error = FromException();
    }
    Finish(error, out);
    return out;
}

Status Renderer::SelectionSteps(const RenderSettings& settings, const PackageState& state,
                                std::span<ListingItem> items) {
    if (state.MainDocEntry == 0) {
        if (state.SeqListEntry == 0) {
            messages_.Show(kNoXmlText, kOkOnly, kRenderTitle);
        }
        return {};
    }
    std::vector<std::string> texts;
    texts.reserve(items.size());
    for (const ListingItem& item : items) {
        texts.push_back(item.text);
    }
    const PackagePlan plan = PlanPackage(settings, texts);
    const std::string folder = plan.packageFolder + "/";
    if (state.SeqListEntry != 0) {
        bool any = false;
        for (const ListingItem& item : items) {
            if (item.selected) {
                any = true;
                if (IsPlainName(item.text)) {
                    launcher_.Launch(settings.ie11Path, folder + item.text, folder);
                }
            }
        }
        if (!any && !items.empty()) {
            items.front().selected = true;
            if (IsPlainName(items.front().text)) {
                launcher_.Launch(settings.ie11Path, folder + items.front().text, folder);
            }
        }
        return {};
    }
    const std::string& docName = plan.docs.mainDocName;
    if (docName.empty() || !FileExists(folder + docName, fs::Match::Exact)) {
        return {};
    }
    if (settings.unreferenceDTD) {
        const ToolFolders tools{settings.appPath, settings.appDataPath, settings.catalogFileName};
        RunDtdStrip(tools_, tools, folder + docName);
    }
    launcher_.Launch(settings.ie11Path, folder + docName, folder);
    return {};
}

RenderOutcome Renderer::OpenXmlDocument(
    const RenderSettings& settings, const std::string& path, const std::string& workingFolder,
    const std::function<void(const std::string&)>& addRecentFile) {
    RenderOutcome out;
    if (addRecentFile) {
        addRecentFile(path);
    }
    std::string document = path;
    if (!settings.copyFile) {
        const auto slash = path.rfind('/');
        const std::string stem =
            SafeFolderName(StemOf(slash == std::string::npos ? path : path.substr(slash + 1)));
        const std::string folder = settings.documentsFolder + kWorkingFolderName + "/" + stem;
        document = folder + "/" + stem + ".xml";
        if (Status s = CreateFolders(folder); !s) {
            Finish(s, out);
            return out;
        }
        std::error_code ec;
        // Opening the copy itself again must not fail on copying it onto itself.
        if (!sfs::equivalent(path, document, ec)) {
            sfs::copy_file(path, document, sfs::copy_options::overwrite_existing, ec);
            if (ec) {
                Finish(SystemStatus(ec.value(), kErrorClass, "Could not copy the file", path), out);
                return out;
            }
        }
    }
    const ToolFolders tools{settings.appPath, settings.appDataPath, settings.catalogFileName};
    RunPathMend(tools_, tools, document);
    out.searchText = GetDocNumber(document);
    launcher_.Launch(settings.ie11Path, document, "\"" + workingFolder + "\"");
    return out;
}

}  // namespace tv::render

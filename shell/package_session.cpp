#include "shell/package_session.h"

#include <algorithm>

#include "lookup/commands.h"
#include "platform/environment.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/process/shell_wait.h"
#include "platform/strings.h"
#include "render/documents.h"
#include "render/tools.h"
#include "render/transform.h"
#include "shell/app_state.h"
#include "shell/cmdline.h"
#include "shell/folders.h"

namespace tv {

// Rendering's ports: the session's own, standing still once a close is pending (the
// window is going away: no further tool, browser or message box).
class PackageSession::Guard : public render::Launcher,
                              public render::MessageSink,
                              public render::ToolRunner {
  public:
    explicit Guard(PackageSession& session) : s_(session) {}
    void Launch(const std::string& programPath, const std::string& target,
                const std::string& workingDirectory) override {
        if (!s_.abandoning_) {
            s_.launcher_.Launch(programPath, target, workingDirectory);
        }
    }
    void Show(const std::string& text, int style, const std::string& title) override {
        if (!s_.abandoning_) {
            s_.messages_.Show(text, style, title);
        }
    }
    Status Run(const render::ToolCommand& command, long lTimeOut) override {
        if (s_.abandoning_) {
            return ToolWaitStatus(kErrToolAbandoned);
        }
        Status ran = s_.tools_->Run(command, s_.toolTimeOutMs_ > 0 ? s_.toolTimeOutMs_ : lTimeOut);
        if (ran.Number() == kErrToolAbandoned) {
            // Also when the application quits under the wait: the tool has been ended
            // as after a time-out, and the command winds up without it.
            s_.abandoning_ = true;
        }
        return ran;
    }

  private:
    PackageSession& s_;
};

PackageSession::PackageSession(SessionPorts ports)
    : launcher_(ports.launcher),
      messages_(ports.messages),
      ownTools_(ports.tools != nullptr ? nullptr : std::make_unique<render::ProcessToolRunner>()),
      extractor_(ports.extractor != nullptr ? ports.extractor : &ownExtractor_),
      tools_(ports.tools != nullptr ? ports.tools : ownTools_.get()),
      guard_(std::make_unique<Guard>(*this)) {
    m_cUnzip.SetEvents(this);
}

PackageSession::~PackageSession() {
    m_cUnzip.SetEvents(nullptr);
}

void PackageSession::Load(const std::vector<std::string>& args) {
    bool found = LoadPathSettings();
    // An installed viewer sets itself up on its first start (or when the folders are
    // gone from the settings), keeping every value the user has.
    if ((!found || appPath_.empty()) && tv::SetUpInstallationOf(tv::ExecutableFolder())) {
        found = LoadPathSettings();
    }
    if (!found) {
        messages_.Show("Fatal Error: Could not find Internet Explorer.", kOkOnly, kAppTitle);
    }
    if (unloaded_) {
        return;  // closed while the message was up
    }
    Process().PrizmInstalled = FolderExists(kPrizmViewerFolder);
    LoadOptionSettings();
    Process().CatalogFileName =
        render::ChooseCatalogFileName(m_NavigationOption, Process().PrizmInstalled);
    for (std::size_t i = 1; i < args.size() && !unloaded_ && !abandoning_; ++i) {
        DispatchArgument(args[i]);
    }
}

void PackageSession::Unload() {
    unloaded_ = true;
    RemoveDir(WorkingFolder());
}

bool PackageSession::RequestClose() {
    if (!busy_) {
        return true;
    }
    abandoning_ = true;
    closePending_ = true;
    return false;
}

template <class Command>
void PackageSession::RunCommand(Command command) {
    if (busy_) {
        if (observer_ != nullptr) {
            observer_->CommandRefused();
        }
        return;
    }
    if (abandoning_ || unloaded_) {
        return;  // the window is going: nothing new starts
    }
    {
        struct BusyScope {
            bool& busy;
            explicit BusyScope(bool& b) : busy(b) { busy = true; }
            ~BusyScope() { busy = false; }
            BusyScope(const BusyScope&) = delete;
            BusyScope& operator=(const BusyScope&) = delete;
        } scope(busy_);
        command();
    }
    if (closePending_ && observer_ != nullptr) {
        closePending_ = false;
        observer_->CloseNow();
    }
}

template <class Change>
void PackageSession::ChangeListing(Change change) {
    if (observer_ != nullptr) {
        observer_->ListingAboutToChange();
    }
    change();
    selection_.clear();  // the view's selection does not survive a new listing
    if (observer_ != nullptr) {
        observer_->ListingChanged();
    }
}

void PackageSession::OpenPackage(const std::string& path) {
    RunCommand([&] { OpenPackageNow(path); });
}

void PackageSession::OpenPackageNow(const std::string& path) {
    // Emptied first, so nothing shows the old rows while the library lists.
    ClearListing();
    RawSourceView = false;
    m_cUnzip.SetZipFile(path);
    m_cUnzip.Directory();
    if (m_cUnzip.FileCount() >= 1) {
        m_MRU.Add(path);
        if (observer_ != nullptr) {
            observer_->RecentFilesChanged();
        }
    }
    ChangeListing([&] {
        PackageListing listing = BuildPackageListing(m_cUnzip);
        rows_ = std::move(listing.rows);
        MainDocEntry = listing.MainDocEntry;
        SeqListEntry = listing.SeqListEntry;
    });
    RenderPackageNow();
}

void PackageSession::ClearListing() {
    ChangeListing([this] { rows_.clear(); });
}

void PackageSession::DispatchArgument(const std::string& argument) {
    RunCommand([&] {
        switch (ClassifyArgument(argument)) {
            case ArgumentKind::XmlFile:
                TransformXmlFileNow(argument, StylesheetPath(), WorkingFolder());
                ClearListing();
                break;
            case ArgumentKind::Package:
                OpenPackageNow(argument);
                break;
            case ArgumentKind::Ignored:
                break;
        }
    });
}

void PackageSession::OpenByExtension(const std::string& path, bool xmlIsLoose) {
    if (!IEquals(ExtensionAfterLastDot(path), "xml")) {
        OpenPackageNow(path);
        return;
    }
    if (xmlIsLoose) {
        OpenXmlDocumentNow(path, WorkingFolder());
    } else {
        TransformXmlFileNow(path, StylesheetPath(), WorkingFolder());
    }
    ClearListing();
}

void PackageSession::OpenFiles(const std::vector<std::string>& files) {
    RunCommand([&] {
        for (const std::string& file : files) {
            if (abandoning_) {
                break;
            }
            // Unlike the command line, any dropped file but "xml" is tried as a package.
            OpenByExtension(file, false);
        }
    });
}

void PackageSession::OpenChosenFiles(const std::string& folder,
                                     const std::vector<std::string>& names) {
    if (names.empty() || names.front().empty()) {
        return;  // cancelled
    }
    // A folder that already ends with the separator (the root) does not get a second.
    const std::string prefix = folder.empty() || folder.back() != '/' ? folder + "/" : folder;
    RunCommand([&] {
        for (const std::string& name : names) {
            if (abandoning_) {
                break;
            }
            // The extension is the name's, not the folder's.
            if (IEquals(ExtensionAfterLastDot(name), "xml")) {
                OpenByExtension(prefix + name, true);
            } else {
                OpenPackageNow(prefix + name);
            }
        }
    });
}

std::string PackageSession::GetLastFolder() const {
    if (m_MRU.Count() == 0) {
        return appPath_;
    }
    const std::string recent = m_MRU.Item(1);
    const std::size_t cut = recent.rfind('/');
    return cut == std::string::npos ? std::string() : recent.substr(0, cut);
}

void PackageSession::OpenRecentFile(const std::string& tag) {
    if (tag.empty()) {
        return;  // a slot not yet filled
    }
    RunCommand([&] { OpenByExtension(tag, true); });
}

void PackageSession::SetSearchText(const std::string& text) {
    searchText_ = text;
    if (observer_ != nullptr) {
        observer_->SearchTextChanged();
    }
}

void PackageSession::RunLookup(LookupCommand command) {
    const LookupSettings settings{m_IE11Path, m_ChromePath,   m_GrantexUrl,
                                  m_PubexUrl, m_EspacenetUrl, m_GooglePatentsUrl};
    const LaunchRequest request = BuildLookupRequest(command, searchText_, settings);
    launcher_.Launch(request.program, request.target, request.workingDirectory);
}

std::vector<RecentSlot> PackageSession::RecentSlots() const {
    std::vector<RecentSlot> recent;
    const int count = std::min(m_MRU.Count(), 12);
    for (int i = 1; i <= count; ++i) {
        RecentSlot slot;
        slot.path = m_MRU.Item(i);
        // "&&" keeps a literal "&" of the path from becoming an access key.
        slot.caption = "&" + std::to_string(i) + ") " + ReplaceAll(slot.path, "&", "&&");
        slot.checkable = i == 1;
        slot.checked = i == 1 && m_cUnzip.FileCount() > 0;
        recent.push_back(std::move(slot));
    }
    return recent;
}

void PackageSession::Progress(int /*lCount*/, const std::string& sMsg) {
    // Extraction runs on the window's thread: painting every one of thousands of small
    // entries would cost more than extracting them.
    const auto now = std::chrono::steady_clock::now();
    const bool paintNow = !painted_ || now - lastPaint_ >= paintInterval_;
    if (paintNow) {
        painted_ = true;
        lastPaint_ = now;
    }
    if (observer_ != nullptr) {
        observer_->Progress(sMsg, paintNow);
    }
}

void PackageSession::Cancel(const std::string& /*sMsg*/, bool& /*bCancel*/) {
    // The viewer never stops an extraction.
}

bool PackageSession::LoadPathSettings() {
    return tv::LoadPathSettings(HKEY_CURRENT_USER_ROOT, *this, appPath_, appDataPath_);
}

bool PackageSession::LoadOptionSettings() {
    ArchiveOptions options{m_cUnzip.UseFolderNames(), m_cUnzip.PromptToOverwrite()};
    const bool found = tv::LoadOptionSettings(HKEY_CURRENT_USER_ROOT, *this, options, m_MRU);
    m_cUnzip.SetUseFolderNames(options.useFolderNames);
    m_cUnzip.SetPromptToOverwrite(options.promptToOverwrite);
    if (found && observer_ != nullptr) {
        observer_->RecentFilesChanged();
    }
    return found;
}

bool PackageSession::SaveSettings() {
    const ArchiveOptions options{m_cUnzip.UseFolderNames(), m_cUnzip.PromptToOverwrite()};
    try {
        tv::SaveSettings(HKEY_CURRENT_USER_ROOT, *this, options, m_MRU);
        return true;
    } catch (const AppError& e) {
        // Losing the user's settings without a word is worse than one message.
        messages_.Show(SaveFailureMessage(e), kExclamation, kAppTitle);
        return false;
    }
}

bool PackageSession::Set(SettingId id, const SettingValue& value) {
    return Store(id, value) && SaveSettings();
}

std::string PackageSession::StylesheetPath() const {
    return appPath_ + kStylesheetRelativePath;
}

std::string PackageSession::WorkingFolder() {
    return GetWorkingFolder();
}

bool PackageSession::PrizmInstalled() const {
    return Process().PrizmInstalled;
}

const std::string& PackageSession::CatalogFileName() const {
    return Process().CatalogFileName;
}

render::RenderSettings PackageSession::CurrentRenderSettings() const {
    render::RenderSettings settings;
    settings.ie11Path = m_IE11Path;
    settings.specificationRenderOption = m_SpecificationRenderOption;
    settings.zornRenderOption = m_ZornRenderOption;
    settings.navigationOption = m_NavigationOption;
    settings.prizmInstalled = Process().PrizmInstalled;
    settings.appPath = appPath_;
    settings.appDataPath = appDataPath_;
    settings.documentsFolder = GetDocumentsFolder();
    settings.catalogFileName = Process().CatalogFileName;
    settings.unreferenceDTD = removeDtdReference_;
    settings.copyFile = inlineRendering_;
    return settings;
}

void PackageSession::AddRecentFile(const std::string& path) {
    m_MRU.Add(path);
    if (observer_ != nullptr) {
        observer_->RecentFilesChanged();
    }
}

void PackageSession::RenderPackage() {
    RunCommand([this] { RenderPackageNow(); });
}

void PackageSession::RenderPackageNow() {
    render::PackageState state{MainDocEntry, SeqListEntry, RawSourceView};
    std::vector<std::string> texts;
    texts.reserve(rows_.size());
    for (const ListingRow& row : rows_) {
        texts.push_back(row.listedName);
    }
    render::Renderer renderer(*extractor_, *guard_, *guard_, *guard_);
    const render::RenderOutcome out = renderer.RenderPackage(CurrentRenderSettings(), state, texts);
    RawSourceView = state.RawSourceView;
    Process().CatalogFileName = out.catalogFileName;
    if (out.searchText) {
        SetSearchText(*out.searchText);
    }
}

void PackageSession::RenderSelection() {
    RunCommand([this] {
        std::vector<render::ListingItem> items;
        items.reserve(rows_.size());
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            const int entry = static_cast<int>(i) + 1;
            items.push_back({rows_[i].listedName, std::find(selection_.begin(), selection_.end(),
                                                            entry) != selection_.end()});
        }
        const render::PackageState state{MainDocEntry, SeqListEntry, RawSourceView};
        render::Renderer renderer(*extractor_, *guard_, *guard_, *guard_);
        renderer.RenderSelection(CurrentRenderSettings(), state, items);
        // With nothing selected, rendering picks the first row: the view shows it.
        if (selection_.empty() && !items.empty() && items.front().selected) {
            selection_ = {1};
            if (observer_ != nullptr) {
                observer_->SelectionChanged();
            }
        }
    });
}

void PackageSession::OpenXmlDocument(const std::string& xmlPath, const std::string& outputFolder) {
    RunCommand([&] { OpenXmlDocumentNow(xmlPath, outputFolder); });
}

void PackageSession::OpenXmlDocumentNow(const std::string& xmlPath,
                                        const std::string& outputFolder) {
    render::Renderer renderer(*extractor_, *guard_, *guard_, *guard_);
    const render::RenderOutcome out =
        renderer.OpenXmlDocument(CurrentRenderSettings(), xmlPath, outputFolder,
                                 [this](const std::string& path) { AddRecentFile(path); });
    if (out.searchText) {
        SetSearchText(*out.searchText);
    }
}

void PackageSession::TransformXmlFile(const std::string& xmlPath, const std::string& stylesheetPath,
                                      const std::string& outputFolder) {
    RunCommand([&] { TransformXmlFileNow(xmlPath, stylesheetPath, outputFolder); });
}

void PackageSession::TransformXmlFileNow(const std::string& xmlPath,
                                         const std::string& stylesheetPath,
                                         const std::string& outputFolder) {
    const render::TransformContext context{
        m_IE11Path, guard_.get(), guard_.get(),
        [this](const std::string& path) { AddRecentFile(path); }};
    render::TransformXmlFile(xmlPath, stylesheetPath, outputFolder, context);
}

}  // namespace tv

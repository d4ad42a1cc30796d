#include "shell/package_session.h"

#include <algorithm>

#include "lookup/commands.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/strings.h"
#include "shell/app_state.h"
#include "shell/cmdline.h"
#include "shell/folders.h"

namespace tv {

// Rendering's view of the session's own archive component.
class PackageSession::ArchiveExtractor : public render::PackageExtractor {
  public:
    explicit ArchiveExtractor(cUnzip& unzip) : unzip_(unzip) {}
    int FileCount() const override { return unzip_.FileCount(); }
    std::string FileDirectory(int i) const override { return unzip_.FileDirectory(i); }
    std::string ZipFile() const override { return unzip_.ZipFile(); }
    void SetFileSelected(int i, bool bSelected) override { unzip_.SetFileSelected(i, bSelected); }
    void SetUnzipFolder(const std::string& sFolder) override { unzip_.SetUnzipFolder(sFolder); }
    Status Unzip() override {
        if (unzip_.Unzip()) {
            return {};
        }
        return {kErrAccess, std::string(kExecutableName) + ".cUnzip",
                "The package " + unzip_.ZipFile() + " could not be extracted to " +
                    unzip_.UnzipFolder()};
    }

  private:
    cUnzip& unzip_;
};

PackageSession::PackageSession(SessionPorts ports)
    : launcher_(ports.launcher),
      messages_(ports.messages),
      ownExtractor_(std::make_unique<ArchiveExtractor>(m_cUnzip)),
      extractor_(ports.extractor != nullptr ? ports.extractor : ownExtractor_.get()),
      tools_(ports.tools) {
    m_cUnzip.SetEvents(this);
}

PackageSession::~PackageSession() {
    m_cUnzip.SetEvents(nullptr);
}

void PackageSession::Load(const std::vector<std::string>& args) {
    if (!LoadPathSettings()) {
        messages_.Show("Fatal Error: Could not find Internet Explorer.", kOkOnly, kAppTitle);
    }
    if (unloaded_) {
        return;  // closed while the message was up
    }
    Process().PrizmInstalled = FolderExists(kPrizmViewerFolder);
    LoadOptionSettings();
    Process().CatalogFileName = ChooseCatalogFileName(m_NavigationOption, Process().PrizmInstalled);
    for (std::size_t i = 1; i < args.size() && !unloaded_; ++i) {
        DispatchArgument(args[i]);
    }
}

void PackageSession::Unload() {
    unloaded_ = true;
    RemoveDir(WorkingFolder());
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
    RenderPackage();
}

void PackageSession::ClearListing() {
    ChangeListing([this] { rows_.clear(); });
}

void PackageSession::DispatchArgument(const std::string& argument) {
    switch (ClassifyArgument(argument)) {
        case ArgumentKind::XmlFile:
            TransformXmlFile(argument, StylesheetPath(), WorkingFolder());
            ClearListing();
            break;
        case ArgumentKind::Package:
            OpenPackage(argument);
            break;
        case ArgumentKind::Ignored:
            break;
    }
}

void PackageSession::OpenFiles(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        if (IEquals(ExtensionAfterLastDot(file), "xml")) {
            TransformXmlFile(file, StylesheetPath(), WorkingFolder());
            ClearListing();
        } else {
            // Unlike the command line, any dropped file is tried as a package.
            OpenPackage(file);
        }
    }
}

void PackageSession::OpenChosenFiles(const std::string& folder,
                                     const std::vector<std::string>& names) {
    if (names.empty() || names.front().empty()) {
        return;  // cancelled
    }
    // A folder that already ends with the separator (the root) does not get a second.
    const std::string prefix = folder.empty() || folder.back() != '/' ? folder + "/" : folder;
    for (const std::string& name : names) {
        const std::string path = prefix + name;
        if (IEquals(ExtensionAfterLastDot(name), "xml")) {
            OpenXmlDocument(path, WorkingFolder());
            ClearListing();
        } else {
            OpenPackage(path);
        }
    }
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
    if (IEquals(ExtensionAfterLastDot(tag), "xml")) {
        OpenXmlDocument(tag, WorkingFolder());
        ClearListing();
    } else {
        OpenPackage(tag);
    }
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

bool PackageSession::setNavigationOption(int16_t inti) {
    m_NavigationOption = inti;
    return SaveSettings();
}

bool PackageSession::SetIE11Path(const std::string& txt) {
    m_IE11Path = txt;
    return SaveSettings();
}

bool PackageSession::SetChromePath(const std::string& txt) {
    m_ChromePath = txt;
    return SaveSettings();
}

bool PackageSession::SetEspacenetUrl(const std::string& txt) {
    m_EspacenetUrl = txt;
    return SaveSettings();
}

bool PackageSession::SetGrantexUrl(const std::string& txt) {
    m_GrantexUrl = txt;
    return SaveSettings();
}

bool PackageSession::SetPubexUrl(const std::string& txt) {
    m_PubexUrl = txt;
    return SaveSettings();
}

bool PackageSession::SetGooglePatentsUrl(const std::string& txt) {
    m_GooglePatentsUrl = txt;
    return SaveSettings();
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

// Rendering forwarding points: the rendering library is joined here. Until then a
// listed package is only listed and a loose XML file is not shown.
void PackageSession::RenderPackage() {}
void PackageSession::RenderSelection() {}
void PackageSession::OpenXmlDocument(const std::string&, const std::string&) {}
void PackageSession::TransformXmlFile(const std::string&, const std::string&, const std::string&) {}

}  // namespace tv

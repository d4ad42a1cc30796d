#pragma once
// One run of the viewer without its window: the archive component, the recent-files
// list, the settings, the listed package and what rendering needs to know about it.
//
// The window turns widget events into calls of this class and redraws when the
// observer hears of a change; everything it decides (what a listing holds, which
// recent slots show, when progress is painted, what a failed save says) is decided
// here, so it can be driven without a display. The outside world is reached only
// through the ports it is given: browsers through the Launcher, messages through the
// MessageSink.
//
// Selection: the window's view owns the selection; it hands the selected entry
// numbers over with SetSelection whenever they change, and the session forgets them
// whenever the listing changes.
//
// Rendering goes through the render library (render/renderer.h, render/transform.h):
// the session hands it the settings, the package state and the listing, and takes
// back what it decided (RawSourceView, the catalog, the search text, the selection).
//
// Busy: a preparation tool is waited for while the window keeps handling its events,
// so a second command could start inside the first. While one command that opens or
// renders a package or file runs, every other such command (drops and recent slots
// included) is refused: ignored, and the observer hears CommandRefused. Lookups and
// settings stay usable.
//
// Closing during a command: RequestClose abandons the tool wait (the tool is ended,
// as after a time-out), skips the command's remaining tools, launches and
// messages, and defers the close until the command has returned; the observer then
// hears CloseNow.
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "archive/cUnzip.h"
#include "render/cunzip_extractor.h"
#include "render/ports.h"
#include "render/renderer.h"
#include "settings/cMRU.h"
#include "settings/settings_store.h"
#include "shell/listing.h"

namespace tv {

enum class LookupCommand;

// What the window hears from the session. Every handler is optional.
class SessionObserver {
  public:
    virtual ~SessionObserver() = default;
    // The listing is about to change; Listing() still holds the old rows.
    virtual void ListingAboutToChange() {}
    // The listing was replaced or cleared (also by an unreadable package).
    virtual void ListingChanged() {}
    // The recent-files list changed: RecentSlots() is worth reading again.
    virtual void RecentFilesChanged() {}
    // An extraction step; paintNow is false when painting it would slow the step down.
    virtual void Progress([[maybe_unused]] const std::string& sMsg,
                          [[maybe_unused]] bool paintNow) {}
    // Rendering put a document number into the search text.
    virtual void SearchTextChanged() {}
    // Rendering selected rows itself: Selection() is what the view should show.
    virtual void SelectionChanged() {}
    // A command was refused because another one is still running.
    virtual void CommandRefused() {}
    // A close deferred by RequestClose may go ahead now.
    virtual void CloseNow() {}
};

// The File menu's recent slot for entry i of the recent-files list.
struct RecentSlot {
    std::string caption;  // "&1) /path/p.zip", a literal "&" doubled
    std::string path;     // the slot's tag
    bool checkable = false;
    bool checked = false;
};

// The ports the session works through. Extractor and tools may be null: the session
// then extracts with its own archive component and runs tools without a window
// (waiting by poll).
struct SessionPorts {
    render::Launcher& launcher;
    render::MessageSink& messages;
    render::PackageExtractor* extractor = nullptr;
    render::ToolRunner* tools = nullptr;
};

class PackageSession : public SettingsMembers, public SettingsTarget, private cUnzipEvents {
  public:
    explicit PackageSession(SessionPorts ports);
    ~PackageSession() override;
    PackageSession(const PackageSession&) = delete;
    PackageSession& operator=(const PackageSession&) = delete;

    // Not owned; may be null.
    void SetObserver(SessionObserver* observer) { observer_ = observer; }

    // Start-up from the path settings on: a missing product key is told and start-up
    // goes on; then the plug-in probe, the option settings, the catalog choice and the
    // command-line arguments (args[0] is not an argument). Stops early once Unload ran.
    void Load(const std::vector<std::string>& args);
    // The close: saves the settings (a failure has been told). Never refuses.
    void QueryUnload() { SaveSettings(); }
    // Cleans the working folder; later Load steps and arguments are skipped.
    void Unload();
    bool Unloaded() const { return unloaded_; }

    // A command that opens or renders is running (see the header comment).
    bool Busy() const { return busy_; }
    // The window wants to close: true when it may close now; false while a command
    // runs, which is then wound up and followed by the observer's CloseNow.
    bool RequestClose();
    // A tool wait should end now (a close is pending).
    bool Abandoning() const { return abandoning_; }
    // Replaces the time-out of every tool wait (0: the tools' own). A test hook.
    void SetToolTimeOut(long ms) { toolTimeOutMs_ = ms; }

    // Lists the package at path (an unreadable one gives an empty listing and leaves
    // the recent-files list alone), then renders it.
    void OpenPackage(const std::string& path);
    // Opens dropped files in order: "xml" files are transformed and clear the listing,
    // anything else is tried as a package.
    void OpenFiles(const std::vector<std::string>& files);
    // The open dialog's choice, in the dialog's order: folder + separator + name; an
    // "xml" name is opened as a loose document (clearing the listing), anything else as
    // a package. Nothing happens when the first name is empty.
    void OpenChosenFiles(const std::string& folder, const std::vector<std::string>& names);
    // The open dialog's first folder: the application folder with an empty recent-files
    // list, else the folder of the most recent file ("" when it names none).
    std::string GetLastFolder() const;
    // A recent-file slot's click, given its tag: nothing for an empty tag, an "xml" file
    // is opened as a loose document (clearing the listing), anything else as a package.
    void OpenRecentFile(const std::string& tag);
    // What a start-up argument does: "zip" opens, "xml" is transformed, others nothing.
    void DispatchArgument(const std::string& argument);
    void ClearListing();

    // Row i of the listing shows entry i + 1 of the archive component.
    const std::vector<ListingRow>& Listing() const { return rows_; }
    // Render commands are enabled exactly when this holds.
    bool HasEntries() const { return !rows_.empty(); }

    // Package state: written by the listing, read (and RawSourceView set) by rendering.
    int MainDocEntry = 0;
    int SeqListEntry = 0;
    bool RawSourceView = false;

    // Entry numbers (1-based) of the selected rows, as the window last handed them.
    void SetSelection(std::vector<int> entries) { selection_ = std::move(entries); }
    const std::vector<int>& Selection() const { return selection_; }

    // The search box text: the window writes what the user types, rendering writes the
    // document number it found, the lookups read it.
    const std::string& SearchText() const { return searchText_; }
    // Tells the observer (SearchTextChanged), so the search box follows.
    void SetSearchText(const std::string& text);
    void RunLookup(LookupCommand command);

    // The Option menu's two check marks, which live only for the run.
    bool InlineRendering() const { return inlineRendering_; }  // "CopyFile"
    void SetInlineRendering(bool on) { inlineRendering_ = on; }
    bool RemoveDtdReference() const { return removeDtdReference_; }  // "unreferenceDTD"
    void SetRemoveDtdReference(bool on) { removeDtdReference_ = on; }

    // At most twelve slots, for the first entries of the recent-files list.
    std::vector<RecentSlot> RecentSlots() const;

    // Settings: both loads read the product key; a failed save tells the user once
    // and gives false. Set stores the value and saves at once, giving what the save
    // gave; the value stays in force for the run either way.
    bool LoadPathSettings();
    bool LoadOptionSettings();
    bool SaveSettings();
    SettingValue Get(SettingId id) const override { return Value(id); }
    bool Set(SettingId id, const SettingValue& value) override;

    std::string GetAppPath() const override { return appPath_; }
    const std::string& GetAppDataPath() const { return appDataPath_; }
    std::string StylesheetPath() const;
    static std::string WorkingFolder();
    bool PrizmInstalled() const;
    const std::string& CatalogFileName() const;

    // Extraction progress is painted at most this often.
    void SetProgressPaintInterval(std::chrono::milliseconds interval) { paintInterval_ = interval; }

    cUnzip& Archive() { return m_cUnzip; }
    const cUnzip& Archive() const { return m_cUnzip; }
    const cMRU& RecentFiles() const { return m_MRU; }
    // The extractor rendering works through (the archive component unless replaced).
    render::PackageExtractor& Extractor() { return *extractor_; }
    render::ToolRunner* Tools() { return tools_; }

    // Rendering: the listed package (after listing, and "View Raw XML Source"), the
    // selection ("Render"), a loose XML file (open dialog, recent slots) and a table
    // file (command line, drops).
    void RenderPackage();
    void RenderSelection();
    void OpenXmlDocument(const std::string& xmlPath, const std::string& outputFolder);
    void TransformXmlFile(const std::string& xmlPath, const std::string& stylesheetPath,
                          const std::string& outputFolder);
    // What rendering reads from the settings, the menu checks and the folders.
    render::RenderSettings CurrentRenderSettings() const;

  private:
    class Guard;

    void Progress(int lCount, const std::string& sMsg) override;
    void Cancel(const std::string& sMsg, bool& bCancel) override;
    template <class Change>
    void ChangeListing(Change change);
    // Runs a command unless another is running (then refused).
    template <class Command>
    void RunCommand(Command command);
    void AddRecentFile(const std::string& path);
    void OpenPackageNow(const std::string& path);
    void RenderPackageNow();
    void OpenXmlDocumentNow(const std::string& xmlPath, const std::string& outputFolder);
    void TransformXmlFileNow(const std::string& xmlPath, const std::string& stylesheetPath,
                             const std::string& outputFolder);
    void OpenByExtension(const std::string& path, bool xmlIsLoose);

    render::Launcher& launcher_;
    render::MessageSink& messages_;
    cUnzip m_cUnzip;
    cMRU m_MRU;
    render::CUnzipExtractor ownExtractor_{m_cUnzip};
    std::unique_ptr<render::ToolRunner> ownTools_;
    render::PackageExtractor* extractor_;
    render::ToolRunner* tools_;
    // The ports as rendering sees them: they stand still once a close is pending.
    std::unique_ptr<Guard> guard_;
    SessionObserver* observer_ = nullptr;
    bool busy_ = false;
    bool abandoning_ = false;
    bool closePending_ = false;
    long toolTimeOutMs_ = 0;

    std::vector<ListingRow> rows_;
    std::vector<int> selection_;
    std::string searchText_ = "10,000,000";
    bool inlineRendering_ = false;
    bool removeDtdReference_ = false;
    std::string appPath_;
    std::string appDataPath_;
    bool unloaded_ = false;

    std::chrono::milliseconds paintInterval_{40};
    std::chrono::steady_clock::time_point lastPaint_{};
    bool painted_ = false;
};

}  // namespace tv

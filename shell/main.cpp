// tessel-viewer: the program's entry point.
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/signals.h"
#include "shell/cmdline.h"
#include "shell/frmUnzip.h"
#include "shell/qt_message_box.h"

namespace {

constexpr const char* kUsage =
    "Usage: tessel-viewer [FILE]...\n"
    "Shows patent document packages in a web browser.\n"
    "\n"
    "Each FILE (at most ten) is opened in turn:\n"
    "  *.zip   a patent document package: listed, extracted and shown\n"
    "  *.xml   a loose XML file: a table file is turned into an HTML page, then shown\n"
    "Other files are ignored.\n"
    "\n"
    "Options:\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n"
    "\n"
    "Environment:\n"
    "  TESSEL_REGISTRY_FILE  the settings hive file to use\n"
    "  XDG_CONFIG_HOME       where the settings hive lives (tessel-viewer/user.reg)\n"
    "  XDG_DOCUMENTS_DIR     the Documents folder (also read from user-dirs.dirs)\n"
    "  HOME                  the home folder (Documents folder fallback)\n"
    "  TMPDIR                the temporary folder\n"
    "  QT_QPA_PLATFORM       the Qt platform plug-in (offscreen runs without a display)\n";

}  // namespace

int main(int argc, char* argv[]) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("tessel-viewer %s\n", TESSEL_VERSION);
            return 0;
        }
        args.emplace_back(argv[i]);
    }
    tv::SetProcessArguments(std::move(args));

    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessel Viewer");
    QApplication::setApplicationVersion(TESSEL_VERSION);
    tv::InstallQtMessageBox();

    // A terminating signal (logout, kill) closes the window as the user would, so the
    // settings are saved and the working folder cleaned.
    tv::TerminationSignals terminationSignals;
    std::unique_ptr<QSocketNotifier> notifier;
    if (terminationSignals.ReadDescriptor() >= 0) {
        notifier = std::make_unique<QSocketNotifier>(terminationSignals.ReadDescriptor(),
                                                     QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [&terminationSignals] {
            if (terminationSignals.Consume()) {
                QApplication::closeAllWindows();
                QApplication::quit();
            }
        });
    }

    tv::frmUnzip window;
    window.show();
    // Start-up runs inside the event loop, so a close that arrives while start-up
    // shows a message still ends the program.
    QTimer::singleShot(0, &window, [&window] { window.Load(); });
    return app.exec();
}

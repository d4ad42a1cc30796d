// Times opening a package in the main window (offscreen) until its listing is shown
// (the listing's first paint with every row in the model), side by side with `unzip -l`
// listing the same package. Both list a fresh package of 10,000 small entries (or as many
// as given); the median of five runs is reported. Opening also renders the package after
// the listing is shown (here: the raw view, one entry extracted); that whole call is
// reported too, for information.
//
//   bench_open_listing [entries]
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "shell/cmdline.h"
#include "shell/frmUnzip.h"
#include "tests/archive/unzip/zip_fixtures.h"

namespace {

constexpr int kRuns = 5;

// Notes when the listing is first painted holding all its rows.
class FirstPaint : public QObject {
  public:
    FirstPaint(const QAbstractItemModel& model, int rows) : model_(model), rows_(rows) {}
    void Start() {
        ms_ = -1;
        timer_.start();
    }
    double Ms() const { return ms_; }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && ms_ < 0 && model_.rowCount() == rows_) {
            ms_ = static_cast<double>(timer_.nsecsElapsed()) / 1e6;
        }
        return false;
    }

  private:
    const QAbstractItemModel& model_;
    int rows_;
    QElapsedTimer timer_;
    double ms_ = -1;
};

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double MedianMs(const std::function<void()>& run) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[kRuns / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    const int entries = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir dir;
    // The viewer's settings and working folder stay inside the bench's own folder.
    qputenv("HOME", dir.path().toUtf8());
    qputenv("XDG_DOCUMENTS_DIR", (dir.path() + "/Documents").toUtf8());
    qputenv("TESSEL_REGISTRY_FILE", (dir.path() + "/user.reg").toUtf8());
    QApplication app(argc, argv);

    std::vector<tv::test::ZipItem> items;
    const char* extensions[] = {".tif", ".xml", ".pdf", ".txt"};
    for (int i = 0; i < entries; ++i) {
        items.push_back(
            {"doc/img" + std::to_string(i % 50) + "/D" + std::to_string(i) + extensions[i % 4],
             "II*" + std::to_string(i)});
    }
    const std::string package = (dir.path() + "/big.zip").toStdString();
    tv::test::WriteZip(package, items);

    tv::SetProcessArguments({});
    tv::frmUnzip window;
    window.show();
    window.Load();
    auto* view = window.findChild<QTreeView*>("lvwZip");
    FirstPaint firstPaint(*view->model(), entries);
    view->viewport()->installEventFilter(&firstPaint);
    std::vector<double> shown;
    const double whole = MedianMs([&] {
        firstPaint.Start();
        window.OpenPackage(package);
        QApplication::processEvents();
        view->viewport()->repaint();
        shown.push_back(firstPaint.Ms());
    });
    const double viewer = Median(shown);
    if (view->model()->rowCount() != entries) {
        std::fprintf(stderr, "the window listed %d of %d entries\n", view->model()->rowCount(),
                     entries);
        return 1;
    }

    const double unzip = MedianMs([&] {
        QProcess process;
        process.start("unzip", {"-l", QString::fromStdString(package)});
        process.waitForFinished(-1);
        process.readAllStandardOutput();
    });
    window.close();

    std::printf("entries: %d (median of %d runs)\n", entries, kRuns);
    std::printf("  window, open until shown : %8.1f ms\n", viewer);
    std::printf("  (open and render, whole  : %8.1f ms)\n", whole);
    std::printf("  unzip -l                 : %8.1f ms\n", unzip);
    std::printf("  ratio window / unzip -l  : %8.2fx\n", viewer / unzip);
    return 0;
}

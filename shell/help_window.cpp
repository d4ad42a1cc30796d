#include "shell/help_window.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/environment.h"

namespace tv {

std::string HelpFilePath(const std::string& appPath) {
    return (appPath.empty() ? std::string() : WithTrailingSeparator(appPath)) +
           "help/tessel_viewer_help.html";
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("HelpWindow");
    setWindowTitle("Tessel Viewer Help");
    resize(760, 600);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("txtHelp");
    // Links are followed here, so that only local pages load into the window.
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::FollowLink);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
}

void HelpWindow::ShowFile(const std::string& path) {
    const QString file = QString::fromStdString(path);
    if (QFileInfo(file).isFile()) {
        browser_->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
        return;
    }
    browser_->setHtml(QStringLiteral("<h2>Help not found</h2><p>The help file <b>%1</b> could "
                                     "not be found. Reinstalling Tessel Viewer restores it.</p>")
                          .arg(file.toHtmlEscaped()));
}

void HelpWindow::FollowLink(const QUrl& url) {
    const QUrl target = browser_->source().resolved(url);
    if (target.isLocalFile() || target.scheme() == QLatin1String("qrc")) {
        if (target.isLocalFile() && !QFileInfo(target.toLocalFile()).isFile()) {
            ShowFile(target.toLocalFile().toStdString());
            return;
        }
        browser_->setSource(target);
        return;
    }
    QDesktopServices::openUrl(target);
}

HelpWindow* ShowHelpContents(const std::string& appPath) {
    static QPointer<HelpWindow> window;
    if (window.isNull()) {
        window = new HelpWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->ShowFile(HelpFilePath(appPath));
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace tv

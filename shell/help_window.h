#pragma once
// The help window: shows the HTML help of the application folder. Links to local pages
// and images stay in the window; any other link (web, mail) goes to the desktop's
// program for it. A missing help file shows a not-found page instead.
#include <QWidget>
#include <string>

class QTextBrowser;
class QUrl;

namespace tv {

// appPath + "help/tessel_viewer_help.html".
std::string HelpFilePath(const std::string& appPath);

class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    void ShowFile(const std::string& path);
    QTextBrowser* Browser() const { return browser_; }

  private:
    void FollowLink(const QUrl& url);

    QTextBrowser* browser_;
};

// Opens the help window on the help file of appPath, or brings the open one forward.
HelpWindow* ShowHelpContents(const std::string& appPath);

}  // namespace tv

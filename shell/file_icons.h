#pragma once
// File-type icons for the listing: one image per extension, looked up once in the
// MIME database and the icon theme, with our own fallback; kept for the run.
#include <QHash>
#include <QIcon>
#include <QString>
#include <string>

namespace tv {

// 16-pixel icons keyed by text; holds "DEFAULT" from the start.
class ImageList {
  public:
    ImageList();
    bool Contains(const QString& key) const { return images_.contains(key); }
    void Add(const QString& key, const QIcon& icon) { images_.insert(key, icon); }
    QIcon Image(const QString& key) const { return images_.value(key); }
    int Count() const { return static_cast<int>(images_.size()); }

  private:
    QHash<QString, QIcon> images_;
};

// The key of the small icon for a file name, adding the icon to the list when new.
QString GetFileIconKey(const std::string& fileName, ImageList& images, const QString& defaultKey);

}  // namespace tv

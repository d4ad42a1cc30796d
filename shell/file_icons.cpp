#include "shell/file_icons.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStyle>

#include "shell/listing.h"

namespace tv {

ImageList::ImageList() {
    images_.insert("DEFAULT", QApplication::style()->standardIcon(QStyle::SP_FileIcon));
}

QString GetFileIconKey(const std::string& fileName, ImageList& images, const QString& defaultKey) {
    const QString key = QString::fromStdString(IconExtensionKey(fileName));
    if (key.isEmpty()) {
        return defaultKey;
    }
    if (images.Contains(key)) {
        return key;
    }
    // The MIME type comes from the name alone: no file is created or read.
    static const QMimeDatabase mimeDatabase;
    const QMimeType mime =
        mimeDatabase.mimeTypeForFile("probe" + key.toLower(), QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(mime.iconName());
    if (icon.isNull()) {
        icon = QIcon::fromTheme(mime.genericIconName());
    }
    if (icon.isNull()) {
        icon = images.Image(defaultKey);
    }
    images.Add(key, icon);
    return key;
}

}  // namespace tv

#include "shell/frmAbout.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

namespace {

constexpr const char* kNotice = "Free to use and share; it comes with no warranty.";

constexpr const char* kDescription =
    "Tessel Viewer now supports ST.26 sequence listing XML documents.\n\n"
    "Tessel Viewer is a free desktop application that renders zipped grant and application "
    "patent packages and CALS table XML files through the desktop's web browser. It creates "
    "a temporary working environment in which the files the documents need, such as DTDs "
    "and stylesheets, are resolved.\n\n"
    "Tessel Viewer is built on these libraries:\n"
    "- Qt 6, under the GNU Lesser General Public License v3\n"
    "- libzip, under the BSD 3-clause licence\n"
    "- libxml2 and libxslt, under the MIT licence\n"
    "- OpenSP, under an MIT-style licence (James Clark's licence)\n"
    "- libtiff, under the libtiff licence (BSD-like)\n"
    "- libpng, under the libpng licence\n";

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle("About Tessel Viewer");
    setModal(true);

    auto* frame = new QGroupBox(QStringLiteral("Tessel Viewer " TESSEL_VERSION));
    frame->setObjectName("Frame1");
    auto* icon = new QLabel;
    icon->setObjectName("picIcon");
    icon->setPixmap(QPixmap(":/tessel/tessel_icon.png"));
    icon->setAlignment(Qt::AlignTop);
    auto* notice = new QLabel(kNotice);
    notice->setObjectName("lblNotice");
    auto* text = new QPlainTextEdit(kDescription);
    text->setObjectName("txtDescription");
    text->setReadOnly(true);
    text->setMinimumSize(440, 220);

    auto* right = new QVBoxLayout;
    right->addWidget(notice);
    right->addWidget(text);
    auto* frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(icon);
    frameLayout->addLayout(right);

    auto* ok = new QPushButton("OK");
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
}

void frmAbout::ShowModal(QWidget* parent) {
    frmAbout box(parent);
    box.exec();
}

}  // namespace tv

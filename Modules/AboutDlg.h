// The About dialog: the program title, its version from the build, the
// maker's logo (a click opens the maker's address) and a notice line.
// Created once at start and shown modally from Help, "About".
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace zembrik {

class TImage;

class TformAbout : public QDialog {
    Q_OBJECT
public:
    explicit TformAbout(QWidget *parent = nullptr);

    QLabel *labelTitle = nullptr;
    QLabel *labelVersion = nullptr;
    TImage *imgLogo = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QLabel *lblNotice = nullptr;
};

// "major.minor.release.build" of this program.
QString ProgramFileVersion();

} // namespace zembrik

#include "Modules/AboutDlg.h"

#include "Modules/AppInfo.h"
#include "shell/Controls.h"
#include "shell/WindowFonts.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>

namespace zembrik {

QString ProgramFileVersion()
{
    // Four unsigned parts, the missing ones 0.
    QStringList parts = QStringLiteral(ZEMBRIK_VERSION).split(QLatin1Char('.'));
    while (parts.size() < 4)
        parts << QStringLiteral("0");
    QStringList out;
    for (int i = 0; i < 4; ++i)
        out << QString::number(parts[i].toUInt());
    return out.join(QLatin1Char('.'));
}

TformAbout::TformAbout(QWidget *parent) : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("formAbout"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(312, 203);
    setFont(DialogFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    labelTitle = new QLabel(QStringLiteral("Name"), this);
    labelTitle->setObjectName(QStringLiteral("labelTitle"));
    QFont tf = font();
    tf.setPixelSize(19);
    tf.setBold(true);
    labelTitle->setFont(tf);
    labelTitle->setGeometry(12, 8, 288, 26);

    labelVersion = new QLabel(QStringLiteral("Version"), this);
    labelVersion->setObjectName(QStringLiteral("labelVersion"));
    labelVersion->setGeometry(12, 36, 288, 16);

    imgLogo = new TImage(QStringLiteral(":/zembrik/logo.svg"), QSize(214, 100), this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->move(12, 58);
    imgLogo->setCursor(Qt::PointingHandCursor);
    imgLogo->setToolTip(kMakerAddress);
    connect(imgLogo, &TImage::Clicked, this, [] { QDesktopServices::openUrl(QUrl(kMakerAddress)); });

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(234, 128, 66, 26);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    lblNotice = new QLabel(QStringLiteral("Made for drummers by the MIDI Zembrik makers."), this);
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    lblNotice->setGeometry(12, 172, 288, 20);

    labelTitle->setText(kApplicationTitle);
    labelVersion->setText(QStringLiteral("Version: ") + ProgramFileVersion());

    if (QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
}

} // namespace zembrik

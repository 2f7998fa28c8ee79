#include "shell/TfrmSplash.h"

#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/desktop/Desktop.h"
#include "platform/http/Http.h"
#include "widgets/QtPlatform.h"

namespace zl {

// The program's picture: the name's initial on a rounded blue tile.
QPixmap ProgramPicture() {
    QPixmap picture(113, 73);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(32, 84, 160));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(4, 6, 60, 60), 12, 12);
    QFont font("Arial");
    font.setBold(true);
    font.setPixelSize(44);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(4, 6, 60, 60), Qt::AlignCenter, "Z");
    return picture;
}

TfrmSplash::TfrmSplash(QWidget* owner) : QDialog(owner) {
    setWindowTitle("About Zelmar");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    auto* grid = new QGridLayout(this);
    Image2 = new QLabel(this);
    Image2->setObjectName("Image2");
    Image2->setPixmap(ProgramPicture());
    Image2->setFixedSize(113, 73);
    grid->addWidget(Image2, 0, 0, 3, 1, Qt::AlignTop | Qt::AlignLeft);
    Label1 = new QLabel("Zelmar", this);
    Label1->setObjectName("Label1");
    QFont nameFont("Arial");
    nameFont.setBold(true);
    nameFont.setPixelSize(19);
    Label1->setFont(nameFont);
    grid->addWidget(Label1, 0, 1);
    labVersion = new QLabel(this);
    labVersion->setObjectName("labVersion");
    grid->addWidget(labVersion, 1, 1);
    labSite = new QLabel(QString::fromStdString(http::Hosts().webHost), this);
    labSite->setObjectName("labSite");
    QFont linkFont = labSite->font();
    linkFont.setBold(true);
    linkFont.setUnderline(true);
    labSite->setFont(linkFont);
    QPalette link = labSite->palette();
    link.setColor(QPalette::WindowText, Qt::blue);
    labSite->setPalette(link);
    labSite->setCursor(Qt::PointingHandCursor);
    labSite->installEventFilter(this);
    grid->addWidget(labSite, 2, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(30000);
    connect(Timer1, &QTimer::timeout, this, &QDialog::accept);

    setFixedSize(sizeHint().expandedTo(QSize(360, 130)));
    widgets::Centre(*this);
}

bool TfrmSplash::showSplash() {
    labVersion->setText("Version: " + QString::fromStdString(AppVersion));
    exec();
    return true;
}

bool TfrmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (watched == labSite && event->type() == QEvent::MouseButtonRelease) {
        labSiteClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmSplash::labSiteClick() {
    // A page that is not there simply does not open.
    const std::string page = GetAppDataDir() + "zlmredir.html";
    if (QFileInfo(QString::fromStdString(page)).isFile())
        desktop::OpenWithDesktop(page);
}

}  // namespace zl

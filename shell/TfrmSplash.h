// The about window, also shown as the splash window at start-up.
#pragma once

#include <QDialog>

class QLabel;
class QPixmap;
class QTimer;

namespace zl {

// The program's picture, 113 x 73 pixels; also the windows' icon.
QPixmap ProgramPicture();

class TfrmSplash : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmSplash(QWidget* owner = nullptr);
    // Shows the window modally; true once it has been closed.
    bool showSplash();

    QLabel* Image2;
    QLabel* Label1;
    QLabel* labVersion;
    QLabel* labSite;
    QTimer* Timer1;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void labSiteClick();
};

}  // namespace zl

// The version box and the program icon.
#include "dialogs/about_box.h"

#include <QFont>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "surface/program_icon.h"

namespace teku {

QIcon ProgramIconImage() {
  QIcon icon;
  for (const int size : {16, 32, 48, 256}) icon.addPixmap(QPixmap::fromImage(ProgramIconPicture(size)));
  return icon;
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("バージョン情報"));
  setModal(false);
  setFixedSize(298, 160);

  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setGeometry(8, 8, 282, 110);

  ProgramIcon = new QLabel(panel);
  ProgramIcon->setGeometry(8, 8, 32, 32);
  ProgramIcon->setPixmap(ProgramIconImage().pixmap(32, 32));

  ProductName = new QLabel(QStringLiteral("TEKUCROS"), panel);
  ProductName->setGeometry(88, 12, 180, 20);
  Version = new QLabel(QStringLiteral("Version0.42"), panel);
  Version->setGeometry(88, 40, 180, 20);
  Comments = new QLabel(QString::fromUtf8("ﾐﾅﾓ ﾅﾝｸﾛ支援ﾂｰﾙ"), panel);
  Comments->setGeometry(8, 76, 260, 20);

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setGeometry(111, 126, 75, 26);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QWidget::hide);
}

}  // namespace teku

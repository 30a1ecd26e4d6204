// The version box and the program icon.
#include "dialogs/about_box.h"

#include <QFont>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace teku {

QIcon ProgramIconImage() {
  QPixmap pixmap(32, 32);
  pixmap.fill(QColor(0x00, 0x00, 0x80));
  QPainter p(&pixmap);
  p.setPen(QColor(0x80, 0x80, 0x80));
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      const bool blocked = (r + c) % 4 == 3;
      p.fillRect(2 + c * 10, 2 + r * 10, 9, 9, blocked ? QColor(0x33, 0x33, 0x33) : Qt::white);
    }
  }
  p.fillRect(12, 12, 9, 9, QColor(0xFF, 0xFF, 0xCC));
  p.setPen(QColor(0x00, 0x00, 0xFF));
  QFont f(QStringLiteral("IPAGothic"));
  f.setPixelSize(9);
  p.setFont(f);
  p.drawText(QRect(12, 12, 9, 9), Qt::AlignCenter, QString::fromUtf8("ナ"));
  p.end();
  return QIcon(pixmap);
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

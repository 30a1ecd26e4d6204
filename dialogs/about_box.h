// TAboutBox: the version box (program icon, name and version); OK hides it.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace teku {

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr);

  QLabel* ProgramIcon = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QLabel* Comments = nullptr;
  QPushButton* OKButton = nullptr;
};

// The program's icon: a small grid with a character, drawn rather than shipped.
QIcon ProgramIconImage();

}  // namespace teku

// TTEKUOTOF, the sound settings dialog: the five media file names; a name is taken over only
// when a readable file of that name exists. Hiding reopens the sounds.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace teku {

class TForm1;

class TTEKUOTOF : public QDialog {
  Q_OBJECT

 public:
  explicit TTEKUOTOF(TForm1& form1);

  QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
         *Label5 = nullptr;
  QPushButton* BTN_OK = nullptr;
  QLineEdit* EDT_MID = nullptr;
  QLineEdit* EDT_HIDARIWAV = nullptr;
  QLineEdit* EDT_MIGIWAV = nullptr;
  QLineEdit* EDT_SEIKAIWAV = nullptr;
  QLineEdit* EDT_SEIKAIBMP = nullptr;
  std::int32_t ChangesAccepted = 1;

  // The file chooser of a double click: gets the filter, returns the chosen path or "".
  std::function<QString(const QString& filter)> ChooseFile;

  // The double-click action of a field.
  void PickFile(QLineEdit* field);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Field {
    QLineEdit* edit;
    std::string* path;
    const char* filter;
  };
  void FieldChange(const Field& field);
  std::vector<Field> fields_;
  TForm1& form1_;
};

// A readable regular file of that name exists (a bare name is looked up in the program folder).
bool MediaFileExists(const std::string& name);

}  // namespace teku

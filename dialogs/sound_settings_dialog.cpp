// The sound settings dialog.
#include "dialogs/sound_settings_dialog.h"

#include <QEvent>
#include <QFileDialog>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "surface/qt_cp932.h"

namespace teku {

bool MediaFileExists(const std::string& name) {
  if (name.empty()) return false;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(name, ec)) return false;
  std::ifstream in(name, std::ios::binary);
  return in.good();
}

TTEKUOTOF::TTEKUOTOF(TForm1& form1) : QDialog(nullptr), form1_(form1) {
  setObjectName(QStringLiteral("TEKUOTOF"));
  setWindowTitle(QString::fromUtf8("音設定"));
  setModal(false);
  resize(377, 224);
  const char* captions[] = {"ﾊﾞｯｸｸﾞﾗﾝﾄﾞMID", "左マウス音WAV", "右マウス音WAV", "正解音　　WAV",
                            "正解絵　　BMP"};
  const int widths[] = {107, 111, 111, 111, 109};
  QLabel** labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5};
  for (int i = 0; i < 5; ++i) {
    *labels[i] = new QLabel(QString::fromUtf8(captions[i]), this);
    (*labels[i])->setGeometry(8, 8 + 32 * i, widths[i], 20);
  }
  BTN_OK = new QPushButton(QStringLiteral("OK"), this);
  BTN_OK->setGeometry(128, 160, 89, 33);
  QLineEdit** edits[] = {&EDT_MID, &EDT_HIDARIWAV, &EDT_MIGIWAV, &EDT_SEIKAIWAV, &EDT_SEIKAIBMP};
  for (int i = 0; i < 5; ++i) {
    *edits[i] = new QLineEdit(this);
    (*edits[i])->setGeometry(128, 4 + 32 * i, 233, 26);
    (*edits[i])->installEventFilter(this);
  }
  fields_ = {{EDT_MID, &form1_.sound.BgmMidPath, "MIDﾌｧｲﾙ (*.MID)"},
             {EDT_HIDARIWAV, &form1_.sound.LeftWavPath, "WAVﾌｧｲﾙ (*.WAV)"},
             {EDT_MIGIWAV, &form1_.sound.RightWavPath, "WAVﾌｧｲﾙ (*.WAV)"},
             {EDT_SEIKAIWAV, &form1_.sound.FineWavPath, "WAVﾌｧｲﾙ (*.WAV)"},
             {EDT_SEIKAIBMP, &form1_.FineBmpPath, "BMPﾌｧｲﾙ (*.BMP)"}};
  for (const Field& f : fields_) {
    connect(f.edit, &QLineEdit::textChanged, this, [this, f] { FieldChange(f); });
  }
  setTabOrder(BTN_OK, EDT_MID);
  for (int i = 0; i + 1 < 5; ++i) setTabOrder(*edits[i], *edits[i + 1]);
  connect(BTN_OK, &QPushButton::clicked, this, &QWidget::hide);
  connect(this, &QDialog::rejected, this, &QWidget::hide);
  ChooseFile = [this](const QString& filter) {
    return QFileDialog::getOpenFileName(this, QString(), QString(), QString::fromUtf8(filter.toUtf8()));
  };
  ChangesAccepted = 1;
}

void TTEKUOTOF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  ChangesAccepted = 0;
  for (const Field& f : fields_) f.edit->setText(Cp932ToQString(*f.path));
  ChangesAccepted = 1;
}

void TTEKUOTOF::FieldChange(const Field& field) {
  if (ChangesAccepted == 0) return;
  const std::optional<std::string> name = QStringToCp932(field.edit->text());
  if (!name || !MediaFileExists(form1_.ResolveProgramFile(*name))) return;
  *field.path = *name;
}

void TTEKUOTOF::PickFile(QLineEdit* field) {
  for (const Field& f : fields_) {
    if (f.edit != field || !ChooseFile) continue;
    const QString chosen = ChooseFile(QString::fromUtf8(f.filter));
    if (!chosen.isEmpty()) field->setText(chosen);
  }
}

bool TTEKUOTOF::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (const Field& f : fields_) {
      if (f.edit == watched) {
        PickFile(f.edit);
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TTEKUOTOF::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (event->spontaneous()) return;
  // Switching sound off meanwhile keeps it off; and a program that is ending opens no sound.
  if (form1_.checked("MN_MODEONGAKU") && !form1_.destroyed()) form1_.ReopenSound();
}

}  // namespace teku

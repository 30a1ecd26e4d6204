// The password dialog.
#include "dialogs/password_dialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "app/main_window.h"
#include "surface/qt_cp932.h"

namespace teku {

TPasswordDlg::TPasswordDlg(TForm1& form1) : QDialog(nullptr), form1_(form1) {
  setObjectName(QStringLiteral("PasswordDlg"));
  setWindowTitle(QString::fromUtf8("パスワードダイアログ"));
  setModal(true);
  setFixedSize(236, 72);
  Label1 = new QLabel(QString::fromUtf8("ﾊﾟｽﾜｰﾄﾞ(8字):"), this);
  Label1->setGeometry(4, 9, 94, 20);
  Password = new QLineEdit(this);
  Password->setGeometry(104, 8, 124, 26);
  Password->setEchoMode(QLineEdit::Password);
  BTN_OK = new QPushButton(QStringLiteral("OK"), this);
  BTN_OK->setGeometry(136, 40, 89, 26);
  BTN_OK->setDefault(true);
  connect(Password, &QLineEdit::textChanged, this, [this] { PasswordChange(); });
  connect(BTN_OK, &QPushButton::clicked, this, &QDialog::accept);
}

void TPasswordDlg::Ask() {
  // What the field shows is what counts: after a reset it is empty again.
  Password->setText(Cp932ToQString(form1_.puzzle.EnteredPassword));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - rect().center());
  }
  Password->setFocus();
  if (ScriptedAnswer) {
    if (const std::optional<QString> typed = ScriptedAnswer()) Password->setText(*typed);
    return;
  }
  exec();
}

void TPasswordDlg::PasswordChange() {
  const std::optional<std::string> bytes = QStringToCp932(Password->text());
  if (bytes) {
    form1_.puzzle.EnteredPassword = *bytes;
    return;
  }
  // Text that code page 932 cannot hold is kept marked, so that it can never equal a password
  // (the settings dialog refuses such text).
  const QByteArray utf8 = Password->text().toUtf8();
  form1_.puzzle.EnteredPassword = "\x01" + std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace teku

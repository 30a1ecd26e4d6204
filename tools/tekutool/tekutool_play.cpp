// tekutool play: the program's own windows, offscreen, driven by a script of user events; the
// state afterwards is printed as one JSON object. Message boxes are answered OK, questions yes,
// and file choosers with the file the script names.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/grid_keyboard.h"
#include "app/main_window.h"
#include "app/program_windows.h"
#include "dialogs/char_setting_dialog.h"
#include "dialogs/hint_dialog.h"
#include "dialogs/initial_settings_dialog.h"
#include "dialogs/password_dialog.h"
#include "panels/answer_panel.h"
#include "panels/character_panel.h"
#include "tools/tekutool/window_commands.h"
#include "tools/tekutool/options.h"
#include "tools/tekutool/puzzle_json.h"

namespace tekutool {

namespace {

constexpr const char* kUsage = kPlayUsage;

class AcceptingMessages final : public teku::MessageSink {
 public:
  void Information(const std::string& text, const std::string& caption) override {
    std::fprintf(stderr, "message: %s: %s\n", teku::Cp932ToUtf8(caption).c_str(), teku::Cp932ToUtf8(text).c_str());
  }
};

// A script word as text: "_" is a space, "\_" an underscore, "" the empty text.
QString ScriptText(const std::string& word) {
  if (word == "\"\"") return QString();
  std::string out;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (word[i] == '\\' && i + 1 < word.size() && word[i + 1] == '_') {
      out += '_';
      ++i;
    } else {
      out += word[i] == '_' ? ' ' : word[i];
    }
  }
  return QString::fromUtf8(out.c_str());
}

// Retypes a field unless the script says "=" (leave it as it is).
void Retype(QLineEdit* field, const std::string& word) {
  if (word == "=") return;
  field->clear();
  field->setText(ScriptText(word));
}

// A key of the grid by name: left right up down home end delete backspace enter space; 0 for
// a name that is none of them.
int GridKey(const std::string& word) {
  static const std::pair<const char*, int> keys[] = {
      {"left", Qt::Key_Left},   {"right", Qt::Key_Right},         {"up", Qt::Key_Up},
      {"down", Qt::Key_Down},   {"home", Qt::Key_Home},           {"end", Qt::Key_End},
      {"delete", Qt::Key_Delete}, {"backspace", Qt::Key_Backspace}, {"enter", Qt::Key_Return},
      {"space", Qt::Key_Space}};
  for (const auto& [name, key] : keys) {
    if (word == name) return key;
  }
  return 0;
}

Qt::MouseButton Button(const std::string& word) {
  return word == "right" ? Qt::RightButton : word == "middle" ? Qt::MiddleButton : Qt::LeftButton;
}

class Player {
 public:
  Player(teku::ProgramWindows& w, const std::string& folder) : w_(w), f_(*w.Form1), folder_(folder) {
    f_.ChooseOpenFile = [this] { return Take(); };
    f_.ChooseSaveFile = [this] { return Take(); };
    f_.ChooseExportFile = [this](const QString&) { return Take(); };
    f_.AskExportWithoutSolution = [] { return teku::TForm1::SaveAnswer::Yes; };
    f_.AskOverwrite = [] { return true; };
    f_.AskOverwriteNotPuzzle = [](const std::string&) { return true; };
    f_.AskSaveChanges = [] { return teku::TForm1::SaveAnswer::Yes; };
    f_.ChooseFont = [](const QFont& current) { return std::optional<QFont>(current); };
    w_.PasswordDlg->ScriptedAnswer = [this] {
      std::optional<QString> typed = password_;
      password_.reset();
      return typed;
    };
  }

  void OpenAtStart(const std::string& puzzle) {
    if (puzzle == "none") return;
    file_ = Resolve(puzzle);
    f_.item("MN_FILEOPEN")->trigger();
  }

  // False for a line the script may not hold.
  bool Event(const std::vector<std::string>& e) {
    if (ended_ || e.empty()) return true;
    const std::string& k = e[0];
    const auto n = [&](std::size_t i) { return i < e.size() ? std::atoi(e[i].c_str()) : 0; };
    if (k == "click" && e.size() >= 4) {
      f_.PaintBox1MouseDown(Button(e[3]), n(1), n(2));
    } else if (k == "panel" && e.size() >= 4) {
      if (w_.TEKUWRDF->isVisible()) w_.TEKUWRDF->PaintBox1MouseDown(Button(e[3]), n(1), n(2));
    } else if (k == "answer" && e.size() >= 4) {
      if (w_.TEKUKTOF->isVisible()) w_.TEKUKTOF->PaintBox1MouseDown(Button(e[3]), n(1), n(2));
    } else if (k == "menu" && e.size() >= 2) {
      QAction* action = f_.item(e[1]);
      if (action == nullptr) return false;
      if (e.size() >= 3) file_ = Resolve(e[2]);
      action->trigger();
      if (e[1] == "MN_FILEEND") ended_ = true;
    } else if (k == "password" && e.size() >= 2) {
      password_ = ScriptText(e[1]);
    } else if (k == "chardialog" && e.size() >= 3) {
      teku::TTEKUSPLF* d = w_.TEKUSPLF.get();
      if (!d->isVisible()) return true;
      Retype(d->Edit1, e[1]);
      (e[2] == "ok" ? d->OKBtn : d->CancelBtn)->click();
    } else if (k == "hint" && e.size() >= 4) {
      teku::TTEKUHNTF* d = w_.TEKUHNTF.get();
      if (!d->isVisible()) return true;
      Retype(d->Edit1, e[1]);
      Retype(d->Edit2, e[2]);
      d->OKBtn->click();
    } else if (k == "initdialog" && e.size() >= 5) {
      teku::TTEKUINTF* d = w_.TEKUINTF.get();
      if (!d->isVisible()) d->show();
      Retype(d->EDT_MONDAIX, e[1]);
      Retype(d->EDT_MONDAIY, e[2]);
      Retype(d->EDT_MONDAITITLE, e[3]);
      Retype(d->EDT_PASSWORD, e[4]);
    } else if (k == "key" && e.size() >= 2) {
      // As many presses as the script says: "key right 3" (one without a count).
      const int key = GridKey(e[1]);
      if (key == 0) return false;
      for (int i = 0; i < (e.size() >= 3 ? n(2) : 1); ++i) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
        QCoreApplication::sendEvent(f_.PaintBox1, &press);
      }
    } else if (k == "type" && e.size() >= 2) {
      f_.keyboard->Commit(ScriptText(e[1]));
    } else if (k == "show-panel") {
      w_.TEKUWRDF->show();
    } else if (k == "hide-panel") {
      w_.TEKUWRDF->hide();
    } else {
      return false;
    }
    FitPanel();
    return true;
  }

  std::string Json() {
    std::vector<std::string> marks;
    for (const char* name : {"MN_MODEGAME", "MN_MODEANSER", "MN_MODECREATE", "MN_MODENANKURO", "MN_MODECROS",
                             "MN_MODEHINT", "MN_MODEONGAKU", "MN_VIEWWRD", "MN_VIEWKAITOU", "MN_VIEWMONDAI"}) {
      if (f_.checked(name)) marks.push_back(name);
    }
    std::sort(marks.begin(), marks.end());
    std::string m = "[";
    for (std::size_t i = 0; i < marks.size(); ++i) m += (i > 0 ? "," : "") + JsonString(marks[i]);
    m += "]";
    teku::ModeState modes = f_.Modes();
    std::string out = PuzzleJsonFields(f_.puzzle, modes);
    out += ",\"cursor\":[" + std::to_string(f_.puzzle.CursorX) + "," + std::to_string(f_.puzzle.CursorY) + "]";
    out += ",\"selected_moji\":" + std::to_string(w_.TEKUWRDF->SelectedMoji);
    out += ",\"selected_slot\":" + std::to_string(w_.TEKUKTOF->SelectedSlot);
    out += ",\"current_hint\":" + std::to_string(f_.puzzle.CurrentHint);
    out += ",\"modified\":" + std::to_string(f_.Modified != 0 ? 1 : 0);
    out += ",\"marks\":" + m;
    out += ",\"message\":" + JsonString(f_.keyboard->Message().toStdString());
    out += ",\"caption\":" + JsonString(f_.windowTitle().toStdString());
    return "{" + out + "}\n";
  }

 private:
  std::string Resolve(const std::string& path) const { return path.front() == '/' ? path : folder_ + path; }
  std::optional<std::string> Take() {
    std::optional<std::string> f = file_;
    file_.reset();
    return f;
  }
  // The panel shows all 37 rows of 7 columns, so every entry has a fixed place for scripts.
  void FitPanel() {
    if (w_.TEKUWRDF->isVisible() && w_.TEKUWRDF->height() != 1184) w_.TEKUWRDF->resize(244, 1184);
  }

  teku::ProgramWindows& w_;
  teku::TForm1& f_;
  std::string folder_;
  std::optional<std::string> file_;
  std::optional<QString> password_;
  bool ended_ = false;
};

int RunPlay(const Args& args) {
  const ParsedArgs parsed = ParseArgs(args, {}, {});
  if (!parsed.error.empty() || parsed.positional.size() != 2) {
    return Fail(kExitUsage, "usage: tekutool " + std::string(kUsage));
  }
  std::ifstream script(parsed.positional[1]);
  if (!script) return Fail(kExitFailure, "cannot read " + parsed.positional[1]);
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (std::getenv("SDL_AUDIODRIVER") == nullptr) setenv("SDL_AUDIODRIVER", "dummy", 1);
  int argc = 1;
  char name[] = "tekutool";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  std::string folder = DirectoryOf(parsed.positional[1]);
  AcceptingMessages messages;
  teku::ProgramWindows windows(teku::ProgramEnvironment{folder + "TEKUCROS.EXE", &messages, std::nullopt});
  windows.Create();
  windows.Form1->show();
  windows.Form1->setChecked("MN_MODEONGAKU", true);
  Player player(windows, folder);
  player.OpenAtStart(parsed.positional[0]);
  std::string line;
  int number = 0;
  while (std::getline(script, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::vector<std::string> e;
    for (std::string w; words >> w;) e.push_back(w);
    if (!player.Event(e)) return Fail(kExitUsage, "line " + std::to_string(number) + ": cannot read '" + line + "'");
    QApplication::processEvents();
  }
  const std::string json = player.Json();
  std::fwrite(json.data(), 1, json.size(), stdout);
  return kExitOk;
}

const TekutoolCommand kPlay({"play", kUsage, kPlaySummary, RunPlay});

}  // namespace

}  // namespace tekutool

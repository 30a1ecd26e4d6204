// ファイル → 印刷… and ファイル → エクスポート → PDF, PNG, SVG: the puzzle's printed pages, through
// the print preview to a printer (or a PDF file where there is none), or written as files.
#pragma once

#include <QObject>
#include <functional>
#include <optional>

#include "export/page_layout.h"

class QPrinter;

namespace teku {

class TForm1;

class PrintMenu final : public QObject {
  Q_OBJECT

 public:
  // Adds 印刷(&P)... (Ctrl+P) to ﾌｧｲﾙ and PDF, PNG and SVG to its エクスポート submenu, as the
  // items MN_FILEPRINT, MN_FILEEXPORTPDF, MN_FILEEXPORTPNG and MN_FILEEXPORTSVG.
  explicit PrintMenu(TForm1& form);

  enum class Target { Printer, Pdf, Png, Svg };
  struct Choice {
    PageOptions options;
    int dpi = 150;  // PNG only
  };
  // ---- what the user is asked (a dialog until a test replaces it) ----------------------------
  // The paper, its orientation, 大きな文字 and the solution pages (and a PNG's resolution).
  std::function<std::optional<Choice>(Target)> ChooseOptions;
  // Shows the preview of `printer`, whose pages `paint` draws; true when it was printed.
  std::function<bool(QPrinter& printer, const std::function<void(QPrinter*)>& paint)> RunPreview;

  void Print();
  void Export(Target target);

  // The paper and orientation a printer is set to, as the layout knows them (A4 unless B5).
  static PageOptions OptionsFor(const QPrinter& printer, PageOptions options);

 private:
  // The solution is not shown to a player who has not given the puzzle's password.
  bool MayShowSolution(const Choice& choice);

  TForm1& form_;
  Choice last_;
};

}  // namespace teku

// 印刷 and the page exports of the main window: the items in their menus, the files written with
// the options chosen, and printing where no printer is installed.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPrinterInfo>
#include <QApplication>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

#include "app/main_window.h"
#include "app/print_menu.h"
#include "app/program_windows.h"
#include "dialogs/password_dialog.h"
#include "support/test_program.h"

namespace teku {
namespace {

namespace fs = std::filesystem;

std::string Head(const std::string& path, std::size_t n) {
  std::ifstream in(path, std::ios::binary);
  std::string s(n, '\0');
  in.read(s.data(), static_cast<std::streamsize>(n));
  s.resize(static_cast<std::size_t>(in.gcount()));
  return s;
}

class PrintCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    windows.Create();
    form = windows.Form1.get();
    print = form->findChild<PrintMenu*>();
    ASSERT_NE(print, nullptr);
    print->ChooseOptions = [this](PrintMenu::Target t) {
      targets.push_back(t);
      return choice;
    };
    form->ChooseExportFile = [this](const QString& filter) {
      filters.push_back(filter);
      return next;
    };
    ASSERT_TRUE(form->OpenPuzzleAt(program.path("SAMPLE1.CRS")));
  }
  testing::TestProgram program{{"TEKUMOJI.BMP", "TEKUNUMB.BMP", "TEKUCOLR.BMP", "SAMPLE1.CRS"}};
  ProgramWindows windows{program.environment()};
  TForm1* form = nullptr;
  PrintMenu* print = nullptr;
  std::optional<PrintMenu::Choice> choice = PrintMenu::Choice{};
  std::optional<std::string> next;
  std::vector<PrintMenu::Target> targets;
  std::vector<QString> filters;
};

TEST_F(PrintCommands, TheItemsSitInTheFileMenuAndItsExportSubmenu) {
  auto* exportMenu = qobject_cast<QMenu*>(form->item("MN_FILEEXPORTIPUZ")->parent());
  ASSERT_NE(exportMenu, nullptr);
  for (const char* name : {"MN_FILEEXPORTPDF", "MN_FILEEXPORTPNG", "MN_FILEEXPORTSVG"}) {
    ASSERT_NE(form->item(name), nullptr) << name;
    EXPECT_TRUE(exportMenu->actions().contains(form->item(name))) << name;
  }
  auto* fileMenu = form->menuBar()->findChild<QMenu*>(QStringLiteral("MN_FILE"));
  const QList<QAction*> items = fileMenu->actions();
  EXPECT_EQ(items.indexOf(form->item("MN_FILEPRINT")) + 1, items.indexOf(form->item("MN_FILEDUMMY1")))
      << "印刷 comes just before the separator above 終了";
  EXPECT_EQ(form->item("MN_FILEPRINT")->text(), QString::fromUtf8("印刷(&P)..."));
}

TEST_F(PrintCommands, ExportsWriteTheChosenKindAndACancelWritesNothing) {
  next = program.path("page");  // no extension: the kind's own is added
  choice->options.solution = true;
  choice->dpi = 100;
  form->item("MN_FILEEXPORTPDF")->trigger();
  EXPECT_EQ(Head(program.path("page.pdf"), 5), "%PDF-");
  form->item("MN_FILEEXPORTSVG")->trigger();
  EXPECT_NE(Head(program.path("page.svg"), 400).find("<svg"), std::string::npos);
  form->item("MN_FILEEXPORTPNG")->trigger();
  // Two pages (puzzle and solution), one picture each, A4 at 100 dpi: 827 pixels wide.
  const std::string png = Head(program.path("page-2.png"), 24);
  ASSERT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ((static_cast<unsigned char>(png[18]) << 8) | static_cast<unsigned char>(png[19]), 827);
  EXPECT_EQ(targets, (std::vector<PrintMenu::Target>{PrintMenu::Target::Pdf, PrintMenu::Target::Svg, PrintMenu::Target::Png}));
  EXPECT_TRUE(filters[2].contains(QStringLiteral("*.png")));

  choice.reset();
  next = program.path("cancelled.pdf");
  form->item("MN_FILEEXPORTPDF")->trigger();
  EXPECT_FALSE(fs::exists(program.path("cancelled.pdf")));
  EXPECT_EQ(filters.size(), 3u) << "a cancelled choice of options asks for no file";

  choice = PrintMenu::Choice{};
  next = program.path("no-such-folder/x.pdf");
  form->item("MN_FILEEXPORTPDF")->trigger();
  ASSERT_FALSE(program.messages.messages.empty());
  EXPECT_NE(program.messages.messages.back().text.find("x.pdf"), std::string::npos);
}

TEST_F(PrintCommands, TheSolutionOfAPuzzleWithAPasswordNeedsThePassword) {
  form->puzzle.Password = "pw";
  choice->options.solution = true;
  windows.PasswordDlg->ScriptedAnswer = [] { return std::optional<QString>(QStringLiteral("no")); };
  next = program.path("s.pdf");
  form->item("MN_FILEEXPORTPDF")->trigger();
  EXPECT_FALSE(fs::exists(program.path("s.pdf")));
  windows.PasswordDlg->ScriptedAnswer = [] { return std::optional<QString>(QStringLiteral("pw")); };
  form->item("MN_FILEEXPORTPDF")->trigger();
  EXPECT_TRUE(fs::exists(program.path("s.pdf")));
  choice->options.solution = false;
  form->puzzle.EnteredPassword.clear();
  windows.PasswordDlg->ScriptedAnswer = nullptr;  // the puzzle page alone asks nothing
  next = program.path("q.pdf");
  form->item("MN_FILEEXPORTPDF")->trigger();
  EXPECT_TRUE(fs::exists(program.path("q.pdf")));
}

TEST_F(PrintCommands, ThePreviewShowsThePagesLaidOut) {
  choice->options.solution = true;
  next = program.path("preview.pdf");
  int pages = -1;
  QTimer::singleShot(0, form, [&] {
    auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(preview, nullptr);
    pages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
    preview->reject();
  });
  form->item("MN_FILEPRINT")->trigger();
  EXPECT_EQ(pages, 2) << "the puzzle and its solution";
  EXPECT_FALSE(fs::exists(program.path("preview.pdf"))) << "closed without printing";
}

TEST_F(PrintCommands, WithoutAPrinterThePreviewsPrintButtonWritesThePdf) {
  if (!QPrinterInfo::availablePrinterNames().isEmpty()) GTEST_SKIP() << "a printer is installed here";
  next = program.path("real.pdf");
  bool printDialogShown = false;
  QTimer::singleShot(0, form, [&] {
    auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(preview, nullptr);
    QTimer::singleShot(0, form, [&] {
      auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
      printDialogShown = dialog != nullptr;
      if (dialog != nullptr) dialog->accept();
    });
    for (QAction* a : preview->findChildren<QAction*>()) {
      if (a->text().contains(QStringLiteral("Print"), Qt::CaseInsensitive) && !a->text().contains(QStringLiteral("Setup"))) {
        a->trigger();
        break;
      }
    }
    if (preview->isVisible()) preview->reject();
  });
  form->item("MN_FILEPRINT")->trigger();
  EXPECT_TRUE(printDialogShown);
  EXPECT_EQ(Head(program.path("real.pdf"), 5), "%PDF-");
  EXPECT_TRUE(program.messages.messages.empty());
}

TEST_F(PrintCommands, WithoutAPrinterThePagesArePrintedIntoAPdfFile) {
  if (!QPrinterInfo::availablePrinterNames().isEmpty()) GTEST_SKIP() << "a printer is installed here";
  choice->options.paper = Paper::B5;
  choice->options.landscape = true;
  next = program.path("printed");
  PageOptions seen;
  print->RunPreview = [&](QPrinter& printer, const std::function<void(QPrinter*)>& paint) {
    seen = PrintMenu::OptionsFor(printer, PageOptions{});
    paint(&printer);
    return true;
  };
  form->item("MN_FILEPRINT")->trigger();
  EXPECT_EQ(seen.paper, Paper::B5);
  EXPECT_TRUE(seen.landscape);
  EXPECT_EQ(seen.widthMm, 0);
  // A paper of the printer's own is laid out as it is.
  QPrinter letter;
  letter.setPageSize(QPageSize(QPageSize::Letter));
  const PageOptions onLetter = PrintMenu::OptionsFor(letter, PageOptions{});
  EXPECT_NEAR(onLetter.widthMm, 215.9, 0.1);
  EXPECT_NEAR(onLetter.heightMm, 279.4, 0.1);
  EXPECT_EQ(Head(program.path("printed.pdf"), 5), "%PDF-");
  EXPECT_TRUE(program.messages.messages.empty());
}

}  // namespace
}  // namespace teku

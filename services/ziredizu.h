// ZIREDIZU, the services component: where the settings file lies, the one section name every
// key lives in, the key access for the settings file and the puzzle files, and the program
// palette built once from the built-in table, the display's fixed colours and the colours of
// the palette picture.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "desktop/program_folders.h"
#include "surface/dib_image.h"
#include "surface/image_loader.h"

namespace teku {

// What the palette part of construction may be told.
struct PaletteSetup {
  // Whose fixed colours are captured; the true-colour display (none) when null. Must outlive
  // the component.
  const DisplayCapability* display = nullptr;
  // Where the readers' messages go; dropped when null.
  MessageSink* messages = nullptr;
  // Used instead of the INITBMP setting when set; an empty name merges nothing.
  std::optional<std::string> startPicture;
};

class ZIREDIZU {
 public:
  // The identity of the running executable (its real path).
  ZIREDIZU();
  // The identity of an executable at `exePath` (for tools and tests).
  explicit ZIREDIZU(const std::string& exePath);
  ZIREDIZU(const std::string& exePath, const PaletteSetup& setup);
  // A program folder and an explicit section name.
  ZIREDIZU(const std::string& exeDir, const std::string& sectionName);
  ZIREDIZU(const std::string& exeDir, const std::string& sectionName, const PaletteSetup& setup);
  // A program whose settings lie apart from its data (an installed one): ExeDir is the
  // program folder, IniFileName is in the settings folder.
  ZIREDIZU(const ProgramFolders& folders, const std::string& sectionName, const PaletteSetup& setup);
  ~ZIREDIZU();
  // Copies own a copy of the logical palette.
  ZIREDIZU(const ZIREDIZU& other);
  ZIREDIZU& operator=(const ZIREDIZU& other);
  ZIREDIZU(ZIREDIZU&& other) noexcept;
  ZIREDIZU& operator=(ZIREDIZU&& other) noexcept;

  std::string IniFileName;  // ExeDir + "TEKUINI.INI", or in the settings folder
  std::string ExeDir;       // the program folder (data files, bare puzzle names); ends with '/'
  std::string SectionName;

  Palette256 Palette{};
  Palette256 SavedPalette{};     // the table with the display's colours, before any picture
  HPalette PaletteHandle = nullptr;  // owned

  // Copies the 256 entries out; the handle stays owned by this component.
  HPalette GetPalette(Palette256& destination) const;
  // Replaces `handle` (deleting what it held) by a logical palette of Palette with the
  // display's fixed colours at both ends.
  void CreateScreenPalette(HPalette& handle) const;
  // Starts again from SavedPalette and merges the palette picture's colours.
  void LoadStartPalette(const ProgressSink& progress = {});
  void MergePictureColors(const std::string& fileName, const ProgressSink& progress = {});
  // Merges the colours the image's pixels use and rebuilds PaletteHandle.
  void MergeImageColors(TDibImage& image);
  // Bytes read (short or negative when the file cannot be opened or positioned).
  static std::int64_t ReadFileBlock(const std::string& fileName, void* buffer,
                                    std::int64_t count, std::int64_t offset);
  // Negative when the file cannot be opened.
  static std::int64_t GetFileLength(const std::string& fileName);

  std::string ReadIni(const std::string& key) const;
  void WriteIni(const std::string& key, const std::string& value) const;
  // A file name without '/' lies in ExeDir; a path is used as it is.
  std::string ReadFileIni(const std::string& fileName, const std::string& key) const;
  void WriteFileIni(const std::string& fileName, const std::string& key,
                    const std::string& value) const;
  void DeleteFileIni(const std::string& fileName, const std::string& key) const;
  // A read with a default for a missing key (only the palette picture's key uses one).
  std::string ReadIniOr(const std::string& key, const std::string& defaultValue) const;

  // TEKUCROS.EXE gives TEKUCROSE, MY.APP.EXE gives MYE, a name without '.' stays whole.
  static std::string SectionNameFor(const std::string& exeFileName);
  // The real path of the running executable.
  static std::string RunningExecutable();

 private:
  void BuildPalette(const PaletteSetup& setup);
  void SetIdentity(const std::string& exePath);
  void SetIdentity(const std::string& exeDir, const std::string& sectionName);
  void LoadStartPicture(const PaletteSetup& setup);
  void MergeJpegColors(const std::string& fileName, const ProgressSink& progress);

  const DisplayCapability* display_ = nullptr;
  MessageSink* messages_ = nullptr;
};

}  // namespace teku

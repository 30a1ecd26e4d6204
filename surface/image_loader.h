// Reading picture files into 8-bit pictures mapped onto the surface's palette: the reader is
// chosen by the file name's extension (.MAG, .JPG, .ICO, anything else BMP).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "surface/dib_image.h"

namespace teku {

// The JPEG reader's progress report, sent after each row of minimum coded units:
// message 1883 with wParam (percent of the rows done) and lParam (0 preview pass, 1 full pass).
inline constexpr std::uint32_t kProgressMessage = 1883;
using ProgressSink = std::function<void(std::uint32_t message, std::uint32_t wParam,
                                        std::int32_t lParam)>;

// Where the readers' user-visible messages go (a message box in the program, stderr in tools).
// Texts are code-page-932 bytes.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void Information(const std::string& text, const std::string& caption) = 0;
};

// The file name's extension from its last period, upper-cased (".JPG"); a period in a folder
// name is no extension, and a name without one gives "".
std::string UpperExtension(const std::string& fileName);

// Loads `fileName` into `image`; false leaves the image not allocated.
bool LoadImageFile(const DibSurface& surface, const std::string& fileName, TDibImage& image,
                   const ProgressSink& progress, MessageSink* messages);

}  // namespace teku

#pragma once
// Clipboard seam: text in and out as Shift-JIS bytes.
#include <memory>
#include <string>
#include <string_view>

#include "conv/Carried.h"

namespace qlk {

enum class ClipStatus {
  Ok,      // text was read
  NoText,  // the clipboard holds no text form (or is empty)
  Busy,    // another program keeps the clipboard open
};

struct ClipRead {
  ClipStatus status = ClipStatus::NoText;
  std::string text;  // Shift-JIS bytes, without a terminating NUL
  // Characters Shift-JIS cannot hold, under the codes the text carries them in (none: null).
  std::shared_ptr<CarriedChars> carried = nullptr;
  bool lossy = false;  // some of them found no code left and became '?'
};

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  [[nodiscard]] virtual ClipRead Read() = 0;
  // Replaces the clipboard contents; false when the clipboard could not be opened.
  [[nodiscard]] virtual bool Write(std::string_view sjis) = 0;
  // The same, handing the text over; stores that keep the bytes take them without a copy.
  [[nodiscard]] virtual bool Write(std::string&& sjis) { return Write(std::string_view(sjis)); }
  // The same for a text that carries characters under codes: a Unicode form of it gets them
  // back (the Shift-JIS form keeps the codes). A store of Shift-JIS only keeps the codes.
  [[nodiscard]] virtual bool Write(std::string&& sjis, std::shared_ptr<const CarriedChars> carried) {
    (void)carried;
    return Write(std::move(sjis));
  }
  // Gives the focus back to the window the user came from (a no-op where there is none).
  virtual void ReturnFocus() {}
};

}  // namespace qlk

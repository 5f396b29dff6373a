#pragma once
// Clipboard seam: text in and out as Shift-JIS bytes.
#include <string>
#include <string_view>

namespace qlk {

enum class ClipStatus {
  Ok,      // text was read
  NoText,  // the clipboard holds no text form (or is empty)
  Busy,    // another program keeps the clipboard open
};

struct ClipRead {
  ClipStatus status = ClipStatus::NoText;
  std::string text;  // Shift-JIS bytes, without a terminating NUL
  bool lossy = false;  // the clipboard's text had characters that Shift-JIS cannot hold
};

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  [[nodiscard]] virtual ClipRead Read() = 0;
  // Replaces the clipboard contents; false when the clipboard could not be opened.
  [[nodiscard]] virtual bool Write(std::string_view sjis) = 0;
  // The same, handing the text over; stores that keep the bytes take them without a copy.
  [[nodiscard]] virtual bool Write(std::string&& sjis) { return Write(std::string_view(sjis)); }
  // Gives the focus back to the window the user came from (a no-op where there is none).
  virtual void ReturnFocus() {}
};

}  // namespace qlk

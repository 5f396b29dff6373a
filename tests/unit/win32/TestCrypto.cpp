// The update check's cryptography under Wine: the system's own (CNG), as the tray uses it.
#include "UpdateFakes.h"
#include "win32/platform/Win32Platform.h"

namespace qlk::test {

IUpdateSystem& TestCrypto() {
  static std::unique_ptr<IUpdateSystem> sys = win::MakeUpdateSystem(CodePage());
  return *sys;
}

}  // namespace qlk::test

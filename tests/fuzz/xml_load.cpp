// Fuzz target: the XML loader on any bytes. Besides surviving, the tree must copy and write
// back to the same text, and the end-tag index must agree with the scan as written.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/System.h"
#include "update/Xml.h"
#include "update/XmlMatch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<qlk::ICodePage> cp = qlk::sys::MakeCodePage();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  qlk::CKXMLDocument doc(cp.get());
  doc.LoadXml(text, !text.empty() && (text[0] & 1));
  const std::unique_ptr<qlk::CKXMLNode> copy = doc.CloneNode();
  if (copy->GetXml() != doc.GetXml()) __builtin_trap();
  if (qlk::CKXMLElement* root = doc.GetDocumentElement()) {
    (void)root->GetText();
    (void)root->GetElementsByTagName(nullptr);
  }
  qlk::CKXMLElement fragment;
  fragment.SetNodeValue(std::string(text));
  if (size <= 2048) {
    qlk::xml::CloseFinder finder(text);
    for (size_t p = 0; p < size; ++p) {
      if (text[p] != '<') continue;
      size_t e = p + 1;
      while (e < size && text[e] != '>' && text[e] != ' ' && text[e] != '\t') ++e;
      if (finder.Find(p + 1, e, size) != qlk::xml::ScanForClose(text, text.substr(p + 1, e - p - 1), e, size))
        __builtin_trap();
    }
  }
  return 0;
}

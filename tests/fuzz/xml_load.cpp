// Fuzz target: the XML loader on any bytes. Besides surviving, the tree must copy and write
// back to the same text, and the end-tag index must agree with the scan as written.
#include <memory>

#include "Fakes.h"
#include "FuzzTarget.h"
#include "update/Xml.h"
#include "update/XmlMatch.h"

QLK_FUZZ_TARGET(xml_load) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  qlk::CKXMLDocument doc(&qlk::test::CodePage());
  doc.LoadXml(text, !text.empty() && (text[0] & 1));
  const std::unique_ptr<qlk::CKXMLNode> copy = doc.CloneNode();
  FUZZ_CHECK(copy->GetXml() == doc.GetXml());
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
      FUZZ_CHECK(finder.Find(p + 1, e, size) == qlk::xml::ScanForClose(text, text.substr(p + 1, e - p - 1), e, size));
    }
  }
  return 0;
}

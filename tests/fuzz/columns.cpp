// Fuzz target: the column edits of one line. A cut keeps the front of the line and never
// splits a character; inserting a text and deleting its columns again gives the line back
// (padded out to the column); an overwrite puts the text at its column and leaves every other
// byte; a running number has its digits' width and reads back as the number when it fits.
#include <cstdlib>

#include "FuzzTarget.h"
#include "conv/Sjis.h"
#include "ops/Columns.h"

using namespace qlk;

QLK_FUZZ_TARGET(columns) {
  fuzz::Input in(data, size);
  const int width = in.Int(-2, 300);
  const int column = in.Int(-2, 300);
  const int digits = in.Int(-1, 30);
  const long long number = static_cast<long long>(in.Int(0, 0xFFFF)) * 1000003 - 0x7FFFFFFFLL * (in.Byte() & 3);
  const std::string text(in.Text(40));
  const std::string_view line = in.Rest();
  const size_t c = column < 1 ? 0 : static_cast<size_t>(column - 1);
  std::string padded(line);
  if (padded.size() < c) padded.resize(c, ' ');

  const std::string cut = KetaChangeLine(line, width);
  if (width < 0) {
    FUZZ_CHECK(cut == line);
  } else {
    const size_t w = static_cast<size_t>(width);
    FUZZ_CHECK(cut.size() == w || (cut.size() + 1 == w && line.size() > w && sjis::IsLeadAt(line, w - 1)));
    FUZZ_CHECK(std::string_view(cut).substr(0, line.size()) == line.substr(0, cut.size()));
    FUZZ_CHECK(cut.find_first_not_of(' ', std::min(line.size(), cut.size())) == std::string::npos);
  }

  const std::string inserted = InsertStringLine(line, column, text);
  FUZZ_CHECK(inserted.size() == padded.size() + text.size());
  const int first = static_cast<int>(c) + 1, last = first + static_cast<int>(text.size()) - 1;
  FUZZ_CHECK(DeletePosLine(inserted, first, last) == (text.empty() ? inserted : padded));

  const std::string over = OverwriteStringLine(line, column, text);
  FUZZ_CHECK(over.size() == std::max(padded.size(), c + text.size()));
  FUZZ_CHECK(over.substr(c, text.size()) == text);
  FUZZ_CHECK(over.substr(0, c) == padded.substr(0, c));
  if (padded.size() > c + text.size()) FUZZ_CHECK(over.substr(c + text.size()) == padded.substr(c + text.size()));

  const std::string reno = FormatRenoNumber(number, digits, number & 1);
  FUZZ_CHECK(reno.size() == static_cast<size_t>(std::max(digits, 0)));
  if (digits > 0 && std::to_string(number).size() <= static_cast<size_t>(digits))
    FUZZ_CHECK(std::strtoll(reno.c_str(), nullptr, 10) == number);
  FUZZ_CHECK(IndentChangeLine(line, width) == (line.empty() || width < 1 ? std::string(line) : std::string(static_cast<size_t>(width), ' ') + std::string(line)));
  return 0;
}

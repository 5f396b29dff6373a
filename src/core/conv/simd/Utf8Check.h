#pragma once
// The UTF-8 test of the code detection, fed a piece at a time: sixteen or thirty-two bytes a
// step where the processor allows (Cpu()), eight at a time and byte by byte otherwise, each
// path giving the same answer.
#include <cstddef>

namespace qlk {

// The UTF-8 test part way through a text: whether it has failed, and how many continuation
// bytes the bytes so far still call for.
struct Utf8State {
  bool failed = false;
  int need = 0;
};

// The next `n` bytes of the text.
void FeedUtf8(const unsigned char* p, size_t n, Utf8State& s);
// FeedUtf8 of the bytes before the first zero byte; returns their number.
size_t FeedUtf8ToNul(const unsigned char* p, size_t n, Utf8State& s);

}  // namespace qlk

// qlark: the command-line front end over the same core as the tray tool.
#include <cstdio>

int main(int argc, char** argv) {
  std::fputs("usage: qlark [options] KEYWORD [ARG...]\n", stderr);
  return 2;
}

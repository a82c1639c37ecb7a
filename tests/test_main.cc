// The unit tests' entry point. On Windows standard output is switched to
// binary mode first: CMake's test discovery reads the list of tests that
// GoogleTest prints and splits it at LF, so a CR before each LF would end up
// in every test's name.
#include <cstdio>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// Run before the Win32 tests of a build: whether this machine runs a program of the build's bitness at all. A
// Wine prefix without that bitness's system side ends it at once without a word, so the script looks for the line
// it prints as well as at its status.
#include <cstdio>

int main() {
    std::printf("%u-bit program ran\n", static_cast<unsigned>(sizeof(void*) * 8));
    return 0;
}

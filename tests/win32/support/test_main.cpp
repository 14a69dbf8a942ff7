// The entry point of every Win32 test program that has none of its own.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "support/harness.hpp"

int main(int argc, char** argv) {
    if (const auto rerun = corvane::test::PrepareWineSession()) return *rerun;
    // The program runs on a single-threaded apartment; the icon pictures and
    // the shell calls expect one.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    // A crash dialog would hang an unattended run instead of failing it.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}

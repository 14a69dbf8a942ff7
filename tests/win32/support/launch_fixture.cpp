#include "support/launch_fixture.hpp"

#include <tlhelp32.h>

namespace corvane::test {

std::string NameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

std::wstring Wide(const std::string& ansi) {
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), out.data(), n);
    return out;
}

std::string Lower1252(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) c = static_cast<char>(u + 0x20);
    }
    return out;
}

std::vector<DWORD> ProcessesNamed(const std::wstring& image) {
    std::vector<DWORD> pids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID != 0 && CompareStringOrdinal(entry.szExeFile, -1, image.c_str(), -1, TRUE) == CSTR_EQUAL)
            pids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return pids;
}

std::vector<DWORD> ProcessesNamed(const std::string& image) { return ProcessesNamed(Wide(image)); }

void LaunchFixture::TearDown() {
    for (const std::wstring& image : images_)
        for (DWORD pid : ProcessesNamed(image)) EndProcess(pid);
    for (DWORD pid : strays_) EndProcess(pid);
    for (HANDLE process : started_) CloseHandle(process);
}

std::string LaunchFixture::PlaceTarget(const std::string& relative) {
    const std::string path = dir_.Join(relative);
    MakeDirectory(Folder(path));
    EXPECT_TRUE(CopyFileA(TargetSource().c_str(), path.c_str(), FALSE)) << "cannot copy " << TargetSource();
    Track(path);
    return path;
}

void LaunchFixture::Track(const std::string& path) { images_.push_back(Wide(NameOf(path))); }

DWORD LaunchFixture::StartDirectly(const std::string& path, const std::string& args) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring commandLine = L"\"" + Wide(path) + L"\"" + (args.empty() ? L"" : L" " + Wide(args));
    const std::wstring folder = Wide(Folder(path));
    if (!CreateProcessW(Wide(path).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &si, &pi)) {
        ADD_FAILURE() << "cannot start " << path;
        return 0;
    }
    CloseHandle(pi.hThread);
    started_.push_back(pi.hProcess);
    EXPECT_TRUE(AwaitReport(Folder(path), pi.dwProcessId)) << path << " did not report";
    return pi.dwProcessId;
}

std::string LaunchFixture::Record(const std::string& title, int cpu, const std::string& target,
                                  const std::string& startIn, const std::string& params) {
    const int code = cpu == kDefaultCore ? 2 : cpu;
    return FileRecord(DisplayOf(title, cpu), std::to_string(code) + "__" + Lower1252(target), Lower1252(startIn),
                      params);
}

void LaunchFixture::BringBack() const {
    SendMessageA(app_.hwnd(), WM_MOUSEMOVE, 1, WM_LBUTTONDBLCLK);
    app_.Pump(0);
}

}  // namespace corvane::test

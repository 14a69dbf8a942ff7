// The editor panel: Add, Save, Clear, Cancel, Remove, the start-in folder and
// title that follow the target, and executables dropped on the target field.
#include "app/main_window.hpp"

#include "platform/shell.hpp"

namespace corvane {

namespace {

constexpr const char* kFillInMessage = "Please fill in the required data!";
constexpr const char* kDuplicateMessage = "Favorite already exsists, Please Rename Title!";

bool IsChecked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace

void MainWindow::ShowPanel(int show, int hide) {
    ShowWindow(control(show), SW_SHOW);
    ShowWindow(control(hide), SW_HIDE);
}

void MainWindow::EmptyFields() {
    for (int id : {kText1, kText2, kText3, kText4}) {
        SetField(id, "");
        if (closed_) return;
    }
}

void MainWindow::OnAdd() {
    ShowPanel(kFrame2, kFrame1);
    HWND title = control(kText3);
    SetFocus(title);
    const int length = GetWindowTextLengthA(title);
    SendMessageA(title, EM_SETSEL, static_cast<WPARAM>(length), length);
}

void MainWindow::OnSave() {
    for (int id : {kText1, kText2, kText3, kText4}) {
        SetField(id, std::string(TrimSpaces(Text(id))));
        if (closed_) return;
    }
    const std::string title = Text(kText3);
    const std::string target = Text(kText1);
    const std::string startIn = Text(kText2);
    if (!FieldsComplete(title, startIn, target)) {
        InfoBox(hwnd(), kFillInMessage);
        return;
    }
    const int code = CodeFromOptions(IsChecked(control(kOption1_0)), IsChecked(control(kOption1_1)),
                                     IsChecked(control(kOption1_2)));
    Favorite favorite = MakeFavorite(title, target, startIn, Text(kText4), code, SystemLower());
    const std::string display = favorite.display;
    if (!store_.NoDupList(std::move(favorite))) {
        InfoBox(hwnd(), kDuplicateMessage);
        return;
    }
    SendMessageA(control(kList1), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(display.c_str()));
    if (Text(kText4).empty()) SetField(kText4, kNoParameters);

    OnClear();
    if (!DoEvents()) return;
    ShowPanel(kFrame1, kFrame2);
    SelectLast();
    DoEvents();
}

void MainWindow::OnClear() { EmptyFields(); }

void MainWindow::OnCancel() {
    ShowPanel(kFrame1, kFrame2);
    SendMessageA(control(kList1), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EmptyFields();
    if (closed_) return;
    ClearPicture();
    EnableLaunch(false);
}

void MainWindow::OnRemove() {
    const int index = CurrentIndex();
    if (index >= 0) {
        store_.RemoveAt(index);
        SendMessageA(control(kList1), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    }
    if (!DoEvents()) return;
    SendMessageA(control(kList1), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EmptyFields();
    if (closed_) return;
    ClearPicture();
    EnableLaunch(false);
}

void MainWindow::OnTargetChanged() {
    // The edit control reports a change for every WM_SETTEXT, also one that
    // leaves the text as it was (another program, a paste of the same text);
    // only a real change may overwrite the start-in folder.
    std::string target = Text(kText1);
    if (target == targetSeen_) return;
    targetSeen_ = std::move(target);
    SetField(kText2, CutFileName(Text(kText1)));
    if (!DoEvents()) return;
    if (Text(kText3).empty()) SetField(kText3, CutPath(Text(kText2)));
}

void MainWindow::OnDropFiles(HDROP drop) {
    std::string path = shell::TakeFirstDroppedFile(drop);
    // Only the first file counts, and only if it is an executable.
    if (path.size() < 4 || MapCase(path.substr(path.size() - 4), SystemLower()) != ".exe") return;
    std::erase(path, '"');
    SetField(kText1, path);
}

LRESULT CALLBACK MainWindow::TargetFieldProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DROPFILES:
        static_cast<MainWindow*>(SubclassData(hwnd))->OnDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    case WM_NCDESTROY: {
        const LRESULT result = CallBaseProc(hwnd, msg, wp, lp);
        ForgetSubclass(hwnd);
        return result;
    }
    default:
        return CallBaseProc(hwnd, msg, wp, lp);
    }
}

}  // namespace corvane

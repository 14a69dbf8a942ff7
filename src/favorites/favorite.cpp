#include "favorites/favorite.hpp"

namespace corvane {

namespace {

char CodeDigit(Core core) {
    return static_cast<char>('0' + static_cast<int>(core));
}

}  // namespace

std::string DisplayText(std::string_view title, Core core) {
    std::string text(title);
    if (core == Core::Default) {
        text += " on Default";
    } else {
        text += " on CPU ";
        text += CodeDigit(core);
    }
    return text;
}

std::string CodedTarget(Core core, std::string_view target, const CaseRule& lower) {
    std::string coded;
    coded.reserve(target.size() + 3);
    coded += CodeDigit(core);
    coded += "__";
    coded += target;
    return MapCase(coded, lower);
}

int CpuCode(std::string_view coded) {
    if (coded.empty() || coded.front() < '0' || coded.front() > '9') return 0;
    return coded.front() - '0';
}

Core CoreFor(int code) {
    if (code == 0) return Core::Cpu0;
    if (code == 1) return Core::Cpu1;
    return Core::Default;
}

std::string TargetOf(std::string_view coded) {
    if (coded.size() <= 3) return {};
    return std::string(coded.substr(3));
}

std::string TitleOf(std::string_view display) {
    // Only a hand-edited file can hold a display text without " on"; showing
    // all of it as the title loses nothing.
    return std::string(display.substr(0, display.find(" on")));
}

FavoriteFields FieldsOf(const Favorite& favorite) {
    return {TitleOf(favorite.display), TargetOf(favorite.coded), favorite.startIn, favorite.params,
            CoreFor(CpuCode(favorite.coded))};
}

Core CodeFromOptions(bool cpu0, bool useDefault) {
    if (useDefault) return Core::Default;
    return cpu0 ? Core::Cpu0 : Core::Cpu1;
}

bool FieldsComplete(std::string_view title, std::string_view startIn, std::string_view target) {
    return TrimSpaces(title).size() >= kMinTitle && TrimSpaces(startIn).size() >= kMinStartIn &&
           TrimSpaces(target).size() >= kMinTarget;
}

std::string StoredParameters(std::string_view typed) {
    if (typed.empty()) return std::string(kNoParameters);
    return std::string(typed);
}

std::string SavedField(std::string_view typed) {
    return std::string(TrimSpaces(WithoutLineBreaks(typed)));
}

Favorite MakeFavorite(std::string_view title, std::string_view target, std::string_view startIn,
                      std::string_view params, Core core, const CaseRule& lower) {
    Favorite f;
    f.display = DisplayText(title, core);
    f.coded = CodedTarget(core, target, lower);
    f.startIn = MapCase(startIn, lower);
    f.params = StoredParameters(params);
    return f;
}

}  // namespace corvane

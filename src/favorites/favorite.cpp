#include "favorites/favorite.hpp"

namespace corvane {

namespace {

char CodeDigit(int code) {
    // Codes come from the option buttons or from a single stored digit. A
    // caller's slip outside that range is stored as Default, which is also
    // how DisplayText names it, rather than as a core it never asked for.
    if (code < 0 || code > 9) return static_cast<char>('0' + kCpuDefault);
    return static_cast<char>('0' + code);
}

}  // namespace

std::string DisplayText(std::string_view title, int code) {
    std::string text(title);
    if (code == kCpu0 || code == kCpu1) {
        text += " on CPU ";
        text += CodeDigit(code);
    } else {
        text += " on Default";
    }
    return text;
}

std::string CodedTarget(int code, std::string_view target, const CaseRule& lower) {
    std::string coded;
    coded.reserve(target.size() + 3);
    coded += CodeDigit(code);
    coded += "__";
    coded += target;
    return MapCase(coded, lower);
}

int CpuCode(std::string_view coded) {
    if (coded.empty() || coded.front() < '0' || coded.front() > '9') return 0;
    return coded.front() - '0';
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
            CpuCode(favorite.coded)};
}

int OptionIndexFor(int code) {
    if (code == kCpu0 || code == kCpu1) return code;
    return kCpuDefault;
}

int CodeFromOptions(bool cpu0, bool useDefault) {
    if (useDefault) return kCpuDefault;
    return cpu0 ? kCpu0 : kCpu1;
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
                      std::string_view params, int code, const CaseRule& lower) {
    Favorite f;
    f.display = DisplayText(title, code);
    f.coded = CodedTarget(code, target, lower);
    f.startIn = MapCase(startIn, lower);
    f.params = StoredParameters(params);
    return f;
}

}  // namespace corvane

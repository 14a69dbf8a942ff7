#include "app/final_save.hpp"

#include "platform/texts.hpp"
#include "platform/win.hpp"

namespace corvane {

void FinalSave::Run(Asking asking, HWND owner) {
    if (state_ == State::Done) return;
    if (state_ == State::Asking) {
        if (asking == Asking::Nobody) GiveUp();
        return;
    }
    state_ = State::Asking;
    result_ = file_.Save(store_.items(), store_.changes());
    while (result_ == FavoritesFile::SaveResult::Failed && state_ == State::Asking) {
        if (asking == Asking::Nobody) {
            GiveUp();
            break;
        }
        const std::string path = FullPathOf(file_.path());
        const std::string question = text::SaveRefused(path, SystemMessage(file_.error(), path));
        const bool retry = RetryBox(owner, question.c_str());
        if (state_ != State::Asking) return;  // settled while the box was up
        if (retry)
            result_ = file_.Save(store_.items(), store_.changes());
        else
            GiveUp();
    }
    state_ = State::Done;
}

void FinalSave::GiveUp() {
    state_ = State::Done;
    refused_ = true;
    result_ = file_.SaveBeside(store_.changes().added);
}

void FinalSave::TellWhereTheyWent() const {
    using Result = FavoritesFile::SaveResult;
    if (result_ == Result::SavedBeside) InfoBox(nullptr, refused_ ? text::kRefusedSavedBeside : text::kSavedBeside);
    if (result_ == Result::BesideFailed) InfoBox(nullptr, refused_ ? text::kRefusedBesideFailed : text::kBesideFailed);
}

}  // namespace corvane

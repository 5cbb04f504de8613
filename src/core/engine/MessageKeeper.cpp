#include "core/engine/MessageKeeper.h"

#include <utility>

namespace ravelmoor {

bool MessageKeeper::AskOkCancel(std::string_view text) {
    return asker_ != nullptr && asker_->AskOkCancel(text);
}

bool MessageKeeper::AskYesNo(std::string_view text) {
    return asker_ != nullptr && asker_->AskYesNo(text);
}

bool MessageKeeper::AskYesNoWarning(std::string_view text) {
    return asker_ != nullptr && asker_->AskYesNoWarning(text);
}

bool MessageKeeper::AskYesNoDefaultNo(std::string_view text) {
    return asker_ != nullptr && asker_->AskYesNoDefaultNo(text);
}

std::string MessageKeeper::Take() {
    return std::exchange(text_, {});
}

}  // namespace ravelmoor

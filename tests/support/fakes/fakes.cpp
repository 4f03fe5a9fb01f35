#include "fakes.h"

#include <algorithm>

namespace fakes {

int RecordingPlayer::count(const std::string& entry) const {
    return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

void ScriptedDialog::showOpen() {
    ++shown;
    if (whileOpen) {
        whileOpen();
    }
    if (answers.empty()) {
        return;
    }
    if (answers.front()) {
        fileName_ = *answers.front();
    }
    answers.pop_front();
}

}  // namespace fakes

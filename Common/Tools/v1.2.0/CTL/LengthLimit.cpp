#include "LengthLimit.h"

#include "base/Text.h"

#include <QLineEdit>
#include <algorithm>

namespace CTL_ns {

void LengthLimit_cl::Apply(QLineEdit* edit, int32_t maximum) {
    edit->setMaxLength(32767);  // the units no longer decide
    edit->setValidator(new LengthLimit_cl(maximum, edit));
}

QValidator::State LengthLimit_cl::validate(QString& input, int& position) const {
    if (Base_ns::CharacterCount(input) > maximum) {
        fixup(input);
        position = std::min(position, int(input.size()));
    }
    return Acceptable;
}

void LengthLimit_cl::fixup(QString& input) const { input = Base_ns::LeftCharacters(input, maximum); }

}  // namespace CTL_ns

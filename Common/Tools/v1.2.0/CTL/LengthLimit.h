#pragma once

#include <QValidator>
#include <cstdint>

class QLineEdit;

namespace CTL_ns {

// Keeps a line edit's text within a number of characters as a person sees them. Unlike
// QLineEdit::setMaxLength, which counts UTF-16 units, it never keeps half of an emoji:
// text typed or pasted beyond the limit is cut between whole characters.
class LengthLimit_cl : public QValidator {
    Q_OBJECT

public:
    LengthLimit_cl(int32_t maximum, QObject* parent) : QValidator(parent), maximum(maximum) {}

    // Installs a limit owned by the edit.
    static void Apply(QLineEdit* edit, int32_t maximum);

    State validate(QString& input, int& position) const override;
    void fixup(QString& input) const override;

private:
    int32_t maximum;
};

}  // namespace CTL_ns

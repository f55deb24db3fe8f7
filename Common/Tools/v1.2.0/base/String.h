#pragma once

#include <QString>

namespace Base_ns {

// The foundation's own text type: the platform string under its own name, so that lists
// of texts have an element type of the library's. It behaves exactly like QString.
class String_cl : public QString {
public:
    using QString::QString;
    String_cl() = default;
    String_cl(const QString& text) : QString(text) {}
    String_cl(QString&& text) noexcept : QString(std::move(text)) {}
};

}  // namespace Base_ns

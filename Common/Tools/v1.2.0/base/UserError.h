#pragma once

#include "Error.h"

namespace Base_ns {

// A mistake the user can mend: shown as it is, never logged.
class UserError_cl : public Error_cl {
public:
    using Error_cl::Error_cl;

    void Show(QWidget* owner) const override;
    QString Text() const override;  // the message, then "\r\n" and the remark if any
    bool IsSystem() const override { return false; }
    // The same error with where it happened (a line of a file) added after its remark.
    [[nodiscard]] UserError_cl At(const QString& where) const;
};

}  // namespace Base_ns

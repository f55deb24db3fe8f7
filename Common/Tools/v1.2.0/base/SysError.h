#pragma once

#include "Error.h"

namespace Base_ns {

// A fault of the program or its environment: logged to "Error.log", announced briefly.
class SysError_cl : public Error_cl {
public:
    using Error_cl::Error_cl;

    void Show(QWidget* owner) const override;
    QString Text() const override;  // the full log record
    bool IsSystem() const override { return true; }

    // Appends one record to "Error.log" in the application folder; false when the
    // log cannot be opened (then nothing at all is shown).
    bool AppendToLog() const;
};

}  // namespace Base_ns

#pragma once

#include "Error.h"

namespace Base_ns {

// A fault of the program or its environment: logged to "Error.log", announced briefly.
class SysError_cl : public Error_cl {
public:
    using Error_cl::Error_cl;

    void Show(QWidget* owner) const override;
    QString Text() const override;  // the full log record, passwords masked
    bool IsSystem() const override { return true; }

    // Appends one record to "Error.log" in the application folder (made readable by its
    // owner only). Returns the reason it could not be written, empty when it was.
    QString AppendToLog() const;
};

}  // namespace Base_ns

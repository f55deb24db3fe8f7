#include "UserError.h"

#include "platform/prompt/Prompt.h"

namespace Base_ns {

QString UserError_cl::Text() const {
    return remark.isEmpty() ? message : message + QStringLiteral("\r\n") + remark;
}

UserError_cl UserError_cl::At(const QString& where) const {
    UserError_cl placed(*this);
    placed.remark = remark.isEmpty() ? where : remark + QStringLiteral("\r\n") + where;
    return placed;
}

void UserError_cl::Show(QWidget* owner) const {
    Platform_ns::Prompt().Message(owner, Text(), QStringLiteral("用户错误"), Platform_ns::Buttons_en::OK);
}

}  // namespace Base_ns

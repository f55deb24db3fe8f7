#include "UserInput.h"

#include "base/Text.h"
#include "base/UserError.h"

namespace Vorelle_ns {

namespace {

using Field_en = UserInput_cl::Field_en;

Base_ns::UserError_cl Refuse(const UserInput_cl::OnFault_fn& onFault, Field_en field, int32_t code, int32_t line) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "请输入用户名。"},     {102, "请输入密码。"},
                                                  {103, "请输入密码确认。"},   {104, "两次密码不一致。"},
                                                  {105, "用户名中有非法字符。"}, {106, "密码中有非法字符。"},
                                                  {107, "用户名不能超过16个字（组合成的表情按其中的每个字计算）。"},
                                                  {108, "密码不能超过16个字（组合成的表情按其中的每个字计算）。"}};
    if (onFault) onFault(field);
    return Base_ns::UserError_cl(line, __FILE__, UserInput_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 QString());
}

// Every kind of book keeps the same text: a name is measured as the columns count it.
bool TooLong(const QString& text) { return Base_ns::CharacterCount(text) > UserInput_cl::MaxLength; }

}  // namespace

void UserInput_cl::CheckNewAccount(const QString& name, const QString& password, const QString& confirm,
                                   const OnFault_fn& onFault) {
    if (name.isEmpty()) throw Refuse(onFault, Field_en::Name, 101, __LINE__);
    if (password.isEmpty()) throw Refuse(onFault, Field_en::Password, 102, __LINE__);
    if (confirm.isEmpty()) throw Refuse(onFault, Field_en::Confirm, 103, __LINE__);
    if (confirm != password) throw Refuse(onFault, Field_en::Password, 104, __LINE__);
    if (TooLong(name)) throw Refuse(onFault, Field_en::Name, 107, __LINE__);
    if (TooLong(password)) throw Refuse(onFault, Field_en::Password, 108, __LINE__);
    if (Base_ns::HasIllegalSqlChar(name)) throw Refuse(onFault, Field_en::Name, 105, __LINE__);
    if (Base_ns::HasIllegalSqlChar(password)) throw Refuse(onFault, Field_en::Password, 106, __LINE__);
}

void UserInput_cl::CheckName(const QString& name, const OnFault_fn& onFault) {
    if (name.isEmpty()) throw Refuse(onFault, Field_en::Name, 101, __LINE__);
    if (TooLong(name)) throw Refuse(onFault, Field_en::Name, 107, __LINE__);
    if (Base_ns::HasIllegalSqlChar(name)) throw Refuse(onFault, Field_en::Name, 105, __LINE__);
}

void UserInput_cl::CheckPassword(const QString& password, const OnFault_fn& onFault) {
    if (password.isEmpty()) throw Refuse(onFault, Field_en::Password, 102, __LINE__);
    if (TooLong(password)) throw Refuse(onFault, Field_en::Password, 108, __LINE__);
    if (Base_ns::HasIllegalSqlChar(password)) throw Refuse(onFault, Field_en::Password, 106, __LINE__);
}

}  // namespace Vorelle_ns

#pragma once

#include "base/UserError.h"

namespace Cli_ns {

// A command line the program cannot read: reported like a user error, with exit status 2.
class UsageError_cl : public Base_ns::UserError_cl {
public:
    using UserError_cl::UserError_cl;

    static QString ClassName() { return QStringLiteral("UsageError_cl"); }
};

// The usage errors of every command, by code:
// 101 命令行不正确, 102 未知的命令, 103 缺少参数, 104 日期不正确, 105 月份不正确,
// 106 权限不正确, 107 --all-users 与 --of 同时给出, 108 --book 与 --connect 同时给出,
// 109 没有指定数据库, 110 没有指定用户, 111 格式不正确, 112 参数过多,
// 113 导入文件的格式不正确, 114 编码不正确, 115 数据库地址不正确, 120 设备编号不正确,
// 130 重复的单位不正确, 131 不是正整数,
// 132 --until 与 --count 同时给出, 133 金额不正确, 134 统计方式不正确.
UsageError_cl Usage(int32_t code, int32_t line, const QString& remark = QString());

}  // namespace Cli_ns

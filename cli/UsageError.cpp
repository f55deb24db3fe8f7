#include "UsageError.h"

#include <iterator>

namespace Cli_ns {

UsageError_cl Usage(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "命令行不正确。"},
                                                  {102, "未知的命令。"},
                                                  {103, "缺少参数。"},
                                                  {104, "日期不正确，应为YYYY-MM-DD。"},
                                                  {105, "月份不正确，应为YYYY-MM。"},
                                                  {106, "权限应为admin、normal或alone。"},
                                                  {107, "--all-users与--of只能选一个。"},
                                                  {108, "--book与--connect只能选一个。"},
                                                  {109, "请用--book或--connect指定数据库。"},
                                                  {110, "请用--user指定用户名。"},
                                                  {111, "格式应为text或csv。"},
                                                  {112, "参数过多。"},
                                                  {113, "--format应为auto、records、alipay、wechat或bank。"},
                                                  {114, "编码应为gbk或utf8。"},
                                                  {115, "数据库地址不正确，应为mssql://用户名@服务器[:端口]或postgresql://用户名@服务器[:端口]/数据库。"},
                                                  {120, "设备编号应为正整数。"},
                                                  {130, "--every应为day、week、month或year。"},
                                                  {131, "应为正整数。"},
                                                  {132, "--until与--count只能选一个。"},
                                                  {133, "金额应为正数，以元为单位，最多两位小数，如12.50。"},
                                                  {134, "--statistics应为month、year或none。"},
                                                  {135, "参数不能是负数，金额都以正数给出。"},
                                                  {136, "起始日期不能晚于终止日期。"},
                                                  {140, "--match应为ask、new或link。"}};
    return UsageError_cl(line, __FILE__, UsageError_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}

}  // namespace Cli_ns

#include "base/PasswordMask.h"

#include <gtest/gtest.h>

namespace {

struct Mask_st {
    const char* text;
    const char* masked;
};

class PasswordMaskTest : public ::testing::TestWithParam<Mask_st> {};

TEST_P(PasswordMaskTest, HidesEveryPassword) {
    EXPECT_EQ(Base_ns::MaskPasswords(QString::fromUtf8(GetParam().text)), QString::fromUtf8(GetParam().masked));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PasswordMaskTest,
    ::testing::Values(
        Mask_st{"select sn from zorb_user where user_name = 'a' and [password] = 's3cr,t' and valid = '1'",
                "select sn from zorb_user where user_name = 'a' and [password] = '***' and valid = '1'"},
        Mask_st{"update zorb_user set [password] = 'new' where valid = '1' and password = 'old'and sn = 2",
                "update zorb_user set [password] = '***' where valid = '1' and password = '***'and sn = 2"},
        Mask_st{"insert into zorb_user(user_name,power,[password],single_account) values('甲','0','p,(w)',0)",
                "insert into zorb_user(user_name,power,[password],single_account) values('甲','0',***,0)"},
        Mask_st{"insert into zorb_user(user_name,power,password) values('a',?power?,'x')\r\n[Description]busy",
                "insert into zorb_user(user_name,power,password) values('a',?power?,***)\r\n[Description]busy"},
        Mask_st{"Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=\"k;ey\";Data Source=\"a.mdb\";",
                "Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=***;Data Source=\"a.mdb\";"},
        Mask_st{"DRIVER={FreeTDS};UID={sa};PWD={p;w};DATABASE={x}", "DRIVER={FreeTDS};UID={sa};PWD=***;DATABASE={x}"},
        Mask_st{"Provider=SQLOLEDB;User ID=sa;Password=abc;Data Source=h", "Provider=SQLOLEDB;User ID=sa;Password=***;Data Source=h"},
        Mask_st{"insert into zorb_record(name,expense) values('password','1')",
                "insert into zorb_record(name,expense) values('password','1')"}));

}  // namespace

// The device keys of the phones: who may make and revoke them, and which key opens the book
// as whom. ctest runs the table once more on a PostgreSQL book (PostgreSQL_DeviceKeys).

#include "Data/DeviceKeys.h"
#include "FinanceFixture.h"

#include <map>

namespace {

const QString kAdmin = QStringLiteral("admin");  // the super administrator
const QString kLi = QStringLiteral("小李");      // a normal user
const QString kZhang = QStringLiteral("小张");   // an independent user

// What happens between making a key and showing it.
enum class Then_en { Nothing, OtherKeyShown, StoredHashChanged, StoredHashChangedFirst, RevokedByOwner, RevokedBySuper, RevokeRefused, OwnerDeleted };

struct KeyCase_st {
    const char* what;
    QString maker;  // logged in when the key is made
    QString owner;
    bool made;
    Then_en then;
    bool opens;  // the key then opens the book as its owner
};

const KeyCase_st kCases[] = {
    {"OwnKey", kLi, kLi, true, Then_en::Nothing, true},
    {"SuperAdministratorForAnybody", kAdmin, kZhang, true, Then_en::Nothing, true},
    {"NormalUserForAnother", kLi, kZhang, false, Then_en::Nothing, false},
    {"IndependentUserForAnother", kZhang, kLi, false, Then_en::Nothing, false},
    {"AnotherKeyOfTheSameForm", kLi, kLi, true, Then_en::OtherKeyShown, false},
    {"StoredHashDiffersInItsLastCharacter", kLi, kLi, true, Then_en::StoredHashChanged, false},
    // A comparison of fewer than all characters lets this one through.
    {"StoredHashDiffersInItsFirstCharacter", kLi, kLi, true, Then_en::StoredHashChangedFirst, false},
    {"RevokedByItsOwner", kLi, kLi, true, Then_en::RevokedByOwner, false},
    {"RevokedByTheSuperAdministrator", kLi, kLi, true, Then_en::RevokedBySuper, false},
    {"AnotherNormalUserMayNotRevoke", kZhang, kZhang, true, Then_en::RevokeRefused, true},
    {"OwnerDeleted", kAdmin, kLi, true, Then_en::OwnerDeleted, false},
};

void PrintTo(const KeyCase_st& c, std::ostream* out) { *out << c.what; }

class DeviceKeyTest : public FinanceTest, public ::testing::WithParamInterface<KeyCase_st> {
protected:
    void SetUp() override {
        FinanceTest::SetUp();
        if (HasFatalFailure()) return;
        userSn[kAdmin] = users.FindUser(kAdmin);
        userSn[kLi] = AddUser(kLi, 2);
        userSn[kZhang] = AddUser(kZhang, 3);
        keys.Prepare();
    }

    // The time of last use of the key sn, as the super administrator lists it.
    Base_ns::DateTime_cl LastUsed(int32_t sn) {
        links.SetLoginUser(userSn[kAdmin]);
        const auto listed = keys.List();
        for (int32_t i = 0; i < listed.Count(); ++i) {
            if (listed[i].sn == sn) return listed[i].lastUsed;
        }
        return Base_ns::DateTime_cl::MakeInvalid();
    }

    Vorelle_ns::DeviceKeys_cl keys{users};
    std::map<QString, int32_t> userSn;
};

TEST_P(DeviceKeyTest, AKeyOpensTheBookAsItsOwnerUntilRevoked) {
    const KeyCase_st& c = GetParam();
    links.SetLoginUser(userSn[c.maker]);
    Vorelle_ns::NewDeviceKey_st made;
    const Raised_st adding = Raise([&] { made = keys.Add(QStringLiteral("手机"), userSn[c.owner]); });
    ASSERT_EQ(adding.raised, !c.made) << adding.message.toStdString();
    if (!c.made) {
        EXPECT_EQ(Count(QStringLiteral("zorb_device_key")), 0);
        return;
    }
    // Shown once, kept only as its hash.
    EXPECT_GE(made.key.size(), 22);  // 128 bits in URL-safe base64 at least
    EXPECT_EQ(Text(QStringLiteral("select key_hash from zorb_device_key where sn = %1").arg(made.sn)).trimmed(),
              Vorelle_ns::DeviceKeys_cl::Hash(made.key));
    EXPECT_TRUE(LastUsed(made.sn).IsNull());

    QString shown = made.key;
    switch (c.then) {
    case Then_en::Nothing:
        break;
    case Then_en::OtherKeyShown:
        shown[shown.size() - 1] = shown.back() == u'A' ? u'B' : u'A';
        break;
    case Then_en::StoredHashChanged:
    case Then_en::StoredHashChangedFirst: {
        QString changed = Vorelle_ns::DeviceKeys_cl::Hash(made.key);
        const qsizetype at = c.then == Then_en::StoredHashChanged ? changed.size() - 1 : 0;
        changed[at] = changed[at] == u'0' ? u'1' : u'0';
        Database().ExecuteNoRecords(
            QStringLiteral("update zorb_device_key set key_hash = '%1' where sn = %2").arg(changed).arg(made.sn));
        break;
    }
    case Then_en::RevokedByOwner:
        links.SetLoginUser(userSn[c.owner]);
        keys.Revoke(made.sn);
        break;
    case Then_en::RevokedBySuper:
        links.SetLoginUser(userSn[kAdmin]);
        keys.Revoke(made.sn);
        break;
    case Then_en::RevokeRefused:
        links.SetLoginUser(userSn[kLi]);
        EXPECT_TRUE(Raise([&] { keys.Revoke(made.sn); }).raised);
        break;
    case Then_en::OwnerDeleted:
        links.SetLoginUser(userSn[kAdmin]);
        users.RemoveUser(userSn[c.owner], records.NewRecycler(QStringLiteral("删除用户。")));
        break;
    }

    links.SetLoginUser(0);
    const Base_ns::DateTime_cl before = Base_ns::DateTime_cl::Now();
    EXPECT_EQ(keys.Authenticate(shown), c.opens ? userSn[c.owner] : 0);
    const Base_ns::DateTime_cl used = LastUsed(made.sn);
    if (c.opens) {
        ASSERT_TRUE(used.IsValid());
        EXPECT_FALSE(used.IsEarlierThan(before));
    } else {
        EXPECT_FALSE(used.IsValid());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DeviceKeyTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace

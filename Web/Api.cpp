#include "Api.h"

#include "EntryInput.h"
#include "WebBook.h"
#include "Control/BudgetText.h"
#include "DB/BeginTrans.h"
#include "Data/Budget.h"
#include "Data/EntryIdentity.h"
#include "Window/ConvertInfo.h"
#include "base/SysError.h"
#include "base/UserError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <cctype>
#include <iterator>
#include <new>

namespace Web_ns {

namespace {

const Base_ns::ErrorInfo_st kMessages[] = {{101, "没有这个地址。"},
                                           {102, "设备密钥无效或已被撤销，请重新配对。"},
                                           {103, "认证失败的次数太多，请一分钟后再试。"},
                                           {104, "没有这条记录。"},
                                           {105, "日期应该写成YYYY-MM-DD，并且是存在的日期。"},
                                           {106, "结束日期不能早于开始日期，一次最多查询366天。"},
                                           {107, "不认识的参数。"},
                                           {108, "Idempotency-Key应该是1到100个可见的ASCII字符。"},
                                           {109, "服务器出错，这次操作没有完成。"},
                                           {110, "这个Idempotency-Key已经用于另一笔不同的记录，这一笔没有记账。"},
                                           {111, "没有这个开销分类，请选择已有的分类。"},
                                           {112, "没有这个收入分类，请选择已有的分类。"},
                                           {113, "请求没有带设备密钥，请先配对。"}};

ApiReply_st Fail(int status, int32_t code, const QString& field = QString()) {
    return {status, Api_cl::ErrorBody(Base_ns::Error_cl::LookUp(code, kMessages, int32_t(std::size(kMessages))), field),
            QString()};
}

std::string Json(const QJsonObject& object) { return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString(); }

ApiReply_st Answer(int status, const QJsonObject& object) { return {status, Json(object), QString()}; }

QString Money(int64_t cents) { return Vorelle_ns::ConvertInfo_cl::MoneyToText(cents, Vorelle_ns::ConvertInfo_cl::Decimals_en::Two); }

const char* const kPowers[] = {"super", "admin", "normal", "alone"};

// The kind is the category's: a refund is an expense of a negative amount, so that the
// amounts of one kind add up to that kind's total.
QJsonObject EntryJson(int32_t sn, const Base_ns::DateTime_cl& time, const QString& category, const QString& name,
                      bool income, int32_t expense, int32_t mode, const QString& comment) {
    return QJsonObject{{QStringLiteral("id"), sn},
                       {QStringLiteral("kind"), EntryInput_cl::KindText(income)},
                       {QStringLiteral("amount"), Money(income ? int64_t(expense) : -int64_t(expense))},
                       {QStringLiteral("category"), category},
                       {QStringLiteral("name"), name},
                       {QStringLiteral("comment"), comment},
                       {QStringLiteral("time"), time.Format()},
                       {QStringLiteral("statistics"), EntryInput_cl::StatisticsText(mode)}};
}

// A day written YYYY-MM-DD at the time of day given; invalid for anything else.
Base_ns::DateTime_cl Day(const std::string& text, int32_t hour, int32_t minute, int32_t second) {
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    const QRegularExpressionMatch match = form.match(QString::fromStdString(text));
    if (!match.hasMatch()) return Base_ns::DateTime_cl::MakeInvalid();
    return Base_ns::DateTime_cl::FromParts(match.captured(1).toInt(), match.captured(2).toInt(),
                                           match.captured(3).toInt(), hour, minute, second);
}

bool IsIdempotencyKey(const std::string& key) {
    if (key.empty() || key.size() > 100) return false;
    for (const char c : key) {
        if (c < 0x21 || c > 0x7e) return false;
    }
    return true;
}

// The errors of the book's connection (busy past the wait, gone, read-only, full) are
// the server's state, not the request's fault.
bool IsBookState(const Base_ns::Error_cl& error) {
    return error.File() == QStringLiteral("ADODatabase.cpp") || error.ClassName() == WebBook_cl::ClassName();
}

// What the booking leaves of its category's month, as the desktop says it after 记一笔.
QString BudgetNotice(WebBook_cl::Managers_st& m, const EntryInput_st& entry) {
    try {
        Vorelle_ns::Budget_cl budget(m.users);
        return Vorelle_ns::BudgetText_cl::BookingNotice(budget, entry.category, entry.income, entry.time,
                                                        entry.statisticsMode);
    } catch (const Base_ns::Error_cl&) {
        // The entry is booked: a notice that cannot be worked out is no reason to say otherwise.
        return QString();
    }
}

// A phone books into the book's categories of the entry's kind and makes none: a name of
// the other kind would become a second category of that name.
bool IsBookCategory(WebBook_cl::Managers_st& m, const EntryInput_st& entry) {
    const auto categories = m.records.GetTypeNames(entry.income);
    for (int32_t i = 0; i < categories.Count(); ++i) {
        if (categories[i] == entry.category) return true;
    }
    return false;
}

}  // namespace

std::string Api_cl::ErrorBody(const QString& message, const QString& field) {
    return Json(QJsonObject{{QStringLiteral("error"), message},
                            {QStringLiteral("field"), field.isEmpty() ? QJsonValue() : QJsonValue(field)}});
}

// The key of "Bearer KEY", the scheme in any case; empty for anything else.
QString Api_cl::BearerKey(const std::string& authorization) {
    static const std::string bearer = "bearer";
    if (authorization.size() <= bearer.size() || (authorization[bearer.size()] != ' ' && authorization[bearer.size()] != '\t'))
        return QString();
    for (size_t i = 0; i < bearer.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(authorization[i])) != bearer[i]) return QString();
    }
    return QString::fromStdString(authorization.substr(bearer.size() + 1)).trimmed();
}

ApiReply_st Api_cl::Handle(const ApiRequest_st& request) {
    if (failedLogins.Blocked(request.address)) return Fail(429, 103);
    // A phone without a key yet is no guess: only a wrong key counts toward the lockout.
    const QString key = BearerKey(request.authorization);
    if (!request.hasAuthorization || key.isEmpty()) return Fail(401, 113);
    try {
        const int32_t userSn = book.Run(0, [&](WebBook_cl::Managers_st& m) { return m.keys.Authenticate(key); });
        if (userSn == 0) {
            failedLogins.Fail(request.address);
            return Fail(401, 102);
        }
        ApiReply_st reply = Route(request, userSn);
        if (reply.user.isEmpty()) {
            reply.user = book.Run(userSn, [](WebBook_cl::Managers_st& m) { return m.users.GetCurrentUserInfo().userName; });
        }
        return reply;
    } catch (const Base_ns::UserError_cl& error) {
        if (error.ClassName() == EntryInput_cl::ClassName()) return {400, ErrorBody(error.Message(), error.Remark()), {}};
        if (IsBookState(error)) return {503, ErrorBody(error.Message()), {}};
        return {400, ErrorBody(error.Message()), {}};
    } catch (const Base_ns::SysError_cl& error) {
        // The details go to the server's log, never to the network.
        qWarning("%s", qUtf8Printable(error.Text()));
        return Fail(500, 109);
    } catch (const Base_ns::Error_cl& error) {
        return {400, ErrorBody(error.Message()), {}};
    } catch (const std::bad_alloc&) {
        return Fail(500, 109);
    }
}

ApiReply_st Api_cl::Route(const ApiRequest_st& request, int32_t userSn) {
    static const std::string entriesPath = "/api/v1/entries";
    const std::string& path = request.path;
    const std::string& method = request.method;
    if (method == "GET" && path == "/api/v1/me") return Me(userSn);
    if (method == "GET" && path == "/api/v1/categories") return Categories(userSn);
    if (method == "GET" && path == "/api/v1/templates") return Templates(userSn);
    if (method == "GET" && path == entriesPath) return Entries(request, userSn);
    if (method == "POST" && path == entriesPath) return Book(request, userSn);
    if (method == "DELETE" && path.compare(0, entriesPath.size() + 1, entriesPath + "/") == 0)
        return Delete(path.substr(entriesPath.size() + 1), userSn);
    return Fail(404, 101);
}

ApiReply_st Api_cl::Me(int32_t userSn) {
    return book.Run(userSn, [](WebBook_cl::Managers_st& m) {
        const Vorelle_ns::UserInfo_st user = m.users.GetCurrentUserInfo();
        const int32_t power = user.power >= 0 && user.power < 4 ? user.power : 3;
        ApiReply_st reply = Answer(200, QJsonObject{{QStringLiteral("user"), user.userName},
                                                    {QStringLiteral("power"), QString::fromLatin1(kPowers[power])},
                                                    {QStringLiteral("balance"), Money(m.users.GetSingleAccount())}});
        reply.user = user.userName;
        return reply;
    });
}

ApiReply_st Api_cl::Categories(int32_t userSn) {
    return book.Run(userSn, [](WebBook_cl::Managers_st& m) {
        // Half a year of a user's habits orders his categories.
        const Base_ns::DateTime_cl since = Base_ns::DateTime_cl::Now() - Base_ns::DateTimeSpan_cl(183.0);
        QJsonObject object;
        for (const bool income : {false, true}) {
            const auto names = m.records.GetTypeNamesByUse(income, since);
            QJsonArray list;
            for (int32_t i = 0; i < names.Count(); ++i) list.append(names[i]);
            object.insert(EntryInput_cl::KindText(income), list);
        }
        return Answer(200, object);
    });
}

ApiReply_st Api_cl::Templates(int32_t userSn) {
    return book.Run(userSn, [](WebBook_cl::Managers_st& m) {
        QJsonArray list;
        for (const bool income : {false, true}) {
            const auto rows = m.records.GetTemplates(income);
            for (int32_t i = 0; i < rows.Count(); ++i) {
                const Vorelle_ns::TemplateRow_st& row = rows[i];
                QJsonObject item = EntryJson(row.sn, Base_ns::DateTime_cl(), row.typeName, row.expenseName, income,
                                             row.expense, row.statisticsMode, row.comment);
                item.remove(QStringLiteral("time"));
                list.append(item);
            }
        }
        return Answer(200, QJsonObject{{QStringLiteral("templates"), list}});
    });
}

ApiReply_st Api_cl::Entries(const ApiRequest_st& request, int32_t userSn) {
    const Base_ns::DateTime_cl today = Base_ns::DateTime_cl::Now();
    Base_ns::DateTime_cl from = Base_ns::DateTime_cl::FromParts(today.Year(), today.Month(), 1);
    Base_ns::DateTime_cl to = today.EndOfMonth();
    for (const auto& [name, value] : request.query) {
        if (name == "from") {
            from = Day(value, 0, 0, 0);
        } else if (name == "to") {
            to = Day(value, 23, 59, 59);
        } else {
            return Fail(400, 107, QString::fromStdString(name));
        }
    }
    if (!from.IsValid()) return Fail(400, 105, QStringLiteral("from"));
    if (!to.IsValid()) return Fail(400, 105, QStringLiteral("to"));
    if (to.IsEarlierThan(from) || (from + Base_ns::DateTimeSpan_cl(366.0)).IsEarlierThan(to))
        return Fail(400, 106, QStringLiteral("to"));
    return book.Run(userSn, [&](WebBook_cl::Managers_st& m) {
        const auto rows = m.records.GetRecords(false, QString(), from, to);
        QJsonArray list;
        int64_t expense = 0, income = 0;
        for (int32_t i = 0; i < rows.Count(); ++i) {
            const Vorelle_ns::RecordRow_st& row = rows[i];
            const bool isIncome = row.expense > 0 && !row.refund;
            (isIncome ? income : expense) += row.expense;
            list.append(EntryJson(row.sn, row.recordTime, row.typeName, row.expenseName, isIncome, row.expense,
                                  row.statisticsMode, row.comment));
        }
        return Answer(200, QJsonObject{{QStringLiteral("entries"), list},
                                       {QStringLiteral("expense"), Money(-expense)},
                                       {QStringLiteral("income"), Money(income)}});
    });
}

ApiReply_st Api_cl::Book(const ApiRequest_st& request, int32_t userSn) {
    if (request.hasIdempotencyKey && !IsIdempotencyKey(request.idempotencyKey))
        return Fail(400, 108, QStringLiteral("Idempotency-Key"));
    const EntryInput_st entry = EntryInput_cl::Read(QByteArray::fromStdString(request.body));
    const QString key = QString::fromStdString(request.idempotencyKey);
    const QString fingerprint = Vorelle_ns::EntryIdentity_cl::Fingerprint(QByteArray::fromStdString(request.body));
    const QString source = Vorelle_ns::EntryIdentity_cl::PhoneSource();
    return book.Run(userSn, [&](WebBook_cl::Managers_st& m) {
        DB_ns::IDatabase_cl& database = m.users.GetDatabase();
        Vorelle_ns::EntryIdentity_cl identities(database);
        // A key booked before answers what it answered then, whichever server booked it.
        const auto replay = [&](ApiReply_st& reply) {
            Vorelle_ns::KeptIdentity_st kept;
            if (!request.hasIdempotencyKey || !identities.Find(userSn, source, key, kept)) return false;
            reply = kept.fingerprint == fingerprint ? ApiReply_st{201, kept.answer.toStdString(), {}}
                                                    : Fail(422, 110, QStringLiteral("Idempotency-Key"));
            return true;
        };
        ApiReply_st reply;
        if (replay(reply)) return reply;
        if (!IsBookCategory(m, entry)) return Fail(400, entry.income ? 112 : 111, QStringLiteral("category"));
        try {
            // The entry and its key in one transaction: a booking the phone never heard of
            // is answered again, never booked again.
            DB_ns::BeginTrans_cl transaction(&database);
            const int32_t expense = entry.income ? entry.cents : -entry.cents;
            const int32_t sn = m.records.AddRecord(entry.category, entry.name, expense, entry.comment, entry.time,
                                                   entry.statisticsMode);
            QJsonObject made = EntryJson(sn, entry.time, entry.category, entry.name, entry.income, expense,
                                         entry.statisticsMode, entry.comment);
            const QString notice = BudgetNotice(m, entry);
            if (!notice.isEmpty()) made.insert(QStringLiteral("budget"), notice);
            reply = Answer(201, made);
            if (request.hasIdempotencyKey)
                identities.Add(userSn, source, key, {sn, fingerprint, QString::fromStdString(reply.body)});
            transaction.Commit();
        } catch (const Base_ns::Error_cl&) {
            // The other server booked the same key at the same moment: its answer is this one's.
            if (replay(reply)) return reply;
            throw;
        }
        return reply;
    });
}

ApiReply_st Api_cl::Delete(const std::string& id, int32_t userSn) {
    static const QRegularExpression digits(QStringLiteral("^[1-9][0-9]{0,8}$"));
    if (!digits.match(QString::fromStdString(id)).hasMatch()) return Fail(404, 104);
    const int32_t sn = std::stoi(id);
    return book.Run(userSn, [&](WebBook_cl::Managers_st& m) {
        // Another's entry the key may not change reads as one that is not there: the
        // answer tells nothing of what others booked.
        Vorelle_ns::RecordDetail_st detail;
        try {
            detail = m.records.GetRecord(sn);
        } catch (const Base_ns::UserError_cl& error) {
            if (IsBookState(error)) throw;
            return Fail(404, 104);
        }
        if (!detail.mayAlter) return Fail(404, 104);
        Container_ns::List_tl<int32_t> list;
        list.Append(sn);
        m.records.DeleteRecords(list);
        return Answer(200, QJsonObject{{QStringLiteral("id"), sn}});
    });
}

}  // namespace Web_ns

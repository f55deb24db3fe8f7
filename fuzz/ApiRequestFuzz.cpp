// What the phone API reads from a request, on a real local book: the method and path (with
// its query), the Authorization and Idempotency-Key headers, and the entry's JSON. Whatever
// comes, the answer is one of the API's statuses (never a 500), its body a JSON object, an
// error names its message, and a booking answers the entry as the body asked for it. Inputs
// share one book, so an Idempotency-Key seen before may come back with another body.
//
// The input, one line each: "METHOD PATH", the Authorization header ("-": none; "$KEY" in
// it stands for a valid key), the Idempotency-Key header ("-": none); the rest is the body.
#include "DB/BeginTrans.h"
#include "Data/DatabaseManage.h"
#include "Data/DeviceKeys.h"
#include "Data/RecordManage.h"
#include "Data/UserManage.h"
#include "Property.h"
#include "SystemInfo/Path.h"
#include "Web/Api.h"
#include "Web/EntryInput.h"
#include "Web/WebBook.h"
#include "base/Error.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <memory>

namespace {

// A book of one super administrator with a device key, served to the API.
struct Book_st {
    QTemporaryDir folder;
    Vorelle_ns::DatabaseManage_cl links;
    Vorelle_ns::UserManage_cl users{links, QStringLiteral("fuzz")};
    Vorelle_ns::RecordManage_cl records{users};
    Vorelle_ns::DeviceKeys_cl keys{users};
    Web_ns::WebBook_cl webBook;
    std::unique_ptr<Web_ns::Api_cl> api;
    std::string key;

    Book_st() {
        SystemInfo_ns::SetApplicationFolder(folder.path());
        links.AddLocalLink(QStringLiteral("fuzz"), folder.filePath(QStringLiteral("fuzz.mdb")), QStringLiteral("pw"));
        links.OpenLink(0);
        {
            DB_ns::BeginTrans_cl transaction(&links.GetDatabase());
            users.CreateUserTable(QStringLiteral("老王"), QStringLiteral("pw"));
            records.CreateTables();
            Vorelle_ns::DeviceKeys_cl::CreateTable(links.GetDatabase());
            transaction.Commit();
        }
        links.SetLoginUser(users.FindUser(QStringLiteral("老王")));
        key = keys.Add(QStringLiteral("手机")).key.toStdString();
        webBook.Open(links.GetLink(0));
        api = std::make_unique<Web_ns::Api_cl>(webBook);
    }
};

// The next line of text from at, without its end.
std::string Line(const std::string& text, size_t& at) {
    const size_t end = text.find('\n', at);
    const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? text.size() : end + 1;
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Book_st book;
    static unsigned long calls = 0;
    const std::string input(reinterpret_cast<const char*>(data), size);
    size_t at = 0;
    const std::string first = Line(input, at);
    const std::string authorization = Line(input, at);
    const std::string idempotency = Line(input, at);

    Web_ns::ApiRequest_st request;
    const size_t space = first.find(' ');
    request.method = first.substr(0, space);
    const std::string target = space == std::string::npos ? std::string() : first.substr(space + 1);
    const size_t question = target.find('?');
    request.path = target.substr(0, question);
    if (question != std::string::npos) {
        const std::string query = target.substr(question + 1);
        for (size_t from = 0; from <= query.size();) {
            const size_t amp = std::min(query.find('&', from), query.size());
            const std::string pair = query.substr(from, amp - from);
            const size_t equals = pair.find('=');
            request.query.insert_or_assign(pair.substr(0, equals),
                                           equals == std::string::npos ? std::string() : pair.substr(equals + 1));
            from = amp + 1;
        }
    }
    // Each input from an address of its own: the lockout of one says nothing of the next.
    request.address = "10.0." + std::to_string(++calls % 65536);
    request.hasAuthorization = authorization != "-";
    if (request.hasAuthorization) {
        request.authorization = authorization;
        const size_t placeholder = request.authorization.find("$KEY");
        if (placeholder != std::string::npos) request.authorization.replace(placeholder, 4, book.key);
    }
    request.hasIdempotencyKey = idempotency != "-";
    if (request.hasIdempotencyKey) request.idempotencyKey = idempotency;
    request.body = input.substr(at);

    const Web_ns::ApiReply_st reply = book.api->Handle(request);
    const int s = reply.status;
    Fuzz_ns::Require(s == 200 || s == 201 || s == 400 || s == 401 || s == 404 || s == 422 || s == 429 || s == 503,
                     "the status is one the API answers, never a 500");
    // A kept key sent again with another body is refused, never answered with the first entry.
    Fuzz_ns::Require(s != 422 || (request.method == "POST" && request.hasIdempotencyKey),
                     "only a resend under a kept Idempotency-Key is refused as another body");
    QJsonParseError parsed;
    const QJsonDocument answer = QJsonDocument::fromJson(QByteArray::fromStdString(reply.body), &parsed);
    Fuzz_ns::Require(parsed.error == QJsonParseError::NoError && answer.isObject(), "the answer is a JSON object");
    const QJsonObject object = answer.object();
    if (s >= 400) {
        Fuzz_ns::Require(object.value(QStringLiteral("error")).isString() &&
                             !object.value(QStringLiteral("error")).toString().isEmpty() &&
                             object.contains(QStringLiteral("field")),
                         "an error says what is wrong and names its field or null");
    }
    if (s == 201) {
        Fuzz_ns::Require(request.method == "POST", "only a POST books");
        // What was booked is what the body asked for.
        Web_ns::EntryInput_st entry;
        bool read = true;
        try {
            entry = Web_ns::EntryInput_cl::Read(QByteArray::fromStdString(request.body));
        } catch (const Base_ns::Error_cl&) {
            read = false;
        }
        Fuzz_ns::Require(read || request.hasIdempotencyKey, "a booking's body is one the entry reader takes");
        if (read && !request.hasIdempotencyKey) {
            Fuzz_ns::Require(entry.cents > 0, "a booked amount is above zero");
            Fuzz_ns::Require(object.value(QStringLiteral("category")).toString() == entry.category,
                             "the entry is booked into the category asked for");
        }
    }
    return 0;
}

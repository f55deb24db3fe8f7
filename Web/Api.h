#pragma once

#include "FailedLogins.h"

#include <QJsonObject>
#include <QString>
#include <map>
#include <string>

namespace Web_ns {

class WebBook_cl;

// One request to the API, as the server read it.
struct ApiRequest_st {
    std::string method;
    std::string path;
    std::map<std::string, std::string> query;
    std::string address;  // the client's
    std::string authorization;
    bool hasAuthorization = false;
    std::string idempotencyKey;
    bool hasIdempotencyKey = false;
    std::string body;
};

// Its answer: a status and a JSON body; user names who asked, for the request log.
struct ApiReply_st {
    int status = 200;
    std::string body;
    QString user;
};

// The JSON API of /api/v1/: who the key is, the categories and templates, the entries of a
// span, booking and deleting an entry. The key acts with its user's power, checked by the
// data layer as for every other way into the book. Safe for several threads.
class Api_cl {
public:
    explicit Api_cl(WebBook_cl& book) : book(book) {}
    Api_cl(const Api_cl&) = delete;
    Api_cl& operator=(const Api_cl&) = delete;

    static QString ClassName() { return QStringLiteral("Api_cl"); }

    [[nodiscard]] ApiReply_st Handle(const ApiRequest_st& request);
    // The error body every failure answers: {"error": message, "field": field or null}.
    [[nodiscard]] static std::string ErrorBody(const QString& message, const QString& field = QString());
    // The key of an Authorization header "Bearer KEY" (the scheme in any case); empty
    // for any other.
    [[nodiscard]] static QString BearerKey(const std::string& authorization);

private:
    ApiReply_st Route(const ApiRequest_st& request, int32_t userSn);
    ApiReply_st Me(int32_t userSn);
    ApiReply_st Categories(int32_t userSn);
    ApiReply_st Templates(int32_t userSn);
    ApiReply_st Entries(const ApiRequest_st& request, int32_t userSn);
    ApiReply_st Book(const ApiRequest_st& request, int32_t userSn);
    ApiReply_st Delete(const std::string& id, int32_t userSn);

    WebBook_cl& book;
    FailedLogins_cl failedLogins;
};

}  // namespace Web_ns

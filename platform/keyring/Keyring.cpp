// GLib's headers first: Qt's keywords would clash with their names.
#include <libsecret/secret.h>

#include "platform/keyring/Keyring.h"

#include <QByteArray>

namespace Platform_ns {

namespace {

const SecretSchema* Schema() {
    static const SecretSchema schema = {"org.vorelle.BookPassword",
                                        SECRET_SCHEMA_NONE,
                                        {{"links_file", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {"link", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                        0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    return &schema;
}

// What a call left in error, dropped: every failure means "not kept there".
void Drop(GError* error) {
    if (error != nullptr) g_error_free(error);
}

}  // namespace

bool Keyring_cl::Running() {
    // Without a session bus address GLib would try to start one: no keyring runs then.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return false;
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (bus == nullptr) {
        Drop(error);
        return false;
    }
    GVariant* reply = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                  "org.freedesktop.DBus", "NameHasOwner",
                                                  g_variant_new("(s)", "org.freedesktop.secrets"), G_VARIANT_TYPE("(b)"),
                                                  G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, &error);
    g_object_unref(bus);
    if (reply == nullptr) {
        Drop(error);
        return false;
    }
    gboolean owned = FALSE;
    g_variant_get(reply, "(b)", &owned);
    g_variant_unref(reply);
    return owned != FALSE;
}

bool Keyring_cl::Store(const QString& linksFile, const QString& name, const QString& secret) {
    if (!Running()) return false;
    const QByteArray file = linksFile.toUtf8(), link = name.toUtf8(), text = secret.toUtf8();
    const QByteArray label = QStringLiteral("账本密码：%1").arg(name).toUtf8();
    GError* error = nullptr;
    const gboolean stored = secret_password_store_sync(Schema(), SECRET_COLLECTION_DEFAULT, label.constData(),
                                                       text.constData(), nullptr, &error, "links_file",
                                                       file.constData(), "link", link.constData(), nullptr);
    Drop(error);
    return stored != FALSE;
}

bool Keyring_cl::Lookup(const QString& linksFile, const QString& name, QString& secret) {
    if (!Running()) return false;
    const QByteArray file = linksFile.toUtf8(), link = name.toUtf8();
    GError* error = nullptr;
    gchar* found = secret_password_lookup_sync(Schema(), nullptr, &error, "links_file", file.constData(), "link",
                                               link.constData(), nullptr);
    Drop(error);
    if (found == nullptr) return false;
    secret = QString::fromUtf8(found);
    secret_password_free(found);
    return true;
}

void Keyring_cl::Clear(const QString& linksFile, const QString& name) {
    if (!Running()) return;
    const QByteArray file = linksFile.toUtf8(), link = name.toUtf8();
    GError* error = nullptr;
    (void)secret_password_clear_sync(Schema(), nullptr, &error, "links_file", file.constData(), "link",
                                     link.constData(), nullptr);
    Drop(error);
}

}  // namespace Platform_ns

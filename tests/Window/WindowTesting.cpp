#include "WindowTesting.h"

#include "Control/DataCore.h"
#include "settings/Unique.h"

#include <QLineEdit>
#include <QMap>
#include <QComboBox>
#include <QAbstractButton>

namespace WindowTesting_ns {

namespace {

QMap<QString, Factory>& Registry() {
    static QMap<QString, Factory> registry;
    return registry;
}

QList<std::weak_ptr<Watch_st>>& Watches() {
    static QList<std::weak_ptr<Watch_st>> watches;
    return watches;
}

}  // namespace

bool Register(const char* name, Factory factory) {
    Registry().insert(QString::fromLatin1(name), std::move(factory));
    return true;
}

int Run(int argc, char** argv) {
    if (argc > 1 && Registry().contains(QString::fromLocal8Bit(argv[1]))) {
        const std::unique_ptr<QObject> test = Registry().value(QString::fromLocal8Bit(argv[1]))();
        argv[1] = argv[0];
        return QTest::qExec(test.get(), argc - 1, argv + 1);
    }
    int failures = 0;
    for (const Factory& factory : Registry()) {
        const std::unique_ptr<QObject> test = factory();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures;
}

Environment_cl::Environment_cl() {
    ResetDataCore();
    Unique_ns::SetStorageFolder(settingsFolder.path());
    Unique_ns::InitFileStorage(Vorelle_ns::DataCore_cl::GetProductName());
}

void Track(const std::shared_ptr<Watch_st>& watch) { Watches().append(watch); }

Environment_cl::~Environment_cl() {
    for (const std::weak_ptr<Watch_st>& watch : Watches()) {
        if (const std::shared_ptr<Watch_st> held = watch.lock()) held->cancelled = true;
    }
    Watches().clear();
    ResetDataCore();
    Unique_ns::CloseFileStorage();
    Unique_ns::SetStorageFolder(QString());
}

void Environment_cl::ReopenSettings() {
    Unique_ns::CloseFileStorage();
    Unique_ns::InitFileStorage(Vorelle_ns::DataCore_cl::GetProductName());
}

void ResetDataCore() {
    Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
    Vorelle_ns::DatabaseManage_cl& links = core.GetDatabaseManage();
    if (links.GetLoginUser() != 0) {
        try {
            core.GetUserManage().Logout();
        } catch (const Base_ns::Error_cl&) {
        }
        links.SetLoginUser(0);
    }
    while (links.GetCount() > 0) links.RemoveLink(links.GetCount() - 1, false);
    links.CloseDatabase();
}

int32_t AddDatabase(const QString& name, const QString& path, const QString& userName, const QString& password) {
    Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
    core.AttachLocalDatabase(path, name, QStringLiteral("file"));
    const int32_t index = core.GetDatabaseManage().GetCount() - 1;
    core.InitDatabase(index, userName, password);
    return index;
}

void Settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void Type(QWidget* control, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->clear();
    } else if (auto* combo = qobject_cast<QComboBox*>(control); combo != nullptr && combo->isEditable()) {
        combo->lineEdit()->clear();
        control = combo->lineEdit();
    }
    // Key codes exist for ASCII only; other characters come as the text of a key event.
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(control, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

}  // namespace WindowTesting_ns

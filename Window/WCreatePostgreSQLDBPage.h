#pragma once

#include "WCreatePageBase.h"

#include <QString>
#include <cstdint>

class QLineEdit;
class QPushButton;

namespace Vorelle_ns {

// "网络数据库(PostgreSQL)": saves the link to a database on a PostgreSQL server.
class WCreatePostgreSQLDBPage_cl : public WCreatePageBase_cl {
    Q_OBJECT

public:
    static constexpr int32_t IdName = 1005;
    static constexpr int32_t IdServer = 1010;
    static constexpr int32_t IdPort = 1014;
    static constexpr int32_t IdDatabase = 1015;
    static constexpr int32_t IdUser = 1003;
    static constexpr int32_t IdPassword = 1004;
    static constexpr int32_t IdCreate = 1011;
    static constexpr int32_t IdExit = 1008;

    explicit WCreatePostgreSQLDBPage_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WCreatePostgreSQLDBPage_cl"); }

    void EnableControls();

protected:
    void Reset() override;

private:
    void OnCreate();
    void Create();

    QLineEdit* nameEdit;
    QLineEdit* serverEdit;
    QLineEdit* portEdit;
    QLineEdit* databaseEdit;
    QLineEdit* userEdit;
    QLineEdit* passwordEdit;
    QPushButton* createButton;
    QPushButton* exitButton;
};

}  // namespace Vorelle_ns

#pragma once

#include "SystemInfo/AutoSize.h"

#include <QWidget>
#include <cstdint>

class QPushButton;

namespace Vorelle_ns {

// What the two create-database pages share: after a page has attached its database as
// the last saved link, a new database gets its super administrator and is initialised,
// and the start dialog takes over with the new link.
class WCreatePageBase_cl : public QWidget {
    Q_OBJECT

public:
    // The designed size of both pages, in dialog units.
    static constexpr int32_t Width = 212;
    static constexpr int32_t Height = 102;

signals:
    // The first user of a new database was set: delivered at once, before the page goes on.
    void UserNameSet(const QString& userName);
    // A new link was set up; queued, so it arrives after the page's handler has returned.
    void DatabaseCreated(int32_t index);

protected:
    explicit WCreatePageBase_cl(QWidget* parent);

    // The foot buttons keep their distance from the bottom edge; exit closes the start dialog.
    void RegisterButtons(QPushButton* create, QPushButton* exit);
    // Takes over after the database was attached as the last link. A new database asks for
    // its super administrator and is initialised; when that is cancelled or fails the link
    // is removed again.
    void Finish(bool initialised);
    // Asks for the super administrator of a new database; false when the user cancels.
    [[nodiscard]] bool AskSuperAdmin(QString& userName, QString& password);
    // The start dialog takes over with the last link; the page empties for the next one.
    void HandOver();
    // Empties the page for the next database.
    virtual void Reset() = 0;

    void resizeEvent(QResizeEvent* event) override;

private:
    // Removes the link just added; false when the user cancelled the set-up.
    bool SetUpNewDatabase(int32_t index);

    SystemInfo_ns::AutoSize_cl autoSize;
};

}  // namespace Vorelle_ns

#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

// Makes sure one Spindrel runs per user: two trackers over one settings file would count every
// minute twice and race each other's writes. The first start holds a lock and listens; a later
// start asks it to show its window and then steps aside.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Role { primary, secondary, unavailable };

    // `folder` holds the lock and the socket: the user's runtime directory in the app.
    explicit SingleInstance(QString folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the primary, or hands over to the running one (it is asked to show itself).
    // Unavailable when neither works (no writable folder): the caller then just runs.
    Role claim();

    static QString defaultFolder();

signals:
    // Another start asked this one to show its window.
    void showRequested();

private:
    void acceptHandover();
    bool askRunningInstanceToShow() const;

    QString folder_;
    QLockFile lock_;
    QLocalServer server_;
};

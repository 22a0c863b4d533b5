#pragma once
// One running copy per user. The first start listens on a local socket whose
// name is made from the user's name; a second start connects to it, asks the
// first to come forward and ends without showing anything.

#include <QObject>
#include <QString>

class QLocalServer;

namespace shell {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString serverName, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket name of the current user.
    static QString defaultServerName();

    // True when this process is the first: it now listens for later starts.
    // False when another copy runs: it was told to come forward.
    bool tryBecomePrimary();
    bool isPrimary() const { return m_server != nullptr; }

signals:
    // A later start asked this copy to come forward.
    void activationRequested();

private:
    bool notifyRunningInstance();
    void acceptConnections();

    QString m_name;
    QLocalServer* m_server = nullptr;
};

} // namespace shell

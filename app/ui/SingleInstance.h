#pragma once
// Only one editor runs per user and display: a later start hands its file over to the running one
// (message 2524 with the path) and ends. A lock file stands for the named mutex, a local socket
// for the window the message goes to.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <memory>

namespace pelmora {

inline constexpr int kHandOverMessage = 2524;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `name` tells instances apart (tests use their own); the default is per user.
    explicit SingleInstance(QString name = QString());
    // The socket's path: in $XDG_RUNTIME_DIR (else the temporary folder), named after the
    // user and the display.
    static QString DefaultName();
    ~SingleInstance() override;

    // True when another instance runs and got the path (made absolute here): this one ends.
    // An empty path only brings the running instance forward.
    bool HandOver(const QString& path);
    // Becomes the running instance. False when another one holds the lock but cannot be
    // reached: this one ends too.
    bool Become();

signals:
    // A later instance handed over a path (empty: just come to the front).
    void PathArrived(const QString& path);

private:
    QString name_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

}  // namespace pelmora

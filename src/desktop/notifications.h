// The desktop's notifications (org.freedesktop.Notifications on the session
// bus). Each notification replaces the program's previous one rather than
// stacking; calls never wait, and without a notification service nothing
// is shown and nothing else changes.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <optional>

namespace tvq {

class DesktopNotifications final : public QObject {
  public:
    // How pressing a notification is, as the desktop's notification
    // service takes it in the "urgency" hint.
    enum class Urgency : uchar { kLow = 0, kNormal = 1, kCritical = 2 };

    // `bus`: the session bus (tests give a private one).
    explicit DesktopNotifications(QDBusConnection bus, QObject* parent = nullptr);

    void show(const QString& summary, const QString& body, Urgency urgency);

    // How the desktop knows the program: its desktop entry and icon name.
    static constexpr const char* kDesktopEntry = "io.github.tvq_config.TvqConfig";

  private:
    struct Pending {
        QString summary;
        QString body;
        Urgency urgency;
    };
    void send(const Pending& n);

    QDBusConnection bus_;
    uint lastId_ = 0;              // the service's id of our last notification
    bool waiting_ = false;         // a Notify call has not answered yet
    std::optional<Pending> next_;  // asked for meanwhile: sent with the id it gives
};

}  // namespace tvq

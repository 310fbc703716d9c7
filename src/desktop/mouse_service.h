// The program on the session bus: "io.github.tvq_config.TvqConfig" at
// "/io/github/tvq_config/TvqConfig", interface
// "io.github.tvq_config.Profiles1", with the mouse's connection, battery
// and charging as properties that announce their changes
// (org.freedesktop.DBus.Properties.PropertiesChanged).
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include "device/mouse_status.h"

namespace tvq {

class MouseService final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.tvq_config.Profiles1")
    Q_PROPERTY(QString Connection READ connection)
    Q_PROPERTY(int Battery READ battery)
    Q_PROPERTY(bool Charging READ charging)

  public:
    static constexpr const char* kServiceName = "io.github.tvq_config.TvqConfig";
    static constexpr const char* kObjectPath = "/io/github/tvq_config/TvqConfig";
    static constexpr const char* kInterface = "io.github.tvq_config.Profiles1";

    explicit MouseService(QDBusConnection bus, QObject* parent = nullptr);
    ~MouseService() override;

    // Registers the object and the name; false (and a debug line) when the
    // bus is not there or the name is taken.
    bool start();

    // The mouse's state changed: the properties follow.
    void setStatus(const MouseStatus& status);

    // "", "cable", "receiver" or "bluetooth".
    QString connection() const;
    // Percent, or -1 while unknown.
    int battery() const { return status_.battery > 0 ? status_.battery : -1; }
    bool charging() const { return status_.charging; }

  private:
    QDBusConnection bus_;
    MouseStatus status_;
    bool registered_ = false;
};

}  // namespace tvq

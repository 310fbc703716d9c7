// The desktop's light or dark preference: the "color-scheme" setting in the
// "org.freedesktop.appearance" namespace of the desktop portal's Settings
// interface, read once and followed as it changes. Calls never wait.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>

class QDBusMessage;

namespace tvq {

class ColourSchemeWatch final : public QObject {
    Q_OBJECT
  public:
    // The portal's values: 0 no preference, 1 dark, 2 light.
    enum class Preference { kNone = 0, kDark = 1, kLight = 2 };

    // `bus`: the session bus (tests give a private one). `answered` is
    // called with the first answer and every change after it; not at all
    // when no portal answers.
    ColourSchemeWatch(QDBusConnection bus, std::function<void(Preference)> answered,
                      QObject* parent = nullptr);

    static constexpr const char* kService = "org.freedesktop.portal.Desktop";
    static constexpr const char* kPath = "/org/freedesktop/portal/desktop";
    static constexpr const char* kInterface = "org.freedesktop.portal.Settings";
    static constexpr const char* kNamespace = "org.freedesktop.appearance";
    static constexpr const char* kKey = "color-scheme";

  private slots:
    void settingChanged(const QDBusMessage& message);

  private:
    void tell(const QVariant& value);

    std::function<void(Preference)> answered_;
};

}  // namespace tvq

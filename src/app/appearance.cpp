#include "app/appearance.h"

#include <QApplication>
#include <QToolTip>

#include "base/debug.h"
#include "desktop/colour_scheme_watch.h"
#include "platform/settings_file.h"

namespace tvq {

Appearance::Appearance(SettingsFile& settings)
    : settings_(settings),
      choice_(settings.settings().appearance.choice),
      desktopPalette_(currentScheme()),
      desktop_(settings.settings().appearance.desktopDark ? Scheme::kDark : desktopPalette_) {
    apply();
}

Appearance::~Appearance() = default;

void Appearance::followDesktop(QDBusConnection bus) {
    using Preference = ColourSchemeWatch::Preference;
    watch_ = std::make_unique<ColourSchemeWatch>(bus, [this](Preference p) {
        desktopPreferred(p == Preference::kDark    ? std::optional(Scheme::kDark)
                         : p == Preference::kLight ? std::optional(Scheme::kLight)
                                                   : std::nullopt);
    });
}

void Appearance::desktopPreferred(std::optional<Scheme> preferred) {
    // No preference: the palette the desktop gave Qt decides.
    desktop_ = preferred.value_or(desktopPalette_);
    debug::write(std::string("appearance: the desktop prefers ") +
                 (desktop_ == Scheme::kDark ? "dark" : "light") + "\n");
    const bool dark = desktop_ == Scheme::kDark;
    if (settings_.settings().appearance.desktopDark != dark) {
        ProgramSettings next = settings_.settings();
        next.appearance.desktopDark = dark;
        settings_.save(next);  // only what the first frame shows: not worth a word
    }
    apply();
}

bool Appearance::choose(AppearanceChoice choice) {
    choice_ = choice;
    apply();
    ProgramSettings next = settings_.settings();
    next.appearance.choice = choice;
    return settings_.save(next);
}

Scheme Appearance::scheme() const {
    switch (choice_) {
        case AppearanceChoice::kLight:
            return Scheme::kLight;
        case AppearanceChoice::kDark:
            return Scheme::kDark;
        case AppearanceChoice::kSystem:
            break;
    }
    return desktop_;
}

void Appearance::apply() {
    const Scheme wanted = scheme();
    if (!shown_ || *shown_ != wanted) {
        shown_ = wanted;
        QApplication::setPalette(schemePalette(wanted));
        // Tool tips keep a palette of their own, the desktop's light one
        // unless told.
        QToolTip::setPalette(schemePalette(wanted));
    }
}

}  // namespace tvq

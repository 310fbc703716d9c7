// Light and dark, offscreen: every window, dialog and menu is opened the way
// a user opens it and rendered in both schemes, and every text on it must
// stand out from what is drawn behind it by at least 4.5:1 (WCAG AA). The
// scheme follows a stand-in desktop portal on a private bus, or the user's
// choice. With TVQ_SCREENSHOT_DIR set, each rendering is also saved there.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>
#include <cmath>
#include <functional>
#include <map>

#include "app/appearance.h"
#include "app/main_window.h"
#include "app/page_reflow.h"
#include "desktop/colour_scheme_watch.h"
#include "fake_device_library.h"
#include "fake_page_window.h"
#include "input/us_layout.h"
#include "page_widgets/settings_page_view.h"
#include "platform/posix_file_system.h"
#include "private_bus.h"
#include "program/language_choice.h"
#include "store_fixture.h"
#include "toolkit/focus_ring.h"
#include "toolkit/language.h"
#include "toolkit/loaded_menu.h"

namespace tvq {
namespace {

using testing::FakeReceiverLibrary;

// The window left at twice the scale on a 1280x900 screen under a panel.
constexpr int kNarrowWidth = 640;
constexpr int kNarrowHeight = 420;

double luminance(QColor c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(QColor a, QColor b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Whether `w` is inside a view of `top` that scrolls sideways.
bool scrollsSideways(const QWidget* w, const QWidget* top) {
    for (const QWidget* p = w->parentWidget(); p != nullptr && p != top; p = p->parentWidget()) {
        if (const auto* area = qobject_cast<const QAbstractScrollArea*>(p)) {
            return area->horizontalScrollBar()->isVisibleTo(top);
        }
    }
    return false;
}

// The text a widget shows, or empty for one that shows none.
QString textOf(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        return label->pixmap().isNull() ? label->text() : QString();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return button->text();
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
        return combo->currentText();
    }
    if (const auto* field = qobject_cast<const QLineEdit*>(w)) {
        return field->text();
    }
    if (const auto* list = qobject_cast<const QAbstractItemView*>(w)) {
        const QAbstractItemModel* model = list->model();
        return model != nullptr && model->rowCount() > 0
                   ? model->index(model->rowCount() - 1, 0).data().toString()
                   : QString();
    }
    return {};
}

// The colour most of `image` has: what the text is drawn on.
QColor backgroundOf(const QImage& image) {
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ++counts[image.pixel(x, y) & 0xFFFFFF];
        }
    }
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](auto& a, auto& b) { return a.second < b.second; });
    return QColor::fromRgb(most->first);
}

// How many pixels of `image` are `colour`, give or take antialiasing.
int pixelsOf(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = QColor::fromRgb(image.pixel(x, y));
            const int d = std::abs(p.red() - colour.red()) + std::abs(p.green() - colour.green()) +
                          std::abs(p.blue() - colour.blue());
            n += d <= 48 ? 1 : 0;
        }
    }
    return n;
}

class AppearanceTest : public QObject, private testing::FakePageWindow {
    Q_OBJECT

  private:
    QStringList problems;
    int checkedTexts = 0;
    int checkedFocus = 0;
    int checkedPlaces = 0;

    // What each window, dialog and menu is checked for as it is opened.
    std::function<void(QWidget*, const QString&)> check;
    QString languageCode;  // of the texts shown; empty for English

    void inspect(QWidget* top, const QString& name) {
        QCoreApplication::processEvents();
        if (const QByteArray dir = qgetenv("TVQ_SCREENSHOT_DIR"); !dir.isEmpty()) {
            const QImage image = top->grab().toImage();
            image.save(QStringLiteral("%1/%2%3-%4@%5x.png")
                           .arg(QString::fromLocal8Bit(dir),
                                languageCode.isEmpty() ? QString() : languageCode + "-", name,
                                currentScheme() == Scheme::kDark ? "dark" : "light")
                           .arg(image.devicePixelRatio()));
        }
        check(top, name);
    }

    // Every control of `top` the keyboard reaches shows that it has the
    // focus: pixels around it change, in a colour 3:1 against what was there.
    void checkFocus(QWidget* top, const QString& name) {
        const QString scheme = currentScheme() == Scheme::kDark ? "dark" : "light";
        for (QWidget* w : top->findChildren<QWidget*>()) {
            // A field that has the focus for its spin box or list is checked
            // as the whole control.
            const bool inner = w->focusProxy() != nullptr || (w->parentWidget() != nullptr &&
                                                              w->parentWidget()->focusProxy() == w);
            if (!w->isVisible() || !w->isEnabled() || (w->focusPolicy() & Qt::TabFocus) == 0 ||
                w->visibleRegion().isEmpty() || inner) {
                continue;
            }
            if (QWidget* focused = QApplication::focusWidget()) {
                focused->clearFocus();  // the ring is off before
                QCoreApplication::processEvents();
            }
            const int out = FocusRing::kWidth + FocusRing::kGap;
            const QRect area = QRect(w->mapTo(top, QPoint(0, 0)), w->size())
                                   .adjusted(-out, -out, out, out)
                                   .intersected(top->rect());
            const QImage before = top->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
            w->setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents();
            const QImage after = top->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
            ++checkedFocus;
            if (FocusRing::around() != w || before == after) {
                problems << QStringLiteral("%1 (%2): %3 shows no focus")
                                .arg(name, scheme, w->objectName());
                continue;
            }
            // The ring's colour against the pixel beside the control's
            // middle, before the ring was drawn over it.
            const QPoint beside(0, static_cast<int>(before.height() / 2));
            const double ratio =
                contrast(schemeColour(currentScheme(), u"focus"), QColor(before.pixel(beside)));
            if (ratio < 3.0 && area.left() > 0) {
                problems << QStringLiteral(
                                "%1 (%2): the focus of %3 is %4:1 against its surroundings")
                                .arg(name, scheme, w->objectName())
                                .arg(ratio, 0, 'f', 2);
            }
        }
    }

    // Every text of `top` as it is drawn now, against its background.
    void checkContrast(QWidget* top, const QString& name) {
        const QImage image = top->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const qreal scale = image.devicePixelRatio();
        const QString scheme = currentScheme() == Scheme::kDark ? "dark" : "light";
        QList<QWidget*> widgets = top->findChildren<QWidget*>();
        widgets.prepend(top);
        for (QWidget* w : widgets) {
            const QString text = textOf(w);
            const QRect visible = w->visibleRegion().boundingRect();
            // A control cut by a scrolled panel is checked in the tall window,
            // where it is seen whole.
            if (text.isEmpty() || !w->isVisibleTo(top) || !w->isEnabled() || visible.width() < 6 ||
                visible.height() < 6 || visible.height() * 2 < w->height()) {
                continue;
            }
            const QRect at(w->mapTo(top, visible.topLeft()), visible.size());
            const QImage part = image.copy(QRect(at.topLeft() * scale, at.size() * scale));
            const QColor bg = backgroundOf(part);
            // The palette's text colour where the text is drawn in it; else
            // (a selected row, a focused or selected field) the colour
            // drawn that stands out most, at least 2 pixels of it.
            QColor fg = w->palette().color(w->foregroundRole());
            int drawn = pixelsOf(part, fg);
            if (drawn < 3) {
                const QImage inside = part.copy(part.rect().adjusted(2, 2, -2, -2));
                double best = 0;
                for (int y = 0; y < inside.height(); ++y) {
                    for (int x = 0; x < inside.width(); ++x) {
                        const QColor p = QColor::fromRgb(inside.pixel(x, y));
                        if (const double r = contrast(p, bg); r > best) {
                            if (const int n = pixelsOf(inside, p); n >= 2) {
                                best = r;
                                fg = p;
                                drawn = n;
                            }
                        }
                    }
                }
            }
            const double ratio = contrast(fg, bg);
            ++checkedTexts;
            if (ratio < 4.5 || drawn < 2) {
                problems << QStringLiteral("%1 (%2): %3 \"%4\": %5 on %6 is %7:1, %8 pixels")
                                .arg(name, scheme, w->objectName(), text.left(30), fg.name(),
                                     bg.name())
                                .arg(ratio, 0, 'f', 2)
                                .arg(drawn);
            }
        }
    }

    // No text of `top` is cut: a control narrower than its text needs.
    void checkFit(QWidget* top, const QString& name) {
        QList<QWidget*> widgets = top->findChildren<QWidget*>();
        for (QWidget* w : widgets) {
            const auto* label = qobject_cast<QLabel*>(w);
            const bool text =
                (label != nullptr && !label->wordWrap() && label->pixmap().isNull()) ||
                qobject_cast<QAbstractButton*>(w) != nullptr;
            if (!text || textOf(w).isEmpty() || !w->isVisibleTo(top) ||
                w->visibleRegion().isEmpty() ||  // scrolled away: seen when scrolled to
                w->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored) {
                continue;
            }
            ++checkedTexts;
            // Narrower than its text, or wider than what shows it (a
            // scrolled panel) and so cut at the side, unless the panel
            // scrolls sideways to it.
            const int shown = scrollsSideways(w, top)
                                  ? w->width()
                                  : std::min(w->width(), w->visibleRegion().boundingRect().width());
            if (shown + 1 < w->minimumSizeHint().width()) {
                problems << QStringLiteral("%1 (%2): %3 \"%4\" needs %5 px, shows %6")
                                .arg(name, languageCode, w->objectName(), textOf(w))
                                .arg(w->minimumSizeHint().width())
                                .arg(shown);
            }
        }
    }

    // No visible control of `top` reaches past what holds it, unless it is
    // the content of a scroll area that scrolls that way.
    void checkInside(QWidget* top, const QString& name) {
        for (QWidget* w : top->findChildren<QWidget*>()) {
            QWidget* holder = w->parentWidget();
            if (!w->isVisibleTo(top) || w->isWindow() || holder == nullptr || w->size().isEmpty() ||
                dynamic_cast<FocusRing*>(w) != nullptr) {
                continue;
            }
            ++checkedPlaces;
            const QRect place = w->geometry();
            if (auto* area = qobject_cast<QAbstractScrollArea*>(holder->parentWidget());
                area != nullptr && area->viewport() == holder) {
                const bool wide = place.width() > holder->width() + 1;
                const bool tall = place.height() > holder->height() + 1;
                // A dialog that does not fit the screen scrolls down, never
                // sideways: reading it does not mean scrolling both ways.
                if (wide && area->objectName() == u"dialog_scroll") {
                    problems << QStringLiteral(
                                    "%1 (%2): the dialog is %3 px wide in a %4 px view")
                                    .arg(name, languageCode)
                                    .arg(place.width())
                                    .arg(holder->width());
                }
                if ((wide && !area->horizontalScrollBar()->isVisibleTo(top)) ||
                    (tall && !area->verticalScrollBar()->isVisibleTo(top))) {
                    problems << QStringLiteral(
                                    "%1 (%2): %3 is %4x%5 in a %6x%7 view that "
                                    "cannot scroll to all of it")
                                    .arg(name, languageCode, w->objectName())
                                    .arg(place.width())
                                    .arg(place.height())
                                    .arg(holder->width())
                                    .arg(holder->height());
                }
                continue;
            }
            if (!holder->rect().adjusted(-1, -1, 1, 1).contains(place)) {
                problems << QStringLiteral("%1 (%2): %3 %4 at %5,%6 reaches past %7 (%8x%9)")
                                .arg(name, languageCode,
                                     QString::fromLatin1(w->metaObject()->className()),
                                     w->objectName())
                                .arg(place.x())
                                .arg(place.y())
                                .arg(holder->objectName())
                                .arg(holder->width())
                                .arg(holder->height());
            }
        }
    }

    // Opens what `open` opens modally, checks it and closes it.
    void checkModal(const QString& name, const std::function<void()>& open) {
        bool seen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (QWidget* dialog = QApplication::activeModalWidget(); dialog && !seen) {
                seen = true;
                inspect(dialog, name);
                dialog->close();
            }
        });
        poll.start(10);
        open();
        QVERIFY2(seen, qPrintable(name + " did not open"));
    }

    // Opens the popup menu `open` opens, checks it and closes it.
    void checkPopup(const QString& name, const std::function<void()>& open) {
        open();
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QWidget* menu = QApplication::activePopupWidget();
        inspect(menu, name);
        menu->close();
    }

    void everyWindowIn(AppearanceChoice choice) {
        std::unique_ptr<MainWindow> window = openWindow();
        mouse->session().macros().addNew();  // the macro picker has one to show
        // Chosen as a user chooses it: in the program menu.
        qobject_cast<QPushButton*>(window->control("main_menu_btn"))->click();
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        auto* appearance = QApplication::activePopupWidget()->findChild<QMenu*>("appearance");
        QVERIFY(appearance != nullptr);
        const char* item =
            choice == AppearanceChoice::kDark ? "appearance_dark" : "appearance_light";
        appearance->findChild<QAction*>(item)->trigger();
        QApplication::activePopupWidget()->close();
        QCOMPARE(currentScheme(),
                 choice == AppearanceChoice::kDark ? Scheme::kDark : Scheme::kLight);

        window->show();
        window->libraryMessages().post(msg::kReceiverData, 0x4010, 0x0701);  // battery 7
        QTRY_COMPARE(mouse->session().links().receiverLinkUp.load(), 1);
        SettingsPageView* page = window->page();
        // Tall enough that nothing of the page is scrolled away.
        window->resize(MainWindow::kWidth, 2600);
        inspect(window.get(), "main-window");
        // What twice the scale leaves of a 1280x900 screen: one column.
        window->resize(kNarrowWidth, kNarrowHeight);
        QTRY_VERIFY(window->reflow() != nullptr && window->reflow()->oneColumn());
        inspect(window.get(), "main-window-narrow");
        window->resize(MainWindow::kWidth, MainWindow::kHeight);
        QTRY_VERIFY(!window->reflow()->oneColumn());
        inspect(window.get(), "main-window-start");

        const auto click = [page](const char* name) {
            return
                [page, name] { qobject_cast<QAbstractButton*>(page->boundControl(name))->click(); };
        };
        checkModal("profile-name", click("ms_1_profile_add_btn"));
        checkModal("notice", click("ms_1_profile_delete_btn"));  // the last profile stays
        checkModal("question", click("ms_1_profile_reset_btn"));
        checkModal("colour-picker", click("ms_1_btn_dpi_color_1"));
        checkModal("macro-editor", click("ms_1_btn_macro"));
        checkModal("battery-alerts", [&window] {
            qobject_cast<QAbstractButton*>(window->control("battery_alerts_btn"))->click();
        });
        checkModal("application-rules", [&window] {
            qobject_cast<QAbstractButton*>(window->control("profile_apps_btn"))->click();
        });
        checkPopup("function-menu", click("ms_1_btn_key_5"));
        checkModal("shortcut", [page] {
            page->dialogs().functionMenu()->menu().findChild<QAction*>("ms_1_shortcut")->trigger();
        });
        checkModal("macro-picker", [page] {
            page->dialogs()
                .functionMenu()
                ->menu()
                .findChild<QAction*>("ms_1_select_macro")
                ->trigger();
        });
        checkPopup("program-menu", [&window] {
            qobject_cast<QAbstractButton*>(window->control("main_menu_btn"))->click();
        });
        for (const char* item : {"about", "help"}) {
            checkModal(QString::fromLatin1(item), [&window, item] {
                qobject_cast<QAbstractButton*>(window->control("main_menu_btn"))->click();
                QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QVERIFY(menu != nullptr);
                menu->close();
                menu->findChild<QAction*>(QString::fromLatin1(item))->trigger();
            });
        }
        checkPopup("tray-menu", [&window] { window->openTrayMenu(); });
        checkPopup("lighting-effects", [page] {
            qobject_cast<QComboBox*>(page->boundControl("ms_1_combo_light"))->showPopup();
        });
        window->showDpiDisplay("1600", 10000);
        QWidget* dpi = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == "DpiDisplay" && top->isVisible()) {
                dpi = top;
            }
        }
        QVERIFY(dpi != nullptr);
        inspect(dpi, "dpi-display");
    }

    // Returns once what the portal sent before now has been handled.
    static void settle(QDBusConnection& bus) {
        QDBusMessage read =
            QDBusMessage::createMethodCall(ColourSchemeWatch::kService, ColourSchemeWatch::kPath,
                                           ColourSchemeWatch::kInterface, "Read");
        read << QString(ColourSchemeWatch::kNamespace) << QString(ColourSchemeWatch::kKey);
        bus.call(read, QDBus::BlockWithGui);  // the stand-in answers on this thread
        QCoreApplication::processEvents();
    }

  private slots:
    void initTestCase() {
        QVERIFY(language.load(resourceFolder() + "lan.xml"));
        loader.missingFiles = {"Hook.so"};
    }

    void init() {
        freshStart();
        problems.clear();
        checkedTexts = 0;
        QApplication::setPalette(QPalette());  // as a new start finds it: the desktop's
    }

    void cleanup() { mouse.reset(); }

    void everyTextStandsOutInTheLightScheme() {
        check = [this](QWidget* w, const QString& name) { checkContrast(w, name); };
        everyWindowIn(AppearanceChoice::kLight);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        QVERIFY(checkedTexts > 150);
    }

    void everyControlShowsItsFocusInBothSchemes() {
        check = [this](QWidget* w, const QString& name) { checkFocus(w, name); };
        for (const AppearanceChoice choice : {AppearanceChoice::kLight, AppearanceChoice::kDark}) {
            checkedFocus = 0;
            everyWindowIn(choice);
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
            QVERIFY2(checkedFocus > 100, qPrintable(QString::number(checkedFocus)));
            cleanup();
            init();
        }
    }

    void everyTextStandsOutInTheDarkScheme() {
        check = [this](QWidget* w, const QString& name) { checkContrast(w, name); };
        everyWindowIn(AppearanceChoice::kDark);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        QVERIFY(checkedTexts > 150);
    }

    // Every language's texts fit their labels and buttons on every screen,
    // and no control reaches past its window, at the start size and at the
    // narrowest.
    void everyLanguageFitsItsControls() {
        check = [this](QWidget* w, const QString& name) {
            checkFit(w, name);
            checkInside(w, name);
        };
        QStringList codes{QString()};
        for (const LanguageName& l : translations()) {
            codes << QString::fromLatin1(l.code);
        }
        for (const QString& code : codes) {
            languageCode = code;
            QVERIFY(language.load(resourceFolder() + "lan.xml"));
            QVERIFY(code.isEmpty() ||
                    language.translate(resourceFolder() + "lang/" + code + ".xml"));
            everyWindowIn(AppearanceChoice::kLight);
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
            cleanup();
            init();
        }
        languageCode.clear();
        language.showEnglish();
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        QVERIFY2(checkedPlaces > 1000, qPrintable(QString::number(checkedPlaces)));
    }

    // A language chosen in the program menu is kept for the next start,
    // and the user is told when it takes effect.
    void theLanguageChosenInTheMenuIsKeptForTheNextStart() {
        std::unique_ptr<MainWindow> window = openWindow();
        window->show();
        const auto item = [&window](const char* name) {
            qobject_cast<QPushButton*>(window->control("main_menu_btn"))->click();
            QMenu* menu = QApplication::activePopupWidget()->findChild<QMenu*>("language");
            return menu != nullptr ? menu->findChild<QAction*>(name) : nullptr;
        };
        QVERIFY(item("language_system")->isChecked());
        QCOMPARE(item("language_pt_BR")->text(), QStringLiteral("Português (Brasil)"));
        QApplication::activePopupWidget()->close();
        check = [](QWidget*, const QString&) {};
        checkModal("language-told", [&item] { item("language_pt_BR")->trigger(); });
        SettingsFile settings(fs, mouse->settings().path());
        QCOMPARE(settings.load(), SettingsFile::Loaded::kRead);
        QCOMPARE(settings.settings().language, std::string("pt_BR"));
        QVERIFY(item("language_pt_BR")->isChecked());
        QApplication::activePopupWidget()->close();
    }

    // The desktop's preference, from a portal that answers and changes its
    // mind; the user's choice overrides it and is kept.
    void theSchemeFollowsTheDesktopPortalUnlessTheUserChose() {
        testing::PrivateBus bus;
        QVERIFY(bus.running());
        const QString address = QString::fromStdString(bus.address());
        QDBusConnection portalSide = QDBusConnection::connectToBus(address, "portal");
        QDBusConnection programSide = QDBusConnection::connectToBus(address, "program");

        class Portal final : public QDBusVirtualObject {
          public:
            uint scheme = 1;  // dark
            QString introspect(const QString&) const override { return {}; }
            bool handleMessage(const QDBusMessage& m, const QDBusConnection& c) override {
                if (m.member() != "Read") {
                    return false;
                }
                // As the portal answers Read: the value in a second variant.
                const QVariant inner = QVariant::fromValue(QDBusVariant(scheme));
                c.send(m.createReply(QVariant::fromValue(QDBusVariant(inner))));
                return true;
            }
        } portal;
        QVERIFY(portalSide.registerVirtualObject(ColourSchemeWatch::kPath, &portal));
        QVERIFY(portalSide.registerService(ColourSchemeWatch::kService));
        const auto change = [&](uint scheme) {
            QDBusMessage signal = QDBusMessage::createSignal(
                ColourSchemeWatch::kPath, ColourSchemeWatch::kInterface, "SettingChanged");
            signal << QString(ColourSchemeWatch::kNamespace) << QString(ColourSchemeWatch::kKey)
                   << QVariant::fromValue(QDBusVariant(scheme));
            portalSide.send(signal);
        };

        SettingsFile settings(fs, settingsFilePath(location->environment()));
        settings.load();
        {
            Appearance appearance(settings);
            QCOMPARE(currentScheme(), Scheme::kLight);  // the offscreen desktop's palette
            appearance.followDesktop(programSide);
            QTRY_COMPARE(currentScheme(), Scheme::kDark);
            change(2);
            QTRY_COMPARE(currentScheme(), Scheme::kLight);
            change(1);
            QTRY_COMPARE(currentScheme(), Scheme::kDark);
            change(0);  // no preference: the desktop's palette decides
            QTRY_COMPARE(currentScheme(), Scheme::kLight);
            change(1);
            QTRY_COMPARE(currentScheme(), Scheme::kDark);
            QVERIFY(appearance.choose(AppearanceChoice::kLight));
            QCOMPARE(currentScheme(), Scheme::kLight);
            change(1);  // the desktop's preference no longer decides
            settle(programSide);
            QCOMPARE(currentScheme(), Scheme::kLight);
        }
        // At the next start the choice is kept; back on the desktop's, its
        // last preference is shown before the portal is asked again.
        SettingsFile again(fs, settings.path());
        again.load();
        QCOMPARE(again.settings().appearance.choice, AppearanceChoice::kLight);
        QVERIFY(again.settings().appearance.desktopDark);
        ProgramSettings system = again.settings();
        system.appearance.choice = AppearanceChoice::kSystem;
        QVERIFY(again.save(system));
        QApplication::setPalette(QPalette());
        Appearance restarted(again);
        QCOMPARE(currentScheme(), Scheme::kDark);
        // A value the portal does not define counts as no preference: the
        // desktop's palette decides.
        portal.scheme = 7;
        restarted.followDesktop(programSide);
        QTRY_COMPARE(currentScheme(), Scheme::kLight);
        QDBusConnection::disconnectFromBus("program");
        QDBusConnection::disconnectFromBus("portal");
    }
};

}  // namespace
}  // namespace tvq

QTEST_MAIN(tvq::AppearanceTest)
#include "appearance_test.moc"

// The settings page on the real layout "main.xml", offscreen: controls bound
// by name, the section toggles, the profile list and what the mouse's
// reports show. The device libraries are fakes; the data folder is a
// temporary one.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "app/desktop_presence.h"
#include "app/main_window.h"
#include "app/page_reflow.h"
#include "base/text.h"
#include "device/device_ids.h"
#include "dialogs/macro_editor_dialog.h"
#include "dialogs/macro_picker_dialog.h"
#include "dialogs/shortcut_dialog.h"
#include "fake_device_library.h"
#include "fake_page_window.h"
#include "input/us_layout.h"
#include "mouse_shown.h"
#include "page/controls.h"
#include "page/function_catalogue.h"
#include "page_widgets/settings_page_view.h"
#include "platform/posix_file_system.h"
#include "profiles/record_layout.h"
#include "program/program_settings.h"
#include "store_fixture.h"
#include "toolkit/language.h"
#include "toolkit/loaded_menu.h"
#include "toolkit/window_base.h"

namespace tvq {
namespace {

using testing::FakeCableLibrary;
using testing::FakeReceiverLibrary;

// A window with a layout of the test's own, for pages that lack controls.
class PartialWindow final : public WindowBase {
  public:
    explicit PartialWindow(const QString& layout) : WindowBase("Partial", layout, nullptr) {}
};

}  // namespace

class PageTest : public QObject, private testing::FakePageWindow {
    Q_OBJECT

  private:
    QString storePath() const {
        return data->path() + "/TERVANA TVQ-R270 WIRELESS MOUSE/ms_1/pro.data";
    }
    void writeStore(std::int32_t index, const std::vector<std::unique_ptr<Profile>>& profiles) {
        const auto bytes = encodeProfileStore(index, profiles);
        QDir().mkpath(QFileInfo(storePath()).path());
        QFile f(storePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    // A heartbeat with battery level 7, awake, as the receiver's library
    // posts it; returns once the page has shown it.
    void heartbeat(MainWindow& window) {
        window.libraryMessages().post(msg::kReceiverData, 0x4010, 0x0701);
        QTRY_COMPARE(mouse->session().links().receiverLinkUp.load(), 1);
    }
    static QString lang(const LanguageManager& l, const char* key) {
        return l.text(QString::fromUtf8(key));
    }

  private slots:
    void initTestCase() {
        QVERIFY(language.load(resourceFolder() + "lan.xml"));
        loader.missingFiles = {"Hook.so"};
    }

    void init() { freshStart(); }

    void cleanup() { mouse.reset(); }

    void everyControlOfThePageIsInTheLayout() {
        const auto window = openWindow();
        SettingsPageView* page = window->page();
        for (const ControlInfo& c : pageControls()) {
            QVERIFY2(page->boundControl(c.name) != nullptr, c.name.c_str());
        }
    }

    void startUpWithTheReceiverOnly() {
        const auto window = openWindow();
        SettingsPageView* page = window->page();
        QVERIFY(page->boundControl("ms_1_check_power_setting")->isHidden());
        QVERIFY(page->boundControl("ms_1_ver_power_setting")->isHidden());
        QVERIFY(!page->boundControl("ms_1_wireless")->isHidden());
        QVERIFY(page->boundControl("ms_1_wired")->isHidden());
        QVERIFY(!page->boundControl("ms_1_sleep_label")->isHidden());
        QVERIFY(mouse->session().link().watchdogArmed());
        // The connection change reaches the main window: the page is shown.
        QTRY_VERIFY(testing::mouseShown(*window));
        // Narrow, the side column heads the settings, in Tab order too;
        // wide again, it is beside them, still first.
        const auto profilesBeforeButtons = [&window] {
            int profiles = -1;
            int buttons = -1;
            QWidget* w = window.get();
            for (int i = 0; i < 4000 && (profiles < 0 || buttons < 0); ++i) {
                w = w->nextInFocusChain();
                if (w->objectName() == "ms_1_list_profile" && profiles < 0) {
                    profiles = i;
                } else if (w->objectName() == "ms_1_btn_key_1" && buttons < 0) {
                    buttons = i;
                }
            }
            return profiles >= 0 && buttons > profiles;
        };
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(!window->reflow()->oneColumn());
        QVERIFY(profilesBeforeButtons());
        window->resize(640, 420);
        QTRY_VERIFY(window->reflow()->oneColumn());
        QVERIFY(profilesBeforeButtons());
        window->resize(MainWindow::kWidth, MainWindow::kHeight);
        QTRY_VERIFY(!window->reflow()->oneColumn());
        QVERIFY(profilesBeforeButtons());

        heartbeat(*window);
        QCOMPARE(qobject_cast<QLabel*>(page->boundControl("ms_1_label_power"))->text(),
                 QString("70%"));
        QCOMPARE(qobject_cast<QProgressBar*>(page->boundControl("ms_1_progress_power"))->value(),
                 70);
        QVERIFY(page->boundControl("ms_1_sleep_label")->isHidden());
    }

    void theTermsANewUserMayNotKnowAreExplainedInTooltips() {
        const auto window = openWindow();
        SettingsPageView* page = window->page();
        for (const auto& [control, key] :
             {std::pair{"ms_1_check_movemode", "tip_movement_mode_text"},
              std::pair{"ms_1_combo_light_ble", "tip_light_effect_ble_text"},
              std::pair{"ms_1_slider_breathspeed", "tip_breath_speed_text"},
              std::pair{"ms_1_option_button_mode_2", "tip_button_mode_text"}}) {
            QVERIFY(!lang(language, key).isEmpty());
            QCOMPARE(page->boundControl(control)->toolTip(), lang(language, key));
        }
        LoadedMenu menu;
        QVERIFY(menu.load(resourceFolder() + "MS/MS_1/ms_1_menu.xml", language,
                          [](const MenuCommand&) {}));
        for (const auto& [item, key] : {std::pair{"ms_1_fire_button", "tip_fire_button_text"},
                                        std::pair{"ms_1_easy_aim", "tip_easy_aim_text"}}) {
            auto* action = menu.menu().findChild<QAction*>(item);
            QVERIFY(action != nullptr);
            QCOMPARE(action->toolTip(), lang(language, key));
            QVERIFY(qobject_cast<QMenu*>(action->parent())->toolTipsVisible());
        }
    }

    void theApplyButtonStaysWhereItIsWhateverTheLineUnderItSays() {
        const auto window = openWindow();
        window->resize(MainWindow::kWidth, MainWindow::kHeight);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        SettingsPageView* page = window->page();
        QWidget* button = page->boundControl("ms_1_apply_btn");
        const auto where = [&] {
            QCoreApplication::processEvents();
            return button->mapTo(window.get(), QPoint(0, 0));
        };
        const QPoint before = where();
        LinkPresenter& presenter = page->logic().presenter();
        presenter.applyStarted();
        QCOMPARE(where(), before);
        presenter.frameSent(2, 12, 0x04, SendOutcome::kAcknowledged);
        // Shown once the apply has lasted long enough not to flash past.
        QTRY_COMPARE(qobject_cast<QLabel*>(page->boundControl("ms_1_apply_status"))->text(),
                     lang(language, "writing_progress_text").arg(3).arg(12));
        QCOMPARE(where(), before);
        presenter.storeSaved(false);  // the longest of the line's texts
        QCOMPARE(where(), before);
        presenter.applyFinished(ApplyResult{true, 12, 12, true});
        QCOMPARE(where(), before);
    }

    void sectionsOpenAndCloseAreKeptAcrossStartsAndWriteNothing() {
        auto window = openWindow();
        window->show();
        SettingsPageView* page = window->page();
        QFile store(storePath());
        QVERIFY(store.open(QIODevice::ReadOnly));
        const QByteArray before = store.readAll();
        store.close();
        // A disclosure header: an expandable button whose arrow and
        // accessible state follow it, opened and closed by a click or by a
        // screen reader's Toggle.
        auto* header = qobject_cast<QToolButton*>(page->boundControl("ms_1_check_dpi"));
        QVERIFY(header != nullptr && header->isChecked());
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(header);
        QVERIFY(a11y->state().expandable && a11y->state().expanded);
        QCOMPARE(a11y->role(), QAccessible::Button);
        QCOMPARE(a11y->text(QAccessible::Name), QStringLiteral("DPI stages"));
        QCOMPARE(header->arrowType(), Qt::DownArrow);
        header->click();
        QVERIFY(page->boundControl("ms_1_hor_dpi")->isHidden());
        QVERIFY(!a11y->state().expanded && a11y->state().collapsed);
        QCOMPARE(header->arrowType(), Qt::RightArrow);
        a11y->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(!page->boundControl("ms_1_hor_dpi")->isHidden());
        QVERIFY(a11y->state().expanded);
        QCOMPARE(mouse->session().link().applyRequests(), 0);
        QVERIFY(FakeReceiverLibrary::state().frames.empty());
        QVERIFY(store.open(QIODevice::ReadOnly));
        QCOMPARE(store.readAll(), before);
        // Focus changes do nothing either.
        page->boundControl("ms_1_slider_dpi_1")->setFocus();
        page->boundControl("ms_1_slider_dpi_2")->setFocus();
        QVERIFY(FakeReceiverLibrary::state().frames.empty());

        // A section left closed is closed at the next start.
        qobject_cast<QAbstractButton*>(page->boundControl("ms_1_check_light"))->click();
        window.reset();
        mouse.reset();
        window = openWindow();
        page = window->page();
        auto* light = qobject_cast<QToolButton*>(page->boundControl("ms_1_check_light"));
        QVERIFY(!light->isChecked());
        QCOMPARE(light->arrowType(), Qt::RightArrow);
        QVERIFY(page->boundControl("ms_1_ver_light")->isHidden());
        QVERIFY(!page->boundControl("ms_1_hor_dpi")->isHidden());
    }

    void theSettingsBelowTheFirstViewComeAfterItAsIfBuiltWithIt() {
        std::vector<std::unique_ptr<Profile>> profiles;
        profiles.push_back(newProfile(u"Work"));
        writeAllSlots(*profiles[0], [](ModeSettings& m) {
            m.pollingRate = 2;
            m.sleepTimer = 7;
        });
        writeStore(0, profiles);
        auto window = openWindow(true);
        ProgramSettings closed = mouse->settings().settings();
        closed.closedSections = {"ms_1_ver_light"};
        QVERIFY(mouse->settings().save(closed));
        // As the program starts: shown, then built.
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->buildDeferredParts();
        SettingsPageView* page = window->page();
        QVERIFY(page->boundControl("ms_1_btn_key_1") != nullptr);
        QCOMPARE(page->boundControl("ms_1_btn_prate_3"), nullptr);
        // Once the page has been drawn.
        QTRY_VERIFY(page->boundControl("ms_1_btn_prate_3") != nullptr);
        QVERIFY(!window->deferredPartsPending());
        for (const ControlInfo& c : pageControls()) {
            QVERIFY2(page->boundControl(c.name) != nullptr, c.name.c_str());
        }
        // Shown as the page stands: the profile's values, the section kept
        // closed, named for screen readers, dressed as the rest.
        QVERIFY(qobject_cast<QRadioButton*>(page->boundControl("ms_1_btn_prate_3"))->isChecked());
        QCOMPARE(qobject_cast<QSlider*>(page->boundControl("ms_1_slider_sleep_timer"))->value(), 7);
        QVERIFY(page->boundControl("ms_1_ver_light")->isHidden());
        QVERIFY(!qobject_cast<QToolButton*>(page->boundControl("ms_1_check_light"))->isChecked());
        QCOMPARE(page->boundControl("ms_1_slider_sleep_timer")->accessibleName(),
                 lang(language, "a11y_sleep_timer_text"));
        QCOMPARE(page->boundControl("ms_1_check_light")->font(),
                 page->boundControl("ms_1_check_dpi")->font());
        // Sized as when built with the window (below), though each part is
        // shown as it goes in.
        const auto buttonSizes = [](const MainWindow& w) {
            QHash<QString, QSize> sizes;
            for (const QAbstractButton* b : w.findChildren<QAbstractButton*>()) {
                if (b->isVisible()) {
                    sizes.insert(b->objectName(), b->size());
                }
            }
            return sizes;
        };
        QCoreApplication::processEvents();  // the layouts settle
        const QHash<QString, QSize> shownAsBuilt = buttonSizes(*window);
        // In the Tab order where they stand: after the DPI stages, before the
        // button under the page.
        QStringList order;
        QWidget* w = window.get();
        for (int i = 0; i < 4000; ++i) {
            w = w->nextInFocusChain();
            order << w->objectName();
        }
        const auto at = [&order](const char* name) { return order.indexOf(name); };
        QVERIFY(at("ms_1_check_dpi_in_cycle_8") < at("ms_1_check_light"));
        QVERIFY(at("ms_1_check_light") < at("ms_1_slider_sleep_timer"));
        QVERIFY(at("ms_1_slider_sleep_timer") < at("ms_1_apply_btn"));
        // Each control is bound once: a new one edits the profile, and a
        // button found before asks for a profile's name once, not twice.
        qobject_cast<QRadioButton*>(page->boundControl("ms_1_btn_prate_1"))->click();
        QCOMPARE(mouse->session().profiles().current()->modes[0].pollingRate, 0);
        int asked = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&asked] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                ++asked;
                dialog->close();
            }
        });
        closer.start(5);
        qobject_cast<QPushButton*>(page->boundControl("ms_1_profile_add_btn"))->click();
        QCOMPARE(asked, 1);
        closer.stop();
        window.reset();
        const auto whole = openWindow();  // the same data, built at once
        whole->show();
        QVERIFY(QTest::qWaitForWindowExposed(whole.get()));
        QCoreApplication::processEvents();
        QCOMPARE(buttonSizes(*whole), shownAsBuilt);
    }

    void theStoredProfileIsSelectedAndShown() {
        std::vector<std::unique_ptr<Profile>> profiles;
        for (const char16_t* name : {u"Work", u"Games", u"Drawing"}) {
            profiles.push_back(newProfile(name));
        }
        writeAllSlots(*profiles[2], [](ModeSettings& m) {
            m.pollingRate = 2;
            m.sleepTimer = 7;
            m.lightMode = 1;
            m.buttons[4].function = 51;
            m.buttons[5].function = function::kShortcut;
            m.buttons[5].shortcutModifiers = layout::binding::kModCtrl | layout::binding::kModAlt;
            m.buttons[5].shortcutKey = 0x04;  // A
        });
        writeAllSlots(*profiles[0], [](ModeSettings& m) { m.lightMode = 2; });
        writeAllSlots(*profiles[1], [](ModeSettings& m) { m.lightMode = 5; });
        writeStore(2, profiles);

        const auto window = openWindow();
        SettingsPageView* page = window->page();
        // The lighting rows follow the effect once the mouse answers.
        heartbeat(*window);
        auto* list = qobject_cast<QListWidget*>(page->boundControl("ms_1_list_profile"));
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->currentRow(), 2);
        QCOMPARE(list->item(1)->text(), QString("Games"));
        QCOMPARE(list->item(0)->sizeHint().height(), 22);
        const auto text = [page](const char* name) {
            QWidget* w = page->boundControl(name);
            if (auto* label = qobject_cast<QLabel*>(w)) {
                return label->text();
            }
            return qobject_cast<QAbstractButton*>(w)->text();
        };
        QCOMPARE(text("ms_1_label_prate"), lang(language, "prate_3_text"));
        QVERIFY(qobject_cast<QRadioButton*>(page->boundControl("ms_1_btn_prate_3"))->isChecked());
        QVERIFY(text("ms_1_label_sleep_timer").contains("3.5"));
        QCOMPARE(qobject_cast<QSlider*>(page->boundControl("ms_1_slider_sleep_timer"))->value(), 7);
        QCOMPARE(text("ms_1_btn_key_5"), lang(language, "task_view_text"));
        QCOMPARE(text("ms_1_btn_key_6"), lang(language, "keyboard_ctrl_text") + "+" +
                                             lang(language, "keyboard_alt_text") + "+A");
        QCOMPARE(qobject_cast<QSpinBox*>(page->boundControl("ms_1_label_dpi_4"))->value(), 8000);
        QCOMPARE(qobject_cast<QComboBox*>(page->boundControl("ms_1_combo_light"))->currentIndex(),
                 1);
        const auto rows = [page] {
            return QString("%1%2%3")
                .arg(page->boundControl("ms_1_hor_brightness")->isHidden() ? '-' : 'B')
                .arg(page->boundControl("ms_1_hor_breathspeed")->isHidden() ? '-' : 'S')
                .arg(page->boundControl("ms_1_hor_light_color")->isHidden() ? '-' : 'C');
        };
        QCOMPARE(rows(), QString("B-C"));  // effect 1

        // The user picks the first row, then the second: each is shown.
        list->setCurrentRow(0);
        QCOMPARE(mouse->session().profiles().currentIndex(), 0);
        QCOMPARE(rows(), QString("-SC"));  // effect 2
        QCOMPARE(text("ms_1_label_prate"), lang(language, "prate_2_text"));
        list->setCurrentRow(1);
        QCOMPARE(rows(), QString("-S-"));  // effect 5
        mouse->session().edit(
            [](Profile& p) { writeAllSlots(p, [](ModeSettings& m) { m.lightMode = 0; }); },
            AfterEdit::kNothing);
        window->page()->logic().refreshPage();
        QCOMPARE(rows(), QString("---"));
    }

    void outOfRangeStoredValuesSelectNothing() {
        std::vector<std::unique_ptr<Profile>> profiles;
        profiles.push_back(newProfile(u"Damaged"));
        writeAllSlots(*profiles[0], [](ModeSettings& m) {
            m.lightMode = 40;
            m.dpiStage = 9;
            m.pollingRate = 7;
        });
        profiles[0]->buttonMode = 3;
        writeStore(0, profiles);
        const auto window = openWindow();
        SettingsPageView* page = window->page();
        heartbeat(*window);
        const auto checked = [page](const std::string& name) {
            return qobject_cast<QAbstractButton*>(page->boundControl(name))->isChecked();
        };
        for (int k = 1; k <= 8; ++k) {
            QVERIFY(!checked("ms_1_option_dpi_step_" + std::to_string(k)));
        }
        for (int k = 1; k <= 4; ++k) {
            QVERIFY(!checked("ms_1_btn_prate_" + std::to_string(k)));
        }
        QVERIFY(!checked("ms_1_option_button_mode_1") && !checked("ms_1_option_button_mode_2"));
        QCOMPARE(qobject_cast<QComboBox*>(page->boundControl("ms_1_combo_light"))->currentIndex(),
                 -1);
        QVERIFY(page->boundControl("ms_1_hor_brightness")->isHidden());
        QVERIFY(page->boundControl("ms_1_hor_breathspeed")->isHidden());
        QVERIFY(page->boundControl("ms_1_hor_light_color")->isHidden());
    }

    void keyButtonsOpenOneFunctionMenuWhosePickGoesToThatButton() {
        const auto window = openWindow();
        window->move(0, 0);
        window->show();
        SettingsPageView* page = window->page();
        const auto menuNames = [page] {
            QStringList names;
            for (const QAction* a :
                 page->dialogs().functionMenu()->menu().findChildren<QAction*>()) {
                names << a->objectName();
            }
            return names;
        };
        qobject_cast<QPushButton*>(page->boundControl("ms_1_btn_key_13"))->click();
        QVERIFY(page->dialogs().functionMenu() != nullptr);
        QVERIFY(menuNames().contains("ms_1_titl_left"));
        QVERIFY(menuNames().contains("ms_1_select_macro"));
        const QMenu* first = &page->dialogs().functionMenu()->menu();
        qobject_cast<QPushButton*>(page->boundControl("ms_1_btn_key_12"))->click();
        QVERIFY(&page->dialogs().functionMenu()->menu() != first);  // the first one is gone
        QVERIFY(!menuNames().contains("ms_1_titl_left"));
        // Every item of both menus is in the catalogue (an unknown one would
        // silently assign the left click).
        for (const QString& n : menuNames()) {
            QVERIFY2(n.isEmpty() || functionTextKey(functionForMenuItem(n.toStdString())) != "" ||
                         n == "ms_1_shortcut" || n == "ms_1_select_macro" || n == "ms_1_click",
                     qPrintable(n));
        }
        // The pick goes through the main window to button 12.
        QAction* mute = page->dialogs().functionMenu()->menu().findChild<QAction*>("ms_1_mute");
        QVERIFY(mute != nullptr);
        mute->trigger();
        const Profile& current = *mouse->session().profiles().current();
        QTRY_COMPARE(int(current.modes[0].buttons[11].function), 71);
        QCOMPARE(qobject_cast<QPushButton*>(page->boundControl("ms_1_btn_key_12"))->text(),
                 lang(language, "mute_text"));
        QVERIFY(page->boundControl("ms_1_btn_key_12")
                    ->accessibleName()
                    .endsWith(lang(language, "mute_text")));
    }

    void aMenuNearTheScreensCornerOpensUpwardsInsideIt() {
        const QRect screen(0, 0, 1280, 1024);
        // Room below: right of the button, at its top.
        QCOMPARE(LoadedMenu::placeBeside(QRect(100, 100, 80, 24), 400, screen), QPoint(180, 100));
        // At the bottom: upwards, ending at the button's bottom.
        QCOMPARE(LoadedMenu::placeBeside(QRect(1180, 990, 80, 24), 400, screen), QPoint(1260, 614));
        // Taller than the screen above the button: from the screen's top.
        QCOMPARE(LoadedMenu::placeBeside(QRect(1180, 300, 80, 24), 2000, screen), QPoint(1260, 0));

        const auto window = openWindow();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        window->show();
        QWidget* key = window->page()->boundControl("ms_1_btn_key_1");
        // The window placed so that the key button sits in the bottom right corner.
        const QPoint inWindow = key->mapTo(window.get(), QPoint(0, 0));
        window->move(area.right() - inWindow.x() - key->width(),
                     area.bottom() - inWindow.y() - key->height());
        qobject_cast<QPushButton*>(key)->click();
        QMenu& menu = window->page()->dialogs().functionMenu()->menu();
        QTRY_VERIFY(menu.isVisible());
        QVERIFY2(area.contains(menu.geometry()), qPrintable(QString("menu %1,%2 %3x%4")
                                                                .arg(menu.x())
                                                                .arg(menu.y())
                                                                .arg(menu.width())
                                                                .arg(menu.height())));
        menu.close();
    }

    void theMacroPickerStartsFromItsValuesAndBoundsTheLoopCount() {
        MacroStore macros(*location, language);
        macros.load();
        macros.addNew();
        macros.addNew();
        {
            MacroPickerDialog picker(&language, macros, MacroChoice{1, 0, 9}, nullptr);
            picker.create();
            auto* list = picker.control<QListWidget>("list_macro");
            QCOMPARE(list->count(), 2);
            QCOMPARE(list->currentRow(), 1);
            QVERIFY(picker.control<QRadioButton>("repeat_1")->isChecked());
            auto* edit = picker.control<QLineEdit>("edit_loop_time");
            QCOMPARE(edit->text(), QString("9"));
            QVERIFY(!picker.control("hor_loop_time")->isHidden());
            picker.control<QRadioButton>("repeat_2")->click();
            QVERIFY(picker.control("hor_loop_time")->isHidden());
            picker.control<QRadioButton>("repeat_1")->click();
            QVERIFY(!picker.control("hor_loop_time")->isHidden());
            QCOMPARE(edit->text(), QString("9"));

            const auto typeAndLeave = [&](const QString& typed) {
                edit->setFocus();
                edit->clear();
                QTest::keyClicks(edit, typed);
                const QString shown = edit->text();
                picker.control<QPushButton>("btn_cancel")->setFocus();
                return shown;
            };
            picker.show();
            QVERIFY(QTest::qWaitForWindowExposed(&picker));
            QCOMPARE(typeAndLeave("1x2"), QString("12"));  // letters never stay
            QCOMPARE(picker.choice().loopCount, 12);
            typeAndLeave("300");
            QCOMPARE(edit->text(), QString("255"));
            QCOMPARE(picker.choice().loopCount, 255);
            typeAndLeave("0");
            QCOMPARE(edit->text(), QString("1"));
            typeAndLeave("ab");
            QCOMPARE(edit->text(), QString("1"));
            QCOMPARE(picker.choice().loopCount, 1);
            list->setCurrentRow(0);
            QCOMPARE(picker.choice().index, 0);
            // Enter in the count field confirms with the count typed.
            edit->setFocus();
            edit->clear();
            QTest::keyClicks(edit, "42");
            picker.control<QPushButton>("btn_ok")->click();
            QCOMPARE(picker.result(), 1);
            QCOMPARE(picker.choice().loopCount, 42);
        }
        // A new binding starts with nothing selected, option 1 and count 1; a
        // choice past the list selects nothing.
        MacroPickerDialog fresh(&language, macros, MacroChoice{5, 2, 1}, nullptr);
        fresh.create();
        QCOMPARE(fresh.control<QListWidget>("list_macro")->currentRow(), -1);
        QCOMPARE(fresh.choice().index, -1);
        QVERIFY(fresh.control<QRadioButton>("repeat_3")->isChecked());
        QVERIFY(fresh.control("hor_loop_time")->isHidden());
        // OK waits for a macro to be chosen.
        QVERIFY(!fresh.control("btn_ok")->isEnabled());
        fresh.control<QListWidget>("list_macro")->setCurrentRow(0);
        QVERIFY(fresh.control("btn_ok")->isEnabled());
    }

    void theShortcutDialogTakesItsOwnKeysWithoutTheHook() {
        // No hook library: the key field's own key events count.
        ShortcutDialog dialog(
            &language, keys, nullptr, nullptr,
            ShortcutChoice{layout::binding::kModCtrl | layout::binding::kModAlt, 0x04}, nullptr);
        dialog.create();
        QVERIFY(dialog.control<QCheckBox>("check_flag_1")->isChecked());
        QVERIFY(!dialog.control<QCheckBox>("check_flag_2")->isChecked());
        QVERIFY(dialog.control<QCheckBox>("check_flag_3")->isChecked());
        auto* field = dialog.control<QLineEdit>("edit_key");
        QCOMPARE(field->text(), QString("A"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        field->setFocus();
        namespace b = layout::binding;
        QTest::keyClick(field, Qt::Key_F5);  // the ticked boxes stay
        QCOMPARE(int(dialog.choice().key), 0x3E);
        QCOMPARE(dialog.choice().modifiers, std::uint8_t{b::kModCtrl | b::kModAlt});
        QCOMPARE(field->text(), QString::fromStdString(keys.keyNameFromCode(0x3E)));
        QTest::keyClick(field, Qt::Key_B, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(int(dialog.choice().key), 0x05);
        QCOMPARE(dialog.choice().modifiers, std::uint8_t{b::kModCtrl | b::kModShift | b::kModAlt});
        QVERIFY(dialog.control<QCheckBox>("check_flag_2")->isChecked());
        QTest::keyClick(field, Qt::Key_VolumeMute);  // no row in the key table
        QCOMPARE(int(dialog.choice().key), 0);
        // Tab still leaves the field; the boxes work by keyboard.
        QTest::keyClick(field, Qt::Key_Tab);
        QVERIFY(!field->hasFocus());
        dialog.control<QCheckBox>("check_flag_4")->click();
        QVERIFY(dialog.choice().modifiers & layout::binding::kModWin);
        QVERIFY(!dialog.control<QLineEdit>("edit_key")->accessibleName().isEmpty());
        // Enter is chosen by name; pressed in the field it confirms the dialog.
        auto* other = dialog.control<QComboBox>("combo_other_key");
        QVERIFY(!other->accessibleName().isEmpty());
        other->setFocus();
        QTest::keyClick(other, Qt::Key_Down);  // the first key of the list
        QCOMPARE(int(dialog.choice().key), 0x28);
        QCOMPARE(field->text(), QString::fromStdString(keys.keyNameFromCode(0x28)));
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(int(dialog.choice().key), 0x28);
        QTRY_VERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), 1);
    }

    void theMacroEditorShowsActionRowsAndRunsWithoutTheHook() {
        MacroStore macros(*location, language);
        macros.load();
        SystemClock ticks;
        MacroEditorDialog editor(&language, macros, fs, location->folder(), keys, nullptr, nullptr,
                                 ticks, nullptr);
        editor.create();
        for (const char* c : {"ms_1_macro_list", "ms_1_macro_name_edit", "ms_1_macro_record_btn",
                              "ms_1_macro_action_list", "ms_1_macro_action_edit_tab",
                              "ms_1_macro_mouse_action_combo", "ms_1_default_delay_edit"}) {
            QVERIFY2(editor.control(c) != nullptr, c);
            QVERIFY2(!editor.control(c)->accessibleName().isEmpty() ||
                         qobject_cast<QAbstractButton*>(editor.control(c)) != nullptr ||
                         qobject_cast<QStackedWidget*>(editor.control(c)) != nullptr,
                     c);
        }
        editor.control<QPushButton>("ms_1_macro_add_btn")->click();
        auto* list = editor.control<QListWidget>("ms_1_macro_action_list");
        // An empty macro says how to fill it; the click buttons show under
        // the name, which stays.
        QVERIFY(!list->accessibleDescription().isEmpty());
        editor.control<QCheckBox>("ms_1_macro_insert_mouse_btn")->click();
        QVERIFY(editor.control("ms_1_macro_key2_btn")->isVisibleTo(&editor));
        QVERIFY(editor.control("ms_1_macro_name_edit")->isVisibleTo(&editor));
        auto* fields = editor.control<QStackedWidget>("ms_1_macro_action_edit_tab");
        QVERIFY(!fields->isVisibleTo(&editor));
        auto* undo = editor.control<QPushButton>("ms_1_macro_cancel_btn");
        QVERIFY(!undo->isEnabled());
        QVERIFY(!editor.control("ms_1_macro_delete_action_btn")->isEnabled());  // nothing to do
        editor.control<QPushButton>("ms_1_macro_key2_btn")->click();
        QCOMPARE(list->count(), 2);
        QVERIFY(editor.control("ms_1_macro_delete_action_btn")->isEnabled());
        QVERIFY(!editor.control("ms_1_macro_down_btn")->isEnabled());  // the last one is selected
        QVERIFY(list->accessibleDescription().isEmpty());
        QWidget* row = list->itemWidget(list->item(0));
        QVERIFY(row != nullptr);
        QCOMPARE(row->findChild<QLabel*>("key")->text(),
                 QString::fromStdString(keys.keyNameFromCode(0xF2)));
        QCOMPARE(row->findChild<QLabel*>("delay")->text(), QString("10"));
        QVERIFY(!row->findChild<QLabel*>("key_image")->pixmap().isNull());
        QVERIFY(!list->item(1)->data(Qt::AccessibleTextRole).toString().isEmpty());
        QCOMPARE(macros.at(0).actionCount, 2);
        // No hook library: the record button says why it does nothing.
        QVERIFY(!editor.control("ms_1_macro_record_btn")->accessibleDescription().isEmpty());
        // The keyboard starts in the macro list. Enter in a field ends that
        // field's edit, not the editor.
        editor.show();
        QCOMPARE(editor.focusWidget(), editor.control("ms_1_macro_list"));
        // The selected action's fields show at once, and a change applies
        // as it is made; Undo takes it back.
        QVERIFY(fields->isVisibleTo(&editor));
        auto* button = editor.control<QComboBox>("ms_1_macro_mouse_action_combo");
        QCOMPARE(button->currentIndex(), 1);  // the right button's release
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Up);
        QCOMPARE(int(macros.at(0).actions[1].code), 0xF1);
        QVERIFY(undo->isEnabled());
        undo->click();
        QCOMPARE(int(macros.at(0).actions[1].code), 0xF2);
        auto* name = editor.control<QLineEdit>("ms_1_macro_name_edit");
        name->setFocus();
        name->setText("Typed");
        QTest::keyClick(name, Qt::Key_Return);
        QVERIFY(editor.isVisible());
        QCOMPARE(fieldText(macros.at(0).name), std::u16string_view(u"Typed"));
        // Twelve emoji are 24 units: eleven fit, and no half of the twelfth.
        QString emoji;
        for (int i = 0; i < 12; ++i) {
            emoji += QString::fromUtf8("\xF0\x9F\x98\x80");
        }
        name->setText(emoji);
        QCOMPARE(name->text().size(), 22);
        QVERIFY(!name->text().back().isHighSurrogate());
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(fieldText(macros.at(0).name).size(), std::size_t{22});
        auto* delay = editor.control<QLineEdit>("ms_1_default_delay_edit");
        delay->setText("5");
        QTest::keyClick(delay, Qt::Key_Enter);
        QVERIFY(editor.isVisible());
        QCOMPARE(delay->text(), QString("10"));
        QTimer::singleShot(0, &editor, [] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() == "MessageDialog" && top->isVisible()) {
                    QTest::keyClick(top, Qt::Key_Escape);
                }
            }
        });
        editor.control<QPushButton>("ms_1_macro_record_btn")->click();
        QVERIFY(!editor.editor().recording());
        // A visible Close closes.
        editor.control<QPushButton>("ms_1_macro_close_btn")->click();
        QVERIFY(!editor.isVisible());
        QCOMPARE(editor.result(), 1);
    }

    void aMacroEditorLayoutLackingControlsStillOpens() {
        MacroStore macros(*location, language);
        macros.load();
        macros.addNew();
        SystemClock ticks;
        // The layout of the message dialog: none of the editor's controls.
        MacroEditorDialog editor(&language, macros, fs, "/tmp/", keys, nullptr, nullptr, ticks,
                                 nullptr, nullptr, "msg.xml");
        editor.create();
        editor.editor().onMacroSelect(0);
        editor.editor().insertClick(1);
        QCOMPARE(macros.at(0).actionCount, 2);
        editor.finish(1);
    }

    // Closing the window puts it away and the program goes on; where it went
    // (here, without a tray: in the background) is said once, ever.
    void closingTheWindowPutsItAwayAndSaysWhereOnce() {
        const auto window = openWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QStringList told;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&told] {
            if (QWidget* notice = QApplication::activeModalWidget()) {
                told << notice->accessibleDescription();
                notice->close();
            }
        });
        poll.start(10);
        window->close();
        QVERIFY(!window->isVisible());
        QCOMPARE(told, QStringList{lang(language, "closed_without_tray_text")});
        QVERIFY(mouse->settings().settings().closedToTrayTold);
        window->show();
        window->close();
        QVERIFY(!window->isVisible());
        QCOMPARE(told.size(), 1);
    }

    // The tray icon and its menu follow the mouse and the profiles with the
    // page's widgets never built: the page's logic is there only to select
    // profiles.
    void theTrayFollowsTheMouseWithoutThePagesWidgets() {
        DesktopSession session(*location, language);
        SettingsPageView page(language, keys, session.session());  // never attached
        QWidget owner;
        session.start(loader, "/nonexistent/", nullptr);
        DesktopPresence presence(owner, language, session, page.logic());
        QSystemTrayIcon tray;
        presence.showIn(&tray);
        session.session().link().onDeviceMessage(msg::kReceiverData, 0x4010, 0x0701);
        QVERIFY2(tray.toolTip().contains(QStringLiteral("70")), qPrintable(tray.toolTip()));
        QVERIFY(tray.toolTip().contains(QStringLiteral("Profile1")));
        QMenu menu;
        menu.addAction(QStringLiteral("Quit"));
        presence.addProfilesTo(menu);
        const QList<QAction*> profiles = menu.findChildren<QAction*>(QStringLiteral("profile"));
        QCOMPARE(profiles.size(), 1);
        QVERIFY(profiles.front()->isChecked());
        QCOMPARE(page.boundControl("ms_1_list_profile"), nullptr);
    }

    void aLayoutLackingControlsStillRunsThePage() {
        QFile partial(resourceFolder() + "partial-page.xml");
        QVERIFY(partial.open(QIODevice::WriteOnly));
        partial.write(R"(<ui version="4.0"><widget class="QFrame" name="root">
            <widget class="QWidget" name="page">
            <widget class="QLabel" name="ms_1_wireless"/>
            <widget class="QCheckBox" name="ms_1_check_dpi"><property name="checked"><bool>true</bool></property></widget>
            <widget class="QPushButton" name="ms_1_apply_btn"/></widget></widget></ui>)");
        partial.close();
        PartialWindow window("partial-page.xml");
        window.create();
        DesktopSession session(*location, language);
        SettingsPageView page(language, keys, session.session());
        page.attach(window, nullptr, nullptr);
        page.logic().showProfiles(session.start(loader, "/nonexistent/", nullptr));
        QVERIFY(!page.boundControl("ms_1_wireless")->isHidden());
        QCOMPARE(page.boundControl("ms_1_list_profile"), nullptr);
        qobject_cast<QCheckBox*>(page.boundControl("ms_1_check_dpi"))->click();  // no panel
        page.logic().refreshPage();
        QCOMPARE(session.session().profiles().profiles().size(), std::size_t{1});
        QFile::remove(partial.fileName());
    }
};

}  // namespace tvq

QTEST_MAIN(tvq::PageTest)
#include "page_test.moc"

// The program's window under a private X server, with the real device
// libraries from the program folder and tvq-virtual-mouse behind the
// receiver: start-up, a DPI stage change on the mouse, the apply button,
// switching profiles, and unplugging.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/main_window.h"
#include "base/text.h"
#include "device/device_ids.h"
#include "dialogs/macro_editor_dialog.h"
#include "dialogs/macro_picker_dialog.h"
#include "dialogs/message_dialog.h"
#include "dialogs/shortcut_dialog.h"
#include "input/us_layout.h"
#include "macros/macro_layout.h"
#include "mouse_config.h"
#include "mouse_shown.h"
#include "page_widgets/settings_page_view.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"
#include "platform/shared_library.h"
#include "profiles/record_layout.h"
#include "protocol/frames.h"
#include "scoped_env.h"
#include "store_fixture.h"
#include "toolkit/language.h"
#include "toolkit/library_messages.h"
#include "toolkit/loaded_menu.h"
#include "virtual_mouse_process.h"
#include "xvfb.h"

namespace tvq {
namespace {

using testing::expectedConfig;
using testing::heldConfig;
using Json = testing::MouseJson;
constexpr int kApplyTimeoutMs = 30000;  // twelve frames through the receiver

// The program's window with its settings page on a data folder of its own
// and tvq-virtual-mouse, at the screen's top-left corner and shown.
struct ProgramOnVirtualMouse {
    // `prepare` fills the data folder before the program starts.
    ProgramOnVirtualMouse(std::vector<std::string> mouseOptions, const LanguageManager& language,
                          const KeyNames& keys, LibraryLoader& loader, FileSystem& fs,
                          const std::function<void(const DataLocation&)>& prepare = {})
        : location(fs, testing::environmentWith(data.path().toStdString(), std::nullopt),
                   programFolder()),
          prepared((prepare ? prepare(location) : void(), true)),
          mouse(std::move(mouseOptions)),
          env(paths::kVirtualMouseEnvironment, mouse.socketPath()),
          session(location, language),
          window(language, loader, &session,
                 std::make_unique<SettingsPageView>(language, keys, session.session())) {
        window.create(nullptr, Qt::Window);
        window.move(0, 0);
        window.show();
    }
    QTemporaryDir data;
    DataLocation location;
    bool prepared;
    testing::VirtualMouseProcess mouse;
    testing::ScopedEnv env;
    DesktopSession session;
    MainWindow window;
};

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

  private:
    LanguageManager language;
    UsKeyboardLayout us;
    KeyNames keys{us, language};
    PosixFileSystem fs;
    SharedLibraryLoader loader;

    // In a while: notes the screen's colour inside the open message box, then
    // presses Escape on it.
    static void answerMessageBoxLater(QWidget& context, QColor& seen) {
        QTimer::singleShot(800, &context, [&seen] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() == "MessageDialog" && top->isVisible()) {
                    const QImage shot = top->screen()->grabWindow(0).toImage();
                    seen = shot.pixelColor(top->geometry().center().x(), top->y() + 5);
                    QTest::keyClick(top, Qt::Key_Escape);
                }
            }
        });
    }

    // Runs `act` once `ready` holds, checking every 20 ms (a modal dialog
    // runs its own loop, so the test acts from timers).
    static void once(QObject& context, std::function<bool()> ready, std::function<void()> act) {
        auto* poll = new QTimer(&context);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, ready, act] {
            if (ready()) {
                poll->stop();
                poll->deleteLater();
                act();
            }
        });
        poll->start(20);
    }
    // A control of the page, scrolled into view.
    static QWidget* scrolledTo(MainWindow& window, const char* name) {
        QWidget* w = window.page()->boundControl(name);
        window.findChild<QScrollArea*>("settings_scroll")->ensureWidgetVisible(w);
        QCoreApplication::processEvents();
        return w;
    }
    // Builds the dialog, shows it centred and waits until it is the active
    // window, as one the user opened; whether it became so.
    static bool shownActive(DialogBase& dialog) {
        dialog.create();
        dialog.placeCentred();
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog)) {
            return false;
        }
        dialog.activateWindow();
        return QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; });
    }
    // A file dialog may be the desktop's own, its widget hidden.
    static QFileDialog* findFileDialog() {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QFileDialog*>(top)) {
                return dialog;
            }
        }
        return nullptr;
    }
    static QWidget* shownDialog(const QString& className) {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == className && top->isVisible()) {
                return top;
            }
        }
        return nullptr;
    }
    // The pointer clicks at a point of the screen (XTEST, through xdotool).
    static bool clickAt(QPoint at) {
        return QProcess::execute("xdotool", {"mousemove", QString::number(at.x()),
                                             QString::number(at.y()), "click", "1"}) == 0;
    }
    static bool clickOn(QWidget* w) { return clickAt(w->mapToGlobal(w->rect().center())); }
    static bool clickMenuItem(QMenu& menu, QAction* action) {
        return clickAt(menu.mapToGlobal(menu.actionGeometry(action).center()));
    }
    static bool pressKeys(const QString& chord) {
        return QProcess::execute("xdotool", {"key", chord}) == 0;
    }

    // The program, with a mouse behind the receiver that answers quickly.
    ProgramOnVirtualMouse behindTheReceiver() {
        return {{"--receiver", "--heartbeat-ms", "100", "--ack-delay-ms", "2"},
                language,
                keys,
                loader,
                fs};
    }

  private slots:
    void initTestCase() { QVERIFY(language.load(resourceFolder() + "lan.xml")); }

    void dialogsAreModalAndTransientForTheMainWindow() {
        MainWindow window(language, loader);
        window.create(nullptr, Qt::Window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MessageDialog box(&language, "store_damaged_text", QString(), &window);
        box.create();
        box.placeCentred();
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY(box.isModal());
        // It is drawn: the screen under it shows the box's background.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QImage shot = box.screen()->grabWindow(0).toImage();
                const QColor c = shot.pixelColor(box.geometry().center().x(), box.y() + 5);
                return c != QColor(Qt::black);
            }(),
            3000);
        // What the window manager reads: the box belongs to the main window.
        QProcess xprop;
        xprop.start("xprop", {"-id", QString::number(box.winId()), "WM_TRANSIENT_FOR"});
        QVERIFY(xprop.waitForFinished(10000));
        const QString out = QString::fromUtf8(xprop.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("0x%1").arg(window.winId(), 0, 16)), qPrintable(out));
        QTest::keyClick(&box, Qt::Key_Escape);
        QTRY_VERIFY(!box.isVisible());
        QCOMPARE(box.result(), 0);

        // Run modally as the program does, it is drawn too.
        QColor seen;
        answerMessageBoxLater(window, seen);
        MessageDialog::tell(&window, &language, QStringLiteral("store_damaged_text"));
        QVERIFY(seen.isValid());
        QVERIFY(seen != QColor(Qt::black));
    }

    void aDraggedDpiSliderAndAPickedColourReachTheMouse() {
        ProgramOnVirtualMouse program = behindTheReceiver();
        testing::VirtualMouseProcess& mouse = program.mouse;
        DesktopSession& session = program.session;
        MainWindow& window = program.window;
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(testing::mouseShown(window));
        QTRY_COMPARE(session.session().links().receiverLinkUp.load(), 1);
        const MouseLink& link = session.session().link();
        const auto current = [&] { return *session.session().profiles().current(); };

        // The pointer drags the handle of DPI stage 2 to the right.
        auto* slider = window.page()->boundControl("ms_1_slider_dpi_2");
        auto* area = window.findChild<QScrollArea*>("settings_scroll");
        QVERIFY(slider != nullptr && area != nullptr);
        area->ensureWidgetVisible(slider);
        QCoreApplication::processEvents();
        auto* s = qobject_cast<QSlider*>(slider);
        const int before = s->value();
        const int x =
            QStyle::sliderPositionFromValue(s->minimum(), s->maximum(), before, s->width() - 16) +
            8;
        const QPoint grab = s->mapToGlobal(QPoint(x, s->height() / 2));
        const int applies = link.applyRequests();
        const QString X = QString::number(grab.x()), Y = QString::number(grab.y());
        QCOMPARE(QProcess::execute("xdotool", {"mousemove", X, Y, "mousedown", "1", "mousemove",
                                               QString::number(grab.x() + 40), Y, "mousemove",
                                               QString::number(grab.x() + 80), Y, "mouseup", "1"}),
                 0);
        QTRY_VERIFY(s->value() > before);
        const int dragged = s->value();
        QTRY_COMPARE_WITH_TIMEOUT(link.applyRequests(), applies + 1, 3000);
        QCOMPARE(current().modes[0].dpiValue[1], dragged);
        QCOMPARE(current().modes[4].dpiValue[1], dragged);
        QTRY_COMPARE_WITH_TIMEOUT(heldConfig(mouse), expectedConfig(current()), kApplyTimeoutMs);
        QCOMPARE(link.applyRequests(), applies + 1);  // one apply for the whole drag

        // A colour picked for stage 2: swatch 13, confirmed.
        QTimer::singleShot(300, &window, [] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() == "ColourPickerDialog" && top->isVisible()) {
                    top->findChild<QPushButton*>("mouse_dpi_color_13")->click();
                    top->findChild<QPushButton*>("confirm_btn")->click();
                }
            }
        });
        QWidget* swatch = window.page()->boundControl("ms_1_btn_dpi_color_2");
        qobject_cast<QPushButton*>(swatch)->click();
        QCOMPARE(current().modes[1].dpiColor[1], 0x0AB41Eu);
        // The swatch shows it (the profile keeps blue, green, red).
        const QImage shown = swatch->grab().toImage();
        QCOMPARE(shown.pixelColor(shown.rect().center()), QColor(0x1EB40A));
        QTRY_COMPARE_WITH_TIMEOUT(heldConfig(mouse), expectedConfig(current()), kApplyTimeoutMs);
    }

    // Edits send only what changed; what the mouse ends up holding is what a
    // whole apply of the stored profile writes.
    void aSeriesOfEditsLeavesTheMouseHoldingTheWholeProfile() {
        ProgramOnVirtualMouse program = behindTheReceiver();
        testing::VirtualMouseProcess& mouse = program.mouse;
        MouseSession& s = program.session.session();
        MainWindow& window = program.window;
        QTRY_VERIFY(testing::mouseShown(window));
        QTRY_COMPARE(s.links().receiverLinkUp.load(), 1);
        const MouseLink& link = s.link();
        const auto settled = [&] { return link.appliesFinished() == link.applyRequests(); };
        QTRY_VERIFY_WITH_TIMEOUT(settled(), kApplyTimeoutMs);
        s.profiles().append(newProfile(u"Second"));
        MacroRecord& macro = s.macros().addNew();
        macro.actionCount = 2;
        macro.actions[0] = {0x05, layout::macro::kPress, 10};
        macro.actions[1] = {0x05, layout::macro::kRelease, 10};
        s.macros().save();
        SettingsPanels& panels = window.page()->logic().panels();
        const std::vector<std::function<void()>> edits = {
            [&] { panels.dpi.setValue(0, 30); },
            [&] {
                s.edit(
                    [](Profile& p) { p.modes[0].dpiColor[1] = p.modes[1].dpiColor[1] = 0x123456; },
                    AfterEdit::kApply);
            },
            [&] { panels.lighting.chooseEffect(3); },
            [&] { panels.polling.chooseRate(3); },
            [&] { panels.buttons.assignFunction(3, "MS_1_Volume_Up"); },
            [&] {
                // Bound by name; the bindings then follow the library.
                s.edit(
                    [&](Profile& p) {
                        for (ModeSettings& m : p.modes) {
                            m.buttons[5].function = function::kMacro;
                            m.buttons[5].macroIndex = 0;
                            m.buttons[5].macroName = macro.name;
                        }
                    },
                    AfterEdit::kNothing);
                panels.buttons.syncMacroBindings();
            },
            [&] { window.page()->logic().selectProfile(1); },
            [&] { window.page()->logic().selectProfile(0); },
        };
        for (std::size_t i = 0; i < edits.size(); ++i) {
            const int before = link.applyRequests();
            edits[i]();
            QTRY_VERIFY_WITH_TIMEOUT(link.applyRequests() > before && settled(), kApplyTimeoutMs);
            auto held = heldConfig(mouse);
            const auto expected = expectedConfig(*s.profiles().current());
            // A macro slot that no button refers to any more keeps what it
            // had, after a whole apply as well.
            if (held.contains("macros")) {
                for (auto it = held["macros"].begin(); it != held["macros"].end();) {
                    const bool used =
                        expected.contains("macros") && expected["macros"].contains(it.key());
                    it = used ? std::next(it) : held["macros"].erase(it);
                }
                if (held["macros"].empty() && !expected.contains("macros")) {
                    held.erase("macros");
                }
            }
            QVERIFY2(held == expected,
                     qPrintable(QString("edit %1: %2\n  expected %3")
                                    .arg(i)
                                    .arg(QString::fromStdString(held.dump()))
                                    .arg(QString::fromStdString(expected.dump()))));
        }
    }

    void profilesAddedExportedImportedAndDeletedReachTheMouse() {
        QTemporaryDir data;
        const DataLocation location(
            fs, testing::environmentWith(data.path().toStdString(), std::nullopt), programFolder());
        testing::VirtualMouseProcess mouse({"--cable", "--no-heartbeat"});
        const testing::ScopedEnv env(paths::kVirtualMouseEnvironment, mouse.socketPath());
        DesktopSession session(location, language);
        MainWindow window(language, loader, &session,
                          std::make_unique<SettingsPageView>(language, keys, session.session()));
        window.create(nullptr, Qt::Window);
        window.show();
        QTRY_VERIFY(testing::mouseShown(window));
        ProfileStore& profiles = session.session().profiles();
        const auto click = [&](const char* name) {
            qobject_cast<QPushButton*>(window.page()->boundControl(name))->click();
        };
        // Acts on the first dialog of `kind` that opens.
        const auto whenOpen = [](std::function<bool(QWidget*)> act) {
            auto* poll = new QTimer;
            QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
                for (QWidget* top : QApplication::topLevelWidgets()) {
                    // A file dialog may be the desktop's own, its widget hidden.
                    const bool fileDialog = qobject_cast<QFileDialog*>(top) != nullptr;
                    if ((top->isVisible() || fileDialog) && act(top)) {
                        poll->deleteLater();
                        poll->stop();
                        return;
                    }
                }
            });
            poll->start(50);
        };
        const auto fileDialog = [&](const QString& path) {
            whenOpen([path](QWidget* top) {
                auto* dialog = qobject_cast<QFileDialog*>(top);
                if (dialog == nullptr) {
                    return false;
                }
                // Typed into its name field, as a user does (selectFile
                // leaves a field with the focus alone).
                if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) {
                    name->setText(path);
                } else {
                    dialog->selectFile(path);
                }
                QMetaObject::invokeMethod(dialog, "accept");
                return true;
            });
        };
        // The mouse holds the selected profile, and "pro.data" the list.
        const auto followed = [&](std::size_t count) {
            QTRY_COMPARE_WITH_TIMEOUT(heldConfig(mouse), expectedConfig(*profiles.current()),
                                      kApplyTimeoutMs);
            QTRY_COMPARE(session.session().link().appliesFinished(),
                         session.session().link().applyRequests());
            const auto stored = [&] {
                const auto bytes = fs.readFile(profileStorePath(location.folder()));
                return parseProfileStore(bytes ? *bytes : std::vector<std::uint8_t>{});
            };
            QCOMPARE(stored().profiles.size(), count);
            // A switch alone may be saved up to a second later.
            QTRY_COMPARE(stored().currentIndex, profiles.currentIndex());
        };

        // Added through the name dialog.
        whenOpen([](QWidget* top) {
            if (top->objectName() != "ProfileNameDialog") {
                return false;
            }
            top->findChild<QLineEdit*>("edit_name")->setText("Second");
            top->findChild<QPushButton*>("btn_ok")->click();
            return true;
        });
        click("ms_1_profile_add_btn");
        QCOMPARE(profiles.profiles().size(), std::size_t{2});
        followed(2);

        // Exported, then imported back as "Second_1".
        const QString file = data.filePath("second.pro");
        fileDialog(file);
        click("ms_1_profile_export_btn");
        QVERIFY(QFile::exists(file));
        fileDialog(file);
        click("ms_1_profile_import_btn");
        QCOMPARE(profiles.profiles().size(), std::size_t{3});
        QCOMPARE(QString::fromStdU16String(std::u16string(fieldText(profiles.current()->name))),
                 QString("Second_1"));
        followed(3);

        // A profile file that tvqctl wrote imports too.
        const QString made = data.filePath("made.pro");
        QCOMPARE(QProcess::execute(TVQCTL_PATH, {"profile", "new", "Made", made}), 0);
        fileDialog(made);
        click("ms_1_profile_import_btn");
        QCOMPARE(profiles.profiles().size(), std::size_t{4});
        followed(4);

        // Deleted, after the question.
        whenOpen([](QWidget* top) {
            if (top->objectName() != "MessageDialog") {
                return false;
            }
            top->findChild<QPushButton*>("btn_ok")->click();
            return true;
        });
        click("ms_1_profile_delete_btn");
        QCOMPARE(profiles.profiles().size(), std::size_t{3});
        followed(3);
    }

    void theShortcutDialogCapturesKeysThroughTheHook() {
        HookLibrary hook;
        hook.load(loader, programFolder());
        QVERIFY(hook.loaded());
        // The hook's calls, counted on their way to the library.
        struct CountingHook final : InputHook {
            explicit CountingHook(HookLibrary& real) : real(real) {}
            bool available() const override { return real.available(); }
            void install(MessageWindow* target) override { real.install(target); }
            void remove() override {
                ++removed;
                real.remove();
            }
            void enableKeys(bool on) override {
                disabled += on ? 0 : 1;
                real.enableKeys(on);
            }
            void enableMouse(bool on) override { real.enableMouse(on); }
            void removeMouse() override { real.removeMouse(); }
            void enableWheel(bool on) override { real.enableWheel(on); }
            HookLibrary& real;
            int removed = 0;
            int disabled = 0;
        } counted(hook);
        const int& removed = counted.removed;
        const int& disabled = counted.disabled;
        LibraryMessages relay;
        int hookKeys = 0;
        connect(&relay, &LibraryMessages::hookInput, this,
                [&](quintptr w, qintptr) { hookKeys += w < 0x100 ? 1 : 0; });
        ShortcutDialog dialog(&language, keys, &counted, &relay, ShortcutChoice{}, nullptr);
        QVERIFY(shownActive(dialog));
        auto* field = dialog.control<QLineEdit>("edit_key");
        field->setFocus();
        QTRY_VERIFY(dialog.capturing());

        QVERIFY(pressKeys("F5"));
        QTRY_VERIFY(hookKeys >= 2);  // down and up, through the hook
        QTRY_COMPARE(int(dialog.choice().key), 0x3E);
        QCOMPARE(field->text(), QString::fromStdString(keys.keyNameFromCode(0x3E)));
        QVERIFY(pressKeys("XF86AudioMute"));  // a key the key table has no row for
        QTRY_COMPARE(int(dialog.choice().key), 0);

        // Leaving the field removes the hook; so does closing while it has it.
        dialog.control("btn_cancel")->setFocus();
        QTRY_VERIFY(!dialog.capturing());
        QCOMPARE(removed, 1);
        QCOMPARE(disabled, 1);
        field->setFocus();
        QTRY_VERIFY(dialog.capturing());
        dialog.control<QPushButton>("btn_cancel")->click();
        QVERIFY(!dialog.capturing());
        QCOMPARE(removed, 2);
        QCOMPARE(dialog.result(), 0);

        // Ctrl ticked by a click, then C pressed in the field: Ctrl+C; Enter
        // there confirms the dialog and is no key of the shortcut.
        ShortcutDialog second(&language, keys, &hook, &relay, ShortcutChoice{}, nullptr);
        QVERIFY(shownActive(second));
        QVERIFY(clickOn(second.control("check_flag_1")));
        QTRY_VERIFY(second.control<QCheckBox>("check_flag_1")->isChecked());
        QVERIFY(clickOn(second.control("edit_key")));
        QTRY_VERIFY(second.capturing());
        QVERIFY(pressKeys("c"));
        QTRY_COMPARE(int(second.choice().key), 0x06);
        QCOMPARE(second.choice().modifiers, std::uint8_t{layout::binding::kModCtrl});
        QVERIFY(pressKeys("Return"));
        QTRY_VERIFY(!second.isVisible());
        QCOMPARE(second.result(), 1);
        QCOMPARE(int(second.choice().key), 0x06);
    }

    void aRecordingTakesXtestKeysButNotTheRecordButtonsClicks() {
        QTemporaryDir data;
        const DataLocation location(
            fs, testing::environmentWith(data.path().toStdString(), std::nullopt), programFolder());
        MacroStore macros(location, language);
        macros.load();
        HookLibrary hook;
        hook.load(loader, programFolder());
        QVERIFY(hook.loaded());
        LibraryMessages relay;
        SystemClock ticks;
        MacroEditorDialog window(&language, macros, fs, location.folder(), keys, &hook, &relay,
                                 ticks, nullptr);
        QVERIFY(shownActive(window));
        MacroEditor& editor = window.editor();
        QWidget* record = window.control("ms_1_macro_record_btn");

        // The pointer clicks the record button, then leaves it.
        QVERIFY(clickOn(record));
        QTRY_VERIFY(editor.recording());
        QVERIFY(editor.currentMacro() != nullptr);  // a new macro for the recording
        QCOMPARE(QProcess::execute("xdotool", {"mousemove", "5", "5"}), 0);
        QTRY_VERIFY(!record->underMouse());
        QVERIFY(pressKeys("a"));
        QTRY_COMPARE(editor.workCount(), 2);
        // No delays, and the side buttons: X button 8 is back, 9 forward.
        window.control<QRadioButton>("ms_1_no_delay_btn")->click();
        QVERIFY(editor.delayMode() == DelayMode::kNone);
        QCOMPARE(QProcess::execute("xdotool", {"click", "8", "click", "9"}), 0);
        QTRY_COMPARE(editor.workCount(), 6);
        // The click that stops the recording is not part of it: the pointer
        // comes to the button, and clicks once there.
        const QPoint centre = record->mapToGlobal(record->rect().center());
        QCOMPARE(QProcess::execute("xdotool", {"mousemove", QString::number(centre.x()),
                                               QString::number(centre.y())}),
                 0);
        QTRY_VERIFY(record->underMouse());
        QVERIFY(clickAt(centre));
        QTRY_VERIFY(!editor.recording());
        const MacroRecord& made = *editor.currentMacro();
        QCOMPARE(made.actionCount, 6);
        QCOMPARE(made.actions[0].code, std::uint8_t{0x04});
        QCOMPARE(made.actions[0].type, layout::macro::kPress);
        QCOMPARE(made.actions[1].type, layout::macro::kRelease);
        const std::uint8_t sides[] = {layout::macro::kBackwardButton,
                                      layout::macro::kBackwardButton, layout::macro::kForwardButton,
                                      layout::macro::kForwardButton};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(made.actions[2 + i].code, sides[i]);
        }
        for (int i = 1; i < 6; ++i) {
            QCOMPARE(made.actions[i].delay, std::uint16_t{10});
        }
        auto* list = window.control<QListWidget>("ms_1_macro_action_list");
        QCOMPARE(list->count(), 6);

        // Two clicks on the button without moving the pointer, a key between
        // them; then Space on the focused button twice, a key between them:
        // only the keys between are recorded.
        const auto onlyTheKeyBetween = [&](const QString& key, std::uint8_t usage,
                                           const std::function<bool()>& work) {
            editor.addMacro();
            QVERIFY(work());
            QTRY_VERIFY(editor.recording());
            QVERIFY(pressKeys(key));
            QTRY_COMPARE(editor.workCount(), 2);
            QVERIFY(work());
            QTRY_VERIFY(!editor.recording());
            QCOMPARE(editor.currentMacro()->actionCount, 2);
            QCOMPARE(editor.currentMacro()->actions[0].code, usage);
            QCOMPARE(editor.currentMacro()->actions[1].code, usage);
        };
        onlyTheKeyBetween("b", 0x05, [&] { return clickAt(centre); });
        record->setFocus();
        onlyTheKeyBetween("c", 0x06, [&] { return pressKeys("space"); });
        window.finish(1);
    }

    void functionsShortcutsAndMacrosChosenOnScreenReachTheMouse() {
        ProgramOnVirtualMouse program = behindTheReceiver();
        testing::VirtualMouseProcess& mouse = program.mouse;
        DesktopSession& session = program.session;
        MainWindow& window = program.window;
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(testing::mouseShown(window));
        QTRY_VERIFY(window.hookLibrary().available());
        MouseSession& s = session.session();
        MacroRecord& macro = s.macros().addNew();
        macro.actionCount = 2;
        macro.actions[0] = {0x05, layout::macro::kPress, 10};
        macro.actions[1] = {0x05, layout::macro::kRelease, 10};
        QVERIFY(s.macros().save());
        const auto binding = [&s](std::size_t k) {
            return s.profiles().current()->modes[0].buttons[k];
        };
        SettingsPageView* page = window.page();
        auto* area = window.findChild<QScrollArea*>("settings_scroll");
        const auto openMenuOf = [&](const char* keyButton) {
            QWidget* key = page->boundControl(keyButton);
            area->ensureWidgetVisible(key);
            QCoreApplication::processEvents();
            return clickOn(key);
        };
        const auto item = [page](const char* name) {
            return page->dialogs().functionMenu()->menu().findChild<QAction*>(name);
        };

        // Copy on button 4, from the editing sub-menu, with the pointer.
        QVERIFY(openMenuOf("ms_1_btn_key_4"));
        QTRY_VERIFY(page->dialogs().functionMenu() != nullptr &&
                    page->dialogs().functionMenu()->menu().isVisible());
        QMenu& menu = page->dialogs().functionMenu()->menu();
        QAction* editing = nullptr;
        for (QAction* a : menu.actions()) {
            if (a->menu() != nullptr &&
                a->text() == language.text(QStringLiteral("menu_editing_text"))) {
                editing = a;
            }
        }
        QVERIFY(editing != nullptr);
        QVERIFY(clickMenuItem(menu, editing));
        QTRY_VERIFY(editing->menu()->isVisible());
        QVERIFY(clickMenuItem(*editing->menu(), item("ms_1_copy")));
        QTRY_COMPARE(int(binding(3).function), 33);

        // Ctrl+Alt+A on button 5, pressed in the shortcut dialog.
        once(
            window, [] { return shownDialog("ShortcutDialog") != nullptr; },
            [&] {
                auto* dialog = static_cast<ShortcutDialog*>(shownDialog("ShortcutDialog"));
                QVERIFY(clickOn(dialog->control("edit_key")));
                once(
                    *dialog, [dialog] { return dialog->capturing(); },
                    [dialog] {
                        QVERIFY(pressKeys("ctrl+alt+a"));
                        once(
                            *dialog,
                            [dialog] {
                                return dialog->choice().key == 0x04 &&
                                       dialog->choice().modifiers ==
                                           (layout::binding::kModCtrl | layout::binding::kModAlt);
                            },
                            [dialog] { QVERIFY(clickOn(dialog->control("btn_ok"))); });
                    });
            });
        QVERIFY(openMenuOf("ms_1_btn_key_5"));
        QTRY_VERIFY(page->dialogs().functionMenu() != nullptr &&
                    page->dialogs().functionMenu()->menu().isVisible());
        QVERIFY(clickMenuItem(page->dialogs().functionMenu()->menu(), item("ms_1_shortcut")));
        QTRY_COMPARE_WITH_TIMEOUT(int(binding(4).function), 16, 10000);
        QCOMPARE(int(binding(4).shortcutKey), 0x04);
        QCOMPARE(int(binding(4).shortcutModifiers),
                 layout::binding::kModCtrl | layout::binding::kModAlt);

        // The stored macro on button 6, chosen in the picker.
        once(
            window, [] { return shownDialog("MacroPickerDialog") != nullptr; },
            [] {
                auto* picker = static_cast<MacroPickerDialog*>(shownDialog("MacroPickerDialog"));
                auto* list = picker->control<QListWidget>("list_macro");
                QVERIFY(clickAt(
                    list->viewport()->mapToGlobal(list->visualItemRect(list->item(0)).center())));
                once(
                    *picker, [picker] { return picker->choice().index == 0; },
                    [picker] { QVERIFY(clickOn(picker->control("btn_ok"))); });
            });
        QVERIFY(openMenuOf("ms_1_btn_key_6"));
        QTRY_VERIFY(page->dialogs().functionMenu() != nullptr &&
                    page->dialogs().functionMenu()->menu().isVisible());
        QVERIFY(clickMenuItem(page->dialogs().functionMenu()->menu(), item("ms_1_select_macro")));
        QTRY_COMPARE_WITH_TIMEOUT(int(binding(5).function), 17, 10000);
        QCOMPARE(fieldText(binding(5).macroName), fieldText(macro.name));

        // The mouse ends up holding all three in the binding frames.
        const Json expected = expectedConfig(*s.profiles().current());
        QTRY_COMPARE_WITH_TIMEOUT(heldConfig(mouse), expected, kApplyTimeoutMs);
        Profile defaults = *newProfile(u"d");
        QVERIFY(expectedConfig(defaults) != expected);
    }

    void aRecordedMacroBoundAndThenDeletedLeavesTheButtonsDefaultOnTheMouse() {
        ProgramOnVirtualMouse program = behindTheReceiver();
        MainWindow& window = program.window;
        MouseSession& s = program.session.session();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(testing::mouseShown(window));
        QTRY_VERIFY(window.hookLibrary().available());
        SettingsPageView* page = window.page();
        const auto onScreen = [&](const char* name) { return scrolledTo(window, name); };
        const auto editorShown = [] { return shownDialog("MacroEditorDialog") != nullptr; };
        const auto editor = [] {
            return static_cast<MacroEditorDialog*>(shownDialog("MacroEditorDialog"));
        };
        // Once `done` holds, notes it in `flag` and closes the editor.
        const auto closeWhen = [](MacroEditorDialog* e, std::function<bool()> done, bool& flag) {
            once(*e, std::move(done), [e, &flag] {
                flag = true;
                QTest::keyClick(e, Qt::Key_Escape);  // or the frame's close button
            });
        };

        // Record "b" into a new macro, with the pointer on the record button.
        bool recorded = false;
        once(window, editorShown, [&] {
            MacroEditorDialog* e = editor();
            QWidget* record = e->control("ms_1_macro_record_btn");
            QVERIFY(clickOn(record));
            once(
                *e, [e] { return e->editor().recording(); },
                [&, e, record] {
                    QCOMPARE(QProcess::execute("xdotool", {"mousemove", "5", "5"}), 0);
                    once(
                        *e, [record] { return !record->underMouse(); },
                        [&, e, record] {
                            QVERIFY(pressKeys("b"));
                            once(
                                *e, [e] { return e->editor().workCount() == 2; },
                                [&, e, record] {
                                    const QPoint at = record->mapToGlobal(record->rect().center());
                                    QCOMPARE(QProcess::execute(
                                                 "xdotool", {"mousemove", QString::number(at.x()),
                                                             QString::number(at.y())}),
                                             0);
                                    once(
                                        *e, [record] { return record->underMouse(); },
                                        [&, e, at] {
                                            QVERIFY(clickAt(at));
                                            closeWhen(
                                                e, [e] { return !e->editor().recording(); },
                                                recorded);
                                        });
                                });
                        });
                });
        });
        QVERIFY(clickOn(onScreen("ms_1_btn_macro")));
        QTRY_VERIFY_WITH_TIMEOUT(recorded && !editorShown(), 20000);
        QCOMPARE(s.macros().size(), std::size_t{1});
        QCOMPARE(s.macros().at(0).actionCount, 2);
        QCOMPARE(s.macros().at(0).actions[0].code, std::uint8_t{0x05});

        // Bound to button 6 through the menu and the picker.
        once(
            window, [] { return shownDialog("MacroPickerDialog") != nullptr; },
            [] {
                auto* picker = static_cast<MacroPickerDialog*>(shownDialog("MacroPickerDialog"));
                auto* list = picker->control<QListWidget>("list_macro");
                QVERIFY(clickAt(
                    list->viewport()->mapToGlobal(list->visualItemRect(list->item(0)).center())));
                once(
                    *picker, [picker] { return picker->choice().index == 0; },
                    [picker] { QVERIFY(clickOn(picker->control("btn_ok"))); });
            });
        QVERIFY(clickOn(onScreen("ms_1_btn_key_6")));
        QTRY_VERIFY(page->dialogs().functionMenu() != nullptr &&
                    page->dialogs().functionMenu()->menu().isVisible());
        QMenu& menu = page->dialogs().functionMenu()->menu();
        QVERIFY(clickMenuItem(menu, menu.findChild<QAction*>("ms_1_select_macro")));
        const auto binding = [&s] { return s.profiles().current()->modes[0].buttons[5]; };
        QTRY_COMPARE_WITH_TIMEOUT(int(binding().function), 17, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(heldConfig(program.mouse),
                                  expectedConfig(*s.profiles().current()), kApplyTimeoutMs);

        // Renamed in the editor (typed, then Enter): the button follows the
        // new name, on disk and on the mouse.
        // Once the editor is open, selects its first macro by a click and
        // hands the editor to `act`.
        const auto withFirstMacro = [&](std::function<void(MacroEditorDialog*)> act) {
            once(window, editorShown, [&, act] {
                MacroEditorDialog* e = editor();
                auto* list = e->control<QListWidget>("ms_1_macro_list");
                QVERIFY(clickAt(
                    list->viewport()->mapToGlobal(list->visualItemRect(list->item(0)).center())));
                once(
                    *e, [e] { return e->editor().currentMacro() != nullptr; },
                    [e, act] { act(e); });
            });
        };
        bool renamed = false;
        withFirstMacro([&](MacroEditorDialog* e) {
            QVERIFY(clickOn(e->control<QLineEdit>("ms_1_macro_name_edit")));
            QVERIFY(pressKeys("ctrl+a"));
            QCOMPARE(QProcess::execute("xdotool", {"type", "Greeting"}), 0);
            QVERIFY(pressKeys("Return"));
            closeWhen(
                e, [e] { return fieldText(e->editor().currentMacro()->name) == u"Greeting"; },
                renamed);
        });
        QVERIFY(clickOn(onScreen("ms_1_btn_macro")));
        QTRY_VERIFY_WITH_TIMEOUT(renamed && !editorShown(), 20000);
        QCOMPARE(int(binding().function), 17);
        QCOMPARE(fieldText(binding().macroName), std::u16string(u"Greeting"));
        const auto boundOnDisk = [&] {
            const auto bytes = fs.readFile(profileStorePath(program.location.folder()));
            const ParsedProfileStore stored =
                parseProfileStore(bytes ? *bytes : std::vector<std::uint8_t>{});
            return !stored.profiles.empty() &&
                   fieldText(stored.profiles[0]->modes[0].buttons[5].macroName) == u"Greeting";
        };
        QTRY_VERIFY(boundOnDisk());
        QTRY_COMPARE_WITH_TIMEOUT(heldConfig(program.mouse),
                                  expectedConfig(*s.profiles().current()), kApplyTimeoutMs);

        // The macro deleted in the editor: closing it gives the button its default.
        bool deleted = false;
        withFirstMacro([&](MacroEditorDialog* e) {
            once(
                *e, [] { return shownDialog("MessageDialog") != nullptr; },
                [] {
                    QVERIFY(clickOn(shownDialog("MessageDialog")->findChild<QWidget*>("btn_ok")));
                });
            QVERIFY(clickOn(e->control("ms_1_macro_delete_btn")));
            closeWhen(
                e, [e] { return e->editor().currentMacro() == nullptr; }, deleted);
        });
        QVERIFY(clickOn(onScreen("ms_1_btn_macro")));
        QTRY_VERIFY_WITH_TIMEOUT(deleted && !editorShown(), 20000);
        QCOMPARE(s.macros().size(), std::size_t{0});
        QTRY_COMPARE(int(binding().function), 0);  // button 6's default: off
        QCOMPARE(binding().macroIndex, -1);
        // The mouse keeps the macro it was sent in its macro memory; what
        // counts is that no button uses it any more.
        const auto withoutMacros = [](Json j) {
            j.erase("macros");
            return j;
        };
        QTRY_COMPARE_WITH_TIMEOUT(withoutMacros(heldConfig(program.mouse)),
                                  withoutMacros(expectedConfig(*s.profiles().current())),
                                  kApplyTimeoutMs);
    }

    // A full macro library refuses one more macro with a message and is
    // left as it was; a profile imported while the receiver never answers
    // is on disk long before its apply could end.
    void aFullLibraryAndASilentReceiverLoseNothing() {
        const std::size_t full = MacroStore::kMaxMacros;
        const QString profileFile = QDir::temp().filePath("tvq-e2e-import.pro");
        ProgramOnVirtualMouse program(
            {"--receiver", "--heartbeat-ms", "100", "--no-ack"}, language, keys, loader, fs,
            [&](const DataLocation& location) {
                MacroRecord m;
                std::vector<std::uint8_t> bytes;
                for (std::size_t i = 0; i < full; ++i) {
                    setFieldText(m.name, u"M" + utf16FromUtf8(std::to_string(i)));
                    const auto one = encodeMacro(m);
                    bytes.insert(bytes.end(), one.begin(), one.end());
                }
                ensureStoreFolder(fs, location.folder());
                fs.replaceFile(macroStorePath(location.folder()), bytes);
                fs.replaceFile(profileFile.toStdString(), encodeProfile(*newProfile(u"Imported")));
            });
        MainWindow& window = program.window;
        MouseSession& s = program.session.session();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(testing::mouseShown(window));
        QCOMPARE(s.macros().size(), full);
        const std::string macroPath = macroStorePath(program.location.folder());
        const auto macroFileSize = [&] { return fs.regularFileSize(macroPath).value_or(0); };
        QCOMPARE(macroFileSize(), full * layout::macro::kSize);
        const auto onScreen = [&](const char* name) { return scrolledTo(window, name); };

        // Add in the editor: the limit is said, and nothing is written.
        QString told;
        once(
            window, [] { return shownDialog("MacroEditorDialog") != nullptr; },
            [&] {
                QWidget* e = shownDialog("MacroEditorDialog");
                once(
                    *e, [] { return shownDialog("MessageDialog") != nullptr; },
                    [&, e] {
                        QWidget* box = shownDialog("MessageDialog");
                        for (const QLabel* label : box->findChildren<QLabel*>()) {
                            told += label->text();
                        }
                        QVERIFY(clickOn(box->findChild<QWidget*>("btn_ok")));
                        once(
                            *e, [] { return shownDialog("MessageDialog") == nullptr; },
                            [e] { QTest::keyClick(e, Qt::Key_Escape); });
                    });
                QVERIFY(clickOn(e->findChild<QWidget*>("ms_1_macro_add_btn")));
            });
        QVERIFY(clickOn(onScreen("ms_1_btn_macro")));
        QTRY_VERIFY_WITH_TIMEOUT(!told.isEmpty() && shownDialog("MacroEditorDialog") == nullptr,
                                 20000);
        QVERIFY2(told.contains("65536"), qPrintable(told));
        QCOMPARE(s.macros().size(), full);
        QCOMPARE(macroFileSize(), full * layout::macro::kSize);

        // Imported: on disk while its apply still waits for the receiver.
        once(
            window, [] { return findFileDialog() != nullptr; },
            [&] {
                QFileDialog* dialog = findFileDialog();
                if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) {
                    name->setText(profileFile);
                } else {
                    dialog->selectFile(profileFile);
                }
                QMetaObject::invokeMethod(dialog, "accept");
            });
        QVERIFY(clickOn(onScreen("ms_1_profile_import_btn")));
        const std::string store = profileStorePath(program.location.folder());
        QTRY_COMPARE_WITH_TIMEOUT(fs.regularFileSize(store).value_or(0),
                                  layout::store::kFirstProfile + 2 * layout::profile::kSize, 5000);
        QVERIFY(s.link().appliesFinished() < s.link().applyRequests());
        QFile::remove(profileFile);
    }

    void theTrayMenuListsTheProfilesAndSwitchesBetweenThem() {
        ProgramOnVirtualMouse program(
            {"--cable"}, language, keys, loader, fs, [&](const DataLocation& location) {
                std::vector<std::unique_ptr<Profile>> profiles;
                profiles.push_back(newProfile(u"Work"));
                profiles.push_back(newProfile(u"Fun & Games"));
                writeAllSlots(*profiles[1], [](ModeSettings& m) { m.pollingRate = 2; });
                ensureStoreFolder(fs, location.folder());
                fs.replaceFile(profileStorePath(location.folder()),
                               encodeProfileStore(0, profiles));
            });
        MainWindow& window = program.window;
        MouseSession& s = program.session.session();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(testing::mouseShown(window));
        window.logic().trayClicked(TrayClick::kContext);
        QVERIFY(window.trayMenu() != nullptr);
        QList<QAction*> items;
        for (QAction* a : window.trayMenu()->menu().actions()) {
            if (a->objectName() == "profile") {
                items << a;
            }
        }
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->text(), QStringLiteral("Work"));
        QCOMPARE(items[1]->text(), QStringLiteral("Fun && Games"));  // not a mnemonic
        QVERIFY(items[0]->isChecked() && !items[1]->isChecked());
        items[1]->trigger();
        QCOMPARE(s.profiles().currentIndex(), 1);
        QCOMPARE(window.findChild<QListWidget*>("ms_1_list_profile")->currentRow(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(
            heldConfig(program.mouse) == expectedConfig(*s.profiles().current()), kApplyTimeoutMs);
        // Switching by application, for all profiles, is in the program menu.
        const auto automatic = [&window] {
            qobject_cast<QPushButton*>(window.control("main_menu_btn"))->click();
            return window.programMenu()->menu().findChild<QAction*>("automatic_switching");
        };
        QVERIFY(automatic()->isVisible() && automatic()->isChecked());
        automatic()->trigger();
        QVERIFY(!automatic()->isChecked());
        automatic()->trigger();
        QVERIFY(automatic()->isChecked());
        QApplication::activePopupWidget()->close();
    }

    void theWindowFollowsTheMouseBehindTheReceiver() {
        QTemporaryDir data;
        const std::string home = data.path().toStdString();
        const DataLocation location(fs, testing::environmentWith(home, std::nullopt),
                                    programFolder());
        // Two profiles that differ in every section.
        std::vector<std::unique_ptr<Profile>> profiles;
        profiles.push_back(newProfile(u"Default"));
        profiles.push_back(newProfile(u"Other"));
        writeAllSlots(*profiles[1], [](ModeSettings& m) {
            m.dpiValue[1] = 120;
            m.lightMode = 2;
            m.lightColor = 0x00FF80;
            m.pollingRate = 3;
            m.sleepTimer = 9;
            m.buttons[3].function = 51;
        });
        profiles[1]->buttonMode = 1;
        ensureStoreFolder(fs, location.folder());
        QVERIFY(
            fs.replaceFile(profileStorePath(location.folder()), encodeProfileStore(0, profiles)));

        testing::VirtualMouseProcess mouse(
            {"--receiver", "--heartbeat-ms", "100", "--battery", "7", "--ack-delay-ms", "2"});
        const testing::ScopedEnv env(paths::kVirtualMouseEnvironment, mouse.socketPath());

        DesktopSession session(location, language);
        MainWindow window(language, loader, &session,
                          std::make_unique<SettingsPageView>(language, keys, session.session()));
        window.create(nullptr, Qt::Window);
        window.show();
        SettingsPageView* page = window.page();
        const auto control = [page](const char* name) { return page->boundControl(name); };

        // Start-up finds the mouse behind the receiver.
        QTRY_VERIFY(testing::mouseShown(window));
        QVERIFY(!control("ms_1_wireless")->isHidden());
        QTRY_COMPARE(qobject_cast<QLabel*>(control("ms_1_label_power"))->text(), QString("70%"));
        QTRY_VERIFY(control("ms_1_sleep_label")->isHidden());

        // A stage change on the mouse: option, DPI display, store.
        QCOMPARE(mouse.command("dpi-stage 3").empty(), false);
        QTRY_VERIFY(qobject_cast<QRadioButton*>(control("ms_1_option_dpi_step_3"))->isChecked());
        QTRY_VERIFY(window.dpiDisplay() != nullptr);
        const auto stored = [&] {
            const auto bytes = fs.readFile(profileStorePath(location.folder()));
            return parseProfileStore(bytes ? *bytes : std::vector<std::uint8_t>{});
        };
        QTRY_COMPARE(stored().profiles.at(0)->modes[0].dpiStage, 2);

        // The apply button: the mouse ends up holding the profile.
        QTest::mouseClick(qobject_cast<QPushButton*>(control("ms_1_apply_btn")), Qt::LeftButton);
        const Json first = expectedConfig(*session.session().profiles().current());
        QTRY_COMPARE_WITH_TIMEOUT(heldConfig(mouse), first, kApplyTimeoutMs);
        QTRY_VERIFY(control("apply_ring")->isHidden());

        // What the mouse holds follows the page. Mode 2 reaches it, though
        // only the profile-select frames differ.
        const auto radio = [&](const char* name) {
            return qobject_cast<QRadioButton*>(control(name));
        };
        const auto heldAsShown = [&] {
            return heldConfig(mouse) == expectedConfig(*session.session().profiles().current());
        };
        QTest::mouseClick(radio("ms_1_option_button_mode_2"), Qt::LeftButton);
        QCOMPARE(session.session().profiles().current()->buttonMode, 1);
        QTRY_VERIFY_WITH_TIMEOUT(heldAsShown(), kApplyTimeoutMs);
        // The mouse switches its own stage, and the user picks the one it left.
        mouse.command("dpi-stage 5");
        QTRY_VERIFY(radio("ms_1_option_dpi_step_5")->isChecked());
        QTRY_VERIFY(heldAsShown());
        QTest::mouseClick(radio("ms_1_option_dpi_step_3"), Qt::LeftButton);
        QCOMPARE(session.session().profiles().current()->modes[0].dpiStage, 2);
        QTRY_VERIFY_WITH_TIMEOUT(heldAsShown(), kApplyTimeoutMs);
        QTest::mouseClick(radio("ms_1_option_button_mode_1"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(heldAsShown(), kApplyTimeoutMs);

        // Picking the other row sends the other profile.
        auto* list = qobject_cast<QListWidget*>(control("ms_1_list_profile"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(1)).center());
        QCOMPARE(session.session().profiles().currentIndex(), 1);
        const Json second = expectedConfig(*session.session().profiles().current());
        QVERIFY(second != first);
        QTRY_COMPARE_WITH_TIMEOUT(heldConfig(mouse), second, kApplyTimeoutMs);
        QTRY_COMPARE(stored().currentIndex, 1);

        // Unplugging the receiver: the indicator goes; the window stays and
        // says that no mouse is there. A profile picked meanwhile is saved,
        // marked as waiting, and reaches the mouse whole when it is back.
        mouse.command("unplug receiver");
        QTRY_VERIFY(control("ms_1_wireless")->isHidden());
        QTRY_VERIFY(!testing::mouseShown(window));
        QTRY_VERIFY(!control("ms_1_no_mouse_note")->isHidden());
        QVERIFY(window.isVisible() && !window.isMinimized());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        QTRY_COMPARE(stored().currentIndex, 0);
        QTRY_COMPARE(qobject_cast<QLabel*>(control("ms_1_apply_status"))->text(),
                     language.text(QStringLiteral("saved_for_mouse_text")));
        mouse.command("plug receiver");
        QTRY_VERIFY(testing::mouseShown(window));
        QTRY_VERIFY(control("ms_1_no_mouse_note")->isHidden());
        QTRY_COMPARE_WITH_TIMEOUT(heldConfig(mouse), first, kApplyTimeoutMs);
    }
};

}  // namespace tvq

int main(int argc, char** argv) {
    // The test's own X server; without one there is nothing to run on.
    tvq::testing::Xvfb x("1280x1024");
    if (!x.running()) {
        std::fprintf(stderr, "no X server could be started\n");
        return 1;
    }
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    tvq::EndToEndTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "end_to_end_test.moc"

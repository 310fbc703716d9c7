// The toolkit layer, the dialogs and the main window on Qt's offscreen
// platform, with the real layouts from res/.
#include <sys/stat.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyle>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <QtTest>
#include <cmath>
#include <thread>

#include "app/main_window.h"
#include "base/text.h"
#include "desktop/tray_icon.h"
#include "dialogs/application_rules_dialog.h"
#include "dialogs/battery_alerts_dialog.h"
#include "dialogs/colour_picker_dialog.h"
#include "dialogs/dpi_display.h"
#include "dialogs/message_dialog.h"
#include "dialogs/profile_name_dialog.h"
#include "platform/posix_file_system.h"
#include "profiles/profile.h"
#include "profiles/profile_store.h"
#include "scoped_env.h"
#include "store_fixture.h"
#include "toolkit/color_palette.h"
#include "toolkit/dialog_base.h"
#include "toolkit/language.h"
#include "toolkit/layout_reader.h"
#include "toolkit/library_messages.h"
#include "toolkit/window_base.h"
#include "toolkit/window_style.h"

namespace tvq {
namespace {

// A loader that finds no library: "Hook.so" is missing.
class NoLibraries final : public LibraryLoader {
  public:
    std::unique_ptr<LoadedLibrary> load(const std::string&) override { return nullptr; }
};

// A plain window on the window layer.
class Recorder final : public WindowBase {
  public:
    explicit Recorder(const QString& layout, const LanguageManager* language = nullptr)
        : WindowBase("Recorder", layout, language) {}
    int partsBuilt = 0;
    int laterPartsBuilt = 0;

  protected:
    void onDeferredPartsBuilt() override { ++partsBuilt; }
    void onLaterPartsBuilt() override { ++laterPartsBuilt; }
};

// A dialog on the layer with the message box's layout.
class Confirm final : public DialogBase {
  public:
    Confirm(const LanguageManager* language, QWidget* owner)
        : DialogBase("Confirm", "msg.xml", language, owner) {}

  protected:
    void setup() override {
        controls()->onClick("btn_ok", [this] { finish(1); });
        controls()->onClick("btn_cancel", [this] { finish(0); });
    }
};

// Writes a file into res/ for the length of a test.
class ResourceFile {
  public:
    ResourceFile(const QString& name, const QByteArray& content) : path_(resourceFolder() + name) {
        QFile f(path_);
        f.open(QIODevice::WriteOnly);
        f.write(content);
    }
    ~ResourceFile() { QFile::remove(path_); }
    const QString& path() const { return path_; }

  private:
    QString path_;
};

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private:
    LanguageManager language;

  private slots:
    void initTestCase() { QVERIFY(language.load(resourceFolder() + "lan.xml")); }

    void languageFile() {
        QCOMPARE(language.text(QStringLiteral("no_mouse_note_text")).isEmpty(), false);
        QCOMPARE(language.text(QStringLiteral("no_such_key")), QString());
        const char* keys[] = {"add_profile_text", "warning_title_text", "key_Enter",    "L_Button",
                              "charging_text",    "task_view_text",     "prate_4_text", "`"};
        for (const char* key : keys) {
            QVERIFY2(!language.text(QString::fromUtf8(key)).isEmpty(), key);
        }
        ResourceFile broken("broken-lan.xml", "<language><text key=\"a\">x</text>");
        LanguageManager other;
        QVERIFY(!other.load(broken.path()));
        QCOMPARE(other.size(), 0);
        ResourceFile wrongRoot("wrong-lan.xml", "<texts><text key=\"a\">x</text></texts>");
        QVERIFY(!other.load(wrongRoot.path()));
        QVERIFY(!other.load(resourceFolder() + "missing-lan.xml"));

        // A translation over English: a key it lacks stays English, a key
        // English lacks is left out, a broken file changes nothing.
        QVERIFY(other.load(resourceFolder() + "lan.xml"));
        ResourceFile german("de-test.xml",
                            "<language name=\"Deutsch\"><text key=\"ok_text\">Gut</text>"
                            "<text key=\"invented_text\">x</text><text key=\"cancel_text\"/>"
                            "</language>");
        QVERIFY(other.translate(german.path()));
        QCOMPARE(other.text(QStringLiteral("ok_text")), QStringLiteral("Gut"));
        QCOMPARE(other.text(QStringLiteral("cancel_text")), QStringLiteral("Cancel"));
        QCOMPARE(other.text(QStringLiteral("invented_text")), QString());
        QVERIFY(!other.translate(broken.path()));
        QCOMPARE(other.text(QStringLiteral("ok_text")), QStringLiteral("Gut"));
        QCOMPARE(other.size(), language.size());
        // Another language replaces the first, English again where it is silent.
        ResourceFile french("fr-test.xml",
                            "<language name=\"Français\">"
                            "<text key=\"cancel_text\">Annuler</text></language>");
        QVERIFY(other.translate(french.path()));
        QCOMPARE(other.text(QStringLiteral("ok_text")), QStringLiteral("OK"));
        QCOMPARE(other.text(QStringLiteral("cancel_text")), QStringLiteral("Annuler"));
        other.showEnglish();
        QCOMPARE(other.text(QStringLiteral("cancel_text")), QStringLiteral("Cancel"));
    }

    void missingAndMalformedLayoutsLeaveAnEmptyWindow() {
        Recorder missing("no-such-layout.xml");
        missing.create();
        QCOMPARE(missing.control("btn_ok"), nullptr);
        ResourceFile bad("bad-layout.xml", "<ui version=\"4.0\"><widget class=\"QFrame\"");
        Recorder malformed("bad-layout.xml");
        malformed.create();
        QCOMPARE(malformed.control("btn_ok"), nullptr);
        // Well-formed, but not a layout the program can build: nothing is
        // built, and the reason names the problem.
        const QByteArray deep = QByteArray("<ui><widget class=\"QWidget\">").repeated(1) +
                                QByteArray("<widget class=\"QWidget\">").repeated(100) +
                                QByteArray("</widget>").repeated(101) + "</ui>";
        for (const auto& [text, problem] :
             {std::pair{QByteArray(R"(<ui><widget class="QFancy" name="a"/></ui>)"), "QFancy"},
              {R"(<ui><widget class="QFrame"><layout class="QFlowLayout"/></widget></ui>)",
               "QFlowLayout"},
              {R"(<ui><widget class="QLabel" name="l"><property name="colour">)"
               R"(<string>red</string></property></widget></ui>)",
               "colour"},
              {R"(<ui><widget class="QSlider"><property name="orientation">)"
               R"(<enum>Qt::Diagonal</enum></property></widget></ui>)",
               "Qt::Diagonal"},
              {R"(<ui><widget class="QLabel"><property name="font"><font/></property>)"
               R"(</widget></ui>)",
               "font"},
              {"<language/>", "<ui>"},
              {R"(<ui version="4.0"/>)", "no widget"},
              {deep, "deeper"}}) {
            QString error;
            QCOMPARE(readLayout(text, nullptr, &error), nullptr);
            QVERIFY2(error.contains(QLatin1StringView(problem)), qPrintable(error));
        }
        // Binding a control the layout lacks is skipped.
        bool clicked = false;
        malformed.controls()->onClick("btn_ok", [&] { clicked = true; });
        malformed.controls()->onValueChanged("no_slider", [](int) {});
        QVERIFY(!clicked);
    }

    void deferredPartsAreBuiltInTheirPlaceWhenAskedFor() {
        ResourceFile layout("deferred.xml", R"(<ui version="4.0"><widget class="QFrame" name="root">
            <property name="styleSheet"><string>QLabel { color: #123456; }</string></property>
            <layout class="QVBoxLayout" name="box"><item>
            <widget class="QStackedWidget" name="stack">
              <property name="currentIndex"><number>1</number></property>
              <widget class="QWidget" name="later_page">
                <property name="deferred" stdset="0"><bool>true</bool></property>
                <layout class="QVBoxLayout" name="later_box"><item>
                <widget class="QPushButton" name="later_btn">
                  <property name="textKey" stdset="0"><string>ok_text</string></property></widget>
                </item><item>
                <widget class="QWidget" name="inner">
                  <property name="deferred" stdset="0"><bool>true</bool></property>
                  <widget class="QPushButton" name="inner_btn"/>
                </widget></item><item>
                <widget class="QPushButton" name="leaf_btn">
                  <property name="deferred" stdset="0"><bool>true</bool></property>
                </widget></item><item>
                <widget class="QPushButton" name="tail_btn"/></item></layout>
              </widget>
              <widget class="QWidget" name="first_page"/>
            </widget></item><item>
            <widget class="QLabel" name="after_label"/></item></layout></widget></ui>)");
        Recorder w("deferred.xml", &language);
        w.create(nullptr, Qt::Window, true);
        QVERIFY(w.deferredPartsPending());
        QCOMPARE(w.control("later_btn"), nullptr);
        QVERIFY(w.control("after_label") != nullptr);
        auto* stack = w.control<QStackedWidget>("stack");
        QCOMPARE(stack->currentWidget()->objectName(), QString("first_page"));
        QCOMPARE(w.control("later_page"), nullptr);  // its stand-in is not the control
        w.buildDeferredParts();
        auto* later = w.control<QPushButton>("later_btn");
        QVERIFY(later != nullptr);
        QCOMPARE(later->text(), language.text(QStringLiteral("ok_text")));
        QCOMPARE(stack->indexOf(w.control("later_page")), 0);  // in its place
        QCOMPARE(stack->currentWidget()->objectName(), QString("first_page"));
        QCOMPARE(stack->count(), 2);
        QCOMPARE(w.findChild<QWidget*>("root")->styleSheet(),
                 QString("QLabel { color: #123456; }"));
        QCOMPARE(w.partsBuilt, 1);
        // A part deferred within it waits for the next call, and then takes
        // its place in the layout and in the Tab order.
        QVERIFY(w.deferredPartsPending());
        QCOMPARE(w.control("inner_btn"), nullptr);
        QCOMPARE(w.control("leaf_btn"), nullptr);  // nor is a control's stand-in the control
        const QStringList both{"later_btn", "inner_btn"};
        QCOMPARE(w.controls()->findEach(both).keys(), QStringList{"later_btn"});
        w.buildDeferredParts();
        QCOMPARE(w.controls()->findEach(both).value("inner_btn"), w.control("inner_btn"));
        QVERIFY(!w.deferredPartsPending());
        QCOMPARE(w.laterPartsBuilt, 1);
        auto* inner = w.control("inner");
        QVERIFY(w.control("inner_btn") != nullptr && inner->isAncestorOf(w.control("inner_btn")));
        QCOMPARE(w.control("later_page")->layout()->indexOf(inner), 1);
        QCOMPARE(w.control("later_page")->layout()->indexOf(w.control("leaf_btn")), 2);
        QCOMPARE(later->nextInFocusChain()->nextInFocusChain(), w.control("inner_btn"));
        QCOMPARE(w.control("inner_btn")->nextInFocusChain(), w.control("leaf_btn"));
        QCOMPARE(w.control("leaf_btn")->nextInFocusChain(), w.control("tail_btn"));
        w.buildDeferredParts();  // nothing is left
        QCOMPARE(stack->count(), 2);
        QCOMPARE(w.partsBuilt + w.laterPartsBuilt, 2);
        // Controls are looked up by their current names.
        w.control("after_label")->setObjectName("renamed_label");
        QCOMPARE(w.control("after_label"), nullptr);
        QVERIFY(w.control<QLabel>("renamed_label") != nullptr);
        // Without deferring, everything is built at once.
        Recorder whole("deferred.xml", &language);
        whole.create();
        QVERIFY(whole.control("later_btn") != nullptr && whole.control("inner_btn") != nullptr);
        QCOMPARE(whole.partsBuilt, 1);
    }

    void textKeysOfTheLayoutShowTheirTexts() {
        Recorder box("msg.xml", &language);
        box.create();
        QCOMPARE(box.control<QPushButton>("btn_ok")->text(),
                 language.text(QStringLiteral("ok_text")));
        Recorder bare("msg.xml", nullptr);  // no language: the texts stay empty
        bare.create();
        QCOMPARE(bare.control<QPushButton>("btn_ok")->text(), QString());
    }

    void notificationsCarryTheirValuesButQuietChangesRaiseNothing() {
        ResourceFile layout("controls.xml", R"(<ui version="4.0"><widget class="QFrame" name="root">
            <widget class="QPushButton" name="plain_btn"/>
            <widget class="QCheckBox" name="probe_check"/>
            <widget class="QRadioButton" name="option_a"/>
            <widget class="QSlider" name="probe_slider"/>
            <widget class="QLineEdit" name="probe_edit"/>
            <widget class="QListWidget" name="probe_list"/></widget></ui>)");
        Recorder w("controls.xml", &language);
        w.create();
        auto* button = w.control<QPushButton>("plain_btn");
        auto* check = w.control<QCheckBox>("probe_check");
        auto* option = w.control<QRadioButton>("option_a");
        auto* slider = w.control<QSlider>("probe_slider");
        auto* edit = w.control<QLineEdit>("probe_edit");
        auto* list = w.control<QListWidget>("probe_list");
        QVERIFY(button && check && option && slider && edit && list);
        list->addItems({"a", "b"});
        QStringList seen;
        ControlBinder& c = *w.controls();
        c.onClick("plain_btn", [&] { seen << "click"; });
        c.onToggled("probe_check", [&](bool on) { seen << QString("check %1").arg(on); });
        c.onSelectChanged("option_a", [&] { seen << "select"; });
        c.onValueChanged("probe_slider", [&](int v) { seen << QString("value %1").arg(v); });
        c.onTextChanged("probe_edit", [&](const QString& t) { seen << "text " + t; });
        c.onItemSelect("probe_list", [&](int i) { seen << QString("item %1").arg(i); });

        button->click();
        check->click();
        option->click();
        slider->setValue(5);
        edit->setText("12ab");
        list->setCurrentRow(1);
        QCOMPARE(seen,
                 (QStringList{"click", "check 1", "select", "value 5", "text 12ab", "item 1"}));
        seen.clear();
        ControlBinder::setCheckedQuietly(check, false);
        ControlBinder::setValueQuietly(slider, 9);
        ControlBinder::selectRowQuietly(list, 0);
        QVERIFY(!check->isChecked());
        QCOMPARE(slider->value(), 9);
        QCOMPARE(list->currentRow(), 0);
        QVERIFY(seen.isEmpty());
    }

    void aSliderDragGivesEachPositionAndOneEndOfDrag() {
        ResourceFile layout("slider.xml", R"(<ui version="4.0"><widget class="QFrame" name="root">
            <property name="geometry"><rect><x>0</x><y>0</y><width>300</width><height>60</height></rect></property>
            <widget class="QSlider" name="probe_slider">
            <property name="geometry"><rect><x>10</x><y>10</y><width>201</width><height>30</height></rect></property>
            <property name="orientation"><enum>Qt::Horizontal</enum></property>
            <property name="maximum"><number>200</number></property></widget></widget></ui>)");
        Recorder w("slider.xml");
        w.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* slider = w.control<QSlider>("probe_slider");
        QList<int> values;
        QList<int> ends;
        w.controls()->onValueChanged("probe_slider", [&](int v) { values << v; });
        w.controls()->onDragEnd("probe_slider", [&](int v) { ends << v; });
        // The handle is dragged from the left end in three steps.
        const QPoint handle(
            slider->style()->sliderPositionFromValue(0, 200, 0, slider->width()) + 4,
            slider->height() / 2);
        QTest::mousePress(slider, Qt::LeftButton, {}, handle);
        for (int dx : {40, 80, 120}) {
            QMouseEvent move(QEvent::MouseMove, QPointF(handle + QPoint(dx, 0)),
                             slider->mapToGlobal(QPointF(handle + QPoint(dx, 0))), Qt::NoButton,
                             Qt::LeftButton, {});
            QApplication::sendEvent(slider, &move);
        }
        QTest::mouseRelease(slider, Qt::LeftButton, {}, handle + QPoint(120, 0));
        QCOMPARE(values.size(), 3);
        QVERIFY(values[0] < values[1] && values[1] < values[2]);
        QCOMPARE(ends, QList<int>{values.last()});
    }

    void hoverAndFocusReachOnlyTheControlsThatAskedForThem() {
        ResourceFile layout("focus.xml", R"(<ui version="4.0"><widget class="QFrame" name="root">
            <widget class="QPushButton" name="first_btn"/>
            <widget class="QPushButton" name="second_btn"/></widget></ui>)");
        Recorder w("focus.xml");
        w.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QStringList seen;
        w.controls()->onFocus("first_btn", [&](bool in) { seen << (in ? "in" : "out"); });
        w.controls()->onHover("first_btn", [&](bool on) { seen << (on ? "enter" : "leave"); });
        auto* first = w.control("first_btn");
        QFocusEvent focusIn(QEvent::FocusIn);
        QApplication::sendEvent(first, &focusIn);
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(first, &focusOut);
        QFocusEvent elsewhere(QEvent::FocusIn);
        QApplication::sendEvent(w.control("second_btn"), &elsewhere);
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(first, &enter);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(first, &leave);
        QCOMPARE(seen, (QStringList{"in", "out", "enter", "leave"}));
    }

    void librariesMessagesBecomeTypedSignals() {
        LibraryMessages relay;
        QList<DeviceMessage> device;
        QList<qintptr> hook;
        QObject::connect(&relay, &LibraryMessages::deviceMessage,
                         [&](const DeviceMessage& m) { device << m; });
        QObject::connect(&relay, &LibraryMessages::hookInput,
                         [&](quintptr, qintptr l) { hook << l; });
        MessageWindow* handle = &relay;
        std::thread other([handle] {
            handle->post(handle, 1327, 0x7F00, 2);  // a status report, whatever its code
            handle->post(handle, 1326, 0, 0);       // the receiver detached
            handle->post(handle, 1328, 7, 0);       // no attach event: dropped
            handle->post(handle, 1034, 0x41, 0x100);
            handle->post(handle, 4242, 1, 1);  // not a library's: dropped
        });
        other.join();
        QTRY_COMPARE(device.size(), 2);
        QCOMPARE(device[0],
                 (DeviceMessage{DeviceMessage::Kind::kStatus, DeviceLink::kCable, 0x7F00, 2}));
        QCOMPARE(device[1].kind, DeviceMessage::Kind::kDetached);
        QCOMPARE(device[1].link, DeviceLink::kReceiver);
        QTRY_COMPARE(hook, QList<qintptr>{0x100});
    }

    void aDialogEndsWithOneOnlyWhenConfirmed() {
        QWidget owner;
        const auto run = [&](const std::function<void(Confirm&)>& act) {
            Confirm dialog(&language, &owner);
            dialog.create();
            QTimer::singleShot(0, &dialog, [&] { act(dialog); });
            return dialog.runModal();
        };
        QCOMPARE(run([](Confirm& d) { d.control<QPushButton>("btn_ok")->click(); }), 1);
        QCOMPARE(run([](Confirm& d) { d.control<QPushButton>("btn_cancel")->click(); }), 0);
        QCOMPARE(run([](Confirm& d) { QTest::keyClick(&d, Qt::Key_Escape); }), 0);
        QCOMPARE(run([](Confirm& d) { d.close(); }), 0);  // the window's close button
        Confirm dialog(&language, &owner);
        QVERIFY(dialog.isModal());
        QCOMPARE(dialog.parentWidget(), &owner);
        QVERIFY(dialog.windowFlags() & Qt::Dialog);
    }

    void aDialogTallerThanTheScreenHasAFrameAndScrollsInside() {
        const QStringList lines(120, QStringLiteral("A line of a long notice."));
        MessageDialog box(&language, QStringLiteral("settings_damaged_text"), QString(), nullptr,
                          {lines.join(QLatin1Char('\n'))});
        box.create();
        box.placeCentred();
        QVERIFY(!(box.windowFlags() & Qt::FramelessWindowHint));
        const QRect screen = box.screen()->availableGeometry();
        QVERIFY2(box.height() <= screen.height(), qPrintable(QString::number(box.height())));
        QVERIFY(box.findChild<QScrollArea*>("dialog_scroll") != nullptr);
        QVERIFY(box.findChild<QAbstractButton*>("btn_ok") != nullptr);
    }

    void aDialogPlacedAtAPointStaysInsideTheScreen() {
        const QRect area(0, 0, 1000, 800);
        const QSize size(300, 200);
        QCOMPARE(DialogBase::keptInside({100, 100}, size, area), QPoint(100, 100));
        QCOMPARE(DialogBase::keptInside({900, 700}, size, area), QPoint(700, 600));
        QCOMPARE(DialogBase::keptInside({-50, -10}, size, area), QPoint(0, 0));
        Confirm dialog(&language, nullptr);
        dialog.create();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        dialog.placeAt(screen.bottomRight());
        QVERIFY(screen.contains(dialog.geometry()));
    }

    void theColourPickerKeepsItsPartsInStep() {
        // A stored 0x0000FF (red, stored blue-green-red) opens as 255, 0, 0.
        ColourPickerDialog picker(&language, shownColor(0x0000FF), nullptr);
        picker.create();
        const auto edit = [&](const char* name) { return picker.control<QLineEdit>(name); };
        QCOMPARE(edit("r_edit")->text(), QString("255"));
        QCOMPARE(edit("g_edit")->text(), QString("0"));
        QCOMPARE(edit("b_edit")->text(), QString("0"));
        QVERIFY(picker.control("color_show_control")->styleSheet().contains("#ff0000"));

        // Typing: out of range is replaced, in range stays as typed.
        const auto type = [&](const char* name, const QString& text) {
            edit(name)->clear();
            QTest::keyClicks(edit(name), text);
        };
        type("r_edit", "300");
        QCOMPARE(edit("r_edit")->text(), QString("255"));
        type("g_edit", "-5");
        QCOMPARE(edit("g_edit")->text(), QString("0"));
        edit("g_edit")->setText("-17");  // pasted
        QCOMPARE(edit("g_edit")->text(), QString("0"));
        type("b_edit", "12ab");
        QCOMPARE(edit("b_edit")->text(), QString("12ab"));
        QCOMPARE(picker.currentColor(), 0xFFFF000Cu);
        edit("b_edit")->clear();
        QCOMPARE(edit("b_edit")->text(), QString());
        QCOMPARE(picker.currentColor(), 0xFFFF0000u);
        const std::pair<QString, QString> pasted[] = {
            {" x", " x"},         {"+", "+"},        {"  42", "  42"}, {"4294967296", "255"},
            {"-9999999999", "0"}, {"１２８", "128"}, {"٣", "3"}};
        for (const auto& [text, shown] : pasted) {
            edit("g_edit")->setText(text);
            QCOMPARE(edit("g_edit")->text(), shown);
        }
        QCOMPARE((picker.currentColor() >> 8) & 0xFF, 3u);  // digits of any script read as digits
        QCOMPARE(edit("r_edit")->text(), QString("255"));   // the other edits stay

        // A swatch sets all three.
        picker.control<QPushButton>("mouse_dpi_color_13")->click();
        QCOMPARE(edit("r_edit")->text(), QString("30"));
        QCOMPARE(edit("g_edit")->text(), QString("180"));
        QCOMPARE(edit("b_edit")->text(), QString("10"));
        QCOMPARE(picker.currentColor(), 0xFF1EB40Au);
    }

    void theColourFieldFollowsADragAndReportsTheRelease() {
        ColourPickerDialog picker(&language, 0xFF808080, nullptr);
        picker.create();
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        ColorPalette* field = picker.palette();
        QVERIFY(field != nullptr);
        QList<QColor> changes;
        int releases = 0;
        connect(field, &ColorPalette::colorChanged, [&](const QColor& c) { changes << c; });
        connect(field, &ColorPalette::colorChangedButtonUp, [&](const QColor&) { ++releases; });
        const QPoint start(5, 5);
        QTest::mousePress(field, Qt::LeftButton, {}, start);
        for (const QPoint& to : {QPoint(30, 10), QPoint(60, 40), QPoint(-500, 2000)}) {
            QMouseEvent move(QEvent::MouseMove, QPointF(to), field->mapToGlobal(QPointF(to)),
                             Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(field, &move);
        }
        QTest::mouseRelease(field, Qt::LeftButton, {}, QPoint(-500, 2000));
        QVERIFY(changes.size() >= 4);
        QCOMPARE(releases, 1);
        // Dragged out past the bottom left: red hue, no saturation.
        QCOMPARE(field->selectedColor().hsvSaturation(), 0);
        QCOMPARE(picker.currentColor(), field->selectedColor().rgb());
        const QString r = picker.control<QLineEdit>("r_edit")->text();
        QCOMPARE(r, picker.control<QLineEdit>("g_edit")->text());  // a grey
        picker.control<QPushButton>("cancel_btn")->click();
        QCOMPARE(picker.result(), 0);
    }

    void theProfileNameDialogSaysInsideWhatIsWrongWithTheName() {
        QTemporaryDir data;
        PosixFileSystem fs;
        const DataLocation location(
            fs, testing::environmentWith(data.path().toStdString(), std::nullopt), "/nonexistent/");
        MacroStore macros(location, language);
        ProfileStore profiles(location, language);
        profiles.load(macros);  // "Profile1"
        const QString first =
            QString::fromStdU16String(std::u16string(fieldText(profiles.current()->name)));
        // A new profile: the suggested name, selected, ready to keep or type over.
        ProfileNameDialog dialog(&language, "profile_name_1_text", "Profile2", -1, profiles,
                                 nullptr);
        dialog.create();
        dialog.show();
        auto* edit = dialog.control<QLineEdit>("edit_name");
        auto* ok = dialog.control<QPushButton>("btn_ok");
        auto* problem = dialog.control<QLabel>("name_problem");
        QCOMPARE(edit->text(), QStringLiteral("Profile2"));
        QCOMPARE(edit->selectedText(), QStringLiteral("Profile2"));
        QVERIFY(ok->isEnabled() && problem->isHidden());
        QCOMPARE(edit->accessibleName(), language.text(QStringLiteral("profile_name_label_text")));
        edit->setText(QString(60, u'n'));
        QCOMPARE(edit->text().size(), 49);  // a longer name never reaches the record
        // Empty or taken (letter case aside): said inside, OK disabled, Enter
        // does nothing, and no second window opens.
        edit->clear();
        QVERIFY(!ok->isEnabled());
        QCOMPARE(problem->text(), language.text(QStringLiteral("warn_name_1_text")));
        for (const QString& taken : {first.toUpper(), first}) {
            edit->setText(taken);
            QVERIFY(!ok->isEnabled());
            QCOMPARE(problem->text(), language.text(QStringLiteral("warn_name_2_text")));
            QTest::keyClick(edit, Qt::Key_Return);
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.acceptedName(), QString());
        }
        const QWidgetList tops = QApplication::topLevelWidgets();
        QVERIFY(std::none_of(tops.begin(), tops.end(), [](QWidget* w) {
            return w->isVisible() && w->objectName() == "MessageDialog";
        }));
        edit->setText(QStringLiteral(" Other "));  // taken as typed
        QVERIFY(ok->isEnabled() && problem->isHidden());
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(dialog.result(), 1);
        QCOMPARE(dialog.acceptedName(), QStringLiteral(" Other "));
        // A rename names the profile and starts from its name; the profile
        // may take its own name in other letters.
        ProfileNameDialog rename(&language, "profile_name_2_text", first, 0, profiles, nullptr);
        rename.create();
        QVERIFY(rename.windowTitle().contains(first));
        rename.control<QLineEdit>("edit_name")->setText(first.toUpper());
        QVERIFY(rename.control<QPushButton>("btn_ok")->isEnabled());
        // Cancel, or Escape (as the frame's close button), keeps nothing.
        for (const bool escape : {false, true}) {
            ProfileNameDialog again(&language, "profile_name_2_text", first, 0, profiles, nullptr);
            again.create();
            QTimer::singleShot(0, &again, [&again, escape] {
                if (escape) {
                    QTest::keyClick(&again, Qt::Key_Escape);
                } else {
                    again.control<QPushButton>("btn_cancel")->click();
                }
            });
            QCOMPARE(again.runModal(), 0);
        }
    }

    void theBatteryDialogKeepsTheCriticalLevelAtOrBelowTheLowOne() {
        BatteryAlertsDialog dialog(&language, {true, 20, 10}, nullptr);
        dialog.create();
        dialog.show();
        auto* check = dialog.control<QCheckBox>("check_notify");
        auto* low = dialog.control<QSpinBox>("spin_low");
        auto* critical = dialog.control<QSpinBox>("spin_critical");
        QVERIFY(check->isChecked());
        QCOMPARE(dialog.focusWidget(), check);
        QCOMPARE(low->accessibleName(),
                 language.text(QStringLiteral("battery_alerts_low_text")).remove(QLatin1Char('&')));
        // Lowering the low level pulls the critical one down with it.
        low->setFocus();
        QTest::keyClick(low, Qt::Key_Down);
        QCOMPARE(low->value(), 15);
        critical->setValue(40);
        QCOMPARE(critical->value(), 15);
        low->setValue(5);
        QCOMPARE(critical->value(), 5);
        low->setValue(30);
        // A screen reader's Toggle switches notifications off, as a click does.
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(check);
        a11y->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(!check->isChecked());
        QVERIFY(!low->isEnabled() && !critical->isEnabled());
        QTest::keyClick(dialog.control<QPushButton>("btn_ok"), Qt::Key_Space);
        QCOMPARE(dialog.result(), 1);
        QCOMPARE(dialog.chosen(), (BatteryAlertSettings{false, 30, 5}));
    }

    void hostileApplicationFilesNeitherHangNorFloodTheRulesDialog() {
        QTemporaryDir data;
        const QString apps = data.path() + "/applications";
        QDir(data.path()).mkpath("applications");
        // A link to a device that never ends, a pipe nobody writes, and an
        // entry with a name of control characters and 60 kB whose icon is a
        // pipe.
        QVERIFY(QFile::link("/dev/zero", apps + "/zero.desktop"));
        QCOMPARE(::mkfifo(QFile::encodeName(apps + "/pipe.desktop").constData(), 0600), 0);
        QCOMPARE(::mkfifo(QFile::encodeName(data.path() + "/icon.png").constData(), 0600), 0);
        QFile entry(apps + "/evil.desktop");
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Ev\x01il\x1b[31m" +
                    QByteArray(60000, 'x') + "\nIcon=" + QFile::encodeName(data.path()) +
                    "/icon.png\n");
        entry.close();
        const testing::ScopedEnv home("XDG_DATA_HOME", data.path().toStdString());
        const testing::ScopedEnv dirs("XDG_DATA_DIRS", "/nonexistent");
        ApplicationRules rules;
        ApplicationRulesDialog dialog(
            &language, "Web", "How the focus is followed.",
            {.rules = [&] { return rules; },
             .setRule = [&](const QString&, const QString&) { return true; },
             .setAutomatic = [](bool) {},
             .profiles = [] { return QStringList{"Web"}; }},
            nullptr);
        dialog.create();
        auto* combo = dialog.control<QComboBox>("combo_app");
        QCOMPARE(combo->count(), 1);
        const QString name = combo->itemText(0);
        QVERIFY2(name.startsWith(QStringLiteral("Evil[31mxxx")), qPrintable(name.left(40)));
        QVERIFY(name.toUtf8().size() <= 200 + 40);  // the name, and the id beside it

        // However long the name, the list opens under its box, inside the
        // dialog.
        if (dynamic_cast<WindowStyle*>(QApplication::style()) == nullptr) {
            QApplication::setStyle(new WindowStyle);
        }
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        combo->showPopup();
        QTRY_VERIFY(combo->view()->window()->isVisible());
        const QRect list = combo->view()->window()->geometry();
        const QRect box(combo->mapToGlobal(QPoint(0, 0)), combo->size());
        QVERIFY2(list.left() >= box.left() - 1 && list.right() <= box.right() + 1,
                 qPrintable(QStringLiteral("list %1..%2, box %3..%4")
                                .arg(list.left())
                                .arg(list.right())
                                .arg(box.left())
                                .arg(box.right())));
        combo->hidePopup();
    }

    void theRulesDialogAddsInstalledOrTypedApplicationsAndRemovesThem() {
        QTemporaryDir data;
        QDir(data.path()).mkpath("applications");
        QFile entry(data.path() + "/applications/org.gimp.GIMP.desktop");
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=GIMP\nIcon=gimp\n");
        entry.close();
        const testing::ScopedEnv home("XDG_DATA_HOME", data.path().toStdString());
        const testing::ScopedEnv dirs("XDG_DATA_DIRS", "/nonexistent");
        ApplicationRules rules;
        rules.set("firefox", "Web");
        rules.set("ghost", "Gone");
        rules.set("xterm", "Work");
        bool automatic = true;
        ApplicationRulesDialog dialog(&language, "Web", "How the focus is followed.",
                                      {.rules = [&] { return rules; },
                                       .setRule =
                                           [&](const QString& app, const QString& profile) {
                                               return rules.set(app.toStdString(),
                                                                profile.toStdString());
                                           },
                                       .setAutomatic = [&](bool on) { automatic = on; },
                                       .profiles =
                                           [] {
                                               return QStringList{"Web", "Work"};
                                           }},
                                      nullptr);
        dialog.create();
        dialog.show();
        auto* list = dialog.control<QListWidget>("list_apps");
        auto* combo = dialog.control<QComboBox>("combo_app");
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("firefox"));
        QVERIFY(dialog.control<QLabel>("stale_note")->isVisibleTo(&dialog));
        QVERIFY(dialog.control<QLabel>("stale_note")->text().contains("ghost"));
        QCOMPARE(list->accessibleName(),
                 language.text(QStringLiteral("apps_list_text")).remove(QLatin1Char('&')));

        // An installed application, by its name; then an id typed and Enter.
        QCOMPARE(combo->count(), 1);
        combo->setCurrentIndex(0);
        QTest::mouseClick(dialog.control<QPushButton>("btn_add"), Qt::LeftButton);
        QCOMPARE(rules.find("org.gimp.gimp")->profile, "Web");
        QCOMPARE(list->item(1)->text(), QStringLiteral("GIMP (org.gimp.GIMP)"));
        combo->setEditText("  XTerm ");  // moves from "Work" to this profile
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(rules.find("xterm")->profile, "Web");
        QCOMPARE(list->count(), 3);
        QVERIFY2(dialog.control<QLabel>("add_problem")->isHidden(),
                 qPrintable(dialog.control<QLabel>("add_problem")->text()));
        QCoreApplication::processEvents();  // the next key press, as a user makes it
        combo->setEditText("   ");
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QVERIFY(dialog.control<QLabel>("add_problem")->isVisibleTo(&dialog));
        QCOMPARE(rules.rules.size(), 4u);

        list->setCurrentRow(0);
        QTest::mouseClick(dialog.control<QPushButton>("btn_remove"), Qt::LeftButton);
        QCOMPARE(rules.find("firefox"), nullptr);
        QTest::mouseClick(dialog.control<QPushButton>("btn_remove_stale"), Qt::LeftButton);
        QCOMPARE(rules.find("ghost"), nullptr);
        QVERIFY(dialog.control<QLabel>("stale_note")->isHidden());

        auto* check = dialog.control<QCheckBox>("check_automatic");
        QAccessible::queryAccessibleInterface(check)->actionInterface()->doAction(
            QAccessibleActionInterface::toggleAction());
        QVERIFY(!automatic);
        QTest::mouseClick(dialog.control<QPushButton>("btn_ok"), Qt::LeftButton);
        QCOMPARE(dialog.result(), 1);
    }

    void argumentsAreFilledInOnePass() {
        // A file named "45 %2.pro" keeps its name in the notice.
        MessageDialog box(&language, QStringLiteral("import_repaired_text"), QString(), nullptr,
                          {QStringLiteral("45 %2.pro"), "3", "0", "0", "0"});
        box.create();
        const QString shown = box.control<QLabel>("warning")->text();
        QVERIFY2(shown.contains(QStringLiteral("\"45 %2.pro\"")), qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("out of range: 3;")), qPrintable(shown));
    }

    void aQuestionNamesItsVerbAndKeepsTheFocusOnCancelANoticeHasOneButton() {
        // Acts on the open box once it is shown: notes its buttons, then
        // presses `key` (on the box) or clicks `button`.
        QStringList seen;
        const auto answer = [&seen](const char* button, Qt::Key key) {
            QTimer::singleShot(50, [&seen, button, key] {
                for (QWidget* top : QApplication::topLevelWidgets()) {
                    if (top->objectName() != "MessageDialog" || !top->isVisible()) {
                        continue;
                    }
                    seen.clear();
                    for (auto* b : top->findChildren<QPushButton*>()) {
                        if (b->isVisible()) {
                            seen << b->objectName() + "=" + b->text() + (b->hasFocus() ? "*" : "");
                        }
                    }
                    if (key != Qt::Key_unknown) {
                        QTest::keyClick(QApplication::focusWidget(), key);
                    } else {
                        top->findChild<QPushButton*>(button)->click();
                    }
                }
            });
        };
        const QString verb = language.text(QStringLiteral("delete_verb_text"));
        answer(nullptr, Qt::Key_Return);  // Enter on the focused Cancel: nothing deleted
        QVERIFY(!MessageDialog::ask(nullptr, &language, "delete_profile_text", {"Game"},
                                    "delete_verb_text"));
        seen.sort();
        QCOMPARE(seen,
                 QStringList({"btn_cancel=" + language.text(QStringLiteral("cancel_text")) + "*",
                              "btn_ok=" + verb}));
        answer("btn_ok", Qt::Key_unknown);
        QVERIFY(MessageDialog::ask(nullptr, &language, "delete_profile_text", {"Game"},
                                   "delete_verb_text"));
        answer(nullptr, Qt::Key_Escape);
        QVERIFY(
            !MessageDialog::ask(nullptr, &language, "restore_text", {"Game"}, "restore_verb_text"));
        answer(nullptr, Qt::Key_Return);
        MessageDialog::tell(nullptr, &language, QStringLiteral("store_damaged_text"));
        QCOMPARE(seen, QStringList({"btn_ok=" + language.text(QStringLiteral("ok_text")) + "*"}));
    }

    void dpiDisplaySitsInTheCornerAndFollowsTheLastChange() {
        NoLibraries loader;
        MainWindow window(language, loader);
        window.create();
        window.logic().dpiStageShown(40);
        DpiDisplay* display = window.dpiDisplay();
        QVERIFY(display != nullptr);
        QCOMPARE(display->text(), QString("DPI: 1600"));
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(display->geometry(), QRect(area.right() - 209, area.bottom() - 59, 200, 50));
        QCOMPARE(display->control<QLabel>("dpi_label")->text(), QString("DPI: 1600"));

        window.logic().dpiStageShown(200);
        QElapsedTimer sinceLast;
        sinceLast.start();
        QCOMPARE(window.dpiDisplay(), display);  // the same display, updated
        QCOMPARE(display->text(), QString("DPI: 8000"));
        // It closes 2 s after the last change (the restart itself is the
        // main window logic's, tested there).
        QTRY_VERIFY_WITH_TIMEOUT(window.dpiDisplay() == nullptr, 5000);
        QVERIFY2(sinceLast.elapsed() >= 1900, qPrintable(QString::number(sinceLast.elapsed())));
    }

    // At the 16 pixels of a panel, the icon's outline stands out 3:1 from a
    // light panel and from a dark one, in each state it shows: the shape
    // reads whatever the panel.
    void theTrayIconReadsOnLightAndDarkPanels() {
        const auto luminance = [](QColor c) {
            const auto channel = [](double v) {
                return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
                   0.0722 * channel(c.blueF());
        };
        MouseStatus charging{.link = MouseStatus::Link::kReceiver, .battery = 60};
        charging.charging = true;
        const std::pair<const char*, MouseStatus> states[] = {
            {"full", {.link = MouseStatus::Link::kReceiver, .battery = 100}},
            {"low", {.link = MouseStatus::Link::kReceiver, .battery = 8}},
            {"charging", charging}};
        for (const auto& [state, status] : states) {
            const QImage icon = drawTrayIcon(16, status, {});
            const auto drawn = [&icon](int x, int y) {
                return icon.rect().contains(x, y) && icon.pixelColor(x, y).alphaF() >= 0.9;
            };
            for (const QColor panel : {QColor("#f6f5f4"), QColor("#202326")}) {
                QImage shown(icon.size(), QImage::Format_ARGB32_Premultiplied);
                shown.fill(panel);
                QPainter(&shown).drawImage(0, 0, icon);
                int outline = 0;
                int standsOut = 0;
                for (int y = 0; y < icon.height(); ++y) {
                    for (int x = 0; x < icon.width(); ++x) {
                        if (!drawn(x, y) || (drawn(x - 1, y) && drawn(x + 1, y) &&
                                             drawn(x, y - 1) && drawn(x, y + 1))) {
                            continue;  // the panel, or inside the shape
                        }
                        ++outline;
                        const double a = luminance(shown.pixelColor(x, y));
                        const double b = luminance(panel);
                        standsOut += (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05) >= 3 ? 1 : 0;
                    }
                }
                QVERIFY2(standsOut * 4 >= outline * 3,
                         qPrintable(QStringLiteral("%1 on %2: %3 of %4 outline pixels stand out")
                                        .arg(QString::fromLatin1(state), panel.name())
                                        .arg(standsOut)
                                        .arg(outline)));
            }
        }
    }

    void trayMenuIsReplacedAndItsItemsReachTheWindow() {
        NoLibraries loader;
        MainWindow window(language, loader);
        window.create();
        window.logic().trayClicked(TrayClick::kContext);
        QVERIFY(window.trayMenu() != nullptr);
        QPointer<QMenu> first = &window.trayMenu()->menu();
        QStringList texts;
        for (QAction* a : first->actions()) {
            texts << a->text();
        }
        QVERIFY(texts.contains(language.text(QStringLiteral("tray_exit_text"))));
        window.logic().trayClicked(TrayClick::kContext);
        QVERIFY(first.isNull());  // the previous menu is gone
        QVERIFY(window.trayMenu() != nullptr);

        // "configuration" with no mouse: the window, whose page says no mouse is there.
        window.hide();
        window.trayMenu()->menu().actions().first()->trigger();
        QTRY_VERIFY(window.isVisible());

        // Bad input: an empty name, a malformed and a missing menu file.
        window.logic().trayMenuPicked("");
        ResourceFile badMenu("bad-menu.xml", "<menu><item name=");
        window.setTrayMenuFile("bad-menu.xml");
        window.logic().trayClicked(TrayClick::kContext);
        window.setTrayMenuFile("no-such-menu.xml");
        window.logic().trayClicked(TrayClick::kContext);
        QCOMPARE(window.trayMenu()->menu().actions().size(), 0);
    }

    void theHeaderHasAProgramMenuAndNoWindowButtonsOfItsOwn() {
        NoLibraries loader;
        MainWindow window(language, loader);
        window.create();
        for (const char* gone : {"exit_btn", "min_btn", "skin_btn"}) {
            QVERIFY(window.control(gone) == nullptr);  // the window manager's frame has them
        }
        auto* button = window.control<QPushButton>("main_menu_btn");
        QVERIFY(button != nullptr);
        QCOMPARE(button->accessibleName(), language.text(QStringLiteral("a11y_program_menu_text")));
        QVERIFY(!button->toolTip().isEmpty());
        QTest::keyClick(button, Qt::Key_Space);
        QVERIFY(window.programMenu() != nullptr);
        QMenu& menu = window.programMenu()->menu();
        QVERIFY(menu.findChild<QAction*>("autostart")->isCheckable());
        QVERIFY(!menu.findChild<QAction*>("battery")->isVisible());  // no mouse session here
        // One appearance of many: radio items.
        QActionGroup* looks = menu.findChild<QAction*>("appearance_dark")->actionGroup();
        QVERIFY(looks != nullptr && looks->isExclusive() && looks->actions().size() == 3);
        QCOMPARE(menu.findChild<QAction*>("exit")->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+Q")));
        // About and Help are dialogs of their own; what they show is read as
        // they are open, and Escape closes them.
        const auto shown = [](const char* dialog, const std::function<void()>& open) {
            QString told;
            QTimer::singleShot(50, [&told, dialog] {
                for (QWidget* top : QApplication::topLevelWidgets()) {
                    if (top->objectName() == dialog && top->isVisible()) {
                        for (const QLabel* label : top->findChildren<QLabel*>()) {
                            told += label->text();
                        }
                        for (const QTextBrowser* text : top->findChildren<QTextBrowser*>()) {
                            told += text->toPlainText();
                        }
                        QTest::keyClick(top, Qt::Key_Escape);
                    }
                }
            });
            open();
            return told;
        };
        const QString about =
            shown("AboutDialog", [&menu] { menu.findChild<QAction*>("about")->trigger(); });
        QVERIFY2(about.contains(QStringLiteral(TVQ_VERSION_FOR_TESTS)) &&
                     about.contains(QStringLiteral("GNU General Public License")),
                 qPrintable(about));
        const QString help =
            shown("HelpDialog", [&menu] { menu.findChild<QAction*>("help")->trigger(); });
        QVERIFY2(help.contains(QStringLiteral("Profiles that follow the application")),
                 qPrintable(help.left(200)));
    }

    void startWithTheDesktopIsACheckItemOfTheTrayMenuHiddenOrNot() {
        QTemporaryDir config;
        const testing::ScopedEnv env("XDG_CONFIG_HOME", config.path().toStdString());
        const QString entry = config.path() + "/autostart/io.github.tvq_config.TvqConfig.desktop";
        NoLibraries loader;
        MainWindow window(language, loader);
        window.create();
        const auto item = [&window] {
            window.logic().trayClicked(TrayClick::kContext);
            return window.trayMenu()->menu().findChild<QAction*>("autostart");
        };
        QAction* autostart = item();
        QVERIFY(autostart != nullptr && autostart->isCheckable());
        QVERIFY(!autostart->isChecked());
        autostart->trigger();
        QTRY_VERIFY(QFile::exists(entry));
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("Exec=\""));
        file.close();
        QVERIFY(item()->isChecked());
        // The program menu offers to start with the window instead.
        const auto hidden = [&window] {
            QTest::keyClick(window.control<QPushButton>("main_menu_btn"), Qt::Key_Space);
            return window.programMenu()->menu().findChild<QAction*>("start_hidden");
        };
        QVERIFY(hidden()->isEnabled() && hidden()->isChecked());
        hidden()->trigger();
        QVERIFY(!hidden()->isChecked());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains("--"));
        file.close();
        item()->trigger();
        QTRY_VERIFY(!QFile::exists(entry));
        QVERIFY(!item()->isChecked());
        QVERIFY(!hidden()->isEnabled());
    }

    void aLongTooltipIsWrappedAndItsWidgetKeepsThePlainText() {
        NoLibraries loader;
        MainWindow window(language, loader);
        window.create();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* button = window.control<QPushButton>("main_menu_btn");
        const QString tip = QStringList(20, QStringLiteral("An explanation & more.")).join(u' ');
        button->setToolTip(tip);
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(button, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().startsWith(QStringLiteral("<p>")));
        QVERIFY(QToolTip::text().contains(QStringLiteral("&amp;")));
        QCOMPARE(button->toolTip(), tip);  // what a screen reader reads
        QToolTip::hideText();
    }

    void ctrlQEndsTheProgram() {
        NoLibraries loader;
        MainWindow window(language, loader);
        window.create();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!window.isVisible());
    }

    void theSessionsQuitEndsTheProgramWhereACloseWouldNot() {
        NoLibraries loader;
        MainWindow window(language, loader);
        window.create();
        window.show();
        // Without the watch the window refuses, as it refuses a close, and
        // is only put away (minimised here, without a tray).
        QEvent quit(QEvent::Quit);
        QVERIFY(QCoreApplication::sendEvent(qApp, &quit));
        QVERIFY(!window.isVisible());
    }

    void destroyWithoutHookLibrary() {
        NoLibraries loader;
        auto window = std::make_unique<MainWindow>(language, loader);
        window->create();
        QVERIFY(!window->hookLibrary().loaded());
        window->logic().dpiStageShown(20);
        window->quit();  // closes the display; no hook function is called
        QCOMPARE(window->dpiDisplay(), nullptr);
        window.reset();
    }
};

}  // namespace tvq

QTEST_MAIN(tvq::WindowTest)
#include "window_test.moc"

#include "toolkit/layout_reader.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QXmlStreamReader>
#include <memory>
#include <optional>
#include <vector>

namespace tvq {
namespace {

QWidget* createWidget(QStringView type, QWidget* parent) {
    if (type == u"QWidget") {
        return new QWidget(parent);
    }
    if (type == u"QFrame") {
        return new QFrame(parent);
    }
    if (type == u"QLabel") {
        return new QLabel(parent);
    }
    if (type == u"QPushButton") {
        return new QPushButton(parent);
    }
    if (type == u"QToolButton") {
        return new QToolButton(parent);
    }
    if (type == u"QCheckBox") {
        return new QCheckBox(parent);
    }
    if (type == u"QRadioButton") {
        return new QRadioButton(parent);
    }
    if (type == u"QComboBox") {
        return new QComboBox(parent);
    }
    if (type == u"QSlider") {
        return new QSlider(parent);
    }
    if (type == u"QProgressBar") {
        return new QProgressBar(parent);
    }
    if (type == u"QListWidget") {
        return new QListWidget(parent);
    }
    if (type == u"QScrollArea") {
        return new QScrollArea(parent);
    }
    if (type == u"QStackedWidget") {
        return new QStackedWidget(parent);
    }
    if (type == u"QLineEdit") {
        return new QLineEdit(parent);
    }
    if (type == u"QSpinBox") {
        return new QSpinBox(parent);
    }
    if (type == u"QTextBrowser") {
        return new QTextBrowser(parent);
    }
    return nullptr;
}

// A plain widget inside another that is not a container: it is there to
// hold a layout.
bool holdsLayoutOnly(const QWidget* w) {
    return w != nullptr && w->metaObject() == &QWidget::staticMetaObject &&
           w->parentWidget() != nullptr &&
           qobject_cast<const QStackedWidget*>(w->parentWidget()) == nullptr &&
           qobject_cast<const QScrollArea*>(w->parentWidget()) == nullptr;
}

QLayout* createLayout(QStringView type, QWidget* owner) {
    if (type == u"QVBoxLayout") {
        return new QVBoxLayout(owner);
    }
    if (type == u"QHBoxLayout") {
        return new QHBoxLayout(owner);
    }
    if (type == u"QGridLayout") {
        return new QGridLayout(owner);
    }
    return nullptr;
}

// "QSizePolicy::Fixed" or "Fixed".
std::optional<QSizePolicy::Policy> sizePolicyNamed(QStringView name) {
    const QMetaEnum policies = QMetaEnum::fromType<QSizePolicy::Policy>();
    const qsizetype scope = name.lastIndexOf(u"::");
    bool ok = false;
    const int value =
        policies.keyToValue(name.mid(scope < 0 ? 0 : scope + 2).toLatin1().constData(), &ok);
    return ok ? std::optional(static_cast<QSizePolicy::Policy>(value)) : std::nullopt;
}

struct Cell {
    int row = -1;
    int column = -1;
    int rowSpan = 1;
    int columnSpan = 1;
};

class Builder {
  public:
    explicit Builder(const QByteArray& text) : xml_(text) {}

    QWidget* build(QWidget* parent) {
        QWidget* root = nullptr;
        if (xml_.readNextStartElement() && xml_.name() == u"ui") {
            while (xml_.readNextStartElement()) {
                if (xml_.name() == u"widget" && root == nullptr) {
                    root = widget(parent);
                } else {
                    xml_.skipCurrentElement();
                }
            }
        } else if (!xml_.hasError()) {
            xml_.raiseError(QStringLiteral("not a layout: no <ui> element"));
        }
        if (!xml_.hasError() && root == nullptr) {
            xml_.raiseError(QStringLiteral("the layout has no widget"));
        }
        if (xml_.hasError()) {
            delete root;
            return nullptr;
        }
        for (QLayout* l : layouts_) {
            l->setEnabled(true);  // laid out when shown
        }
        for (const auto& [label, name] : buddies_) {
            label->setBuddy(root->findChild<QWidget*>(name));
        }
        return root;
    }

    QString error() const {
        return QStringLiteral("line %1: %2")
            .arg(QString::number(xml_.lineNumber()), xml_.errorString());
    }

  private:
    // At <widget>: the widget, its properties, layout, items and children.
    QWidget* widget(QWidget* parent) {
        const Nesting nesting(*this);
        QWidget* w = made<QWidget>(
            "widget", [parent](const QString& type) { return createWidget(type, parent); });
        if (w == nullptr) {
            return nullptr;
        }

        std::optional<int> currentIndex;  // once the pages or items exist
        while (xml_.readNextStartElement()) {
            const QStringView element = xml_.name();
            if (element == u"property") {
                if (xml_.attributes().value(QLatin1StringView("name")) == u"currentIndex") {
                    currentIndex = plainValue().toInt();
                } else {
                    property(w);
                }
            } else if (element == u"layout") {
                layout(w, w);
            } else if (element == u"item") {
                listItem(w);
            } else if (element == u"widget") {
                // A page of a stack or a scroll area's content is built on its
                // own, then put in place.
                auto* area = qobject_cast<QScrollArea*>(w);
                auto* stack = qobject_cast<QStackedWidget*>(w);
                QWidget* child = widget(area != nullptr || stack != nullptr ? nullptr : w);
                if (child != nullptr && area != nullptr) {
                    if (area->widgetResizable()) {
                        // The area sizes it once shown; without this it would
                        // be sized to its size hint now, before it is styled.
                        child->resize(child->size());
                    }
                    area->setWidget(child);
                } else if (child != nullptr && stack != nullptr) {
                    stack->addWidget(child);
                }
            } else {
                xml_.skipCurrentElement();
            }
        }
        if (currentIndex) {
            w->setProperty("currentIndex", *currentIndex);
        }
        return w;
    }

    // At <layout>: a layout of `owner`, or (owner null) one to be nested;
    // its widgets are children of `holder`.
    QLayout* layout(QWidget* owner, QWidget* holder) {
        const Nesting nesting(*this);
        QLayout* l = made<QLayout>(
            "layout", [owner](const QString& type) { return createLayout(type, owner); });
        if (l == nullptr) {
            return nullptr;
        }
        // Off while the layout is built: a stack's current page or a widget
        // shown would otherwise lay out its part now, with the fonts it has
        // before the window dresses it (loading fonts it never shows in).
        l->setEnabled(false);
        layouts_.push_back(l);
        // The margins the layout names none of are the style's as the widget
        // stands now, as Designer builds them; none in a plain widget that
        // only holds a layout inside another.
        if (owner != nullptr) {
            l->setContentsMargins(holdsLayoutOnly(owner) ? QMargins() : l->contentsMargins());
        }
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"property") {
                const QString name = xml_.attributes().value(QLatin1StringView("name")).toString();
                auto* grid = qobject_cast<QGridLayout*>(l);
                if (name.endsWith(u"Margin")) {
                    margin(l, name, plainValue().toInt());
                } else if (grid != nullptr && name == u"horizontalSpacing") {
                    grid->setHorizontalSpacing(plainValue().toInt());
                } else if (grid != nullptr && name == u"verticalSpacing") {
                    grid->setVerticalSpacing(plainValue().toInt());
                } else {
                    property(l);
                }
            } else if (xml_.name() == u"item") {
                layoutItem(l, holder);
            } else {
                xml_.skipCurrentElement();
            }
        }
        return l;
    }

    static void margin(QLayout* l, QStringView side, int value) {
        QMargins m = l->contentsMargins();
        if (side == u"leftMargin") {
            m.setLeft(value);
        } else if (side == u"topMargin") {
            m.setTop(value);
        } else if (side == u"rightMargin") {
            m.setRight(value);
        } else if (side == u"bottomMargin") {
            m.setBottom(value);
        }
        l->setContentsMargins(m);
    }

    // At a layout's <item>: a widget, a nested layout or a spacer.
    void layoutItem(QLayout* l, QWidget* holder) {
        Cell cell;
        const QXmlStreamAttributes a = xml_.attributes();
        const auto number = [&a](const char* name, int fallback) {
            const QLatin1StringView attribute(name);
            return a.hasAttribute(attribute) ? a.value(attribute).toInt() : fallback;
        };
        cell.row = number("row", -1);
        cell.column = number("column", -1);
        cell.rowSpan = number("rowspan", 1);
        cell.columnSpan = number("colspan", 1);
        auto* grid = qobject_cast<QGridLayout*>(l);
        auto* box = qobject_cast<QBoxLayout*>(l);
        while (xml_.readNextStartElement()) {
            const QStringView element = xml_.name();
            if (element == u"widget") {
                if (QWidget* w = widget(holder)) {
                    if (grid != nullptr) {
                        grid->addWidget(w, cell.row, cell.column, cell.rowSpan, cell.columnSpan);
                    } else {
                        l->addWidget(w);
                    }
                }
            } else if (element == u"layout") {
                if (QLayout* nested = layout(nullptr, holder)) {
                    if (grid != nullptr) {
                        grid->addLayout(nested, cell.row, cell.column, cell.rowSpan,
                                        cell.columnSpan);
                    } else if (box != nullptr) {
                        box->addLayout(nested);
                    }
                }
            } else if (element == u"spacer") {
                QSpacerItem* space = spacer();
                if (grid != nullptr) {
                    grid->addItem(space, cell.row, cell.column, cell.rowSpan, cell.columnSpan);
                } else {
                    l->addItem(space);
                }
            } else {
                xml_.skipCurrentElement();
            }
        }
    }

    // At <spacer>.
    QSpacerItem* spacer() {
        Qt::Orientation orientation = Qt::Horizontal;
        QSizePolicy::Policy type = QSizePolicy::Expanding;
        QSize size(0, 0);
        while (xml_.readNextStartElement()) {
            if (xml_.name() != u"property") {
                xml_.skipCurrentElement();
                continue;
            }
            const QString name = xml_.attributes().value(QLatin1StringView("name")).toString();
            const QVariant v = plainValue();
            if (name == u"orientation") {
                orientation = v.toString().endsWith(u"Vertical") ? Qt::Vertical : Qt::Horizontal;
            } else if (name == u"sizeType") {
                type = sizePolicyNamed(v.toString()).value_or(type);
            } else if (name == u"sizeHint") {
                size = v.toSize();
            }
        }
        return orientation == Qt::Horizontal
                   ? new QSpacerItem(size.width(), size.height(), type, QSizePolicy::Minimum)
                   : new QSpacerItem(size.width(), size.height(), QSizePolicy::Minimum, type);
    }

    // At an <item> of a drop-down list or a list: its text.
    void listItem(QWidget* w) {
        QString text;
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"property" &&
                xml_.attributes().value(QLatin1StringView("name")) == u"text") {
                text = plainValue().toString();
            } else {
                xml_.skipCurrentElement();
            }
        }
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            combo->addItem(text);
        } else if (auto* list = qobject_cast<QListWidget*>(w)) {
            list->addItem(text);
        }
    }

    // At <property>: sets it on `target`.
    void property(QObject* target) {
        const QXmlStreamAttributes a = xml_.attributes();
        const QByteArray name = a.value(QLatin1StringView("name")).toLatin1();
        // One of the layouts' own ("textKey", "class"…) rather than Qt's.
        const bool own = a.value(QLatin1StringView("stdset")) == u"0";
        const QMetaObject* type = target->metaObject();
        const int index = own ? -1 : type->indexOfProperty(name.constData());
        const std::optional<QMetaProperty> known =
            index >= 0 ? std::optional(type->property(index)) : std::nullopt;
        std::optional<QVariant> value = readValue(known ? &*known : nullptr);
        if (!value) {
            return;
        }
        if (name == "buddy") {
            if (auto* label = qobject_cast<QLabel*>(target)) {
                buddies_.emplace_back(label, value->toString());
            }
        } else if (own) {
            target->setProperty(name.constData(), *value);
        } else if (!known) {
            xml_.raiseError(QStringLiteral("\"%1\" has no property \"%2\"")
                                .arg(target->objectName(), QString::fromLatin1(name)));
        } else if (!known->write(target, *value)) {
            xml_.raiseError(
                QStringLiteral("the property \"%1\" of \"%2\" cannot be \"%3\"")
                    .arg(QString::fromLatin1(name), target->objectName(), value->toString()));
        }
    }

    // At <property>: its value; names of enumerations and flags become the
    // numbers of `target`'s type. Nothing, with an error, for a kind of
    // value no layout uses.
    std::optional<QVariant> readValue(const QMetaProperty* target) {
        std::optional<QVariant> value;
        while (xml_.readNextStartElement()) {
            if (value) {
                xml_.skipCurrentElement();
                continue;
            }
            const QStringView kind = xml_.name();
            if (kind == u"string" || kind == u"cstring") {
                value = xml_.readElementText();
            } else if (kind == u"number") {
                value = xml_.readElementText().toInt();
            } else if (kind == u"double") {
                value = xml_.readElementText().toDouble();
            } else if (kind == u"bool") {
                value = xml_.readElementText() == u"true";
            } else if (kind == u"enum" || kind == u"set") {
                value = enumValue(kind == u"set", xml_.readElementText(), target);
            } else if (kind == u"size") {
                const auto n = numbers();
                value = QSize(n.value(QStringLiteral("width")), n.value(QStringLiteral("height")));
            } else if (kind == u"rect") {
                const auto n = numbers();
                value = QRect(n.value(QStringLiteral("x")), n.value(QStringLiteral("y")),
                              n.value(QStringLiteral("width")), n.value(QStringLiteral("height")));
            } else if (kind == u"sizepolicy") {
                value = sizePolicy();
            } else {
                xml_.raiseError(QStringLiteral("no property value of kind <%1>").arg(kind));
                return std::nullopt;
            }
        }
        return value;
    }

    QVariant enumValue(bool set, const QString& names, const QMetaProperty* target) {
        if (target == nullptr || !target->isEnumType()) {
            return names;  // a spacer's, read by name
        }
        bool ok = false;
        const QByteArray keys = names.toLatin1();
        const QMetaEnum e = target->enumerator();
        const int v =
            set ? e.keysToValue(keys.constData(), &ok) : e.keyToValue(keys.constData(), &ok);
        if (!ok) {
            xml_.raiseError(QStringLiteral("\"%1\" is not a value of %2").arg(names, e.name()));
            return {};
        }
        QVariant out(v);
        out.convert(target->metaType());
        return out;
    }

    // The numbers inside <size> or <rect>, by element name.
    QHash<QString, int> numbers() {
        QHash<QString, int> n;
        while (xml_.readNextStartElement()) {
            const QString name = xml_.name().toString();
            n.insert(name, xml_.readElementText().toInt());
        }
        return n;
    }

    QSizePolicy sizePolicy() {
        const QXmlStreamAttributes a = xml_.attributes();
        QSizePolicy p(sizePolicyNamed(a.value(QLatin1StringView("hsizetype")))
                          .value_or(QSizePolicy::Preferred),
                      sizePolicyNamed(a.value(QLatin1StringView("vsizetype")))
                          .value_or(QSizePolicy::Preferred));
        const QHash<QString, int> n = numbers();
        p.setHorizontalStretch(n.value(QStringLiteral("horstretch")));
        p.setVerticalStretch(n.value(QStringLiteral("verstretch")));
        return p;
    }

    // The object of the class the element names, made by `make` and named;
    // null, with the reason, for a class it does not know or nesting too deep.
    template <class T, class Make>
    T* made(const char* what, Make make) {
        const QString type = xml_.attributes().value(QLatin1StringView("class")).toString();
        T* object = depth_ <= kMaxDepth ? make(type) : nullptr;
        if (object == nullptr) {
            xml_.raiseError(depth_ > kMaxDepth
                                ? QStringLiteral("%1s nested deeper than %2")
                                      .arg(what, QString::number(kMaxDepth))
                                : QStringLiteral("no %1 of class \"%2\"").arg(what, type));
            return nullptr;
        }
        object->setObjectName(xml_.attributes().value(QLatin1StringView("name")).toString());
        return object;
    }

    // At <property>: its value as written, enumerations by name.
    QVariant plainValue() { return readValue(nullptr).value_or(QVariant()); }

    // Far deeper than any window; a deeper text is not a layout of ours.
    static constexpr int kMaxDepth = 64;
    struct Nesting {
        explicit Nesting(Builder& b) : builder(b) { ++builder.depth_; }
        ~Nesting() { --builder.depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;
        Builder& builder;
    };

    QXmlStreamReader xml_;
    int depth_ = 0;
    std::vector<std::pair<QLabel*, QString>> buddies_;
    std::vector<QLayout*> layouts_;
};

}  // namespace

QWidget* readLayout(const QByteArray& text, QWidget* parent, QString* error) {
    Builder builder(text);
    QWidget* root = builder.build(parent);
    if (root == nullptr && error != nullptr) {
        *error = builder.error();
    }
    return root;
}

}  // namespace tvq

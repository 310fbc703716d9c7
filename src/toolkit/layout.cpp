#include "toolkit/layout.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "base/debug.h"
#include "platform/program_folder.h"
#include "toolkit/language.h"
#include "toolkit/layout_reader.h"
#include "toolkit/scheme.h"

namespace tvq {

QWidget* buildWidget(const QByteArray& layoutText, QWidget* parent) {
    return readLayout(layoutText, parent, nullptr);
}

namespace {

void showTexts(QWidget* root, const LanguageManager& language) {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        if (w->dynamicPropertyNames().isEmpty()) {
            continue;  // no keys
        }
        if (auto* combo = qobject_cast<QComboBox*>(w);
            combo != nullptr && ownProperty(w, "itemTextKeys").toBool()) {
            for (int i = 0; i < combo->count(); ++i) {
                combo->setItemText(i, language.text(combo->itemText(i)));
            }
        }
        if (const QVariant nameKey = ownProperty(w, "accessibleNameKey"); nameKey.isValid()) {
            w->setAccessibleName(language.text(nameKey.toString()));
        }
        // A tooltip explains a term; screen readers read it as the description.
        if (const QVariant tipKey = ownProperty(w, "toolTipKey"); tipKey.isValid()) {
            w->setToolTip(language.text(tipKey.toString()));
        }
        const QVariant key = ownProperty(w, "textKey");
        if (!key.isValid()) {
            continue;
        }
        const QString text = language.text(key.toString());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            label->setText(text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            button->setText(text);
        }
    }
}

// Where each <widget> element whose dynamic property "deferred" is true
// stands in the layout's text. Designer writes a widget's properties before
// its children, so the property's widget is the nearest "<widget" before it.
struct Range {
    qsizetype begin;
    qsizetype end;
    QString name;
};
constexpr QByteArrayView kDeferredMarker = "<property name=\"deferred\"";
// The name of a part's empty stand-in until it is built: its own name with
// this added, which no Designer name can end with, so that the stand-in is
// never taken for the part's control.
constexpr QLatin1StringView kStandInSuffix(":to-come");

// From `from` on: a deferred part's own marker is skipped, and those within
// it are found.
std::vector<Range> deferredRanges(const QByteArray& xml, qsizetype from) {
    static constexpr QByteArrayView marker = kDeferredMarker;
    static constexpr QByteArrayView open = "<widget";
    static constexpr QByteArrayView close = "</widget>";
    std::vector<Range> ranges;
    for (qsizetype at = xml.indexOf(marker, from); at >= 0; at = xml.indexOf(marker, at + 1)) {
        const qsizetype propertyEnd = xml.indexOf("</property>", at);
        const qsizetype isTrue = xml.indexOf("<bool>true</bool>", at);
        const qsizetype begin = xml.lastIndexOf(open, at);
        if (propertyEnd < 0 || isTrue < 0 || isTrue > propertyEnd || begin < 0 ||
            (!ranges.empty() && begin < ranges.back().end)) {
            continue;  // not true, or inside a part already deferred
        }
        const qsizetype nameAt = xml.indexOf("name=\"", begin) + 6;
        const qsizetype nameEnd = xml.indexOf('"', nameAt);
        // The matching end tag: count the widgets opened and closed after it.
        int depth = 0;
        qsizetype pos = begin;
        qsizetype end = -1;
        while (pos >= 0) {
            const qsizetype nextOpen = xml.indexOf(open, pos);
            const qsizetype nextClose = xml.indexOf(close, pos);
            if (nextClose < 0) {
                break;
            }
            if (nextOpen >= 0 && nextOpen < nextClose) {
                const qsizetype tagEnd = xml.indexOf('>', nextOpen);
                const bool selfClosing = tagEnd > 0 && xml[tagEnd - 1] == '/';
                depth += selfClosing ? 0 : 1;
                pos = tagEnd;
            } else {
                pos = nextClose + close.size();
                if (--depth == 0) {
                    end = pos;
                    break;
                }
            }
        }
        if (end > begin && nameAt > begin && nameEnd > nameAt) {
            ranges.push_back({begin, end, QString::fromUtf8(xml.mid(nameAt, nameEnd - nameAt))});
        }
    }
    return ranges;
}

// Takes the outermost deferred parts (from `from` on) out of `xml` into
// `parts`, each replaced by an empty stand-in.
void takeDeferred(QByteArray& xml, qsizetype from, std::vector<DeferredPart>& parts) {
    const std::vector<Range> ranges = deferredRanges(xml, from);
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
        parts.push_back({it->name, xml.mid(it->begin, it->end - it->begin)});
        xml.replace(
            it->begin, it->end - it->begin,
            "<widget class=\"QWidget\" name=\"" + (it->name + kStandInSuffix).toUtf8() + "\"/>");
    }
}

// A widget given a new parent goes to the end of its window's Tab order. The
// Tab order of a part put in place of `placeholder` is mended: the
// focusable widgets that followed the placeholder follow the part again.
class TabPlace {
  public:
    explicit TabPlace(QWidget* placeholder) {
        const QWidget* window = placeholder->window();
        QWidget* w = placeholder;
        for (int steps = 0; steps < kFocusChainLimit; ++steps) {
            w = w->nextInFocusChain();
            if (w == window || w == placeholder) {
                break;
            }
            if (reachable(w)) {
                followers_ << w;
            }
        }
    }
    void mend(QWidget* part) const {
        QWidget* last = reachable(part) ? part : nullptr;  // a part of one control
        QWidget* w = part;
        for (int steps = 0; steps < kFocusChainLimit; ++steps) {
            w = w->nextInFocusChain();
            if (w == part || !part->isAncestorOf(w)) {
                break;
            }
            if (reachable(w)) {
                last = w;
            }
        }
        for (QWidget* follower : followers_) {
            if (last != nullptr && follower != nullptr) {
                QWidget::setTabOrder(last, follower);
                last = follower;
            }
        }
    }

  private:
    static constexpr int kFocusChainLimit = 4000;  // widgets walked at most
    static bool reachable(const QWidget* w) {
        return (w->focusPolicy() & Qt::TabFocus) != 0 && w->focusProxy() == nullptr;
    }
    QList<QPointer<QWidget>> followers_;
};

// The root widget's style sheet, taken out of the layout: it is set once all
// widgets exist, since a sheet present while they are built styles each new
// child again as the next ones arrive.
QString takeRootStyleSheet(QByteArray& xml) {
    const qsizetype open = xml.indexOf("<property name=\"styleSheet\">");
    const qsizetype firstChild = xml.indexOf("<widget", xml.indexOf("<widget") + 1);
    if (open < 0 || (firstChild >= 0 && open > firstChild)) {
        return {};
    }
    const qsizetype close = xml.indexOf("</property>", open);
    const qsizetype textStart = xml.indexOf('>', xml.indexOf("<string", open)) + 1;
    const qsizetype textEnd = xml.indexOf("</string>", textStart);
    if (close < 0 || textStart <= 0 || textEnd < textStart || textEnd > close) {
        return {};
    }
    QString sheet = QString::fromUtf8(xml.mid(textStart, textEnd - textStart));
    sheet.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
    xml.remove(open, close + qsizetype(sizeof("</property>") - 1) - open);
    return sheet;
}

QWidget* load(const QByteArray& xml, QWidget* parent, const QString& file) {
    QString error;
    QWidget* w = readLayout(xml, parent, &error);
    if (w == nullptr) {
        debug::write("malformed layout " + file.toStdString() + ": " + error.toStdString() + "\n");
    }
    return w;
}

}  // namespace

QString resourceFolder() {
    return QString::fromStdString(programFolder()) + "res/";
}

LoadedLayout::LoadedLayout(const QString& file, QWidget* host, const LanguageManager* language,
                           bool deferParts)
    : file_(file), language_(language) {
    QFile source(resourceFolder() + file);
    if (!source.open(QIODevice::ReadOnly)) {
        debug::write("no layout " + source.fileName().toStdString() + "\n");
        return;
    }
    // Worked on as UTF-8 bytes: the markers looked for are ASCII.
    QByteArray xml = source.readAll();
    const QString sheet = takeRootStyleSheet(xml);
    takeDeferred(xml, 0, deferred_);
    content_ = load(xml, host, file);
    if (content_ == nullptr) {
        deferred_.clear();
        return;
    }
    auto* box = new QVBoxLayout(host);  // owned by the host
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(content_);
    host->resize(content_->size());
    if (!content_->windowTitle().isEmpty()) {
        host->setWindowTitle(content_->windowTitle());
    }
    if (language_ != nullptr) {
        showTexts(content_, *language_);
    }
    if (!sheet.isEmpty()) {
        followScheme(content_, [content = content_, sheet](Scheme scheme) {
            content->setStyleSheet(themedSheet(sheet, scheme));
        });
    }
    while (!deferParts && hasDeferred()) {
        buildDeferred();
    }
}

void LoadedLayout::buildDeferred(const std::function<void(QWidget*)>& prepare) {
    std::vector<DeferredPart> parts;
    parts.swap(deferred_);
    for (DeferredPart& part : parts) {
        QWidget* placeholder = content_->findChild<QWidget*>(part.name + kStandInSuffix);
        QWidget* parent = placeholder != nullptr ? placeholder->parentWidget() : nullptr;
        if (parent == nullptr) {
            continue;
        }
        // The parts deferred within this one wait for the next call.
        takeDeferred(part.xml, part.xml.indexOf(kDeferredMarker) + 1, deferred_);
        const QByteArray document = "<ui version=\"4.0\">" + part.xml + "</ui>";
        // Built apart from the styled window and then put in place: built in
        // place, every new child would restyle the part again.
        QWidget* built = load(document, nullptr, file_);
        if (built == nullptr) {
            continue;
        }
        if (language_ != nullptr) {
            showTexts(built, *language_);
        }
        if (prepare) {
            prepare(built);
        }
        const TabPlace tabPlace(placeholder);
        built->setParent(parent);
        if (auto* stack = qobject_cast<QStackedWidget*>(parent)) {
            const int index = stack->indexOf(placeholder);
            const bool current = stack->currentWidget() == placeholder;
            stack->insertWidget(index, built);
            if (current) {
                stack->setCurrentWidget(built);
            }
        } else if (parent->layout() != nullptr) {
            delete parent->layout()->replaceWidget(placeholder, built);
        }
        delete placeholder;
        tabPlace.mend(built);
    }
}

}  // namespace tvq

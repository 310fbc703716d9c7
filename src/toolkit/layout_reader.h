#pragma once

// Builds widgets from a Qt Designer layout (".ui" XML), in one pass over the
// text: the widget and layout classes, properties, list and drop-down items,
// spacers and grid cells that the program's layouts use. Reading them
// ourselves spares the start-up the UiTools library and the OpenGL libraries
// it brings, and the document tree it builds before the first widget.
//
// A property is set through Qt's property system by its name, so designable
// properties and the layouts' own dynamic ones ("textKey", "class"…) alike;
// enumerations and flags are given by their names ("Qt::AlignLeft|…").

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVariant>

class QWidget;

namespace tvq {

// The root widget of `text`, under `parent`; null, with `error` set, when the
// text is not well-formed XML or names a class this reader does not build.
// Nothing of a layout that fails is left behind.
QWidget* readLayout(const QByteArray& text, QWidget* parent, QString* error);

// One of the layouts' own properties of `o` (or one the program set the same
// way), or an invalid value. Asked for by name alone, a property `o` lacks
// costs a search through every property of its classes before the dynamic
// ones; this looks among the dynamic ones only.
inline QVariant ownProperty(const QObject* o, const char* name) {
    return o->dynamicPropertyNames().contains(name) ? o->property(name) : QVariant();
}

}  // namespace tvq

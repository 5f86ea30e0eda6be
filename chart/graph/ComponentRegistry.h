#pragma once
// The classes a chart file may name for its series and markers: class name -> creator and
// the record operations of the class. A chart loader creates a stored series or marker of a
// class listed here; a name it does not know creates nothing.
//
// How a kind registers itself: add one line to the table in ComponentRegistry.cpp,
//     VxSeriesClass<TVxBubbles>("TVxBubbles"),       (or VxMarkerClass<T>("T") for a marker)
// and include the kind's header there. Both need a constructor T(QObject* AOwner); a series
// kind saves through the record operations of TVxSeries, a marker kind through those of
// TVxMovable (WriteToStream / ReadFromStream, WriteToXml / ReadFromXml, WriteToIni /
// ReadFromIni).

#include "persistence/BinaryStream.h"

#include <QIODevice>
#include <QObject>
#include <QString>
#include <functional>
#include <pugixml.hpp>
#include <vector>

class TVxIniFile;

/// What the registered class is to a graph.
enum class TVxComponentKind {
    Series, ///< a series, listed in the graph's related series
    Marker, ///< a marker, one of the graph's items
};

/// One registered class: how to create an object of it and how the object saves and loads
/// its own record in each container.
struct TVxComponentClass {
    /// The class name as written in files ("TVxPointSeries").
    QString ClassName;
    TVxComponentKind Kind = TVxComponentKind::Series;
    /// A new object of the class owned by AOwner (nullptr: no owner).
    std::function<QObject*(QObject* AOwner)> Create;
    /// The object's whole record in a binary stream.
    std::function<void(const QObject*, QIODevice&)> WriteStream;
    std::function<void(QObject*, QIODevice&)> ReadStream;
    /// The object's element, appended to a parent node; read from the element itself.
    std::function<void(const QObject*, pugi::xml_node)> WriteXml;
    std::function<void(QObject*, pugi::xml_node)> ReadXml;
    /// The object's keys in an ini section.
    std::function<void(const QObject*, TVxIniFile&, const QString&)> WriteIni;
    std::function<void(QObject*, const TVxIniFile&, const QString&)> ReadIni;
};

/// The entry of a series class T (constructor T(QObject*) and the record operations).
template <typename T>
TVxComponentClass VxComponentClass(const char* ClassName, TVxComponentKind Kind) {
    TVxComponentClass c;
    c.ClassName = QString::fromLatin1(ClassName);
    c.Kind = Kind;
    c.Create = [](QObject* AOwner) -> QObject* { return new T(AOwner); };
    c.WriteStream = [](const QObject* o, QIODevice& s) { static_cast<const T*>(o)->WriteTo(s); };
    c.ReadStream = [](QObject* o, QIODevice& s) { static_cast<T*>(o)->ReadFrom(s); };
    c.WriteXml = [](const QObject* o, pugi::xml_node n) { static_cast<const T*>(o)->WriteTo(n); };
    c.ReadXml = [](QObject* o, pugi::xml_node n) { static_cast<T*>(o)->ReadFrom(n); };
    c.WriteIni = [](const QObject* o, TVxIniFile& i, const QString& s) {
        static_cast<const T*>(o)->WriteTo(i, s);
    };
    c.ReadIni = [](QObject* o, const TVxIniFile& i, const QString& s) {
        static_cast<T*>(o)->ReadFrom(i, s);
    };
    return c;
}

/// A series class T (derived from TVxSeries).
template <typename T> TVxComponentClass VxSeriesClass(const char* ClassName) {
    return VxComponentClass<T>(ClassName, TVxComponentKind::Series);
}

/// A marker class T (one of the graph's items, with the record operations of a marker).
template <typename T> TVxComponentClass VxMarkerClass(const char* ClassName) {
    TVxComponentClass c;
    c.ClassName = QString::fromLatin1(ClassName);
    c.Kind = TVxComponentKind::Marker;
    c.Create = [](QObject* AOwner) -> QObject* { return new T(AOwner); };
    c.WriteStream = [](const QObject* o, QIODevice& s) {
        TVxStreamWriter out(s);
        static_cast<const T*>(o)->WriteToStream(out);
    };
    c.ReadStream = [](QObject* o, QIODevice& s) {
        TVxStreamReader in(s);
        static_cast<T*>(o)->ReadFromStream(in);
    };
    c.WriteXml = [](const QObject* o, pugi::xml_node n) {
        static_cast<const T*>(o)->WriteToXml(n);
    };
    c.ReadXml = [](QObject* o, pugi::xml_node n) { static_cast<T*>(o)->ReadFromXml(n); };
    c.WriteIni = [](const QObject* o, TVxIniFile& i, const QString& s) {
        static_cast<const T*>(o)->WriteToIni(i, s);
    };
    c.ReadIni = [](QObject* o, const TVxIniFile& i, const QString& s) {
        static_cast<T*>(o)->ReadFromIni(i, s);
    };
    return c;
}

class TVxComponentRegistry {
public:
    /// The registry of the process, filled with the table of ComponentRegistry.cpp.
    static TVxComponentRegistry& Instance();

    /// Adds a class, or replaces the entry of the same name.
    void Register(TVxComponentClass Class);
    /// Removes the class of that name (nothing when it is not registered).
    void Unregister(const QString& ClassName);
    /// The entry of a class name, nullptr when the name is not registered.
    const TVxComponentClass* Find(const QString& ClassName) const;
    /// The entry of Object's class or its nearest registered base class of Kind, nullptr
    /// when none is registered.
    const TVxComponentClass* FindFor(const QObject* Object, TVxComponentKind Kind) const;
    /// Every registered class, in the order registered.
    const std::vector<TVxComponentClass>& Classes() const { return FClasses; }

private:
    TVxComponentRegistry();
    std::vector<TVxComponentClass> FClasses;
};

#pragma once
// A whole chart saved to and loaded from each container the graph writes: binary stream,
// file, XML and ini. Shared by the chart records tests and the gallery's save-and-load check.

#include "graph/Graph.h"
#include "persistence/AtomicFile.h"
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"

#include <QBuffer>
#include <QFile>
#include <pugixml.hpp>

enum class TGraphContainer { Stream, File, Xml, Ini };

/// The saved bytes. Section names the ini section; FilePath the file of the File container.
inline QByteArray SaveGraph(const TVxGraph2D& Graph, TGraphContainer Container, bool IncludeValues,
                            const QString& Section, const QString& FilePath = {}) {
    switch (Container) {
    case TGraphContainer::Stream: {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        Graph.WriteTo(static_cast<QIODevice&>(buffer), IncludeValues);
        return bytes;
    }
    case TGraphContainer::File:
        Graph.WriteTo(FilePath, IncludeValues);
        return ReadWholeFile(FilePath);
    case TGraphContainer::Xml: {
        pugi::xml_document doc;
        Graph.WriteTo(doc, IncludeValues);
        return SaveXmlDocument(doc);
    }
    case TGraphContainer::Ini: {
        TVxIniFile ini;
        Graph.WriteTo(ini, Section, IncludeValues);
        return ini.SaveToText();
    }
    }
    return {};
}

/// Reads Bytes, as SaveGraph wrote them, into Graph.
inline void LoadGraph(TVxGraph2D& Graph, TGraphContainer Container, QByteArray Bytes,
                      const QString& Section, const QString& FilePath = {}) {
    switch (Container) {
    case TGraphContainer::Stream: {
        QBuffer buffer(&Bytes);
        buffer.open(QIODevice::ReadOnly);
        Graph.ReadFrom(static_cast<QIODevice&>(buffer));
        return;
    }
    case TGraphContainer::File: {
        QFile file(FilePath);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(Bytes);
        file.close();
        Graph.ReadFrom(FilePath);
        return;
    }
    case TGraphContainer::Xml: {
        pugi::xml_document doc;
        LoadXmlDocument(doc, Bytes);
        Graph.ReadFrom(doc.first_child());
        return;
    }
    case TGraphContainer::Ini: {
        TVxIniFile ini;
        ini.LoadFromText(Bytes);
        Graph.ReadFrom(ini, Section);
        return;
    }
    }
}

// The saved record of an axis in a binary stream (or a file holding one), an XML element and
// an ini section. Every reader treats its input as hostile: enumerations, counts, texts and
// the zoom history are checked, an end marker from a newer layout is refused, and a failure
// raises an error that names the record. References resolve at the end of the read (or
// with the loader's collection), so a record may name an axis that is read later.

#include "axes/AxisLook.h"
#include "persistence/AtomicFile.h"
#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/PendingReferences.h"
#include "persistence/RecordErrors.h"
#include "persistence/XmlCodec.h"
#include "styles/StyleRecords.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"
#include "vectors/DataSource.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <QFile>
#include <cmath>
#include <string>

namespace {

constexpr int LastPosition = int(TVxAxisPosition::Right);
constexpr int LastScaling = int(TVxAxisScaling::Rubrics);
constexpr int LastEndRounding = int(TVxAxisEndRounding::RndNothing);
constexpr int LastEnd = int(TVxAxisEnd::MovingSlit);
constexpr int LastAlignment = int(TVxCaptionAlignment::Center);
constexpr int LastGridMode = int(TVxMajorGridMode::AtMajorTick);

const char* const PartNames[3] = {"LabelParts", "MajorParts", "MinorParts"};

// The saved zoom history: both lists and the index shown.
struct TZoomRecord {
    std::vector<double> Starts;
    std::vector<double> Stops;
    int Index = 0;
};

void CheckZoom(const TZoomRecord& Zoom) {
    if (Zoom.Starts.size() != Zoom.Stops.size())
        throw EVxStreamError("zoom history lists of " + std::to_string(Zoom.Starts.size()) +
                             " and " + std::to_string(Zoom.Stops.size()) + " entries");
    if (Zoom.Index < 0 || size_t(Zoom.Index) >= Zoom.Starts.size())
        throw EVxStreamError("zoom index " + std::to_string(Zoom.Index) + " outside the " +
                             std::to_string(Zoom.Starts.size()) + " saved ranges");
}

// A zoom list is a plain vector of values, never a data binding.
std::vector<double> ZoomValues(const TVxDoubleVector& Vector) {
    if (Vector.DBData())
        throw EVxStreamError("a zoom history list bound to a data source");
    const std::span<const double> values = Vector.InternalArray();
    return {values.begin(), values.end()};
}

// Writes a zoom list in the vector record layout of the container.
template <typename F> void WriteZoomList(const std::vector<double>& Values, F&& Write) {
    TVxDoubleVector vector;
    vector.SetInternalArray(Values);
    Write(vector);
}

QString IndexedKey(const char* Base, int i) {
    return QString::fromLatin1(Base) + '.' + QString::number(i);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Shared by the three containers

// Applies the saved range, zoom history and data range (each only when present).
void TVxAxis::RestoreRange(bool HasRange, double AStart, double AStop, bool HasZoom,
                           std::vector<double> Starts, std::vector<double> Stops, int ZoomIndex,
                           bool HasValues, double AValuesStart, double AValuesStop) {
    if (HasRange) {
        SetStart(AStart);
        SetStop(AStop);
    }
    if (HasZoom) {
        if (Starts.empty())
            FZoom.Clear();
        else
            FZoom.Assign(std::move(Starts), std::move(Stops), ZoomIndex);
    }
    if (HasValues) {
        FValuesStart = AValuesStart;
        FValuesStop = AValuesStop;
    }
    FTransformDirty = true;
    // Unzoomed ends that follow the data were rounded from the data range: the next rounding
    // starts from that range again, as it would have before saving, not from the rounded ends.
    FRoundedFrom = FRoundedTo = {std::nan(""), std::nan("")};
    if (HasValues && !CanZoomBack() && FScale.StopEnd != TVxAxisEnd::MovingSlit &&
        AValuesStart <= AValuesStop && std::isfinite(AValuesStart) && std::isfinite(AValuesStop)) {
        double start;
        double stop;
        RangeOfValues(start, stop);
        FRoundedFrom = {start, stop};
        FRoundedTo = {FScale.Start, FScale.Stop};
    }
}

// ---------------------------------------------------------------------------------------------
// Binary stream

void TVxAxis::WriteTo(QIODevice& Stream) const {
    TVxAxisLook& look = AxisLook(const_cast<TVxAxis&>(*this));
    TVxStreamWriter out(Stream);
    out.WriteComponent(this);
    out.WriteBool(look.Visible());
    out.WriteText(FHint);
    out.WriteBool(FParentShowHint);
    out.WriteBool(FShowHint);
    out.WriteByte(uint8_t(FPosition));
    out.WriteInt32(look.Top());
    out.WriteInt32(look.Left());
    out.WriteBool(look.AutoSize());
    out.WriteInt32(FWidth);
    out.WriteInt32(FHeight);
    for (float v : {look.AxisThicknes(), look.MajorTickThicknes(), look.TickThicknes(),
                    look.MajorTickLength(), look.TickLength()})
        out.WriteSingle(v);
    out.WriteColor(look.ForeColor());
    out.WriteColor(look.MajorTickColor());
    out.WriteColor(look.TickColor());
    out.WriteText(look.Caption());
    out.WriteBool(look.CaptionVisible());
    out.WriteBool(look.CaptionHorizontalOnVerticalAxis());
    out.WriteByte(uint8_t(look.CaptionAlignment()));
    out.WriteColor(look.CaptionColor());
    out.WriteSingle(look.CaptionDistanceBefore());
    out.WriteSingle(look.CaptionDistanceAfter());
    WriteFontSettings(out, *look.CaptionFont());
    out.WriteByte(uint8_t(FScale.Scaling));
    out.WriteDouble(FScale.LogToNormalScalingLevel);
    out.WriteBool(look.TicksPointToData());
    out.WriteBool(FScale.Twisted);
    out.WriteBool(look.NumbersVisible());
    out.WriteColor(look.NumbersColor());
    out.WriteSingle(look.RubricsAngle());
    out.WriteDouble(FMovingSlitWidth);
    out.WriteDouble(FMovingSlitIncrement);
    out.WriteInt32(FScale.ExtraDigits);
    out.WriteDouble(FScale.MaxForExtraExponent);
    out.WriteDouble(FScale.MinForExtraExponent);
    out.WriteBool(FScale.AutoTickParts);
    out.WriteDouble(FScale.LabelPart);
    out.WriteDouble(FScale.MajorTickPart);
    out.WriteDouble(FScale.TickPart);
    WriteFontSettings(out, *look.Font());
    out.WriteDouble(FScale.Start);
    out.WriteDouble(FScale.Stop);
    out.WriteByte(uint8_t(FScale.EndRounding));
    out.WriteByte(uint8_t(FScale.StartEnd));
    out.WriteByte(uint8_t(FScale.StopEnd));
    out.WriteBool(FRubricsBound);
    if (FRubricsBound) {
        out.WriteComponent(FDataSource.data());
        out.WriteText(FRubricsField);
    } else {
        out.WriteInt32(int32_t(FRubrics.size()));
        for (const QString& text : FRubrics)
            out.WriteText(text);
    }
    const TVxDateTimeFormats& f = FScale.Formats;
    for (const QString* text :
         {&f.ShortMonthFormat, &f.LongMonthFormat, &f.DayFormat, &f.DayAndHourFormat,
          &f.MinuteFormat, &f.SecondFormat, &f.MilliSecondFormat})
        out.WriteText(*text);
    out.WriteBool(FIsSlaveAxis);
    out.WriteComponent(FMasterAxis.data());
    out.WriteDouble(FSlaveOffset);
    out.WriteDouble(FSlaveSlope);
    const TVxAxisArrowPoint& arrow = *look.ArrowPoint();
    out.WriteBool(arrow.Visible());
    out.WriteSingle(arrow.PointLength());
    out.WriteSingle(arrow.InnerLength());
    out.WriteSingle(arrow.PointHeight());
    out.WriteSingle(look.DistanceValuesAxis());
    out.WriteSingle(look.DistanceAxisLabels());
    out.WriteSingle(look.DistanceAxisExtraExponent());
    out.WriteBool(FZoom.CanZoomBack());
    if (FZoom.CanZoomBack()) {
        for (const auto* list : {&FZoom.Starts(), &FZoom.Stops()})
            WriteZoomList(*list, [&](const TVxDoubleVector& v) { v.WriteTo(Stream); });
        out.WriteInt32(FZoom.ZoomStage());
    }
    out.WriteContinuation(true);
    out.WriteSingle(LabelDistanceFactor());
    for (const auto* parts : {&FScale.LabelParts, &FScale.MajorParts, &FScale.MinorParts})
        for (double v : *parts)
            out.WriteDouble(v);
    out.WriteContinuation(true);
    out.WriteByte(uint8_t(FScale.MajorGridMode));
    out.WriteContinuation(true);
    out.WriteDouble(FValuesStart);
    out.WriteDouble(FValuesStop);
    out.WriteContinuation(false);
}

void TVxAxis::ReadFrom(QIODevice& Stream, bool WithRange) {
    TVxReferenceReader refs;
    ReadNamedRecord("TVxAxis", [&] {
        TVxAxisLook& look = AxisLook(*this);
        TVxStreamReader in(Stream);
        in.ReadText(); // the saved path names the axis that was saved
        look.SetVisible(in.ReadBool());
        SetHint(in.ReadText());
        SetParentShowHint(in.ReadBool());
        SetShowHint(in.ReadBool());
        SetPosition(TVxAxisPosition(in.ReadEnum(LastPosition)));
        const int top = in.ReadInt32();
        const int left = in.ReadInt32();
        look.SetPosition(left, top);
        look.SetAutoSize(in.ReadBool());
        const int width = in.ReadInt32();
        const int height = in.ReadInt32();
        SetSize(width, height);
        look.SetAxisThicknes(in.ReadSingle());
        look.SetMajorTickThicknes(in.ReadSingle());
        look.SetTickThicknes(in.ReadSingle());
        look.SetMajorTickLength(in.ReadSingle());
        look.SetTickLength(in.ReadSingle());
        look.SetForeColor(in.ReadColor());
        look.SetMajorTickColor(in.ReadColor());
        look.SetTickColor(in.ReadColor());
        look.SetCaption(in.ReadText());
        look.SetCaptionVisible(in.ReadBool());
        look.SetCaptionHorizontalOnVerticalAxis(in.ReadBool());
        look.SetCaptionAlignment(TVxCaptionAlignment(in.ReadEnum(LastAlignment)));
        look.SetCaptionColor(in.ReadColor());
        look.SetCaptionDistanceBefore(in.ReadSingle());
        look.SetCaptionDistanceAfter(in.ReadSingle());
        ReadFontSettings(in, *look.CaptionFont());
        SetScaling(TVxAxisScaling(in.ReadEnum(LastScaling)));
        SetLogToNormalScalingLevel(in.ReadDouble());
        look.SetTicksPointToData(in.ReadBool());
        SetTwisted(in.ReadBool());
        look.SetNumbersVisible(in.ReadBool());
        look.SetNumbersColor(in.ReadColor());
        look.SetRubricsAngle(in.ReadSingle());
        SetMovingSlitWidth(in.ReadDouble());
        SetMovingSlitIncrement(in.ReadDouble());
        SetExtraDigits(in.ReadInt32());
        SetMaxForExtraExponent(in.ReadDouble());
        SetMinForExtraExponent(in.ReadDouble());
        SetAutoTickParts(in.ReadBool());
        SetLabelPart(in.ReadDouble());
        SetMajorTickPart(in.ReadDouble());
        SetTickPart(in.ReadDouble());
        ReadFontSettings(in, *look.Font());
        const double start = in.ReadDouble();
        const double stop = in.ReadDouble();
        if (WithRange) {
            SetStart(start);
            SetStop(stop);
        }
        SetEndRounding(TVxAxisEndRounding(in.ReadEnum(LastEndRounding)));
        SetStartEnd(TVxAxisEnd(in.ReadEnum(LastEnd)));
        SetStopEnd(TVxAxisEnd(in.ReadEnum(LastEnd)));
        if (in.ReadBool()) {
            const QString source = in.ReadText();
            SetRubricsField(in.ReadText());
            refs.Add(this, source, TVxDataSource::staticMetaObject,
                     [this](QObject* Found) { SetDataSourceObject(Found); });
        } else {
            SetDataSource(nullptr);
            const int32_t count = in.ReadCount(4);
            QStringList texts;
            for (int32_t k = 0; k < count; ++k)
                texts.append(in.ReadText());
            SetRubricTexts(texts);
        }
        SetShortMonthFormat(in.ReadText());
        SetLongMonthFormat(in.ReadText());
        SetDayFormat(in.ReadText());
        SetDayAndHourFormat(in.ReadText());
        SetMinuteFormat(in.ReadText());
        SetSecondFormat(in.ReadText());
        SetMilliSecondFormat(in.ReadText());
        const bool slave = in.ReadBool();
        const QString master = in.ReadText();
        refs.Add(this, master, TVxAxis::staticMetaObject, [this, slave](QObject* Found) {
            SetMasterAxis(qobject_cast<TVxAxis*>(Found));
            if (!slave)
                SetIsSlaveAxis(false);
        });
        SetSlaveOffset(in.ReadDouble());
        SetSlaveSlope(in.ReadDouble());
        TVxAxisArrowPoint& arrow = *look.ArrowPoint();
        arrow.SetVisible(in.ReadBool());
        arrow.SetPointLength(in.ReadSingle());
        arrow.SetInnerLength(in.ReadSingle());
        arrow.SetPointHeight(in.ReadSingle());
        look.SetDistanceValuesAxis(in.ReadSingle());
        look.SetDistanceAxisLabels(in.ReadSingle());
        look.SetDistanceAxisExtraExponent(in.ReadSingle());
        // The zoom history is checked even when it is not applied: a forged one is an error.
        TZoomRecord zoom;
        const bool hasZoom = in.ReadBool();
        if (hasZoom) {
            TVxDoubleVector list;
            list.ReadFrom(Stream);
            zoom.Starts = ZoomValues(list);
            list.ReadFrom(Stream);
            zoom.Stops = ZoomValues(list);
            zoom.Index = in.ReadInt32();
            CheckZoom(zoom);
        }
        bool hasValues = false;
        double valuesStart = 0, valuesStop = 0;
        if (in.ReadContinuation()) {
            SetLabelDistanceFactor(in.ReadSingle());
            double parts[3][3];
            for (auto& column : parts)
                for (double& v : column)
                    v = in.ReadDouble();
            for (int row = 0; row < 3; ++row)
                SetCandidateParts(row, parts[0][row], parts[1][row], parts[2][row]);
            if (in.ReadContinuation()) {
                SetMajorGridMode(TVxMajorGridMode(in.ReadEnum(LastGridMode)));
                if (in.ReadContinuation()) {
                    valuesStart = in.ReadDouble();
                    valuesStop = in.ReadDouble();
                    hasValues = true;
                    CheckEndMarker(in.ReadByte(), "after the data range");
                }
            }
        }
        if (WithRange)
            RestoreRange(false, 0, 0, true, std::move(zoom.Starts), std::move(zoom.Stops),
                         zoom.Index, hasValues, valuesStart, valuesStop);
        FRedoRange = false;
    });
    refs.Finish();
}

void TVxAxis::WriteTo(const QString& FileName) const {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteTo(buffer);
    WriteFileAtomically(FileName, buffer.data());
}

void TVxAxis::ReadFrom(const QString& FileName, bool WithRange) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EVxStreamError(QString("Cannot open %1: %2").arg(FileName, file.errorString()));
    ReadFrom(file, WithRange);
}

// ---------------------------------------------------------------------------------------------
// XML

void TVxAxis::WriteTo(pugi::xml_node Node) const {
    TVxAxisLook& look = AxisLook(const_cast<TVxAxis&>(*this));
    pugi::xml_node axis = Node.append_child("TVxAxis");
    SetXmlText(axis, "Name", ComponentPath(this));

    pugi::xml_node props = axis.append_child("Properties");
    SetXmlBool(props, "Visible", look.Visible());
    SetXmlInt(props, "Position", int(FPosition));
    SetXmlInt(props, "Top", look.Top());
    SetXmlInt(props, "Left", look.Left());
    SetXmlBool(props, "AutoSize", look.AutoSize());
    SetXmlInt(props, "Width", FWidth);
    SetXmlInt(props, "Height", FHeight);
    SetXmlText(props, "Hint", FHint);
    SetXmlBool(props, "ParentShowHint", FParentShowHint);
    SetXmlBool(props, "ShowHint", FShowHint);
    SetXmlFloat(props, "AxisThicknes", look.AxisThicknes());
    SetXmlFloat(props, "MajorTickThicknes", look.MajorTickThicknes());
    SetXmlFloat(props, "TickThicknes", look.TickThicknes());
    SetXmlFloat(props, "MajorTickLength", look.MajorTickLength());
    SetXmlFloat(props, "TickLength", look.TickLength());
    SetXmlColor(props, "AxisColor", look.ForeColor());
    SetXmlColor(props, "MajorTickColor", look.MajorTickColor());
    SetXmlColor(props, "TickColor", look.TickColor());

    pugi::xml_node caption = axis.append_child("Caption");
    SetXmlText(caption, "Text", look.Caption());
    WriteFontSettings(caption, *look.CaptionFont());
    pugi::xml_node captionProps = caption.append_child("Properties");
    SetXmlBool(captionProps, "Visible", look.CaptionVisible());
    SetXmlBool(captionProps, "HorizontalOnVerticalAxis", look.CaptionHorizontalOnVerticalAxis());
    SetXmlInt(captionProps, "Alignment", int(look.CaptionAlignment()));
    SetXmlColor(captionProps, "Color", look.CaptionColor());
    SetXmlFloat(captionProps, "DistanceBefore", look.CaptionDistanceBefore());
    SetXmlFloat(captionProps, "DistanceAfter", look.CaptionDistanceAfter());

    pugi::xml_node scaling = axis.append_child("Scaling");
    SetXmlInt(scaling, "Type", int(FScale.Scaling));
    SetXmlFloat(scaling, "LogToNormalScalingLevel", FScale.LogToNormalScalingLevel);
    SetXmlBool(scaling, "TicksPointToData", look.TicksPointToData());
    SetXmlBool(scaling, "Twisted", FScale.Twisted);
    SetXmlBool(scaling, "NumbersVisible", look.NumbersVisible());
    SetXmlColor(scaling, "NumbersColor", look.NumbersColor());
    SetXmlFloat(scaling, "RubricsAngle", look.RubricsAngle());
    SetXmlFloat(scaling, "MovingSlitWidth", FMovingSlitWidth);
    SetXmlFloat(scaling, "MovingSlitIncrement", FMovingSlitIncrement);
    SetXmlInt(scaling, "ExtraDigits", FScale.ExtraDigits);
    SetXmlFloat(scaling, "MaxForExtraExponent", FScale.MaxForExtraExponent);
    SetXmlFloat(scaling, "MinForExtraExponent", FScale.MinForExtraExponent);
    WriteFontSettings(scaling, *look.Font());

    pugi::xml_node tickParts = scaling.append_child("TickParts");
    SetXmlFloat(tickParts, "LabelDistanceFactor", LabelDistanceFactor());
    const std::array<double, 3>* tables[3] = {&FScale.LabelParts, &FScale.MajorParts,
                                              &FScale.MinorParts};
    for (int t = 0; t < 3; ++t)
        for (int i = 0; i < 3; ++i)
            SetXmlFloat(tickParts, IndexedKey(PartNames[t], i).toLatin1().constData(),
                        (*tables[t])[size_t(i)]);
    SetXmlBool(tickParts, "Auto", FScale.AutoTickParts);
    if (!FScale.AutoTickParts) {
        SetXmlFloat(tickParts, "Label", FScale.LabelPart);
        SetXmlFloat(tickParts, "Major", FScale.MajorTickPart);
        SetXmlFloat(tickParts, "Minor", FScale.TickPart);
    }
    SetXmlInt(tickParts, "MajorGridMode", int(FScale.MajorGridMode));

    pugi::xml_node ends = scaling.append_child("Ends");
    SetXmlFloat(ends, "Start", FScale.Start);
    SetXmlFloat(ends, "Stop", FScale.Stop);
    SetXmlFloat(ends, "ValuesStart", FValuesStart);
    SetXmlFloat(ends, "ValuesStop", FValuesStop);
    SetXmlInt(ends, "Rounding", int(FScale.EndRounding));
    SetXmlInt(ends, "StartEnd", int(FScale.StartEnd));
    SetXmlInt(ends, "StopEnd", int(FScale.StopEnd));

    pugi::xml_node rubrics = axis.append_child("Rubrics");
    if (FRubricsBound) {
        pugi::xml_node database = rubrics.append_child("Database");
        SetXmlComponent(database, "DataSource", FDataSource.data());
        SetXmlText(database, "RubricsField", FRubricsField);
    } else {
        pugi::xml_node captions = rubrics.append_child("Captions");
        SetXmlInt(captions, "Count", FRubrics.size());
        for (const QString& text : FRubrics)
            SetXmlElementText(captions.append_child("Item"), text);
    }

    pugi::xml_node formats = axis.append_child("DateTimeFormat");
    const TVxDateTimeFormats& f = FScale.Formats;
    SetXmlText(formats, "ShortMonth", f.ShortMonthFormat);
    SetXmlText(formats, "LongMonth", f.LongMonthFormat);
    SetXmlText(formats, "Day", f.DayFormat);
    SetXmlText(formats, "DayAndHour", f.DayAndHourFormat);
    SetXmlText(formats, "Minute", f.MinuteFormat);
    SetXmlText(formats, "Second", f.SecondFormat);
    SetXmlText(formats, "MilliSecond", f.MilliSecondFormat);

    pugi::xml_node slave = axis.append_child("SlaveAxis");
    SetXmlBool(slave, "IsSlave", FIsSlaveAxis);
    SetXmlComponent(slave, "MasterAxis", FMasterAxis.data());
    SetXmlFloat(slave, "Offset", FSlaveOffset);
    SetXmlFloat(slave, "Slope", FSlaveSlope);

    const TVxAxisArrowPoint& arrowPoint = *look.ArrowPoint();
    pugi::xml_node arrow = axis.append_child("Arrow");
    SetXmlBool(arrow, "Visible", arrowPoint.Visible());
    SetXmlFloat(arrow, "PointLength", arrowPoint.PointLength());
    SetXmlFloat(arrow, "InnerLength", arrowPoint.InnerLength());
    SetXmlFloat(arrow, "PointHeight", arrowPoint.PointHeight());

    pugi::xml_node distance = axis.append_child("Distance");
    SetXmlFloat(distance, "ValuesAxis", look.DistanceValuesAxis());
    SetXmlFloat(distance, "AxisLabels", look.DistanceAxisLabels());
    SetXmlFloat(distance, "AxisExtraExponent", look.DistanceAxisExtraExponent());

    if (FZoom.CanZoomBack()) {
        pugi::xml_node zoom = axis.append_child("Zoom");
        for (const auto* list : {&FZoom.Starts(), &FZoom.Stops()})
            WriteZoomList(*list, [&](const TVxDoubleVector& v) { v.WriteTo(zoom); });
        SetXmlInt(zoom, "Idx", FZoom.ZoomStage());
    }
}

void TVxAxis::ReadFrom(pugi::xml_node Element, bool WithRange) {
    TVxReferenceReader refs;
    ReadNamedRecord("TVxAxis", [&] {
        TVxAxisLook& look = AxisLook(*this);
        const pugi::xml_node props = Element.child("Properties");
        look.SetVisible(XmlBool(props, "Visible", look.Visible()));
        SetPosition(
            TVxAxisPosition(XmlIntInRange(props, "Position", 0, LastPosition, int(FPosition))));
        look.SetPosition(XmlInt(props, "Left", look.Left()), XmlInt(props, "Top", look.Top()));
        look.SetAutoSize(XmlBool(props, "AutoSize", look.AutoSize()));
        SetSize(XmlInt(props, "Width", FWidth), XmlInt(props, "Height", FHeight));
        SetHint(XmlText(props, "Hint", FHint));
        SetParentShowHint(XmlBool(props, "ParentShowHint", FParentShowHint));
        SetShowHint(XmlBool(props, "ShowHint", FShowHint));
        look.SetAxisThicknes(float(XmlFloat(props, "AxisThicknes", look.AxisThicknes())));
        look.SetMajorTickThicknes(
            float(XmlFloat(props, "MajorTickThicknes", look.MajorTickThicknes())));
        look.SetTickThicknes(float(XmlFloat(props, "TickThicknes", look.TickThicknes())));
        look.SetMajorTickLength(float(XmlFloat(props, "MajorTickLength", look.MajorTickLength())));
        look.SetTickLength(float(XmlFloat(props, "TickLength", look.TickLength())));
        look.SetForeColor(XmlColor(props, "AxisColor", look.ForeColor()));
        look.SetMajorTickColor(XmlColor(props, "MajorTickColor", look.MajorTickColor()));
        look.SetTickColor(XmlColor(props, "TickColor", look.TickColor()));

        const pugi::xml_node caption = Element.child("Caption");
        look.SetCaption(XmlText(caption, "Text", look.Caption()));
        ReadFontSettings(caption, *look.CaptionFont());
        const pugi::xml_node captionProps = caption.child("Properties");
        look.SetCaptionVisible(XmlBool(captionProps, "Visible", look.CaptionVisible()));
        look.SetCaptionHorizontalOnVerticalAxis(XmlBool(captionProps, "HorizontalOnVerticalAxis",
                                                        look.CaptionHorizontalOnVerticalAxis()));
        look.SetCaptionAlignment(TVxCaptionAlignment(XmlIntInRange(
            captionProps, "Alignment", 0, LastAlignment, int(look.CaptionAlignment()))));
        look.SetCaptionColor(XmlColor(captionProps, "Color", look.CaptionColor()));
        look.SetCaptionDistanceBefore(
            float(XmlFloat(captionProps, "DistanceBefore", look.CaptionDistanceBefore())));
        look.SetCaptionDistanceAfter(
            float(XmlFloat(captionProps, "DistanceAfter", look.CaptionDistanceAfter())));

        const pugi::xml_node scaling = Element.child("Scaling");
        SetScaling(
            TVxAxisScaling(XmlIntInRange(scaling, "Type", 0, LastScaling, int(FScale.Scaling))));
        SetLogToNormalScalingLevel(
            XmlFloat(scaling, "LogToNormalScalingLevel", FScale.LogToNormalScalingLevel));
        look.SetTicksPointToData(XmlBool(scaling, "TicksPointToData", look.TicksPointToData()));
        SetTwisted(XmlBool(scaling, "Twisted", FScale.Twisted));
        look.SetNumbersVisible(XmlBool(scaling, "NumbersVisible", look.NumbersVisible()));
        look.SetNumbersColor(XmlColor(scaling, "NumbersColor", look.NumbersColor()));
        look.SetRubricsAngle(float(XmlFloat(scaling, "RubricsAngle", look.RubricsAngle())));
        SetMovingSlitWidth(XmlFloat(scaling, "MovingSlitWidth", FMovingSlitWidth));
        SetMovingSlitIncrement(XmlFloat(scaling, "MovingSlitIncrement", FMovingSlitIncrement));
        SetExtraDigits(XmlInt(scaling, "ExtraDigits", FScale.ExtraDigits));
        SetMaxForExtraExponent(
            XmlFloat(scaling, "MaxForExtraExponent", FScale.MaxForExtraExponent));
        SetMinForExtraExponent(
            XmlFloat(scaling, "MinForExtraExponent", FScale.MinForExtraExponent));
        ReadFontSettings(scaling, *look.Font());

        const pugi::xml_node tickParts = scaling.child("TickParts");
        SetLabelDistanceFactor(
            float(XmlFloat(tickParts, "LabelDistanceFactor", LabelDistanceFactor())));
        std::array<double, 3>* tables[3] = {&FScale.LabelParts, &FScale.MajorParts,
                                            &FScale.MinorParts};
        double parts[3][3];
        for (int t = 0; t < 3; ++t)
            for (int i = 0; i < 3; ++i)
                parts[t][i] =
                    XmlFloat(tickParts, IndexedKey(PartNames[t], i).toLatin1().constData(),
                             (*tables[t])[size_t(i)]);
        for (int row = 0; row < 3; ++row)
            SetCandidateParts(row, parts[0][row], parts[1][row], parts[2][row]);
        SetAutoTickParts(XmlBool(tickParts, "Auto", FScale.AutoTickParts));
        SetLabelPart(XmlFloat(tickParts, "Label", FScale.LabelPart));
        SetMajorTickPart(XmlFloat(tickParts, "Major", FScale.MajorTickPart));
        SetTickPart(XmlFloat(tickParts, "Minor", FScale.TickPart));
        SetMajorGridMode(TVxMajorGridMode(
            XmlIntInRange(tickParts, "MajorGridMode", 0, LastGridMode, int(FScale.MajorGridMode))));

        const pugi::xml_node ends = scaling.child("Ends");
        const double start = XmlFloat(ends, "Start", FScale.Start);
        const double stop = XmlFloat(ends, "Stop", FScale.Stop);
        const double valuesStart = XmlFloat(ends, "ValuesStart", FValuesStart);
        const double valuesStop = XmlFloat(ends, "ValuesStop", FValuesStop);
        SetEndRounding(TVxAxisEndRounding(
            XmlIntInRange(ends, "Rounding", 0, LastEndRounding, int(FScale.EndRounding))));
        SetStartEnd(TVxAxisEnd(XmlIntInRange(ends, "StartEnd", 0, LastEnd, int(FScale.StartEnd))));
        SetStopEnd(TVxAxisEnd(XmlIntInRange(ends, "StopEnd", 0, LastEnd, int(FScale.StopEnd))));

        const pugi::xml_node rubrics = Element.child("Rubrics");
        if (const pugi::xml_node database = rubrics.child("Database")) {
            if (const pugi::xml_attribute field = database.attribute("RubricsField"))
                SetRubricsField(QString::fromUtf8(field.value()));
            if (database.attribute("DataSource"))
                refs.Add(this, XmlText(database, "DataSource"), TVxDataSource::staticMetaObject,
                         [this](QObject* Found) { SetDataSourceObject(Found); });
        } else if (const pugi::xml_node captions = rubrics.child("Captions")) {
            SetDataSource(nullptr);
            QStringList texts;
            for (pugi::xml_node item = captions.child("Item"); item;
                 item = item.next_sibling("Item"))
                texts.append(XmlElementText(item));
            SetRubricTexts(texts);
        }

        const pugi::xml_node formats = Element.child("DateTimeFormat");
        const TVxDateTimeFormats f = FScale.Formats;
        SetShortMonthFormat(XmlText(formats, "ShortMonth", f.ShortMonthFormat));
        SetLongMonthFormat(XmlText(formats, "LongMonth", f.LongMonthFormat));
        SetDayFormat(XmlText(formats, "Day", f.DayFormat));
        SetDayAndHourFormat(XmlText(formats, "DayAndHour", f.DayAndHourFormat));
        SetMinuteFormat(XmlText(formats, "Minute", f.MinuteFormat));
        SetSecondFormat(XmlText(formats, "Second", f.SecondFormat));
        SetMilliSecondFormat(XmlText(formats, "MilliSecond", f.MilliSecondFormat));

        const pugi::xml_node slave = Element.child("SlaveAxis");
        if (slave.attribute("MasterAxis")) {
            const bool isSlave = XmlBool(slave, "IsSlave", FIsSlaveAxis);
            refs.Add(this, XmlText(slave, "MasterAxis"), TVxAxis::staticMetaObject,
                     [this, isSlave](QObject* Found) {
                         SetMasterAxis(qobject_cast<TVxAxis*>(Found));
                         if (!isSlave)
                             SetIsSlaveAxis(false);
                     });
        } else if (!XmlBool(slave, "IsSlave", FIsSlaveAxis)) {
            SetIsSlaveAxis(false);
        }
        SetSlaveOffset(XmlFloat(slave, "Offset", FSlaveOffset));
        SetSlaveSlope(XmlFloat(slave, "Slope", FSlaveSlope));

        const pugi::xml_node arrowNode = Element.child("Arrow");
        TVxAxisArrowPoint& arrow = *look.ArrowPoint();
        arrow.SetVisible(XmlBool(arrowNode, "Visible", arrow.Visible()));
        arrow.SetPointLength(float(XmlFloat(arrowNode, "PointLength", arrow.PointLength())));
        arrow.SetInnerLength(float(XmlFloat(arrowNode, "InnerLength", arrow.InnerLength())));
        arrow.SetPointHeight(float(XmlFloat(arrowNode, "PointHeight", arrow.PointHeight())));

        const pugi::xml_node distance = Element.child("Distance");
        look.SetDistanceValuesAxis(
            float(XmlFloat(distance, "ValuesAxis", look.DistanceValuesAxis())));
        look.SetDistanceAxisLabels(
            float(XmlFloat(distance, "AxisLabels", look.DistanceAxisLabels())));
        look.SetDistanceAxisExtraExponent(
            float(XmlFloat(distance, "AxisExtraExponent", look.DistanceAxisExtraExponent())));

        if (WithRange) {
            TZoomRecord zoom;
            const pugi::xml_node zoomNode = Element.child("Zoom");
            if (zoomNode) {
                const pugi::xml_node first = zoomNode.child("TVxDoubleVector");
                const pugi::xml_node second = first.next_sibling("TVxDoubleVector");
                TVxDoubleVector list;
                list.ReadFrom(first);
                zoom.Starts = ZoomValues(list);
                list.ReadFrom(second);
                zoom.Stops = ZoomValues(list);
                zoom.Index = XmlInt(zoomNode, "Idx", 0);
                CheckZoom(zoom);
            }
            const bool hasValues = ends.attribute("ValuesStart") || ends.attribute("ValuesStop");
            RestoreRange(true, start, stop, bool(zoomNode), std::move(zoom.Starts),
                         std::move(zoom.Stops), zoom.Index, hasValues, valuesStart, valuesStop);
        }
        FRedoRange = false;
    });
    refs.Finish();
}

// ---------------------------------------------------------------------------------------------
// Ini

void TVxAxis::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    TVxAxisLook& look = AxisLook(const_cast<TVxAxis&>(*this));
    const QString& s = Section;
    Ini.WriteString(s, "Name", ComponentPath(this));
    Ini.WriteBool(s, "Visible", look.Visible());
    Ini.WriteInteger(s, "Position", int(FPosition));
    Ini.WriteInteger(s, "Top", look.Top());
    Ini.WriteInteger(s, "Left", look.Left());
    Ini.WriteBool(s, "AutoSize", look.AutoSize());
    Ini.WriteInteger(s, "Width", FWidth);
    Ini.WriteInteger(s, "Height", FHeight);
    Ini.WriteCaption(s, "Hint", FHint);
    Ini.WriteBool(s, "ParentShowHint", FParentShowHint);
    Ini.WriteBool(s, "ShowHint", FShowHint);
    Ini.WriteFloat(s, "AxisThicknes", look.AxisThicknes());
    Ini.WriteFloat(s, "MajorTickThicknes", look.MajorTickThicknes());
    Ini.WriteFloat(s, "TickThicknes", look.TickThicknes());
    Ini.WriteFloat(s, "MajorTickLength", look.MajorTickLength());
    Ini.WriteFloat(s, "TickLength", look.TickLength());
    Ini.WriteColor(s, "AxisColor", look.ForeColor());
    Ini.WriteColor(s, "MajorTickColor", look.MajorTickColor());
    Ini.WriteColor(s, "TickColor", look.TickColor());
    Ini.WriteCaption(s, "Caption", look.Caption());
    Ini.WriteBool(s, "Caption.Visible", look.CaptionVisible());
    Ini.WriteBool(s, "Caption.HorizontalOnVerticalAxis", look.CaptionHorizontalOnVerticalAxis());
    Ini.WriteInteger(s, "Caption.Alignment", int(look.CaptionAlignment()));
    Ini.WriteColor(s, "Caption.Color", look.CaptionColor());
    Ini.WriteFloat(s, "Caption.DistanceBefore", look.CaptionDistanceBefore());
    Ini.WriteFloat(s, "Caption.DistanceAfter", look.CaptionDistanceAfter());
    WriteFontSettings(Ini, s, "Caption.Font", *look.CaptionFont());
    Ini.WriteInteger(s, "Scaling", int(FScale.Scaling));
    Ini.WriteFloat(s, "LogToNormalScalingLevel", FScale.LogToNormalScalingLevel);
    Ini.WriteBool(s, "TicksPointToData", look.TicksPointToData());
    Ini.WriteBool(s, "Twisted", FScale.Twisted);
    Ini.WriteBool(s, "Numbers.Visible", look.NumbersVisible());
    Ini.WriteColor(s, "Numbers.Color", look.NumbersColor());
    Ini.WriteFloat(s, "RubricsAngle", look.RubricsAngle());
    Ini.WriteFloat(s, "MovingSlit.Width", FMovingSlitWidth);
    Ini.WriteFloat(s, "MovingSlit.Increment", FMovingSlitIncrement);
    Ini.WriteInteger(s, "ExtraDigits", FScale.ExtraDigits);
    Ini.WriteFloat(s, "MaxForExtraExponent", FScale.MaxForExtraExponent);
    Ini.WriteFloat(s, "MinForExtraExponent", FScale.MinForExtraExponent);
    Ini.WriteBool(s, "TickParts.Auto", FScale.AutoTickParts);
    Ini.WriteFloat(s, "LabelDistanceFactor", LabelDistanceFactor());
    const std::array<double, 3>* tables[3] = {&FScale.LabelParts, &FScale.MajorParts,
                                              &FScale.MinorParts};
    for (int t = 0; t < 3; ++t)
        for (int i = 0; i < 3; ++i)
            Ini.WriteFloat(s, IndexedKey(PartNames[t], i), (*tables[t])[size_t(i)]);
    Ini.WriteFloat(s, "TickParts.Label", FScale.LabelPart);
    Ini.WriteFloat(s, "TickParts.Major", FScale.MajorTickPart);
    Ini.WriteFloat(s, "TickParts.Minor", FScale.TickPart);
    Ini.WriteInteger(s, "TickParts.MajorGridMode", int(FScale.MajorGridMode));
    WriteFontSettings(Ini, s, "Font", *look.Font());
    Ini.WriteFloat(s, "Ends.Start", FScale.Start);
    Ini.WriteFloat(s, "Ends.Stop", FScale.Stop);
    Ini.WriteFloat(s, "Ends.ValuesStart", FValuesStart);
    Ini.WriteFloat(s, "Ends.ValuesStop", FValuesStop);
    Ini.WriteInteger(s, "Ends.Rounding", int(FScale.EndRounding));
    Ini.WriteInteger(s, "Ends.StartEnd", int(FScale.StartEnd));
    Ini.WriteInteger(s, "Ends.StopEnd", int(FScale.StopEnd));
    Ini.WriteBool(s, "Rubrics.FromDatabase", FRubricsBound);
    if (FRubricsBound) {
        Ini.WriteComponent(s, "Rubrics.DataSource", FDataSource.data());
        Ini.WriteCaption(s, "Rubrics.RubricsField", FRubricsField);
    } else {
        Ini.WriteInteger(s, "Rubrics.Count", int(FRubrics.size()));
        for (int i = 0; i < FRubrics.size(); ++i)
            Ini.WriteCaption(s, QString("Captions[%1]").arg(i), FRubrics[i]);
    }
    const TVxDateTimeFormats& f = FScale.Formats;
    Ini.WriteCaption(s, "DateTimeFormat.ShortMonth", f.ShortMonthFormat);
    Ini.WriteCaption(s, "DateTimeFormat.LongMonth", f.LongMonthFormat);
    Ini.WriteCaption(s, "DateTimeFormat.Day", f.DayFormat);
    Ini.WriteCaption(s, "DateTimeFormat.DayAndHour", f.DayAndHourFormat);
    Ini.WriteCaption(s, "DateTimeFormat.Minute", f.MinuteFormat);
    Ini.WriteCaption(s, "DateTimeFormat.Second", f.SecondFormat);
    Ini.WriteCaption(s, "DateTimeFormat.MilliSecond", f.MilliSecondFormat);
    Ini.WriteBool(s, "SlaveAxis", FIsSlaveAxis);
    Ini.WriteComponent(s, "MasterAxis", FMasterAxis.data());
    Ini.WriteFloat(s, "Slave.Offset", FSlaveOffset);
    Ini.WriteFloat(s, "Slave.Slope", FSlaveSlope);
    const TVxAxisArrowPoint& arrow = *look.ArrowPoint();
    Ini.WriteBool(s, "Arrow.Visible", arrow.Visible());
    Ini.WriteFloat(s, "Arrow.PointLength", arrow.PointLength());
    Ini.WriteFloat(s, "Arrow.InnerLength", arrow.InnerLength());
    Ini.WriteFloat(s, "Arrow.PointHeight", arrow.PointHeight());
    Ini.WriteFloat(s, "Distance.ValuesAxis", look.DistanceValuesAxis());
    Ini.WriteFloat(s, "Distance.AxisLabels", look.DistanceAxisLabels());
    Ini.WriteFloat(s, "Distance.AxisExtraExponent", look.DistanceAxisExtraExponent());
    Ini.WriteBool(s, "Zoom", FZoom.CanZoomBack());
    if (FZoom.CanZoomBack()) {
        Ini.WriteInteger(s, "Zoom.Idx", FZoom.ZoomStage());
        WriteZoomList(FZoom.Starts(),
                      [&](const TVxDoubleVector& v) { v.WriteTo(Ini, s + ".Zoom.Start"); });
        WriteZoomList(FZoom.Stops(),
                      [&](const TVxDoubleVector& v) { v.WriteTo(Ini, s + ".Zoom.Stop"); });
    }
}

void TVxAxis::ReadFrom(const TVxIniFile& Ini, const QString& Section, bool WithRange) {
    TVxReferenceReader refs;
    ReadNamedRecord("TVxAxis", [&] {
        TVxAxisLook& look = AxisLook(*this);
        const QString& s = Section;
        const auto intIn = [&](const char* Key, int Last, int Current) {
            const int v = Ini.ReadInteger(s, Key, Current);
            if (v < 0 || v > Last)
                throw EVxStreamError(std::string("value ") + std::to_string(v) + " of " + Key +
                                     " out of range");
            return v;
        };
        look.SetVisible(Ini.ReadBool(s, "Visible", look.Visible()));
        SetPosition(TVxAxisPosition(intIn("Position", LastPosition, int(FPosition))));
        const int top = Ini.ReadInteger(s, "Top", look.Top());
        look.SetPosition(Ini.ReadInteger(s, "Left", look.Left()), top);
        look.SetAutoSize(Ini.ReadBool(s, "AutoSize", look.AutoSize()));
        const int width = Ini.ReadInteger(s, "Width", FWidth);
        SetSize(width, Ini.ReadInteger(s, "Height", FHeight));
        SetHint(Ini.ReadCaption(s, "Hint", FHint));
        SetParentShowHint(Ini.ReadBool(s, "ParentShowHint", FParentShowHint));
        SetShowHint(Ini.ReadBool(s, "ShowHint", FShowHint));
        look.SetAxisThicknes(float(Ini.ReadFloat(s, "AxisThicknes", look.AxisThicknes())));
        look.SetMajorTickThicknes(
            float(Ini.ReadFloat(s, "MajorTickThicknes", look.MajorTickThicknes())));
        look.SetTickThicknes(float(Ini.ReadFloat(s, "TickThicknes", look.TickThicknes())));
        look.SetMajorTickLength(float(Ini.ReadFloat(s, "MajorTickLength", look.MajorTickLength())));
        look.SetTickLength(float(Ini.ReadFloat(s, "TickLength", look.TickLength())));
        look.SetForeColor(Ini.ReadColor(s, "AxisColor", look.ForeColor()));
        look.SetMajorTickColor(Ini.ReadColor(s, "MajorTickColor", look.MajorTickColor()));
        look.SetTickColor(Ini.ReadColor(s, "TickColor", look.TickColor()));
        look.SetCaption(Ini.ReadCaption(s, "Caption", look.Caption()));
        look.SetCaptionVisible(Ini.ReadBool(s, "Caption.Visible", look.CaptionVisible()));
        look.SetCaptionHorizontalOnVerticalAxis(Ini.ReadBool(
            s, "Caption.HorizontalOnVerticalAxis", look.CaptionHorizontalOnVerticalAxis()));
        look.SetCaptionAlignment(TVxCaptionAlignment(
            intIn("Caption.Alignment", LastAlignment, int(look.CaptionAlignment()))));
        look.SetCaptionColor(Ini.ReadColor(s, "Caption.Color", look.CaptionColor()));
        look.SetCaptionDistanceBefore(
            float(Ini.ReadFloat(s, "Caption.DistanceBefore", look.CaptionDistanceBefore())));
        look.SetCaptionDistanceAfter(
            float(Ini.ReadFloat(s, "Caption.DistanceAfter", look.CaptionDistanceAfter())));
        ReadFontSettings(Ini, s, "Caption.Font", *look.CaptionFont());
        SetScaling(TVxAxisScaling(intIn("Scaling", LastScaling, int(FScale.Scaling))));
        SetLogToNormalScalingLevel(
            Ini.ReadFloat(s, "LogToNormalScalingLevel", FScale.LogToNormalScalingLevel));
        look.SetTicksPointToData(Ini.ReadBool(s, "TicksPointToData", look.TicksPointToData()));
        SetTwisted(Ini.ReadBool(s, "Twisted", FScale.Twisted));
        look.SetNumbersVisible(Ini.ReadBool(s, "Numbers.Visible", look.NumbersVisible()));
        look.SetNumbersColor(Ini.ReadColor(s, "Numbers.Color", look.NumbersColor()));
        look.SetRubricsAngle(float(Ini.ReadFloat(s, "RubricsAngle", look.RubricsAngle())));
        SetMovingSlitWidth(Ini.ReadFloat(s, "MovingSlit.Width", FMovingSlitWidth));
        SetMovingSlitIncrement(Ini.ReadFloat(s, "MovingSlit.Increment", FMovingSlitIncrement));
        SetExtraDigits(Ini.ReadInteger(s, "ExtraDigits", FScale.ExtraDigits));
        SetMaxForExtraExponent(Ini.ReadFloat(s, "MaxForExtraExponent", FScale.MaxForExtraExponent));
        SetMinForExtraExponent(Ini.ReadFloat(s, "MinForExtraExponent", FScale.MinForExtraExponent));
        SetAutoTickParts(Ini.ReadBool(s, "TickParts.Auto", FScale.AutoTickParts));
        SetLabelDistanceFactor(
            float(Ini.ReadFloat(s, "LabelDistanceFactor", LabelDistanceFactor())));
        std::array<double, 3>* tables[3] = {&FScale.LabelParts, &FScale.MajorParts,
                                            &FScale.MinorParts};
        double parts[3][3];
        for (int t = 0; t < 3; ++t)
            for (int i = 0; i < 3; ++i)
                parts[t][i] =
                    Ini.ReadFloat(s, IndexedKey(PartNames[t], i), (*tables[t])[size_t(i)]);
        for (int row = 0; row < 3; ++row)
            SetCandidateParts(row, parts[0][row], parts[1][row], parts[2][row]);
        SetLabelPart(Ini.ReadFloat(s, "TickParts.Label", FScale.LabelPart));
        SetMajorTickPart(Ini.ReadFloat(s, "TickParts.Major", FScale.MajorTickPart));
        SetTickPart(Ini.ReadFloat(s, "TickParts.Minor", FScale.TickPart));
        SetMajorGridMode(TVxMajorGridMode(
            intIn("TickParts.MajorGridMode", LastGridMode, int(FScale.MajorGridMode))));
        ReadFontSettings(Ini, s, "Font", *look.Font());
        TZoomRecord zoom;
        bool hasZoom = false;
        double start = FScale.Start, stop = FScale.Stop;
        double valuesStart = FValuesStart, valuesStop = FValuesStop;
        bool hasValues = false;
        if (WithRange) {
            start = Ini.ReadFloat(s, "Ends.Start", start);
            stop = Ini.ReadFloat(s, "Ends.Stop", stop);
            hasValues =
                Ini.ValueExists(s, "Ends.ValuesStart") || Ini.ValueExists(s, "Ends.ValuesStop");
            valuesStart = Ini.ReadFloat(s, "Ends.ValuesStart", valuesStart);
            valuesStop = Ini.ReadFloat(s, "Ends.ValuesStop", valuesStop);
        }
        SetEndRounding(
            TVxAxisEndRounding(intIn("Ends.Rounding", LastEndRounding, int(FScale.EndRounding))));
        SetStartEnd(TVxAxisEnd(intIn("Ends.StartEnd", LastEnd, int(FScale.StartEnd))));
        SetStopEnd(TVxAxisEnd(intIn("Ends.StopEnd", LastEnd, int(FScale.StopEnd))));
        if (Ini.ReadBool(s, "Rubrics.FromDatabase", FRubricsBound)) {
            if (Ini.ValueExists(s, "Rubrics.RubricsField"))
                SetRubricsField(Ini.ReadCaption(s, "Rubrics.RubricsField", FRubricsField));
            if (Ini.ValueExists(s, "Rubrics.DataSource"))
                refs.Add(this, Ini.ReadString(s, "Rubrics.DataSource", {}),
                         TVxDataSource::staticMetaObject,
                         [this](QObject* Found) { SetDataSourceObject(Found); });
        } else {
            SetDataSource(nullptr);
            const int count = Ini.ReadInteger(s, "Rubrics.Count", int(FRubrics.size()));
            // Every text is a key of its own: a larger count cannot be genuine.
            if (count < 0 || count > Ini.KeyCount(s))
                throw EVxStreamError("Rubrics.Count " + std::to_string(count) + " exceeds the " +
                                     std::to_string(Ini.KeyCount(s)) + " keys of the section");
            QStringList texts;
            texts.reserve(count);
            for (int i = 0; i < count; ++i)
                texts.append(Ini.ReadCaption(s, QString("Captions[%1]").arg(i),
                                             i < FRubrics.size() ? FRubrics[i] : QString()));
            SetRubricTexts(texts);
        }
        const TVxDateTimeFormats f = FScale.Formats;
        SetShortMonthFormat(Ini.ReadCaption(s, "DateTimeFormat.ShortMonth", f.ShortMonthFormat));
        SetLongMonthFormat(Ini.ReadCaption(s, "DateTimeFormat.LongMonth", f.LongMonthFormat));
        SetDayFormat(Ini.ReadCaption(s, "DateTimeFormat.Day", f.DayFormat));
        SetDayAndHourFormat(Ini.ReadCaption(s, "DateTimeFormat.DayAndHour", f.DayAndHourFormat));
        SetMinuteFormat(Ini.ReadCaption(s, "DateTimeFormat.Minute", f.MinuteFormat));
        SetSecondFormat(Ini.ReadCaption(s, "DateTimeFormat.Second", f.SecondFormat));
        SetMilliSecondFormat(Ini.ReadCaption(s, "DateTimeFormat.MilliSecond", f.MilliSecondFormat));
        const bool isSlave = Ini.ReadBool(s, "SlaveAxis", FIsSlaveAxis);
        if (Ini.ValueExists(s, "MasterAxis"))
            refs.Add(this, Ini.ReadString(s, "MasterAxis", {}), TVxAxis::staticMetaObject,
                     [this, isSlave](QObject* Found) {
                         SetMasterAxis(qobject_cast<TVxAxis*>(Found));
                         if (!isSlave)
                             SetIsSlaveAxis(false);
                     });
        else if (!isSlave)
            SetIsSlaveAxis(false);
        SetSlaveOffset(Ini.ReadFloat(s, "Slave.Offset", FSlaveOffset));
        SetSlaveSlope(Ini.ReadFloat(s, "Slave.Slope", FSlaveSlope));
        TVxAxisArrowPoint& arrow = *look.ArrowPoint();
        arrow.SetVisible(Ini.ReadBool(s, "Arrow.Visible", arrow.Visible()));
        arrow.SetPointLength(float(Ini.ReadFloat(s, "Arrow.PointLength", arrow.PointLength())));
        arrow.SetInnerLength(float(Ini.ReadFloat(s, "Arrow.InnerLength", arrow.InnerLength())));
        arrow.SetPointHeight(float(Ini.ReadFloat(s, "Arrow.PointHeight", arrow.PointHeight())));
        look.SetDistanceValuesAxis(
            float(Ini.ReadFloat(s, "Distance.ValuesAxis", look.DistanceValuesAxis())));
        look.SetDistanceAxisLabels(
            float(Ini.ReadFloat(s, "Distance.AxisLabels", look.DistanceAxisLabels())));
        look.SetDistanceAxisExtraExponent(float(
            Ini.ReadFloat(s, "Distance.AxisExtraExponent", look.DistanceAxisExtraExponent())));
        if (WithRange && Ini.ReadBool(s, "Zoom", FZoom.CanZoomBack())) {
            hasZoom = true;
            TVxDoubleVector list;
            list.ReadFrom(Ini, s + ".Zoom.Start");
            zoom.Starts = ZoomValues(list);
            list.ReadFrom(Ini, s + ".Zoom.Stop");
            zoom.Stops = ZoomValues(list);
            zoom.Index = Ini.ReadInteger(s, "Zoom.Idx", FZoom.ZoomStage());
            CheckZoom(zoom);
        }
        if (WithRange)
            RestoreRange(true, start, stop, hasZoom, std::move(zoom.Starts), std::move(zoom.Stops),
                         zoom.Index, hasValues, valuesStart, valuesStop);
        FRedoRange = false;
    });
    refs.Finish();
}

#pragma once

// One serialization routine per configuration record, used for saving and loading. Each record
// reads and writes its elements in the file's fixed order, gated by the class version found in
// the file, so files of older program versions still load.

#include "config/Config.h"
#include "config/ContainerSerialization.h"

#include <boost/serialization/level.hpp>
#include <boost/serialization/nvp.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/tracking.hpp>

#include <string>

// Text fields are stored as records of their own text class (with a class number and attribute
// triplet in the file), holding the characters byte for byte, XML-escaped.
class TextField {
public:
    explicit TextField(std::string& text) : text_(text) {}

    template <class Archive> void serialize(Archive& ar, const unsigned int version);

private:
    std::string& text_;
};

namespace config_detail {

template <class Archive> void text(Archive& ar, const char* name, std::string& value) {
    TextField field(value);
    ar& boost::serialization::make_nvp(name, field);
}

} // namespace config_detail

template <class Archive> void TextField::serialize(Archive& ar, const unsigned int version) {
    config_detail::requireKnownVersion<TextField>(version);
    ar& boost::serialization::make_nvp(nullptr, text_);
}

namespace boost {
namespace serialization {

template <class Archive> void serialize(Archive& ar, SineInput& s, const unsigned int version) {
    config_detail::requireKnownVersion<SineInput>(version);
    ar& make_nvp("periods", s.periods);
    ar& make_nvp("threshold", s.threshold);
    ar& make_nvp("filter", s.filter);
    ar& make_nvp("filtera", s.filtera);
    ar& make_nvp("filterb", s.filterb);
}

template <class Archive> void serialize(Archive& ar, SquareInput& s, const unsigned int version) {
    config_detail::requireKnownVersion<SquareInput>(version);
    ar& make_nvp("periods", s.periods);
    if (version >= 1)
        ar& make_nvp("filter", s.filter);
}

template <class Archive>
void serialize(Archive& ar, SSIInputWordDetails& w, const unsigned int version) {
    config_detail::requireKnownVersion<SSIInputWordDetails>(version);
    ar& make_nvp("numBits", w.numBits);
    ar& make_nvp("sign", w.sign);
    ar& make_nvp("type", w.type);
    ar& make_nvp("numBitsSingleTurn", w.numBitsSingleTurn);
    ar& make_nvp("numBitsMultiTurn", w.numBitsMultiTurn);
    ar& make_nvp("scaleFactor", w.scaleFactor);
    ar& make_nvp("man_zero", w.man_zero);
}

// Before class version 4 an SSI input stored nothing at all.
template <class Archive> void serialize(Archive& ar, SSIInput& s, const unsigned int version) {
    config_detail::requireKnownVersion<SSIInput>(version);
    if (version < 4)
        return;
    ar& make_nvp("frequency", s.frequency);
    ar& make_nvp("monoflopTime", s.monoflopTime);
    ar& make_nvp("cableLength", s.cableLength);
    ar& make_nvp("gray", s.gray);
    ar& make_nvp("numWords", s.numWords);
    ar& make_nvp("words", s.words);
}

template <class Archive> void serialize(Archive& ar, AnalogInput& a, const unsigned int version) {
    config_detail::requireKnownVersion<AnalogInput>(version);
    ar& make_nvp("filter", a.filter);
}

template <class Archive> void serialize(Archive& ar, InputSettings& s, const unsigned int version) {
    config_detail::requireKnownVersion<InputSettings>(version);
    ar& make_nvp("rate", s.rate);
    ar& make_nvp("displayTime", s.displayTime);
    ar& make_nvp("logTime", s.logTime);
    if (version >= 1)
        ar& make_nvp("lineWidth", s.lineWidth);
    if (version >= 2)
        ar& make_nvp("failure_add_value", s.failure_add_value);
    ar& make_nvp("sineInputs", s.sineInputs);
    ar& make_nvp("squareInputs", s.squareInputs);
    ar& make_nvp("ssiInputs", s.ssiInputs);
    ar& make_nvp("analogInputs", s.analogInputs);
    ar& make_nvp("systemFrequency", s.systemFrequency);
}

template <class Archive> void serialize(Archive& ar, FFTRegion& r, const unsigned int version) {
    config_detail::requireKnownVersion<FFTRegion>(version);
    ar& make_nvp("freq", r.freq);
    ar& make_nvp("width", r.width);
    ar& make_nvp("limitFail", r.limitFail);
}

template <class Archive> void serialize(Archive& ar, ChannelData& c, const unsigned int version) {
    config_detail::requireKnownVersion<ChannelData>(version);
    config_detail::text(ar, "caption", c.caption);
    ar& make_nvp("input", c.input);
    ar& make_nvp("channel", c.channel);
    if (version >= 1) {
        ar& make_nvp("op", c.op);
        ar& make_nvp("input2", c.input2);
        ar& make_nvp("channel2", c.channel2);
    }
    ar& make_nvp("unit", c.unit);
    ar& make_nvp("invert", c.invert);
    if (version >= 2)
        config_detail::text(ar, "offset", c.offset);
    ar& make_nvp("color", c.color);
    if (version >= 3)
        ar& make_nvp("displayTextValue", c.displayTextValue);
}

// A point field is stored as two elements whose names carry a dot, e.g. "scale.x" and "scale.y".
template <class Archive> void point(Archive& ar, const char* xName, const char* yName, Point& p) {
    ar& make_nvp(xName, p.x);
    ar& make_nvp(yName, p.y);
}

// An optional value is stored as a flag and a value, the value 0 when there is none.
template <class Archive>
void optionalValue(Archive& ar, const char* setName, const char* valueName,
                   std::optional<double>& value) {
    bool set = value.has_value();
    double stored = value.value_or(0.0);
    ar& make_nvp(setName, set);
    ar& make_nvp(valueName, stored);
    if (Archive::is_loading::value)
        value = set ? std::optional<double>(stored) : std::nullopt;
}

template <class Archive> void serialize(Archive& ar, GraphData& g, const unsigned int version) {
    config_detail::requireKnownVersion<GraphData>(version);
    config_detail::text(ar, "caption", g.caption);
    ar& make_nvp("channelList", g.channelList);
    if (version >= 1) {
        config_detail::text(ar, "minValue", g.minValue);
        config_detail::text(ar, "maxValue", g.maxValue);
        ar& make_nvp("stopOnOutOfRange", g.stopOnOutOfRange);
    }
    if (version >= 2) {
        point(ar, "scale.x", "scale.y", g.scale);
        point(ar, "offset.x", "offset.y", g.offset);
        point(ar, "graphP1.x", "graphP1.y", g.graphP1);
        point(ar, "graphP2.x", "graphP2.y", g.graphP2);
    }
    if (version >= 3) {
        ar& make_nvp("fft", g.fft);
        ar& make_nvp("fftLogScale", g.fftLogScale);
        config_detail::text(ar, "fftWindow", g.fftWindow);
        config_detail::text(ar, "fftNumAverages", g.fftNumAverages);
        config_detail::text(ar, "fftSize", g.fftSize);
    }
    if (version >= 4) {
        point(ar, "fftScale.x", "fftScale.y", g.fftScale);
        point(ar, "fftOffset.x", "fftOffset.y", g.fftOffset);
        point(ar, "fftGraphP1.x", "fftGraphP1.y", g.fftGraphP1);
        point(ar, "fftGraphP2.x", "fftGraphP2.y", g.fftGraphP2);
        ar& make_nvp("fftRegionList", g.fftRegionList);
    }
    if (version >= 5) {
        ar& make_nvp("lissajous", g.lissajous);
        ar& make_nvp("lissajousInput", g.lissajousInput);
        config_detail::text(ar, "lissajousNominal", g.lissajousNominal);
        config_detail::text(ar, "lissajousTolerance", g.lissajousTolerance);
        ar& make_nvp("signalQuality", g.signalQuality);
    }
    if (version >= 6) {
        optionalValue(ar, "cursor1Set", "cursor1", g.cursors.first);
        optionalValue(ar, "cursor2Set", "cursor2", g.cursors.second);
        optionalValue(ar, "fftCursor1Set", "fftCursor1", g.fftCursors.first);
        optionalValue(ar, "fftCursor2Set", "fftCursor2", g.fftCursors.second);
        ar& make_nvp("statistics", g.statistics);
    }
}

template <class Archive>
void serialize(Archive& ar, TriggerSettings& t, const unsigned int version) {
    config_detail::requireKnownVersion<TriggerSettings>(version);
    ar& make_nvp("enabled", t.enabled);
    ar& make_nvp("source", t.source);
    ar& make_nvp("graph", t.graph);
    ar& make_nvp("channel", t.channel);
    ar& make_nvp("input", t.input);
    config_detail::text(ar, "level", t.level);
    ar& make_nvp("slope", t.slope);
    config_detail::text(ar, "preTrigger", t.preTrigger);
    config_detail::text(ar, "timeout", t.timeout);
}

template <class Archive> void serialize(Archive& ar, Config& c, const unsigned int version) {
    config_detail::requireKnownVersion<Config>(version);
    ar& make_nvp("inputSettings", c.inputSettings);
    ar& make_nvp("graphList", c.graphList);
    ar& make_nvp("syncXAxis", c.syncXAxis);
    ar& make_nvp("zero", c.zero);
    if (version >= 1)
        ar& make_nvp("intervallGraphDisplayTextValue", c.intervallGraphDisplayTextValue);
    if (version >= 2)
        ar& make_nvp("GraphData_BOOST_CLASS_version", c.GraphData_BOOST_CLASS_version);
    if (version >= 3)
        ar& make_nvp("torvenLogo", c.torvenLogo);
    if (version >= 4)
        ar& make_nvp("lockGraphs", c.lockGraphs);
    if (version >= 5)
        ar& make_nvp("trigger", c.trigger);
}

} // namespace serialization
} // namespace boost

BOOST_CLASS_VERSION(Config, 5)
BOOST_CLASS_VERSION(InputSettings, 2)
BOOST_CLASS_VERSION(SineInput, 0)
BOOST_CLASS_VERSION(SquareInput, 1)
BOOST_CLASS_VERSION(SSIInput, 4)
BOOST_CLASS_VERSION(SSIInputWordDetails, 1)
BOOST_CLASS_VERSION(AnalogInput, 0)
BOOST_CLASS_VERSION(GraphData, 6)
BOOST_CLASS_VERSION(TextField, 0)
BOOST_CLASS_VERSION(ChannelData, 3)
BOOST_CLASS_VERSION(FFTRegion, 1)
BOOST_CLASS_VERSION(TriggerSettings, 0)

// Records are always stored by value, never through pointers.
BOOST_CLASS_TRACKING(Config, boost::serialization::track_never)
BOOST_CLASS_TRACKING(InputSettings, boost::serialization::track_never)
BOOST_CLASS_TRACKING(SineInput, boost::serialization::track_never)
BOOST_CLASS_TRACKING(SquareInput, boost::serialization::track_never)
BOOST_CLASS_TRACKING(SSIInput, boost::serialization::track_never)
BOOST_CLASS_TRACKING(SSIInputWordDetails, boost::serialization::track_never)
BOOST_CLASS_TRACKING(AnalogInput, boost::serialization::track_never)
BOOST_CLASS_TRACKING(GraphData, boost::serialization::track_never)
BOOST_CLASS_TRACKING(TextField, boost::serialization::track_never)
BOOST_CLASS_TRACKING(ChannelData, boost::serialization::track_never)
BOOST_CLASS_TRACKING(FFTRegion, boost::serialization::track_never)
BOOST_CLASS_TRACKING(TriggerSettings, boost::serialization::track_never)

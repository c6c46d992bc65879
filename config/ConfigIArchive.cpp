#include "config/ConfigIArchive.h"

#include <boost/archive/detail/archive_serializer_map.hpp>
#include <boost/archive/impl/archive_serializer_map.ipp>
#include <boost/archive/impl/basic_xml_iarchive.ipp>
#include <boost/archive/impl/xml_iarchive_impl.ipp>
#include <boost/archive/xml_archive_exception.hpp>
#include <boost/serialization/throw_exception.hpp>

template class boost::archive::detail::archive_serializer_map<ConfigIArchive>;
template class boost::archive::basic_xml_iarchive<ConfigIArchive>;
template class boost::archive::xml_iarchive_impl<ConfigIArchive>;

// Boost's tag check is switched off (load_end does it), and so is its header handling, which
// would read the trailer in the destructor.
ConfigIArchive::ConfigIArchive(std::istream& is)
    : Base(is, boost::archive::no_header | boost::archive::no_xml_tag_checking) {
    init();
}

void ConfigIArchive::readTrailer() {
    if (!gimpl->windup(get_is()))
        boost::serialization::throw_exception(boost::archive::archive_exception(
            boost::archive::archive_exception::input_stream_error));
}

void ConfigIArchive::load_start(const char* name) {
    Base::load_start(name);
    if (name)
        ++depth_;
}

void ConfigIArchive::load_end(const char* name) {
    Base::load_end(name);
    if (!name || --depth_ == 0)
        return;
    if (gimpl->rv.object_name != name)
        boost::serialization::throw_exception(boost::archive::xml_archive_exception(
            boost::archive::xml_archive_exception::xml_archive_tag_mismatch, name));
}

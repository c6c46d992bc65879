#include "config/ConfigArchive.h"

#include <boost/archive/detail/archive_serializer_map.hpp>
#include <boost/archive/impl/archive_serializer_map.ipp>
#include <boost/archive/impl/basic_xml_oarchive.ipp>
#include <boost/archive/impl/xml_oarchive_impl.ipp>

#include <charconv>
#include <exception>

template class boost::archive::detail::archive_serializer_map<ConfigOArchive>;
template class boost::archive::basic_xml_oarchive<ConfigOArchive>;
template class boost::archive::xml_oarchive_impl<ConfigOArchive>;

namespace {

// General notation with the given significant digits and trailing zeros dropped, like printf
// "%.<digits>g", but always with "." as the decimal mark whatever the process locale.
template <class T> void writeGeneral(std::ostream& os, T value, int digits) {
    char text[64];
    const std::to_chars_result end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    os.write(text, end.ptr - text);
}

} // namespace

// Boost's own header and trailer handling would write the trailer from the base class
// destructor, through a downcast to this class after it has been destroyed. The archive is
// therefore opened without a header and writes both itself, while it is still whole.
ConfigOArchive::ConfigOArchive(std::ostream& os) : Base(os, boost::archive::no_header) {
    init();
}

ConfigOArchive::~ConfigOArchive() {
    if (std::uncaught_exceptions() == 0)
        windup();
}

void ConfigOArchive::save(const float& t) {
    writeGeneral(os, t, 8);
}

void ConfigOArchive::save(const double& t) {
    writeGeneral(os, t, 17);
}

#pragma once

#include <boost/archive/xml_iarchive.hpp>

#include <istream>

// The XML input archive of the configuration file. It reads exactly what Boost's XML archive
// reads and, like it, stops at an end tag whose name is not the expected one, except at the
// root element. Boost's own comparison indexes the expected name by the length of the name
// found in the file, so a longer end tag there reads past the end of the expected name; this
// archive compares the whole names instead.
class ConfigIArchive : public boost::archive::xml_iarchive_impl<ConfigIArchive> {
    using Base = boost::archive::xml_iarchive_impl<ConfigIArchive>;
    friend class boost::archive::detail::interface_iarchive<ConfigIArchive>;
    friend class boost::archive::basic_xml_iarchive<ConfigIArchive>;
    friend class boost::archive::load_access;

public:
    // Reads the declaration, the document type and the wrapper with its library version.
    explicit ConfigIArchive(std::istream& is);

protected:
    void load_start(const char* name);
    void load_end(const char* name);

private:
    unsigned depth_ = 0; // named elements open, the root element included
};

BOOST_SERIALIZATION_REGISTER_ARCHIVE(ConfigIArchive)

#pragma once

#include <boost/archive/xml_iarchive.hpp>

#include <istream>

// The XML input archive of the configuration file. It reads exactly what Boost's XML archive
// reads, with two faults of Boost's archive avoided:
//  - Like Boost's archive it stops at an end tag whose name is not the expected one, except at
//    the root element; but Boost's comparison indexes the expected name by the length of the
//    name found in the file, so a longer end tag there reads past the end of the expected name.
//    This archive compares the whole names.
//  - Boost's archive reads the closing wrapper tag in its destructor, and a damaged or missing
//    one then throws out of the destructor and ends the program. Here readTrailer() reads it
//    and reports a bad one like any other format error.
class ConfigIArchive : public boost::archive::xml_iarchive_impl<ConfigIArchive> {
    using Base = boost::archive::xml_iarchive_impl<ConfigIArchive>;
    friend class boost::archive::detail::interface_iarchive<ConfigIArchive>;
    friend class boost::archive::basic_xml_iarchive<ConfigIArchive>;
    friend class boost::archive::load_access;

public:
    // Reads the declaration, the document type and the wrapper with its library version.
    explicit ConfigIArchive(std::istream& is);
    // Reads the closing wrapper tag after the content; throws an archive exception when it is
    // damaged or missing.
    void readTrailer();

protected:
    void load_start(const char* name);
    void load_end(const char* name);

private:
    unsigned depth_ = 0; // named elements open, the root element included
};

BOOST_SERIALIZATION_REGISTER_ARCHIVE(ConfigIArchive)

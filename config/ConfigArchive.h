#pragma once

#include <boost/archive/xml_oarchive.hpp>

#include <ostream>

// The XML output archive of the configuration file. It writes exactly what Boost's XML archive
// writes, except for floating-point numbers: the file keeps them short and readable, floats as
// printf "%.8g" and doubles as "%.17g" (Boost would write scientific notation with max_digits10).
class ConfigOArchive : public boost::archive::xml_oarchive_impl<ConfigOArchive> {
    using Base = boost::archive::xml_oarchive_impl<ConfigOArchive>;
    friend class boost::archive::detail::interface_oarchive<ConfigOArchive>;
    friend class boost::archive::basic_xml_oarchive<ConfigOArchive>;
    friend class boost::archive::save_access;

public:
    explicit ConfigOArchive(std::ostream& os);
    // Writes the closing wrapper line.
    ~ConfigOArchive() override;

protected:
    template <class T> void save(const T& t) { Base::save(t); }
    void save(const float& t);
    void save(const double& t);
};

BOOST_SERIALIZATION_REGISTER_ARCHIVE(ConfigOArchive)

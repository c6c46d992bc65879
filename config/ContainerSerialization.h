#pragma once

// How the KLib containers and the standard containers beneath them are stored in the
// configuration file. A KLib container writes its standard container without an element of its
// own, so the first tag of each container carries two class attribute triplets: the KLib
// container's, then the standard container's.

#include "KLib/Array.h"
#include "KLib/List.h"

#include <boost/archive/archive_exception.hpp>
#include <boost/serialization/collection_size_type.hpp>
#include <boost/serialization/item_version_type.hpp>
#include <boost/serialization/nvp.hpp>
#include <boost/serialization/split_free.hpp>
#include <boost/serialization/throw_exception.hpp>
#include <boost/serialization/version.hpp>

#include <list>
#include <utility>
#include <vector>

namespace config_detail {

// Boost reads records of a class version newer than this program knows without complaint; such
// a file was written by a newer program and cannot be read faithfully, so the load stops.
template <class T> void requireKnownVersion(unsigned int fileVersion) {
    if (fileVersion > boost::serialization::version<T>::value)
        boost::serialization::throw_exception(boost::archive::archive_exception(
            boost::archive::archive_exception::unsupported_class_version));
}

template <class Archive, class Container>
void saveCollection(Archive& ar, const Container& container) {
    const boost::serialization::collection_size_type count(container.size());
    ar << BOOST_SERIALIZATION_NVP(count);
    const boost::serialization::item_version_type item_version(
        boost::serialization::version<typename Container::value_type>::value);
    ar << BOOST_SERIALIZATION_NVP(item_version);
    for (const auto& item : container)
        ar << boost::serialization::make_nvp("item", item);
}

// Empties the container first and appends each element only once it is read completely, so a
// load that fails part way leaves exactly the elements read before the error.
template <class Archive, class Container> void loadCollection(Archive& ar, Container& container) {
    container.clear();
    boost::serialization::collection_size_type count;
    ar >> BOOST_SERIALIZATION_NVP(count);
    // Archives before library version 4 did not store the element class version here.
    if (boost::archive::library_version_type(3) < ar.get_library_version()) {
        boost::serialization::item_version_type item_version(0);
        ar >> BOOST_SERIALIZATION_NVP(item_version);
    }
    for (std::size_t i = 0; i < count; ++i) {
        typename Container::value_type item;
        ar >> boost::serialization::make_nvp("item", item);
        container.push_back(std::move(item));
    }
}

} // namespace config_detail

namespace boost {
namespace serialization {

template <class Archive, class T, class Allocator>
void save(Archive& ar, const std::vector<T, Allocator>& v, const unsigned int) {
    config_detail::saveCollection(ar, v);
}
template <class Archive, class T, class Allocator>
void load(Archive& ar, std::vector<T, Allocator>& v, const unsigned int) {
    config_detail::loadCollection(ar, v);
}
template <class Archive, class T, class Allocator>
void serialize(Archive& ar, std::vector<T, Allocator>& v, const unsigned int version) {
    config_detail::requireKnownVersion<std::vector<T, Allocator>>(version);
    split_free(ar, v, version);
}

template <class Archive, class T, class Allocator>
void save(Archive& ar, const std::list<T, Allocator>& l, const unsigned int) {
    config_detail::saveCollection(ar, l);
}
template <class Archive, class T, class Allocator>
void load(Archive& ar, std::list<T, Allocator>& l, const unsigned int) {
    config_detail::loadCollection(ar, l);
}
template <class Archive, class T, class Allocator>
void serialize(Archive& ar, std::list<T, Allocator>& l, const unsigned int version) {
    config_detail::requireKnownVersion<std::list<T, Allocator>>(version);
    split_free(ar, l, version);
}

// A nameless element puts the standard container's class attributes on the KLib container's tag.
template <class Archive, class T>
void serialize(Archive& ar, KLib::Array<T>& a, const unsigned version) {
    config_detail::requireKnownVersion<KLib::Array<T>>(version);
    ar& make_nvp(nullptr, static_cast<std::vector<T>&>(a));
}
template <class Archive, class T>
void serialize(Archive& ar, KLib::List<T>& l, const unsigned version) {
    config_detail::requireKnownVersion<KLib::List<T>>(version);
    ar& make_nvp(nullptr, static_cast<std::list<T>&>(l));
}

} // namespace serialization
} // namespace boost

#include "files/Mat73Source.h"

#include "files/Hdf5Errors.h"
#include "files/LossTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// The text of a string attribute, empty when there is none.
std::string textAttribute(hid_t object, const char* name) {
    if (H5Aexists(object, name) <= 0)
        return std::string();
    Hdf5Id attribute(H5Aopen(object, name, H5P_DEFAULT));
    Hdf5Id type(attribute.valid() ? H5Aget_type(attribute.get()) : H5I_INVALID_HID);
    if (!type.valid() || H5Tget_class(type.get()) != H5T_STRING || H5Tis_variable_str(type.get()))
        return std::string();
    std::string text(H5Tget_size(type.get()), '\0');
    if (text.empty() || H5Aread(attribute.get(), type.get(), text.data()) < 0)
        return std::string();
    return text.substr(0, text.find('\0'));
}

// The field names of a struct in their order (MATLAB_fields, each a run of characters).
std::vector<std::string> fieldNames(hid_t group) {
    std::vector<std::string> fields;
    if (H5Aexists(group, "MATLAB_fields") <= 0)
        return fields;
    Hdf5Id attribute(H5Aopen(group, "MATLAB_fields", H5P_DEFAULT));
    Hdf5Id space(attribute.valid() ? H5Aget_space(attribute.get()) : H5I_INVALID_HID);
    // Read as it is written: runs of one-byte characters.
    Hdf5Id character(H5Tcopy(H5T_C_S1));
    Hdf5Id type(character.valid() ? H5Tvlen_create(character.get()) : H5I_INVALID_HID);
    const hssize_t count = space.valid() ? H5Sget_simple_extent_npoints(space.get()) : -1;
    if (count <= 0 || !type.valid())
        return fields;
    std::vector<hvl_t> names(static_cast<std::size_t>(count));
    if (H5Aread(attribute.get(), type.get(), names.data()) < 0)
        return fields;
    for (const hvl_t& name : names)
        fields.emplace_back(static_cast<const char*>(name.p), name.len);
    H5Dvlen_reclaim(type.get(), space.get(), H5P_DEFAULT, names.data());
    return fields;
}

// The links of a group in the order they were made where the file keeps it, else by name.
std::vector<std::string> linkNames(hid_t group) {
    std::vector<std::string> names;
    const auto collect = [](hid_t, const char* name, const H5L_info_t*, void* into) -> herr_t {
        static_cast<std::vector<std::string>*>(into)->emplace_back(name);
        return 0;
    };
    if (H5Literate(group, H5_INDEX_CRT_ORDER, H5_ITER_INC, nullptr, collect, &names) < 0) {
        names.clear();
        H5Literate(group, H5_INDEX_NAME, H5_ITER_INC, nullptr, collect, &names);
    }
    return names;
}

bool isEmpty(hid_t dataset) {
    return H5Aexists(dataset, "MATLAB_empty") > 0;
}

std::uint64_t valueCount(hid_t dataset) {
    if (isEmpty(dataset))
        return 0;
    Hdf5Id space(H5Dget_space(dataset));
    const hssize_t count = space.valid() ? H5Sget_simple_extent_npoints(space.get()) : 0;
    return count > 0 ? static_cast<std::uint64_t>(count) : 0;
}

std::vector<double> allValues(hid_t dataset) {
    std::vector<double> values(static_cast<std::size_t>(valueCount(dataset)));
    if (!values.empty() &&
        H5Dread(dataset, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data()) < 0)
        values.clear();
    return values;
}

// A char array's 16-bit code units as Latin-1 text (units beyond it become '?').
std::string charText(hid_t dataset) {
    std::vector<std::uint16_t> units(static_cast<std::size_t>(valueCount(dataset)));
    if (units.empty() ||
        H5Dread(dataset, H5T_NATIVE_UINT16, H5S_ALL, H5S_ALL, H5P_DEFAULT, units.data()) < 0)
        return std::string();
    std::string text;
    for (const std::uint16_t unit : units)
        text += unit <= 0xFF ? static_cast<char>(unit) : '?';
    return text;
}

} // namespace

Mat73Source::Mat73Source(const std::string& path) {
    Hdf5QuietErrors quiet;
    file_ = Hdf5Id(H5Fopen(path.c_str(), H5F_ACC_RDONLY, H5P_DEFAULT));
    if (!file_.valid()) {
        fail("Can't read file " + path + ": it is not an HDF5 file or is damaged");
        return;
    }
    for (const std::string& name : linkNames(file_.get())) {
        Hdf5Id object(H5Oopen(file_.get(), name.c_str(), H5P_DEFAULT));
        if (!object.valid())
            continue;
        const std::string matlabClass = textAttribute(object.get(), "MATLAB_class");
        if (H5Iget_type(object.get()) == H5I_GROUP && matlabClass == "struct") {
            LoadedGraph& graph = layout_.graphs.emplace_back();
            graph.name = name;
            if (!readGraph(object.get(), graph)) {
                fail("Can't read file " + path + ": the struct " + name + " is damaged");
                return;
            }
        } else if (H5Iget_type(object.get()) == H5I_DATASET && matlabClass == "double") {
            const std::vector<double> values = allValues(object.get());
            if (name == "time")
                layout_.hasRate = rateFromTime(values, layout_.rate);
            if (name == "lost")
                losses_ = lossTable(values, {static_cast<std::int32_t>(values.size() / 3), 3});
        }
    }
    for (const Column& column : columns_)
        rows_ = std::max(rows_, column.length);
    layout_.maxLen =
        static_cast<int>(std::min<std::uint64_t>(rows_, std::numeric_limits<int>::max()));
    layout_.losses = losses_;
}

bool Mat73Source::readGraph(hid_t group, LoadedGraph& graph) {
    for (const std::string& field : fieldNames(group)) {
        Hdf5Id object(H5Oopen(group, field.c_str(), H5P_DEFAULT));
        if (!object.valid())
            return false;
        const std::string matlabClass = textAttribute(object.get(), "MATLAB_class");
        if (H5Iget_type(object.get()) == H5I_GROUP && matlabClass == "struct") {
            LoadedChannel& channel = graph.channels.emplace_back();
            channel.name = field;
            if (!readChannel(object.get(), channel))
                return false;
        } else if (field == "fft" && matlabClass == "char") {
            graph.fft = charText(object.get()) != "false";
        }
    }
    return true;
}

bool Mat73Source::readChannel(hid_t group, LoadedChannel& channel) {
    Column& column = columns_.emplace_back();
    for (const std::string& field : fieldNames(group)) {
        Hdf5Id object(H5Oopen(group, field.c_str(), H5P_DEFAULT));
        if (!object.valid() || H5Iget_type(object.get()) != H5I_DATASET)
            return false;
        if (field == "data") {
            column.length = valueCount(object.get());
            column.dataset = std::move(object);
        } else if (field == "unit") {
            channel.hasUnit = true;
            channel.unitText = charText(object.get());
        } else if (field == "color") {
            channel.color = colorOfComponents(allValues(object.get()));
        }
    }
    channel.valueCount = column.length;
    return true;
}

std::size_t Mat73Source::read(std::size_t rows, const std::vector<double*>& columns) {
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(rows, rows_ - next_));
    if (!error_.empty() || count == 0)
        return 0;
    for (std::size_t c = 0; c < columns.size() && c < columns_.size(); ++c)
        if (!readColumn(c, next_, count, columns[c]))
            return 0;
    next_ += count;
    return count;
}

double Mat73Source::progress() const {
    return rows_ == 0 ? 1.0 : static_cast<double>(next_) / static_cast<double>(rows_);
}

bool Mat73Source::readColumn(std::size_t c, std::uint64_t first, std::size_t count, double* out) {
    Hdf5QuietErrors quiet;
    const Column& column = columns_.at(c);
    const auto present = static_cast<std::size_t>(
        first >= column.length ? 0 : std::min<std::uint64_t>(count, column.length - first));
    std::fill(out + present, out + count, std::numeric_limits<double>::quiet_NaN());
    if (present == 0)
        return true;
    // A column of n values has HDF5 dimensions {1, n} (MATLAB's n x 1, column-major); a row
    // {n, 1} or a dataset of rank 1 reads alike.
    Hdf5Id fileSpace(H5Dget_space(column.dataset.get()));
    hsize_t dimensions[2] = {1, 1};
    const int rank =
        fileSpace.valid() ? H5Sget_simple_extent_dims(fileSpace.get(), dimensions, nullptr) : -1;
    const int along = rank == 2 && dimensions[0] != 1 ? 0 : rank - 1;
    hsize_t start[2] = {0, 0}, block[2] = {1, 1};
    start[along] = first;
    block[along] = present;
    Hdf5Id memorySpace(H5Screate_simple(1, &block[along], nullptr));
    if (rank < 1 || rank > 2 || !memorySpace.valid() ||
        H5Sselect_hyperslab(fileSpace.get(), H5S_SELECT_SET, start, nullptr, block, nullptr) < 0 ||
        H5Dread(column.dataset.get(), H5T_NATIVE_DOUBLE, memorySpace.get(), fileSpace.get(),
                H5P_DEFAULT, out) < 0)
        return fail("Can't read the values of the file: " + hdf5ErrorCause());
    return true;
}

#include "files/Mat73Writer.h"

#include "files/Hdf5Errors.h"
#include "files/Mat73Header.h"

#include <sys/file.h>

#include <cstdint>
#include <cstring>
#include <ctime>

namespace {

// Samples per chunk of a growing column: 64 Ki doubles, 512 KiB. Large enough that the index
// entry and the write of a chunk cost little per sample and the disk sees long sequential
// writes; small enough that the chunk being filled stays in the column's chunk cache (two
// chunks, 1 MiB), so a block ending inside a chunk is never read back from disk and a column
// holds at most 1 MiB of memory however long it grows.
constexpr hsize_t ColumnChunk = 64 * 1024;
constexpr std::size_t ColumnCacheBytes = 2 * ColumnChunk * sizeof(double);
constexpr hsize_t ColumnChunkBytes = ColumnChunk * sizeof(double);

// Kept free while values and structs are written, for the metadata HDF5 adds until the next
// write and on closing (a few KiB).
constexpr hsize_t MetadataRoomBytes = 64 * 1024;
// Kept free while samples are appended, so that once the disk is full the file can still be
// completed: the metadata, and the values written last, like a recording's table of losses
// (24 bytes per loss, over 18,000 fit).
constexpr hsize_t ClosingRoomBytes = 512 * 1024;

hsize_t chunksFor(hsize_t samples) {
    return (samples + ColumnChunk - 1) / ColumnChunk;
}

// MATLAB's attributes are scalar, fixed-length ASCII strings.
bool setTextAttribute(hid_t object, const char* name, const std::string& value) {
    Hdf5Id type(H5Tcopy(H5T_C_S1));
    Hdf5Id space(H5Screate(H5S_SCALAR));
    if (!type.valid() || !space.valid() || H5Tset_size(type.get(), value.size()) < 0 ||
        H5Tset_strpad(type.get(), H5T_STR_NULLTERM) < 0)
        return false;
    Hdf5Id attribute(H5Acreate2(object, name, type.get(), space.get(), H5P_DEFAULT, H5P_DEFAULT));
    return attribute.valid() && H5Awrite(attribute.get(), type.get(), value.data()) >= 0;
}

bool setNumberAttribute(hid_t object, const char* name, hid_t fileType, hid_t memoryType,
                        const void* value) {
    Hdf5Id space(H5Screate(H5S_SCALAR));
    Hdf5Id attribute(space.valid()
                         ? H5Acreate2(object, name, fileType, space.get(), H5P_DEFAULT, H5P_DEFAULT)
                         : H5I_INVALID_HID);
    return attribute.valid() && H5Awrite(attribute.get(), memoryType, value) >= 0;
}

// The field names of a struct in their order, each a variable-length run of characters.
bool setFieldsAttribute(hid_t group, const std::vector<std::string>& fields) {
    Hdf5Id character(H5Tcopy(H5T_C_S1));
    Hdf5Id type(character.valid() ? H5Tvlen_create(character.get()) : H5I_INVALID_HID);
    const hsize_t count = fields.size();
    Hdf5Id space(H5Screate_simple(1, &count, nullptr));
    if (!type.valid() || !space.valid())
        return false;
    std::vector<hvl_t> names;
    for (const std::string& field : fields)
        names.push_back({field.size(), const_cast<char*>(field.data())});
    Hdf5Id attribute(
        H5Acreate2(group, "MATLAB_fields", type.get(), space.get(), H5P_DEFAULT, H5P_DEFAULT));
    return attribute.valid() && H5Awrite(attribute.get(), type.get(), names.data()) >= 0;
}

// A dataset of rank 2 with its MATLAB class. MATLAB's arrays are column-major and HDF5's
// row-major, so an m x n MATLAB array has HDF5 dimensions {n, m} and the values in MATLAB's order.
Hdf5Id createDataset(hid_t parent, const std::string& name, hid_t fileType, hid_t space,
                     hid_t creation, hid_t access, const char* matlabClass) {
    Hdf5Id dataset(
        H5Dcreate2(parent, name.c_str(), fileType, space, H5P_DEFAULT, creation, access));
    if (dataset.valid() && !setTextAttribute(dataset.get(), "MATLAB_class", matlabClass))
        return Hdf5Id();
    return dataset;
}

// A fixed-size dataset holding values given in memory as memoryType.
Hdf5Id writeDataset(hid_t parent, const std::string& name, hid_t fileType, hid_t memoryType,
                    int rank, const hsize_t* dimensions, const void* values,
                    const char* matlabClass) {
    Hdf5Id space(H5Screate_simple(rank, dimensions, nullptr));
    Hdf5Id dataset(space.valid() ? createDataset(parent, name, fileType, space.get(), H5P_DEFAULT,
                                                 H5P_DEFAULT, matlabClass)
                                 : Hdf5Id());
    if (dataset.valid() &&
        H5Dwrite(dataset.get(), memoryType, H5S_ALL, H5S_ALL, H5P_DEFAULT, values) < 0)
        return Hdf5Id();
    return dataset;
}

// HDF5 keeps a file it could not complete open, and locked against readers, until the program
// ends. It writes nothing more to it, so readers may see what reached the disk meanwhile. The
// file's handle is the descriptor of HDF5's default POSIX driver, as in flush().
void letReadersIn(hid_t file) {
    void* handle = nullptr;
    if (H5Fget_vfd_handle(file, H5P_DEFAULT, &handle) >= 0 && handle)
        flock(*static_cast<int*>(handle), LOCK_UN);
}

} // namespace

Mat73Writer::Mat73Writer(const std::string& path) : path_(path) {
    // HDF5 would close at exit what a failed write made us give up, and crash doing so; before
    // its first use it can be told not to.
    static const herr_t noCloseAtExit = H5dont_atexit();
    (void)noCloseAtExit;
    Hdf5QuietErrors quiet;
    Hdf5Id creation(H5Pcreate(H5P_FILE_CREATE));
    // The order of the variables is that of the graphs; HDF5 keeps it only when asked to.
    if (creation.valid() && H5Pset_userblock(creation.get(), Mat73UserBlockBytes) >= 0 &&
        H5Pset_link_creation_order(creation.get(), H5P_CRT_ORDER_TRACKED | H5P_CRT_ORDER_INDEXED) >=
            0)
        file_ = Hdf5Id(H5Fcreate(path.c_str(), H5F_ACC_TRUNC, creation.get(), H5P_DEFAULT));
    if (!file_.valid()) {
        fail("Can't create file " + path);
        return;
    }
    reserve_.emplace(path);
    // Written at once, so that even a recording cut short by a crash is a MAT file.
    const std::string headerError = writeMat73Header(path, std::time(nullptr));
    if (!headerError.empty())
        fail(headerError);
}

Mat73Writer::~Mat73Writer() {
    close();
}

bool Mat73Writer::beginStruct(const std::string& name) {
    Hdf5QuietErrors quiet;
    if (!canWrite() || !haveRoom(0, MetadataRoomBytes))
        return false;
    Hdf5Id group(H5Gcreate2(place(name), name.c_str(), H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT));
    if (!group.valid() || !setTextAttribute(group.get(), "MATLAB_class", "struct"))
        return fail("Can't write struct " + name);
    structs_.push_back({std::move(group), {}});
    return true;
}

bool Mat73Writer::endStruct() {
    Hdf5QuietErrors quiet;
    if (!canWrite())
        return false;
    if (structs_.empty())
        return refuse("No struct is open");
    OpenStruct done = std::move(structs_.back());
    structs_.pop_back();
    if ((!done.fields.empty() && !setFieldsAttribute(done.group.get(), done.fields)) ||
        !done.group.release())
        return fail("Can't write the field names of a struct");
    return true;
}

bool Mat73Writer::writeText(const std::string& name, const std::string& text) {
    Hdf5QuietErrors quiet;
    if (!canWrite() || !haveRoom(text.size() * sizeof(std::uint16_t), MetadataRoomBytes))
        return false;
    const hid_t parent = place(name);
    if (text.empty())
        return writeEmpty(parent, name, "char", 0, 0);
    std::vector<std::uint16_t> units;
    for (const char c : text)
        units.push_back(static_cast<unsigned char>(c));
    const hsize_t dimensions[] = {units.size(), 1};
    Hdf5Id dataset = writeDataset(parent, name, H5T_STD_U16LE, H5T_NATIVE_UINT16, 2, dimensions,
                                  units.data(), "char");
    // 2: MATLAB decodes the 16-bit numbers as UTF-16 code units.
    const std::int32_t decode = 2;
    if (!dataset.valid() || !setNumberAttribute(dataset.get(), "MATLAB_int_decode", H5T_STD_I32LE,
                                                H5T_NATIVE_INT32, &decode))
        return fail("Can't write text " + name);
    return true;
}

bool Mat73Writer::writeMatrix(const std::string& name, const double* values, std::size_t rows,
                              std::size_t cols) {
    Hdf5QuietErrors quiet;
    if (!canWrite() || !haveRoom(rows * cols * sizeof(double), MetadataRoomBytes))
        return false;
    const hid_t parent = place(name);
    if (rows == 0 || cols == 0)
        return writeEmpty(parent, name, "double", rows, cols);
    const hsize_t dimensions[] = {cols, rows};
    if (!writeDataset(parent, name, H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, 2, dimensions, values,
                      "double")
             .valid())
        return fail("Can't write matrix " + name);
    return true;
}

bool Mat73Writer::beginColumn(const std::string& name, Column& column) {
    Hdf5QuietErrors quiet;
    if (!canWrite() || !haveRoom(0, MetadataRoomBytes))
        return false;
    const hid_t parent = place(name);
    const hsize_t dimensions[] = {1, 0};
    const hsize_t maximum[] = {1, H5S_UNLIMITED};
    const hsize_t chunk[] = {1, ColumnChunk};
    Hdf5Id space(H5Screate_simple(2, dimensions, maximum));
    Hdf5Id creation(H5Pcreate(H5P_DATASET_CREATE));
    Hdf5Id access(H5Pcreate(H5P_DATASET_ACCESS));
    Hdf5Id dataset;
    // Chunks take their space in the file when the column is extended, not when they leave the
    // cache, so that the room the file needs is known before the samples are handed to HDF5;
    // they are not filled, every sample is written. Weight 1: a chunk written in full leaves
    // the cache first.
    if (space.valid() && creation.valid() && access.valid() &&
        H5Pset_chunk(creation.get(), 2, chunk) >= 0 &&
        H5Pset_alloc_time(creation.get(), H5D_ALLOC_TIME_EARLY) >= 0 &&
        H5Pset_fill_time(creation.get(), H5D_FILL_TIME_NEVER) >= 0 &&
        H5Pset_chunk_cache(access.get(), H5D_CHUNK_CACHE_NSLOTS_DEFAULT, ColumnCacheBytes, 1.0) >=
            0)
        dataset = createDataset(parent, name, H5T_IEEE_F64LE, space.get(), creation.get(),
                                access.get(), "double");
    if (!dataset.valid() || H5Iinc_ref(parent) < 0)
        return fail("Can't write column " + name);
    columns_.push_back({std::move(dataset), Hdf5Id(parent), name, 0});
    column = columns_.size() - 1;
    return true;
}

bool Mat73Writer::append(const std::vector<Column>& columns,
                         const std::vector<const double*>& values, std::size_t count) {
    Hdf5QuietErrors quiet;
    if (!canWrite() || full_)
        return false;
    if (values.size() != columns.size())
        return refuse("Each column needs its own samples");
    hsize_t newChunks = 0;
    for (const Column column : columns) {
        if (column >= columns_.size() || !columns_[column].dataset.valid())
            return refuse("No such column is open");
        const hsize_t length = columns_[column].length;
        newChunks += chunksFor(length + count) - chunksFor(length);
    }
    if (count == 0)
        return true;
    if (!haveRoom(newChunks * ColumnChunkBytes, ClosingRoomBytes))
        return false;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (!writeSamples(columns_[columns[i]], values[i], count))
            return false;
    return true;
}

bool Mat73Writer::writeSamples(OpenColumn& open, const double* values, std::size_t count) {
    const hsize_t dimensions[] = {1, open.length + count};
    const hsize_t start[] = {0, open.length};
    const hsize_t block[] = {1, count};
    if (H5Dset_extent(open.dataset.get(), dimensions) < 0)
        return fail("Can't extend column " + open.name);
    Hdf5Id fileSpace(H5Dget_space(open.dataset.get()));
    Hdf5Id memorySpace(H5Screate_simple(2, block, nullptr));
    if (!fileSpace.valid() || !memorySpace.valid() ||
        H5Sselect_hyperslab(fileSpace.get(), H5S_SELECT_SET, start, nullptr, block, nullptr) < 0 ||
        H5Dwrite(open.dataset.get(), H5T_NATIVE_DOUBLE, memorySpace.get(), fileSpace.get(),
                 H5P_DEFAULT, values) < 0)
        return fail("Can't write to column " + open.name);
    open.length += count;
    return true;
}

bool Mat73Writer::endColumn(Column column) {
    Hdf5QuietErrors quiet;
    if (!canWrite())
        return false;
    if (column >= columns_.size() || !columns_[column].dataset.valid())
        return refuse("No such column is open");
    OpenColumn done = std::move(columns_[column]);
    if (H5Dflush(done.dataset.get()) < 0) {
        done.dataset.abandon();
        return fail("Can't write column " + done.name);
    }
    if (!done.dataset.release())
        return fail("Can't write column " + done.name);
    if (done.length > 0)
        return true;
    // MATLAB reads an array without elements only in its own form for empty values.
    if (H5Ldelete(done.parent.get(), done.name.c_str(), H5P_DEFAULT) < 0)
        return fail("Can't write column " + done.name);
    return writeEmpty(done.parent.get(), done.name, "double", 0, 1);
}

bool Mat73Writer::flush() {
    Hdf5QuietErrors quiet;
    if (!canWrite())
        return false;
    if (H5Fflush(file_.get(), H5F_SCOPE_LOCAL) < 0)
        return fail("Can't write file " + path_);
    void* handle = nullptr;
    hsize_t end = 0;
    if (H5Fget_vfd_handle(file_.get(), H5P_DEFAULT, &handle) >= 0 && handle &&
        H5Fget_filesize(file_.get(), &end) >= 0)
        writtenPages_.settle(*static_cast<int*>(handle), end);
    return true;
}

bool Mat73Writer::close() {
    Hdf5QuietErrors quiet;
    if (!file_.valid())
        return error_.empty();
    for (Column column = 0; column < columns_.size() && canWrite(); ++column)
        if (columns_[column].dataset.valid())
            endColumn(column);
    if (!structs_.empty())
        refuse("A struct was still open when the file was closed");
    // After a failed write the columns still open hold samples that can't be written.
    for (OpenColumn& open : columns_)
        if (broken_)
            open.dataset.abandon();
    columns_.clear();
    structs_.clear();
    if (broken_ || H5Fflush(file_.get(), H5F_SCOPE_LOCAL) < 0) {
        letReadersIn(file_.get());
        file_.abandon();
        reserve_->release();
        return fail("Can't write file " + path_);
    }
    if (!file_.release())
        fail("Can't close file " + path_);
    reserve_->release();
    return error_.empty();
}

hid_t Mat73Writer::place(const std::string& name) {
    if (structs_.empty())
        return file_.get();
    structs_.back().fields.push_back(name);
    return structs_.back().group.get();
}

// MATLAB's form of an array without elements: its dimensions as uint64 numbers, marked with
// MATLAB_empty = 1, under the class the array would have.
bool Mat73Writer::writeEmpty(hid_t parent, const std::string& name, const char* matlabClass,
                             hsize_t rows, hsize_t cols) {
    const std::uint64_t size[] = {rows, cols};
    const hsize_t count = 2;
    Hdf5Id dataset =
        writeDataset(parent, name, H5T_STD_U64LE, H5T_NATIVE_UINT64, 1, &count, size, matlabClass);
    const std::uint8_t empty = 1;
    if (!dataset.valid() ||
        !setNumberAttribute(dataset.get(), "MATLAB_empty", H5T_STD_U8LE, H5T_NATIVE_UINT8, &empty))
        return fail("Can't write empty value " + name);
    return true;
}

bool Mat73Writer::haveRoom(hsize_t bytes, hsize_t keep) {
    // HDF5 writes nothing beyond the space it allocated, which its file size counts.
    hsize_t allocated = 0;
    if (H5Fget_filesize(file_.get(), &allocated) < 0)
        return fail("Can't write file " + path_);
    const int reason = reserve_->makeRoom(allocated + bytes + keep);
    return reason == 0 || stopAppending(reason);
}

bool Mat73Writer::fail(const std::string& what) {
    broken_ = true;
    const std::string cause = hdf5ErrorCause();
    return refuse(cause.empty() ? what : what + ": " + cause);
}

bool Mat73Writer::refuse(const std::string& what) {
    stopped_ = true;
    if (error_.empty())
        error_ = what;
    return false;
}

bool Mat73Writer::stopAppending(int reason) {
    full_ = true;
    if (error_.empty())
        error_ = "Can't write file " + path_ + ": " + std::strerror(reason);
    return false;
}

// The points between reading and writing, for every run: coordinates in
// single or double precision, and, only when the drawing shows them, each
// point's name and layer. A count-first list has its three arrays allocated
// by the count before any point is read; a table grows by runs of points.
// Everything lives on the platform heap, whose failure ends the run (41).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "app/byte_stream.h"
#include "app/decimal_counter.h"
#include "app/layer_table.h"
#include "app/run_plan.h"
#include "app/text/code_page_chooser.h"
#include "io/array_storage.h"
#include "io/platform_allocator.h"

namespace app {

// Consecutive points: `count` of each coordinate, as float or as double by
// the store's precision.
struct PointRun {
    void* x;
    void* y;
    void* z;
    std::size_t count;
};

// The smallest box around the finite points; `empty` when there are none.
struct Extents {
    double low[3];
    double high[3];
    bool empty = true;
};

class PointStore {
public:
    // Points a table's run holds: 48 KiB of single or 96 KiB of double coordinates.
    static constexpr std::size_t kRunPoints = 4 * 1024;

    explicit PointStore(Precision precision) : precision_(precision) {}
    PointStore(const PointStore&) = delete;
    PointStore& operator=(const PointStore&) = delete;
    ~PointStore();

    Precision precision() const { return precision_; }

    // A count-first list: x, y and z of max(count, 0) elements, allocated in
    // that order, then all set to zero. 0, or the allocation's number (179,
    // 41) at the first array that fails.
    int allocate_counted(std::int32_t count);
    // Point i (1-based) of a counted list, in the store's precision.
    template <class Real>
    Real& x_at(std::int32_t i) const { return static_cast<Real*>(runs_[0].x)[i - 1]; }
    template <class Real>
    Real& y_at(std::int32_t i) const { return static_cast<Real*>(runs_[0].y)[i - 1]; }
    template <class Real>
    Real& z_at(std::int32_t i) const { return static_cast<Real*>(runs_[0].z)[i - 1]; }

    // A table's next point, rounded to single precision first where the
    // store holds that. False when memory runs out.
    bool append(double x, double y, double z);

    std::size_t size() const { return size_; }

    // Point `i` (0-based) in the store's precision, wherever its run is.
    template <class Real>
    void coordinates(std::size_t i, Real& x, Real& y, Real& z) const {
        const PointRun& run = counted_ ? runs_[0] : runs_[i / kRunPoints];
        const std::size_t k = counted_ ? i : i % kRunPoints;
        x = static_cast<const Real*>(run.x)[k];
        y = static_cast<const Real*>(run.y)[k];
        z = static_cast<const Real*>(run.z)[k];
    }
    std::span<const PointRun> runs() const { return {runs_.data(), runs_.size()}; }

    // Texts, for every point or for none, in the order of the points.
    bool keeps_names() const { return keep_names_; }
    bool keeps_layers() const { return keep_layers_; }
    bool keeps_descriptions() const { return keep_descriptions_; }
    bool keeps_texts() const { return keep_names_ || keep_layers_ || keep_descriptions_; }
    void keep_texts(bool names, bool layers, bool descriptions = false) {
        keep_names_ = names;
        keep_layers_ = layers;
        keep_descriptions_ = descriptions;
    }
    // A point's name, its code's layer and its description, each when kept;
    // the layer's index goes to `layer` when given.
    bool add_texts(std::string_view name, std::string_view code, std::string_view description = {},
                   std::uint32_t* layer = nullptr);

    // Which code page holds every text kept to be written (layer names are
    // fed when the drawing is written).
    const text::CodePageChooser& code_pages() const { return code_pages_; }
    // The most decimals a table's coordinates were written with (at most 9).
    void note_decimals(std::uint32_t decimals) { decimals_ = decimals; }
    std::uint32_t decimals() const { return decimals_; }

    // The longest name or description kept, in bytes.
    std::size_t longest_text() const { return longest_text_; }

    LayerTable& layers() { return layers_; }
    const LayerTable& layers() const { return layers_; }

    // Hands each point's name and layer index back in order. Names that
    // count up by one from the last (1, 2, 3 ...) are not stored at all.
    class TextReader {
    public:
        explicit TextReader(const PointStore& store);
        // The texts may lie in the reader's scratch until the next call.
        void next(std::string_view& name, std::uint32_t& layer);
        void next(std::string_view& name, std::uint32_t& layer, std::string_view& description);

    private:
        const PointStore& store_;
        ByteStream::Reader tags_;
        ByteStream::Reader names_;
        ByteStream::Reader descriptions_;
        io::PlatformVector<char> scratch_;
        io::PlatformVector<char> description_scratch_;
        DecimalCounter number_;  // the last name, when it is a plain number
    };

    Extents extents() const;

private:
    Precision precision_;
    io::PlatformVector<PointRun> runs_;
    bool counted_ = false;
    std::size_t size_ = 0;
    bool keep_names_ = false;
    bool keep_layers_ = false;
    bool keep_descriptions_ = false;
    ByteStream descriptions_;
    ByteStream tags_;   // per point: its layer index times 2, plus 1 when its name is the last one's plus 1
    ByteStream names_;  // per point whose name is not so: its length, then its bytes
    std::uint64_t previous_number_ = 0;  // the last name as a number, or kNoNumber
    LayerTable layers_;
    text::CodePageChooser code_pages_;
    std::size_t longest_text_ = 0;
    std::uint32_t decimals_ = 0;
};

// The name as a number when it is written as one is written plainly: digits
// alone, no leading zero, at most 18; kNoNumber otherwise.
inline constexpr std::uint64_t kNoNumber = ~std::uint64_t{0};
std::uint64_t plain_number(std::string_view name);

}  // namespace app

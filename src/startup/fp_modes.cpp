#include "startup/fp_modes.h"

#include <atomic>

namespace rt {
namespace {

// Leaf 0 vendor registers of the one vendor whose processors are classed.
constexpr std::uint32_t kVendorEbx = 0x756E6547;
constexpr std::uint32_t kVendorEdx = 0x49656E69;
constexpr std::uint32_t kVendorEcx = 0x6C65746E;

constexpr std::uint32_t kEdxMmx = 1u << 23;
constexpr std::uint32_t kEdxSse = 1u << 25;
constexpr std::uint32_t kEdxSse2 = 1u << 26;
constexpr std::uint32_t kEcxSse3 = 1u << 0;

// x87 control word: IM, ZM, OM, UM, PM; DM (bit 1) is left alone.
constexpr std::uint16_t kX87FiveMasks = 0x3D;

std::atomic<std::uint32_t> processor_class{0};

}  // namespace

std::uint32_t class_from_identity(const platform::CpuIdentity& id) {
    if (id.max_leaf == 0 || id.vendor_ebx != kVendorEbx || id.vendor_edx != kVendorEdx ||
        id.vendor_ecx != kVendorEcx)
        return kClassGeneric;
    const std::uint32_t family = (id.leaf1_eax >> 8) & 0xF;
    const bool sse2 = (id.leaf1_edx & kEdxSse2) != 0;
    const bool sse3 = (id.leaf1_ecx & kEcxSse3) != 0;
    switch (family) {
        case 5:
            return (id.leaf1_edx & kEdxMmx) != 0 ? 4 : 2;
        case 6:
            if (!sse2) return (id.leaf1_edx & kEdxMmx) != 0 ? 4 : kClassGeneric;
            return sse3 ? 2048 : 1024;
        case 15:
            if (!sse2) return kClassGeneric;
            return sse3 ? 2048 : 512;
        default:
            return kClassGeneric;
    }
}

std::uint32_t classify_processor() {
    std::uint32_t cls = processor_class.load(std::memory_order_relaxed);
    if (cls == 0) {
        // Two threads racing here compute the same value.
        cls = class_from_identity(platform::identify_cpu());
        processor_class.store(cls, std::memory_order_relaxed);
    }
    return cls;
}

std::uint32_t fp_mode_bits(std::uint32_t processor_class, std::uint32_t request,
                           std::uint32_t supported_mask) {
    if (processor_class < kClassVector2) return 0;
    // Setting a bit the processor does not support faults, so both optional
    // bits need the supported-bits mask.
    if ((supported_mask & kVectorDenormalsAreZero) == 0) request &= ~kRequestDenormalsAreZero;
    if ((supported_mask & kVectorMisalignedMask) == 0) request &= ~kRequestMisalignedMask;
    std::uint32_t bits = 0;
    if ((request & kRequestFlushToZero) != 0) bits |= kVectorFlushToZero;
    if ((request & kRequestDenormalsAreZero) != 0) bits |= kVectorDenormalsAreZero;
    if ((request & kRequestMisalignedMask) != 0) bits |= kVectorMisalignedMask;
    return bits;
}

void apply_fp_modes(std::uint32_t request) {
    const std::uint32_t cls = classify_processor();
    if (cls < kClassVector2) return;
    // The state save is only needed for the optional bits.
    const bool optional = (request & (kRequestDenormalsAreZero | kRequestMisalignedMask)) != 0;
    const std::uint32_t mask = optional ? platform::vector_control_mask() : 0;
    const std::uint32_t bits = fp_mode_bits(cls, request, mask);
    if (bits != 0) platform::write_vector_control(platform::read_vector_control() | bits);
}

void enable_flush_to_zero() {
    platform::write_vector_control(platform::read_vector_control() | kVectorFlushToZero);
}

std::uint32_t vector_control_with_traps(std::uint32_t control, std::uint32_t trap_settings) {
    control |= kVectorExceptionMasks;
    for (int flag = 0; flag < 6; ++flag)
        if ((trap_settings & (1u << flag)) != 0) control &= ~(1u << (7 + flag));
    if ((trap_settings & (1u << 16)) != 0) control |= kVectorFlushToZero;
    return control;
}

void set_vector_fp_masks(std::uint32_t trap_settings) {
    const std::uint32_t cls = classify_processor();
    // An old processor without the vector unit has no register to write.
    if (cls < kClassVector2 && (platform::identify_cpu().leaf1_edx & kEdxSse) == 0) return;
    platform::write_vector_control(
        vector_control_with_traps(platform::read_vector_control(), trap_settings));
}

void mask_x87_exceptions() {
    platform::write_x87_control(
        static_cast<std::uint16_t>(platform::read_x87_control() | kX87FiveMasks));
    // Keeping denormals also means the vector unit does not flush them yet;
    // the driver asks for its own modes later.
    platform::write_vector_control(platform::read_vector_control() &
                                   ~(kVectorFlushToZero | kVectorDenormalsAreZero));
}

}  // namespace rt

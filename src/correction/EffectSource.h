#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace brantok::lumaro::correction {

// The kernel source and metadata text of one effect package: everything that
// determines the compiled program, and so the key of the effect cache.
// Created once with make_shared and never modified afterwards.
struct EffectSource {
  // Always PackageKind for a source read from a package; it takes part in
  // equality and hashing so that other kinds of source cannot collide.
  static constexpr std::int32_t PackageKind = 2;

  std::int32_t kind = PackageKind;
  std::string kernelSource;
  std::string metadata;

  friend bool operator==(const EffectSource&, const EffectSource&) = default;
};

// 64-bit FNV-1a of the kernel source, exclusive-or that of the metadata,
// exclusive-or that of the kind's four bytes (least significant first).
struct EffectSourceHash {
  std::size_t operator()(const EffectSource& source) const noexcept;
};

} // namespace brantok::lumaro::correction

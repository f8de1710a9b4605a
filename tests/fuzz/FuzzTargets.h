#pragma once

#include <cstddef>
#include <cstdint>

// One function per fuzz target, shared by the libFuzzer programs (Linux,
// clang) and the GoogleTest that replays the kept inputs in every build. Each
// runs one input and returns 0; a broken expectation aborts with a message,
// and the sanitizers report the rest.
namespace brantok::lumaro::fuzz {

// metadata.json text into EffectSourceMetadata.
int FuzzMetadata(const std::uint8_t* data, std::size_t size);
// Arbitrary bytes as a package file, read through Entry.
int FuzzPackage(const std::uint8_t* data, std::size_t size);
// The Effect Path parameter's arbitrary-data callbacks through EffectMain.
int FuzzEffectPath(const std::uint8_t* data, std::size_t size);
// Sequence records of any content through resetup, parameter UI and setdown.
int FuzzSequenceRecord(const std::uint8_t* data, std::size_t size);

// Aborts with `what` when `condition` is false.
void Expect(bool condition, const char* what);

} // namespace brantok::lumaro::fuzz
